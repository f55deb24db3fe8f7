#pragma once

#include "Container/List.h"
#include "Variant.h"
#include "base/Trusteeship.h"

namespace Ado_ns {

// The rows of one executed statement, held in memory so that MoveFirst works after a
// walk. A closed row set (a statement without rows) refuses every move and read with
// ObjectClosed; an open one refuses moves and reads at its end with NoCurrentRecord.
// Both codes lie outside the providers' interface range.
class Recordset_cl {
public:
    using Row_tl = Base_ns::Trusteeship_tl<Variant_st>;

    Recordset_cl();                                                // closed
    explicit Recordset_cl(const Base_ns::Trusteeship_tl<QString>& names);  // open, no rows yet
    Recordset_cl(const Recordset_cl&) = delete;
    Recordset_cl& operator=(const Recordset_cl&) = delete;

    bool IsOpen() const { return open; }
    bool IsEOF() const;
    void MoveFirst();
    void MoveNext();
    int32_t FieldCount() const;
    // Field index counted from 0 on the current row; ItemNotFound past the last field.
    Variant_st Value(int32_t index) const;
    QString Name(int32_t index) const;

    // Adds a row (one value per field) at the end while the engine fills the set; the
    // first row becomes the current one.
    void AppendRow(const Row_tl& row);

private:
    void CheckOpen() const;
    void CheckField(int32_t index) const;

    bool open;
    Base_ns::Trusteeship_tl<QString> names;
    Container_ns::List_tl<Row_tl> rows;
    Container_ns::List_tl<Row_tl>::Identifier_cl current;  // empty at the end
};

}  // namespace Ado_ns
