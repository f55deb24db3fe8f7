#pragma once

#include "Data/RecordFile.h"
#include "IO/CSVStream.h"
#include "IO/FileStream.h"

#include <QString>
#include <cstdint>

namespace Vorelle_ns {

// The record page's CSV file written an entry at a time, so that an export of any length
// holds one entry in memory. The file is made beside the target and replaces it at Close
// only; a writer let go of before Close leaves the target as it was.
class RecordFileWriter_cl {
public:
    // Opens the file and writes the header.
    RecordFileWriter_cl(const QString& path, IO_ns::CSVStream_cl::Encoding_en encoding);

    // Writes one entry, its time of day too unless it is midnight; text the encoding
    // cannot hold is refused, naming its line.
    void Add(const RecordRow_st& row);
    void Close();
    int32_t Count() const { return count; }

private:
    IO_ns::FileStream_tl<IO_ns::CSVStream_cl> file;
    QString texts[RecordFile_cl::ColumnCount];
    int32_t count = 0;
};

}  // namespace Vorelle_ns
