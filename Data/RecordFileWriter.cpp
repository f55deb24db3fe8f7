#include "RecordFileWriter.h"

namespace Vorelle_ns {

RecordFileWriter_cl::RecordFileWriter_cl(const QString& path, IO_ns::CSVStream_cl::Encoding_en encoding) {
    file.OpenForReplace(path);
    file.SetEncoding(encoding);
    file.SetColumnCount(RecordFile_cl::ColumnCount);
    for (int32_t column = 0; column < RecordFile_cl::ColumnCount; ++column)
        file.WriteCell(RecordFile_cl::ColumnTitle(column));
}

void RecordFileWriter_cl::Add(const RecordRow_st& row) {
    RecordFile_cl::RowTexts(row, texts);
    // The time of day too, so that importing the file again keeps it.
    const Base_ns::DateTime_cl& time = row.recordTime;
    if (time.Hour() != 0 || time.Minute() != 0 || time.Second() != 0) texts[0] = time.Format();
    for (const QString& text : texts) file.WriteCell(text);
    ++count;
}

void RecordFileWriter_cl::Close() { file.Close(); }

}  // namespace Vorelle_ns
