#pragma once

#include "Import/SheetRows.h"

#include <QSet>
#include <QString>
#include <QStringList>
#include <QXmlStreamReader>
#include <memory>

namespace Import_ns {

class ZipEntry_cl;

// The first sheet of an Excel workbook (.xlsx): shared strings, inline strings and
// numbers as text; a number in a date format becomes the time it stands for
// ("2024-01-03 08:00:00"). The sheet is read as a stream; only the shared strings are
// held. A workbook past the bounds below is refused, naming what is wrong: statements
// have a few dozen columns and texts of a line or two, so more is damage or malice.
class XlsxRows_cl : public SheetRows_cl {
public:
    static constexpr int32_t MaxColumns = 256;
    static constexpr int32_t MaxRows = 1048576;
    static constexpr qsizetype MaxCell = 32767;  // characters, as spreadsheets allow
    static constexpr qsizetype MaxSharedStrings = 500000;
    static constexpr qsizetype MaxStyles = 65536;  // number and cell formats together

    // Raises an I/O error naming the file when it is not a readable workbook.
    explicit XlsxRows_cl(const QString& path);
    ~XlsxRows_cl() override;

    static QString ClassName() { return QStringLiteral("XlsxRows_cl"); }
    // Whether the file begins like a zip archive.
    static bool LooksLikeZip(const QString& path);

    void Rewind() override;
    bool Next(QStringList& cells, int32_t& line) override;
    int64_t Position() const override;
    int64_t Size() const override;
    QString Encoding() const override { return QStringLiteral("XLSX"); }

private:
    QString FirstSheetPath();
    void ReadSharedStrings();
    void ReadDateStyles();
    // The text of a <si> or <is> element, the reader standing on its start.
    QString ReadRichText();
    // The text of a simple element up to its end, the reader standing on its start.
    QString ReadText();
    void ReadCell(QStringList& cells);
    // Raises the fault of the member being read if there is one, else the XML error.
    [[noreturn]] void ThrowXmlError(const ZipEntry_cl& entry);
    QString Where() const;

    QString path;
    QString sheetPath;
    QStringList shared;
    QSet<int32_t> dateStyles;  // cell styles showing a number as a date
    std::unique_ptr<ZipEntry_cl> sheet;
    QXmlStreamReader xml;
    int32_t row = 0;  // the sheet row being read, or the last one read
};

}  // namespace Import_ns
