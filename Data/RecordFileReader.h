#pragma once

#include "Data/RecordManage.h"
#include "IO/CSVStream.h"
#include "IO/FileStream.h"

#include <QString>
#include <cstdint>

namespace Vorelle_ns {

// Reads the record page's CSV file one entry at a time, in GBK or UTF-8 (told by its
// byte-order mark or by its bytes), so that a file of any length is read in the same
// memory. A fault raises a user error whose remark names the line ("第N行", counting
// breaks inside quoted cells); each entry keeps its line for the booking's refusals.
// Raises the file's I/O errors.
class RecordFileReader_cl {
public:
    // Opens the file and checks its header.
    explicit RecordFileReader_cl(const QString& path);

    static QString ClassName() { return QStringLiteral("RecordFileReader_cl"); }

    // The next entry, checked; false at the end of the file.
    [[nodiscard]] bool Next(RecordInfo_st& record);
    // The entries read so far.
    int32_t Count() const { return count; }
    // How far reading has come, and the file's size, in bytes: for a progress bar.
    int64_t Position() { return stream.FilePosition(); }
    int64_t Size() const { return size; }

private:
    IO_ns::FileStream_tl<IO_ns::CSVStream_cl> stream;
    int32_t count = 0;
    int64_t size = 0;
};

}  // namespace Vorelle_ns
