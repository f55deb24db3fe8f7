#pragma once

#include "Variant.h"

#include <sql.h>
#include <sqlext.h>
#include <vector>

namespace Ado_ns {

// A result's columns bound to arrays, so that one call fetches a block of rows instead of
// one call per value. Only for columns whose values have a known, modest width; the
// statement is given back as it was however the fetch ends, as it may be run again.
class OdbcBlockFetch_cl {
public:
    static constexpr SQLULEN kRows = 256;
    static constexpr SQLULEN kLongestText = 1000;  // characters

    explicit OdbcBlockFetch_cl(SQLHSTMT stmt) : stmt(stmt) {}
    ~OdbcBlockFetch_cl();
    OdbcBlockFetch_cl(const OdbcBlockFetch_cl&) = delete;
    OdbcBlockFetch_cl& operator=(const OdbcBlockFetch_cl&) = delete;

    // Whether a column of the type and size (in characters) can be bound.
    static bool Fits(SQLSMALLINT type, SQLULEN size);
    // Binds the columns, all of which fit; false when the driver refuses.
    [[nodiscard]] bool Bind(const std::vector<SQLSMALLINT>& types, const std::vector<SQLULEN>& sizes);
    // The next block: SQL_NO_DATA at the end, an error as the driver gave it.
    SQLRETURN Next() { return SQLFetch(stmt); }
    SQLULEN Fetched() const { return fetched; }
    bool RowFailed(SQLULEN row) const { return statuses[row] == SQL_ROW_ERROR; }
    // The value of column at row of the block; false when a text did not fit its buffer.
    [[nodiscard]] bool Value(size_t column, SQLULEN row, Variant_st& out) const;

private:
    struct Column_st {
        SQLSMALLINT type = 0, cType = 0;
        SQLLEN width = 0;  // bytes per row
        std::vector<char> data;
        std::vector<SQLLEN> indicators;
    };
    SQLHSTMT stmt;
    std::vector<Column_st> columns;
    SQLULEN fetched = 0;
    SQLUSMALLINT statuses[kRows] = {};
};

}  // namespace Ado_ns
