#include "Environment.h"

#include "ProviderError.h"

#include <sql.h>
#include <sqlext.h>

namespace Ado_ns {

namespace {

SQLHENV environment = SQL_NULL_HENV;

}  // namespace

void Environment_cl::Startup() {
    if (environment != SQL_NULL_HENV)
        return;
    SQLHENV handle = SQL_NULL_HENV;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &handle)))
        throw ProviderError_cl(Result_ns::Fail, QStringLiteral("The ODBC environment could not be set up."));
    if (!SQL_SUCCEEDED(SQLSetEnvAttr(handle, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0))) {
        SQLFreeHandle(SQL_HANDLE_ENV, handle);
        throw ProviderError_cl(Result_ns::Fail, QStringLiteral("The ODBC environment does not offer ODBC 3."));
    }
    environment = handle;
}

void Environment_cl::Shutdown() {
    if (environment != SQL_NULL_HENV && SQL_SUCCEEDED(SQLFreeHandle(SQL_HANDLE_ENV, environment)))
        environment = SQL_NULL_HENV;
}

void* Environment_cl::Handle() { return environment; }

}  // namespace Ado_ns
