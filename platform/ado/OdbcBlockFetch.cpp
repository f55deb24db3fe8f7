#include "OdbcBlockFetch.h"

#include "OdbcValue.h"

namespace Ado_ns {

namespace {

SQLSMALLINT CType(SQLSMALLINT type) {
    switch (type) {
    case SQL_SMALLINT:
    case SQL_TINYINT: return SQL_C_SSHORT;
    case SQL_INTEGER:
    case SQL_BIGINT: return SQL_C_SBIGINT;
    case SQL_BIT: return SQL_C_BIT;
    case SQL_REAL:
    case SQL_FLOAT:
    case SQL_DOUBLE: return SQL_C_DOUBLE;
    case SQL_TYPE_DATE:
    case SQL_TYPE_TIME:
    case SQL_TYPE_TIMESTAMP: return SQL_C_TYPE_TIMESTAMP;
    default: return SQL_C_WCHAR;
    }
}

SQLLEN Width(SQLSMALLINT cType) {
    switch (cType) {
    case SQL_C_SSHORT: return sizeof(SQLSMALLINT);
    case SQL_C_SBIGINT: return sizeof(SQLBIGINT);
    case SQL_C_BIT: return sizeof(SQLCHAR);
    case SQL_C_DOUBLE: return sizeof(SQLDOUBLE);
    default: return sizeof(SQL_TIMESTAMP_STRUCT);
    }
}

}  // namespace

OdbcBlockFetch_cl::~OdbcBlockFetch_cl() {
    SQLFreeStmt(stmt, SQL_UNBIND);
    SQLSetStmtAttr(stmt, SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(SQLULEN(1)), 0);
    SQLSetStmtAttr(stmt, SQL_ATTR_ROWS_FETCHED_PTR, nullptr, 0);
    SQLSetStmtAttr(stmt, SQL_ATTR_ROW_STATUS_PTR, nullptr, 0);
}

bool OdbcBlockFetch_cl::Fits(SQLSMALLINT type, SQLULEN size) {
    return CType(type) != SQL_C_WCHAR || (size > 0 && size <= kLongestText);
}

bool OdbcBlockFetch_cl::Bind(const std::vector<SQLSMALLINT>& types, const std::vector<SQLULEN>& sizes) {
    columns.resize(types.size());
    for (size_t i = 0; i < types.size(); ++i) {
        Column_st& column = columns[i];
        column.type = types[i];
        column.cType = CType(types[i]);
        // Each character may take two UTF-16 units; one more for the terminator.
        column.width = column.cType == SQL_C_WCHAR ? SQLLEN((2 * sizes[i] + 1) * sizeof(SQLWCHAR)) : Width(column.cType);
        column.data.resize(size_t(column.width) * kRows);
        column.indicators.resize(kRows);
        if (!SQL_SUCCEEDED(SQLBindCol(stmt, SQLUSMALLINT(i + 1), column.cType, column.data.data(), column.width,
                                      column.indicators.data())))
            return false;
    }
    return SQL_SUCCEEDED(SQLSetStmtAttr(stmt, SQL_ATTR_ROW_BIND_TYPE, SQL_BIND_BY_COLUMN, 0)) &&
           SQL_SUCCEEDED(SQLSetStmtAttr(stmt, SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(kRows), 0)) &&
           SQL_SUCCEEDED(SQLSetStmtAttr(stmt, SQL_ATTR_ROWS_FETCHED_PTR, &fetched, 0)) &&
           SQL_SUCCEEDED(SQLSetStmtAttr(stmt, SQL_ATTR_ROW_STATUS_PTR, statuses, 0));
}

bool OdbcBlockFetch_cl::Value(size_t column, SQLULEN row, Variant_st& out) const {
    const Column_st& c = columns[column];
    const SQLLEN indicator = c.indicators[row];
    const char* data = c.data.data() + size_t(c.width) * row;
    if (indicator == SQL_NULL_DATA) {
        out = Variant_st::Null();
        return true;
    }
    switch (c.cType) {
    case SQL_C_SSHORT:
        out = Variant_st::Short(*reinterpret_cast<const SQLSMALLINT*>(data));
        return true;
    case SQL_C_SBIGINT:
        out = Variant_st::Integer(*reinterpret_cast<const SQLBIGINT*>(data));
        return true;
    case SQL_C_BIT:
        out = Variant_st::Bool(*reinterpret_cast<const SQLCHAR*>(data) != 0);
        return true;
    case SQL_C_DOUBLE:
        out = Variant_st::Real(*reinterpret_cast<const SQLDOUBLE*>(data));
        return true;
    case SQL_C_TYPE_TIMESTAMP:
        out = OdbcValue_ns::FromTimestamp(*reinterpret_cast<const SQL_TIMESTAMP_STRUCT*>(data), c.type);
        return true;
    default:
        if (indicator == SQL_NO_TOTAL || indicator >= c.width) return false;
        out = OdbcValue_ns::FromText(
            OdbcValue_ns::FromWide(reinterpret_cast<const SQLWCHAR*>(data), indicator / qsizetype(sizeof(SQLWCHAR))), c.type);
        return true;
    }
}

}  // namespace Ado_ns
