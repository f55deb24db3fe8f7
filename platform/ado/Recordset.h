#pragma once

#include "Variant.h"

#include <QList>
#include <QStringList>

namespace Ado_ns {

// The rows of one executed statement, held in memory so that MoveFirst works after a
// walk. A closed row set (a statement without rows) refuses every move and read with
// ObjectClosed; an open one refuses moves and reads at its end with NoCurrentRecord.
// Both codes lie outside the providers' interface range.
class Recordset_cl {
public:
    Recordset_cl();                                     // closed
    explicit Recordset_cl(const QStringList& names);    // open, one field per name, no rows yet

    bool IsOpen() const { return open; }
    bool IsEOF() const;
    void MoveFirst();
    void MoveNext();
    int32_t FieldCount() const;
    // Field index counted from 0 on the current row; ItemNotFound past the last field.
    Variant_st Value(int32_t index) const;
    QString Name(int32_t index) const;

    // Adds a row at the end (one value per field); used while the engine fills the set.
    void AppendRow(const QList<Variant_st>& values);

private:
    void CheckOpen() const;
    void CheckField(int32_t index) const;

    bool open;
    QStringList names;
    QList<Variant_st> values;  // row after row
    qsizetype rows = 0;
    qsizetype current = 0;
};

}  // namespace Ado_ns
