#pragma once

#include "Stream.h"

#include <QString>
#include <cstdint>

namespace IO_ns {

// Typed values as little-endian bytes with no padding: integers as 4 bytes, strings as a
// 4-byte count of UTF-16 units followed by the units, tags as 4 raw bytes. A read that
// fails leaves the position where it was before that value.
class BinaryStream_cl : public Stream_cl {
public:
    using Stream_cl::Stream_cl;

    static QString ClassName() { return QStringLiteral("BinaryStream_cl"); }

    void WriteInteger(int32_t value);
    void WriteString(const QString& text);
    void WriteTag(const char (&tag)[5]);

    int32_t ReadInteger();
    QString ReadString();
    // Reads 4 bytes; true when they are the tag's.
    bool ReadTag(const char (&tag)[5]);
    // The bytes after the position; -1 when the container cannot tell.
    int64_t Remaining();

private:
    void Put(const void* bytes, int64_t size);
    void Get(void* bytes, int64_t size);
};

}  // namespace IO_ns
