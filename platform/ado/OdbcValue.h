#pragma once

#include "Variant.h"

#include <sql.h>
#include <sqlext.h>

// Values read from an ODBC driver, turned into variants the same way whether they were
// fetched one by one or in blocks.
namespace Ado_ns::OdbcValue_ns {

static_assert(sizeof(SQLWCHAR) == sizeof(char16_t), "the driver manager must use UTF-16 wide characters");

inline QString FromWide(const SQLWCHAR* text, qsizetype length) {
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(text), length);
}

// A date, time or timestamp column's value; a time of day lies on day zero.
Variant_st FromTimestamp(SQL_TIMESTAMP_STRUCT value, SQLSMALLINT type);
// A column read as text: a decimal number as one where its digits fit.
Variant_st FromText(const QString& text, SQLSMALLINT type);

}  // namespace Ado_ns::OdbcValue_ns
