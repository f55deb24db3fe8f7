#pragma once

#include "Stream.h"

#include <QByteArray>
#include <QString>
#include <cstdint>

namespace IO_ns {

// Comma-separated tables, one cell at a time, in GBK (code page 936) or UTF-8. Every row
// has as many cells as the first one; a row is ended by CR LF when written, by LF when
// read. Blank lines between rows hold no cells. A cell that does not begin with a double
// quote is read as written, quotes and all. A text a spreadsheet would take for a formula
// (=, +, -, @ first, not a number) is written behind an apostrophe, which reading drops
// again. Refusals name the line of the file.
class CSVStream_cl : public Stream_cl {
public:
    enum class Encoding_en { Gbk, Utf8 };

    explicit CSVStream_cl(IContainer_cl& container) : Stream_cl(container) {}
    CSVStream_cl(const CSVStream_cl&) = delete;
    CSVStream_cl& operator=(const CSVStream_cl&) = delete;
    virtual ~CSVStream_cl();

    static QString ClassName() { return QStringLiteral("CSVStream_cl"); }
    // "第N行", the remark that names a line of the file.
    static QString LineRemark(int32_t line);

    // Fixes the cells per row for writing; only once, before the first cell.
    void SetColumnCount(int32_t count);
    // The cells per row; when reading, counted on the first line if not yet known.
    int32_t ColumnCount();
    // The encoding to write; only before the first cell. UTF-8 begins with a byte-order
    // mark, by which spreadsheets recognise it.
    void SetEncoding(Encoding_en chosen);
    // When reading: UTF-8 after a byte-order mark, or once a cell that is not plain ASCII
    // turned out to be valid UTF-8; GBK otherwise.
    Encoding_en Encoding() const { return encoding; }

    // True when GBK holds every character of text, so that it can be written in the
    // default encoding.
    [[nodiscard]] static bool GbkHolds(const QString& text);

    // Writes one cell and the separator or row end after it. Text the encoding cannot
    // hold, and a NUL character, are refused, naming the line, never replaced.
    void WriteCell(const QString& text);
    // The next cell; raises when there is none.
    QString ReadCell();
    // The next cell in text and true, or false at the end of the data.
    bool TryReadCell(QString& text);
    // The line of the file on which the row of the last cell read or written begins.
    int32_t Line() const { return rowLine; }

private:
    enum class End_en { Separator, Row, Data };

    void Start();
    void CountColumns();
    [[nodiscard]] bool ReadRaw(End_en& end);
    [[nodiscard]] bool NextByte(char& byte);
    QString Decode();
    QByteArray Encode(const QString& text);

    int32_t columnCount = -1;
    int32_t currentColumn = 0;
    Encoding_en encoding = Encoding_en::Gbk;
    bool started = false;
    bool decided = false;  // reading: the encoding is known
    int32_t line = 1;      // the line of the next byte
    int32_t rowLine = 1;
    QByteArray raw;         // the bytes of the cell being read, quotes resolved
    void* encoder = nullptr;  // iconv descriptors, opened once per stream
    void* decoder = nullptr;
};

}  // namespace IO_ns
