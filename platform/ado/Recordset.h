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
    // Closed, or open without a row: a move would be refused.
    bool HasNoRows() const { return !open || blocks.Count() == 0; }
    bool IsEOF() const;
    void MoveFirst();
    void MoveNext();
    int32_t FieldCount() const;
    // Field index counted from 0 on the current row; ItemNotFound past the last field.
    Variant_st Value(int32_t index) const;
    QString Name(int32_t index) const;

    // Adds a copy of a row (one value per field) at the end while the engine fills the
    // set; the first row becomes the current one.
    void AppendRow(const Row_tl& row);

private:
    // Consecutive rows in one array, field by field, so that a large result costs a few
    // allocations instead of some for every row. Blocks grow as the set does.
    struct Block_st {
        Row_tl values;
        int32_t capacity = 0;  // rows
        int32_t used = 0;      // rows
    };
    using Blocks_tl = Container_ns::List_tl<Block_st>;

    void CheckOpen() const;
    void CheckField(int32_t index) const;

    bool open;
    Base_ns::Trusteeship_tl<QString> names;
    Blocks_tl blocks;
    Blocks_tl::Identifier_cl last;     // the block being filled
    Blocks_tl::Identifier_cl current;  // the current row's block; empty at the end
    int32_t currentRow = 0;            // within the current block
};

}  // namespace Ado_ns
