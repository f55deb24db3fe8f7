#pragma once

#include "ConnectionString.h"

namespace Ado_ns {

// Turns the connection strings of the SQL Server and Oracle providers into ODBC
// connection texts. Every value is brace-quoted, so ";" and "}" in a password stay
// inside it. The installed drivers end a braced value at the first "};" and take the
// rest as it stands (a doubled "}" would reach the server doubled), so a value holding
// "};" cannot be passed on and is refused rather than cut short. Builders throw
// ProviderError_cl (Fail) for it.
class OdbcLink_cl {
public:
    // FreeTDS; "Data Source" is "host", "host,port" or "host\instance".
    static QString SqlServer(const ConnectionString_cl& settings);
    // The installed Oracle driver (FindDriver); "Data Source" is the service name.
    static QString Oracle(const ConnectionString_cl& settings);
    // psqlODBC; "Data Source" is "host", "host:port" or "[address]:port"; the database
    // is the login's name when none is given.
    static QString PostgreSQL(const ConnectionString_cl& settings);
    // Seconds allowed for logging in: "Connect Timeout", 15 when absent.
    static int LoginTimeout(const ConnectionString_cl& settings);
    // {value}; throws for a value holding "};".
    static QString Quote(const QString& value);
    // The first driver of the ODBC driver list whose name contains part (any case);
    // the empty text when none does or the environment is not set up.
    static QString FindDriver(const QString& part);
};

}  // namespace Ado_ns
