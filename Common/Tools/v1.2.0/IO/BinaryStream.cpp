#include "BinaryStream.h"

#include "IOError.h"

#include <QtEndian>
#include <bit>
#include <cstring>

namespace IO_ns {

namespace {

IOError_cl IOError(int32_t code, int32_t line, const QString& remark = QString()) {
    static const Base_ns::ErrorInfo_st table[] = {{101, "没有足够的数据读。"},
                                                  {102, "没有足够的空间写。"},
                                                  {103, "数据标记不正确。"},
                                                  {104, "版本不一致。"}};
    return IOError_cl(line, __FILE__, BinaryStream_cl::ClassName(), code, table, int32_t(std::size(table)),
                      remark);
}

}  // namespace

void BinaryStream_cl::Put(const void* bytes, int64_t size) {
    if (!container->Write(bytes, size)) throw IOError(102, __LINE__);
}

void BinaryStream_cl::Get(void* bytes, int64_t size) {
    if (!container->Read(bytes, size)) throw IOError(101, __LINE__);
}

void BinaryStream_cl::WriteInteger(int32_t value) {
    unsigned char bytes[4];
    qToLittleEndian<qint32>(value, bytes);
    Put(bytes, 4);
}

void BinaryStream_cl::WriteString(const QString& text) {
    WriteInteger(int32_t(text.size()));
    if (text.isEmpty()) return;
    if constexpr (std::endian::native == std::endian::little) {
        Put(text.utf16(), 2 * int64_t(text.size()));
    } else {
        QString units(text.size(), Qt::Uninitialized);
        qToLittleEndian<char16_t>(text.utf16(), text.size(), units.data());
        Put(units.utf16(), 2 * int64_t(units.size()));
    }
}

void BinaryStream_cl::WriteTag(const char (&tag)[5]) { Put(tag, 4); }

int32_t BinaryStream_cl::ReadInteger() {
    unsigned char bytes[4];
    Get(bytes, 4);
    return qFromLittleEndian<qint32>(bytes);
}

QString BinaryStream_cl::ReadString() {
    const int64_t start = container->GetPosition();
    const int32_t length = ReadInteger();
    // A damaged length must not make room for data the file cannot hold.
    if (length < 0 || (length > 0 && 2 * int64_t(length) > Remaining())) {
        container->SetPosition(start, true);
        throw IOError(101, __LINE__);
    }
    QString text(length, Qt::Uninitialized);
    if (length > 0 && !container->Read(text.data(), 2 * int64_t(length))) {
        container->SetPosition(start, true);
        throw IOError(101, __LINE__);
    }
    qFromLittleEndian<char16_t>(text.utf16(), length, text.data());
    return text;
}

bool BinaryStream_cl::ReadTag(const char (&tag)[5]) {
    char bytes[4];
    Get(bytes, 4);
    return std::memcmp(bytes, tag, 4) == 0;
}

int64_t BinaryStream_cl::Remaining() {
    const int64_t here = container->GetPosition();
    if (here < 0 || !container->MoveToEnd()) return -1;
    const int64_t end = container->GetPosition();
    container->SetPosition(here, true);
    return end - here;
}

}  // namespace IO_ns
