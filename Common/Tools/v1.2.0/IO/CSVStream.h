#pragma once

#include "Stream.h"

#include <QString>
#include <cstdint>

namespace IO_ns {

// Comma-separated tables, one cell at a time, in the ANSI code page (936). Every row has
// as many cells as the first one; a row is ended by CR LF when written, by LF when read.
class CSVStream_cl : public Stream_cl {
public:
    explicit CSVStream_cl(IContainer_cl& container) : Stream_cl(container) {}
    virtual ~CSVStream_cl() = default;

    static QString ClassName() { return QStringLiteral("CSVStream_cl"); }

    // Fixes the cells per row for writing; only once, before the first cell.
    void SetColumnCount(int32_t count);
    // The cells per row; when reading, counted on the first line if not yet known.
    int32_t ColumnCount();

    // Writes one cell and the separator or row end after it.
    void WriteCell(const QString& text);
    // The next cell; raises when there is none.
    QString ReadCell();
    // The next cell in text and true, or false at the end of the data.
    bool TryReadCell(QString& text);

private:
    void CountColumns();
    void NextColumn();
    void EndRow();

    int32_t columnCount = -1;
    int32_t currentColumn = 0;
};

}  // namespace IO_ns
