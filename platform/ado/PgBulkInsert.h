#pragma once

#include "Variant.h"

#include <QHash>
#include <QStringList>
#include <optional>

namespace Ado_ns {

// An insert of many rows, "insert into t(a,b,c) values(?,?,'1'),(?,?,'1'),...", every row
// the same text, written instead as one insert from arrays: one array per marker of a
// row, each holding that marker's values of all rows. The server then reads eight
// values where it read a thousand, and inserts the rows as from one query rather than
// setting up each row's expressions.
class PgBulkInsert_cl {
public:
    // The shape of sql, or nothing when it is not such an insert of at least two rows
    // with plain names, or when a row holds a marker inside something else.
    static std::optional<PgBulkInsert_cl> Parse(const QString& sql);

    const QString& Table() const { return table; }
    // The insert from arrays, given the server's type of each column by its name in
    // lower case; nothing when a column with a marker is missing there.
    std::optional<QString> Statement(const QHash<QString, QString>& columnTypes) const;
    // The arrays' texts for parameters given row after row; nothing when their count is
    // not whole rows or a value has no text form the server reads back the same.
    std::optional<VariantList_tl> Arrays(const VariantList_tl& parameters) const;

private:
    QString table;
    QStringList columns;
    QStringList row;  // each column's value text, "?" for a marker
    qsizetype markers = 0;
};

}  // namespace Ado_ns
