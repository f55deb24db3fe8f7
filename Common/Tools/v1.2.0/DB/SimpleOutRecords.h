#pragma once

#include "base/DateTime.h"
#include "base/Trusteeship.h"
#include "platform/ado/Recordset.h"

#include <QString>
#include <cstdint>
#include <memory>

namespace DB_ns {

// A query read as a crosstab: captions of the columns after the first, the first column
// of each row as its caption, and the other columns as integer cells, row after row.
struct CrossTable_st {
    Base_ns::Trusteeship_tl<QString> columnCaptions;
    Base_ns::Trusteeship_tl<QString> rowCaptions;
    Base_ns::Trusteeship_tl<int32_t> cells;  // row i, column j at i * columns + j
    // Where the rows are categories, whether each is of the income kind: a refund makes
    // an expense category's sum positive, so the sign cannot tell. Empty when the query
    // gives no kinds.
    Base_ns::Trusteeship_tl<bool> incomeRows;
};

// The rows of one query, read column after column: each typed read takes the value
// under the column cursor and moves the cursor right; MoveNext starts the next row at
// column 0. Copies share the rows.
class SimpleOutRecords_cl {
public:
    SimpleOutRecords_cl() = default;

    // Holds rowSet, counts its rows and stands on the first one. A failing move escapes
    // to the caller (Query decides what it means).
    void Attach(std::shared_ptr<Ado_ns::Recordset_cl> rowSet);
    // Back to the empty state: no rows, column cursor -1, row count 0.
    void Detach();

    void MoveFirst();
    bool MoveNext();
    int32_t GetRowCount() const;
    int32_t GetFieldCount() const;
    QString GetFieldName(int32_t index) const;

    void GetValue(Ado_ns::Variant_st& value);
    void GetString(QString& value);
    void GetInteger(int32_t& value);
    int32_t GetInteger();
    void GetDateTime(Base_ns::DateTime_cl& value);
    Base_ns::DateTime_cl GetDateTime();
    int32_t GetEnum();

    CrossTable_st ReadTable();

    static QString ClassName() { return QStringLiteral("SimpleOutRecords_cl"); }

private:
    void CheckAttached() const;

    std::shared_ptr<Ado_ns::Recordset_cl> rowSet;
    int32_t column = -1;  // the next column to read; -1 when not positioned
    int32_t rowCount = 0;
};

}  // namespace DB_ns
