#pragma once

#include <QString>

namespace Ado_ns {

// Turns the SQL Server dialect of the program's statements into PostgreSQL, so that a
// book on either server holds the same tables. Quoted text is never touched.
// Translated: bracketed names become double-quoted; identity(s,i) becomes a generated
// identity; nvarchar, nchar and datetime become varchar, char and timestamp(0);
// getdate() becomes the local current time; datename(part, x) and convert(type, x, 120)
// become to_char texts; charindex(a, b) becomes strpos of the lower-cased texts (SQL
// Server's default collation ignores case); isnull and len become coalesce and length; "+" next to a quoted
// text becomes "||"; "select top n" becomes a "limit n" at the end of its query.
class PgDialect_cl {
public:
    static QString Translate(const QString& sql);
};

}  // namespace Ado_ns
