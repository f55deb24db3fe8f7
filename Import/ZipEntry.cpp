#include "Import/ZipEntry.h"

#include "IO/IOError.h"

#include <QFile>
#include <algorithm>
#include <minizip/unzip.h>

namespace Import_ns {

namespace {

IO_ns::IOError_cl IOError(int32_t code, int32_t line, const QString& remark) {
    static const Base_ns::ErrorInfo_st table[] = {
        {101, "无法打开Excel文件，它不是有效的xlsx文件。"},
        {102, "Excel文件中缺少需要的部分。"},
        {103, "读取Excel文件失败，文件已损坏。"},
        {104, "Excel文件过大，解压后超过64MB，不像是账单。"},
        {105, "Excel文件的压缩比例异常，可能是恶意文件，已拒绝读取。"},
        {106, "Excel文件已损坏，校验和不一致。"}};
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

ZipEntry_cl::ZipEntry_cl(const QString& archive, const QString& member) : archive(archive), member(member) {
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
        throw IOError(103, __LINE__, archive + QStringLiteral("：") + member);
    }
    inflatedSize = int64_t(info.uncompressed_size);
    compressedStart = unzGetCurrentFileZStreamPos64(zip);
    open(QIODevice::ReadOnly);
}

ZipEntry_cl::~ZipEntry_cl() {
    if (zip == nullptr) return;
    if (!ended) unzCloseCurrentFile(zip);
    unzClose(zip);
}

qint64 ZipEntry_cl::Fail(Fault_en what) {
    if (fault == Fault_en::None) fault = what;
    setErrorString(QStringLiteral("读取Excel文件失败，文件已损坏。"));
    return -1;
}

qint64 ZipEntry_cl::readData(char* data, qint64 maxSize) {
    if (fault != Fault_en::None) return -1;
    if (ended || maxSize <= 0) return 0;  // the library reads 0 bytes at the end too
    // Small steps, so that the bounds are checked long before they are passed by much.
    const int chunk = int(std::min<qint64>(maxSize, 1 << 16));
    const int read = unzReadCurrentFile(zip, data, unsigned(chunk));
    if (read < 0) return Fail(Fault_en::Damaged);
    if (read == 0) {
        // The end: the size and checksum the archive states must be those of the bytes
        // read, or the member was changed or cut.
        ended = true;
        const int closed = unzCloseCurrentFile(zip);
        if (inflated != inflatedSize) return Fail(Fault_en::Damaged);
        if (closed == UNZ_CRCERROR) return Fail(Fault_en::Checksum);
        if (closed != UNZ_OK) return Fail(Fault_en::Damaged);
        return 0;
    }
    inflated += read;
    if (inflated > MaxInflated) return Fail(Fault_en::TooLarge);
    const int64_t compressed = int64_t(unzGetCurrentFileZStreamPos64(zip) - compressedStart);
    if (inflated > RatioFreeBytes && inflated > MaxRatio * std::max<int64_t>(compressed, 1))
        return Fail(Fault_en::Inflating);
    return read;
}

void ZipEntry_cl::Check() const {
    const QString where = archive + QStringLiteral("：") + member;
    switch (fault) {
    case Fault_en::None: return;
    case Fault_en::Damaged: throw IOError(103, __LINE__, where);
    case Fault_en::TooLarge: throw IOError(104, __LINE__, where);
    case Fault_en::Inflating: throw IOError(105, __LINE__, where);
    case Fault_en::Checksum: throw IOError(106, __LINE__, where);
    }
}

void ZipEntry_cl::Finish() {
    char rest[1 << 14];
    while (read(rest, sizeof rest) > 0) {
    }
    Check();
}

}  // namespace Import_ns
