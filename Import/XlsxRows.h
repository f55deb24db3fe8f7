#pragma once

#include "Import/SheetRows.h"

#include <QString>
#include <QStringList>
#include <QXmlStreamReader>
#include <memory>

namespace Import_ns {

class ZipEntry_cl;

// The first sheet of an Excel workbook (.xlsx): shared strings, inline strings and
// numbers as text (a date stored as a number stays its day count). The sheet is read as
// a stream; only the shared strings are held.
class XlsxRows_cl : public SheetRows_cl {
public:
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
    // The text of a <si> or <is> element, the reader standing on its start.
    QString ReadRichText();

    QString path;
    QString sheetPath;
    QStringList shared;
    std::unique_ptr<ZipEntry_cl> sheet;
    QXmlStreamReader xml;
};

}  // namespace Import_ns
