#pragma once

#include "DB/ComplexCommand.h"
#include "base/DateTime.h"

#include <QString>
#include <cstddef>
#include <cstdint>

namespace Vorelle_ns {

// The runnable text of one statement: the table's entry for the database kind with its
// parameter occurrences filled in text order by the values given (texts, 32-bit integers
// or date-times).
template <std::size_t N, typename... Values>
QString MakeSQL(int32_t dbType, const DB_ns::SQLTemplate_st (&table)[N], const Values&... values) {
    DB_ns::ComplexCommand_cl command(dbType);
    command.SetTemplates(table, int32_t(N));
    int32_t index = 0;
    (command.SetParam(index++, values), ...);
    return command.GetSQL();
}

// The same as a statement whose variant values are bound to markers rather than pasted.
template <std::size_t N, typename... Values>
DB_ns::BoundSQL_st MakeStatement(int32_t dbType, const DB_ns::SQLTemplate_st (&table)[N], const Values&... values) {
    DB_ns::ComplexCommand_cl command(dbType);
    command.SetTemplates(table, int32_t(N));
    int32_t index = 0;
    (command.SetParam(index++, values), ...);
    return command.GetStatement();
}

}  // namespace Vorelle_ns
