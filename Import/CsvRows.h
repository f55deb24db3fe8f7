#pragma once

#include "Import/SheetRows.h"

#include <QFile>
#include <QStringDecoder>

namespace Import_ns {

// A comma-separated file in UTF-8 (with or without byte order mark) or GB18030, found by
// its bytes. Read line by line, so memory stays the same whatever the file's length;
// quoted cells may hold commas, doubled quotes and line breaks; a quote inside an
// unquoted cell is part of its text. A quote left open to the
// end, a row longer than MaxRowBytes and a NUL character are refused, naming the line.
class CsvRows_cl : public SheetRows_cl {
public:
    static constexpr qsizetype MaxRowBytes = qsizetype(1) << 20;

    // Raises the file's I/O error when it cannot be opened.
    explicit CsvRows_cl(const QString& path);

    static QString ClassName() { return QStringLiteral("CsvRows_cl"); }

    void Rewind() override;
    bool Next(QStringList& cells, int32_t& line) override;
    int64_t Position() const override { return file.pos(); }
    int64_t Size() const override { return file.size(); }
    QString Encoding() const override { return utf8 ? QStringLiteral("UTF-8") : QStringLiteral("GB18030"); }
    // Looks for the text's bytes in the file's encoding; reading goes on where it was.
    [[nodiscard]] bool MayContain(const QString& text) override;

private:
    // Where a character leaves the cell it is in.
    enum class Cell_en { Start, Bare, Quoted, Closed };
    // The state after text[i]; a doubled quote inside a quoted cell is read whole, moving i
    // to its second quote. Over the bytes of a line as over its text: a quote, a comma or a
    // space byte is never part of a GB18030 or UTF-8 character.
    template <typename Text>
    static Cell_en Step(Cell_en cell, const Text& text, qsizetype& i);
    // Splits one record's text into trimmed cells.
    QStringList Split(QStringView text);

    QByteArray ReadLine();

    QFile file;
    QByteArray lineBuffer;  // one line's bytes, allocated once: a megabyte per line would be mapped anew each time
    bool utf8 = true;
    QStringDecoder decoder;
    int32_t nextLine = 1;
    qsizetype width = 0;  // cells of the last record: room is made for as many
};

}  // namespace Import_ns
