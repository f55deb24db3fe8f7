#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <cstdint>

namespace Cli_ns {

// What the command line prints: always UTF-8, whatever the locale.
class Output_cl {
public:
    // text and a line break on standard output.
    static void Line(const QString& text);
    // Bytes as they are on standard output.
    static void Bytes(const QByteArray& bytes);
    // text and a line break on standard error.
    static void ErrorLine(const QString& text);

    // Columns a terminal gives text: two for wide and full-width characters (Chinese,
    // "【】", full-width digits), none for combining marks, one otherwise.
    static int32_t DisplayWidth(const QString& text);
    // rows as aligned columns two spaces apart: the first leftColumns left-aligned (texts),
    // the others right-aligned (amounts). Every row ends with a line break.
    static QString Table(const QList<QStringList>& rows, qsizetype leftColumns = 1);
    // rows as the program's CSV files hold them, but in UTF-8 and without the byte-order
    // mark a file would get.
    static QByteArray Csv(const QList<QStringList>& rows);
};

}  // namespace Cli_ns
