#include "Import/ZipEntry.h"

#include "IO/IOError.h"

#include <QFile>
#include <algorithm>
#include <minizip/unzip.h>

namespace Import_ns {

namespace {

IO_ns::IOError_cl IOError(int32_t code, int32_t line, const QString& remark) {
    static const Base_ns::ErrorInfo_st table[] = {{101, "无法打开Excel文件，它不是有效的xlsx文件。"},
                                                  {102, "Excel文件中缺少需要的部分。"},
                                                  {103, "读取Excel文件失败，文件已损坏。"}};
    return IO_ns::IOError_cl(line, __FILE__, ZipEntry_cl::ClassName(), code, table, int32_t(std::size(table)),
                             remark);
}

unzFile Open(const QString& archive) { return unzOpen64(QFile::encodeName(archive).constData()); }

}  // namespace

bool ZipEntry_cl::Contains(const QString& archive, const QString& member) {
    unzFile zip = Open(archive);
    if (zip == nullptr) return false;
    const bool found = unzLocateFile(zip, member.toUtf8().constData(), 0) == UNZ_OK;
    unzClose(zip);
    return found;
}

ZipEntry_cl::ZipEntry_cl(const QString& archive, const QString& member) : archive(archive) {
    zip = Open(archive);
    if (zip == nullptr) throw IOError(101, __LINE__, archive);
    unz_file_info64 info{};
    if (unzLocateFile(zip, member.toUtf8().constData(), 0) != UNZ_OK ||
        unzGetCurrentFileInfo64(zip, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK) {
        unzClose(zip);
        zip = nullptr;
        throw IOError(102, __LINE__, archive + QStringLiteral("：") + member);
    }
    if (unzOpenCurrentFile(zip) != UNZ_OK) {
        unzClose(zip);
        zip = nullptr;
        throw IOError(103, __LINE__, archive);
    }
    inflatedSize = int64_t(info.uncompressed_size);
    open(QIODevice::ReadOnly);
}

ZipEntry_cl::~ZipEntry_cl() {
    if (zip == nullptr) return;
    unzCloseCurrentFile(zip);
    unzClose(zip);
}

qint64 ZipEntry_cl::readData(char* data, qint64 maxSize) {
    const int chunk = int(std::min<qint64>(maxSize, 1 << 20));
    const int read = unzReadCurrentFile(zip, data, unsigned(chunk));
    if (read < 0) {
        setErrorString(QStringLiteral("读取Excel文件失败，文件已损坏。"));
        return -1;
    }
    inflated += read;
    return read;
}

}  // namespace Import_ns
