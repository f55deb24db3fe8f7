#pragma once

#include <QStringList>
#include <cstdint>

namespace Import_ns {

// The rows of a table file, one list of cells at a time, read again from the start on
// Rewind. Cells are trimmed of spaces and tabs (statements pad them so that
// spreadsheets keep long numbers as text).
class SheetRows_cl {
public:
    virtual ~SheetRows_cl() = default;
    virtual void Rewind() = 0;
    // The next row and the line it begins on (from 1); false at the end.
    [[nodiscard]] virtual bool Next(QStringList& cells, int32_t& line) = 0;
    // How far reading has come, in bytes of the total, for progress.
    virtual int64_t Position() const = 0;
    virtual int64_t Size() const = 0;
    // The text encoding found, for the summary ("UTF-8", "GB18030", "XLSX").
    virtual QString Encoding() const = 0;
    // Whether text may stand somewhere in the file: false only when it surely does not
    // (a packed workbook may hold anything).
    [[nodiscard]] virtual bool MayContain(const QString& text) {
        (void)text;
        return true;
    }
};

}  // namespace Import_ns
