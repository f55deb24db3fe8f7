#include "OdbcEngine.h"

#include "Environment.h"
#include "OdbcBlockFetch.h"
#include "OdbcLink.h"
#include "OdbcValue.h"
#include "base/DateTime.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include <sql.h>
#include <sqlext.h>

namespace Ado_ns {

namespace {

using OdbcValue_ns::FromWide;

const SQLWCHAR* Wide(const QString& text) { return reinterpret_cast<const SQLWCHAR*>(text.utf16()); }

// Frees the statement when the scope ends, however it ends.
struct Statement_st {
    SQLHSTMT handle = SQL_NULL_HSTMT;
    ~Statement_st() {
        if (handle != SQL_NULL_HSTMT)
            SQLFreeHandle(SQL_HANDLE_STMT, handle);
    }
};

// The values bound to a statement's markers, kept where the driver reads them until the
// statement has run.
struct Bound_st {
    std::vector<QString> texts;
    std::vector<SQLBIGINT> integers;
    std::vector<SQLDOUBLE> reals;
    std::vector<SQL_TIMESTAMP_STRUCT> dates;
    std::vector<SQLLEN> indicators;
    explicit Bound_st(size_t count) : texts(count), integers(count), reals(count), dates(count), indicators(count, 0) {}
};

// Binds one value as input; false when the driver refuses it.
bool BindOne(SQLHSTMT stmt, size_t index, const Variant_st& value, Bound_st& bound) {
    const SQLUSMALLINT number = SQLUSMALLINT(index + 1);
    SQLLEN& indicator = bound.indicators[index];
    switch (value.type) {
    case VT_I2:
    case VT_I4:
    case VT_BOOL:
        bound.integers[index] = value.integer;
        return SQL_SUCCEEDED(SQLBindParameter(stmt, number, SQL_PARAM_INPUT, SQL_C_SBIGINT, SQL_BIGINT, 0, 0,
                                              &bound.integers[index], 0, &indicator));
    case VT_R8:
    case VT_DECIMAL:
        bound.reals[index] = value.type == VT_R8 ? value.real : double(value.integer) / std::pow(10.0, value.scale);
        return SQL_SUCCEEDED(SQLBindParameter(stmt, number, SQL_PARAM_INPUT, SQL_C_DOUBLE, SQL_DOUBLE, 0, 0,
                                              &bound.reals[index], 0, &indicator));
    case VT_DATE: {
        const Base_ns::DateTime_cl::Parts_st parts = Base_ns::DateTime_cl(value.real).Parts();
        bound.dates[index] = {SQLSMALLINT(parts.year), SQLUSMALLINT(parts.month), SQLUSMALLINT(parts.day),
                              SQLUSMALLINT(parts.hour), SQLUSMALLINT(parts.minute), SQLUSMALLINT(parts.second), 0};
        return SQL_SUCCEEDED(SQLBindParameter(stmt, number, SQL_PARAM_INPUT, SQL_C_TYPE_TIMESTAMP, SQL_TYPE_TIMESTAMP,
                                              19, 0, &bound.dates[index], 0, &indicator));
    }
    case VT_BSTR: {
        QString& text = bound.texts[index];
        text = value.text;
        indicator = SQLLEN(text.size() * 2);
        // A column size of at least one: drivers refuse zero for an empty text.
        return SQL_SUCCEEDED(SQLBindParameter(stmt, number, SQL_PARAM_INPUT, SQL_C_WCHAR, SQL_WVARCHAR,
                                              SQLULEN(std::max<qsizetype>(text.size(), 1)), 0,
                                              const_cast<SQLWCHAR*>(Wide(text)), indicator, &indicator));
    }
    default:
        indicator = SQL_NULL_DATA;
        return SQL_SUCCEEDED(SQLBindParameter(stmt, number, SQL_PARAM_INPUT, SQL_C_CHAR, SQL_VARCHAR, 1, 0, nullptr, 0,
                                              &indicator));
    }
}

}  // namespace

std::unique_ptr<Engine_cl> OdbcEngine_cl::ForSqlServer(const ConnectionString_cl& settings, ErrorList_cl& errors) {
    return Connect(settings, OdbcLink_cl::SqlServer, ProviderName_ns::SqlServer.toString(), errors);
}

std::unique_ptr<Engine_cl> OdbcEngine_cl::ForOracle(const ConnectionString_cl& settings, ErrorList_cl& errors) {
    return Connect(settings, OdbcLink_cl::Oracle, ProviderName_ns::Oracle.toString(), errors);
}

std::unique_ptr<Engine_cl> OdbcEngine_cl::Connect(const ConnectionString_cl& settings,
                                                  QString (*build)(const ConnectionString_cl&), const QString& source,
                                                  ErrorList_cl& errors) {
    QString text;
    try {
        text = build(settings);
    } catch (const ProviderError_cl& error) {
        errors.Clear();
        errors.Add({int32_t(error.Result()), error.Description(), 0, QString(), source});
        throw;
    }
    return std::make_unique<OdbcEngine_cl>(text, OdbcLink_cl::LoginTimeout(settings), source, errors);
}

OdbcEngine_cl::OdbcEngine_cl(const QString& odbcText, int loginTimeout, const QString& source, ErrorList_cl& errors)
    : errors(errors), source(source) {
    const SQLHENV environment = static_cast<SQLHENV>(Environment_cl::Handle());
    if (environment == SQL_NULL_HENV)
        throw Refuse(Result_ns::NotInitialized, QStringLiteral("The provider layer has not been started."));
    SQLHDBC handle = SQL_NULL_HDBC;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_DBC, environment, &handle)))
        throw Diagnose(SQL_HANDLE_ENV, environment, Result_ns::Fail);
    dbc = handle;
    SQLSetConnectAttrW(handle, SQL_ATTR_LOGIN_TIMEOUT, reinterpret_cast<SQLPOINTER>(intptr_t(loginTimeout)), 0);
    const SQLRETURN rc = SQLDriverConnectW(handle, nullptr, const_cast<SQLWCHAR*>(Wide(odbcText)), SQLSMALLINT(odbcText.size()),
                                           nullptr, 0, nullptr, SQL_DRIVER_NOPROMPT);
    if (!SQL_SUCCEEDED(rc)) {
        const ProviderError_cl error = Diagnose(SQL_HANDLE_DBC, handle, Result_ns::Fail);
        SQLFreeHandle(SQL_HANDLE_DBC, handle);
        throw error;
    }
}

OdbcEngine_cl::~OdbcEngine_cl() {
    // A transaction still open is rolled back, as closing a connection does.
    if (inTransaction)
        SQLEndTran(SQL_HANDLE_DBC, dbc, SQL_ROLLBACK);
    for (const Kept_st& one : kept) SQLFreeHandle(SQL_HANDLE_STMT, one.stmt);
    SQLDisconnect(dbc);
    SQLFreeHandle(SQL_HANDLE_DBC, dbc);
}

ProviderError_cl OdbcEngine_cl::Diagnose(short handleType, void* handle, uint32_t result) {
    errors.Clear();
    QString description;
    SQLWCHAR state[6];
    SQLINTEGER native = 0;
    SQLWCHAR message[1024];
    SQLSMALLINT length = 0;
    for (SQLSMALLINT i = 1;
         SQL_SUCCEEDED(SQLGetDiagRecW(handleType, handle, i, state, &native, message, SQLSMALLINT(std::size(message)), &length));
         ++i) {
        const QString text = FromWide(message, std::min<qsizetype>(length, qsizetype(std::size(message)) - 1));
        errors.Add({int32_t(result), text, int32_t(native), FromWide(state, 5), source});
        description += (description.isEmpty() ? QString() : QStringLiteral("\n")) + text;
    }
    if (description.isEmpty()) {
        description = QStringLiteral("The ODBC driver reported a failure without a description.");
        errors.Add({int32_t(result), description, 0, QString(), source});
    }
    return ProviderError_cl(result, description);
}

ProviderError_cl OdbcEngine_cl::Refuse(uint32_t result, const QString& description) {
    errors.Clear();
    errors.Add({int32_t(result), description, 0, QString(), source});
    return ProviderError_cl(result, description);
}

std::shared_ptr<Recordset_cl> OdbcEngine_cl::Execute(const QString& sql, const VariantList_tl& parameters,
                                                    int32_t& recordsAffected) {
    // Every failure of a statement stays within the interface codes, so that a caller
    // never takes it for an empty result.
    if (parameters.empty()) {
        Statement_st statement;
        if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, dbc, &statement.handle)))
            throw Diagnose(SQL_HANDLE_DBC, dbc, Result_ns::ErrorsInCommand);
        const SQLRETURN rc = SQLExecDirectW(statement.handle, const_cast<SQLWCHAR*>(Wide(sql)), SQLINTEGER(sql.size()));
        return Results(statement.handle, rc, recordsAffected);
    }
    void* const stmt = Prepared(sql);
    try {
        SQLSMALLINT markers = 0;
        if (SQL_SUCCEEDED(SQLNumParams(stmt, &markers)) && size_t(markers) != parameters.size())
            throw Refuse(Result_ns::ErrorsInCommand, QStringLiteral("The statement has %1 parameters but %2 values were given.")
                                                         .arg(markers)
                                                         .arg(parameters.size()));
        Bound_st bound(parameters.size());
        for (size_t i = 0; i < parameters.size(); ++i)
            if (!BindOne(stmt, i, parameters[i], bound))
                throw Diagnose(SQL_HANDLE_STMT, stmt, Result_ns::ErrorsInCommand);
        auto rows = Results(stmt, SQLExecute(stmt), recordsAffected);
        // The values bound are about to go: the statement must not point at them.
        SQLFreeStmt(stmt, SQL_CLOSE);
        SQLFreeStmt(stmt, SQL_RESET_PARAMS);
        return rows;
    } catch (const ProviderError_cl&) {
        // A statement that failed is not trusted again.
        Forget(stmt);
        throw;
    }
}

void* OdbcEngine_cl::Prepared(const QString& sql) {
    constexpr size_t kKeep = 8;
    for (auto it = kept.begin(); it != kept.end(); ++it) {
        if (it->sql != sql) continue;
        std::rotate(kept.begin(), it, it + 1);
        return kept.front().stmt;
    }
    Statement_st statement;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, dbc, &statement.handle)))
        throw Diagnose(SQL_HANDLE_DBC, dbc, Result_ns::ErrorsInCommand);
    if (!SQL_SUCCEEDED(SQLPrepareW(statement.handle, const_cast<SQLWCHAR*>(Wide(sql)), SQLINTEGER(sql.size()))))
        throw Diagnose(SQL_HANDLE_STMT, statement.handle, Result_ns::ErrorsInCommand);
    if (kept.size() == kKeep) Forget(kept.back().stmt);
    kept.insert(kept.begin(), {sql, statement.handle});
    statement.handle = SQL_NULL_HSTMT;
    return kept.front().stmt;
}

void OdbcEngine_cl::Forget(void* stmt) {
    const auto it = std::find_if(kept.begin(), kept.end(), [stmt](const Kept_st& one) { return one.stmt == stmt; });
    if (it == kept.end()) return;
    kept.erase(it);
    SQLFreeHandle(SQL_HANDLE_STMT, stmt);
}

std::shared_ptr<Recordset_cl> OdbcEngine_cl::Results(void* stmt, short rc, int32_t& recordsAffected) {
    if (!SQL_SUCCEEDED(rc) && rc != SQL_NO_DATA)
        throw Diagnose(SQL_HANDLE_STMT, stmt, Result_ns::ErrorsInCommand);
    SQLSMALLINT columns = 0;
    if (!SQL_SUCCEEDED(SQLNumResultCols(stmt, &columns)))
        throw Diagnose(SQL_HANDLE_STMT, stmt, Result_ns::ErrorsInCommand);
    std::shared_ptr<Recordset_cl> rows;
    if (columns > 0) {
        rows = Fetch(stmt, columns);
        recordsAffected = -1;
    } else {
        SQLLEN count = 0;
        recordsAffected = rc == SQL_NO_DATA || !SQL_SUCCEEDED(SQLRowCount(stmt, &count)) ? 0 : int32_t(count);
        rows = std::make_shared<Recordset_cl>();
    }
    // Later results of a batch are run through, so that their failures are not lost.
    SQLRETURN more;
    while ((more = SQLMoreResults(stmt)) != SQL_NO_DATA)
        if (!SQL_SUCCEEDED(more))
            throw Diagnose(SQL_HANDLE_STMT, stmt, Result_ns::ErrorsInCommand);
    return rows;
}

std::shared_ptr<Recordset_cl> OdbcEngine_cl::Fetch(void* stmt, int columns) {
    Base_ns::Trusteeship_tl<QString> names;
    names.Allocate(columns);
    std::vector<SQLSMALLINT> types(static_cast<size_t>(columns));
    std::vector<SQLULEN> sizes(static_cast<size_t>(columns));
    for (int i = 0; i < columns; ++i) {
        SQLWCHAR name[256];
        SQLSMALLINT length = 0, digits = 0, nullable = 0;
        if (!SQL_SUCCEEDED(SQLDescribeColW(stmt, SQLUSMALLINT(i + 1), name, SQLSMALLINT(std::size(name)), &length, &types[i],
                                           &sizes[i], &digits, &nullable)))
            throw Diagnose(SQL_HANDLE_STMT, stmt, Result_ns::ErrorsInCommand);
        names[i] = FromWide(name, std::min<qsizetype>(length, qsizetype(std::size(name)) - 1));
    }
    auto rows = std::make_shared<Recordset_cl>(names);
    Recordset_cl::Row_tl row;
    row.Allocate(columns);
    SQLRETURN rc = SQL_NO_DATA;
    bool bound = false;
    if (std::equal(types.begin(), types.end(), sizes.begin(), OdbcBlockFetch_cl::Fits)) {
        OdbcBlockFetch_cl block(stmt);
        bound = block.Bind(types, sizes);
        while (bound && SQL_SUCCEEDED(rc = block.Next())) {
            for (SQLULEN r = 0; r < block.Fetched(); ++r) {
                if (block.RowFailed(r))
                    throw Diagnose(SQL_HANDLE_STMT, stmt, Result_ns::ErrorsInCommand);
                for (int i = 0; i < columns; ++i)
                    if (!block.Value(size_t(i), r, row[i]))
                        throw Refuse(Result_ns::ErrorsInCommand,
                                     QStringLiteral("A value of column %1 is longer than the driver said it could be.").arg(names[i]));
                rows->AppendRow(row);
            }
        }
    }
    // Value by value when a column is too wide to bind, or the driver would not bind it.
    if (!bound) {
        while (SQL_SUCCEEDED(rc = SQLFetch(stmt))) {
            for (int i = 0; i < columns; ++i)
                row[i] = Value(stmt, i + 1, types[size_t(i)]);
            rows->AppendRow(row);
        }
    }
    if (rc != SQL_NO_DATA)
        throw Diagnose(SQL_HANDLE_STMT, stmt, Result_ns::ErrorsInCommand);
    return rows;
}

Variant_st OdbcEngine_cl::Value(void* stmt, int column, short type) {
    SQLLEN indicator = 0;
    auto read = [&](SQLSMALLINT cType, void* buffer, SQLLEN size) {
        if (!SQL_SUCCEEDED(SQLGetData(stmt, SQLUSMALLINT(column), cType, buffer, size, &indicator)))
            throw Diagnose(SQL_HANDLE_STMT, stmt, Result_ns::ErrorsInCommand);
        return indicator != SQL_NULL_DATA;
    };
    switch (type) {
    case SQL_SMALLINT:
    case SQL_TINYINT: {
        SQLSMALLINT value = 0;
        return read(SQL_C_SSHORT, &value, 0) ? Variant_st::Short(value) : Variant_st::Null();
    }
    case SQL_INTEGER:
    case SQL_BIGINT: {
        SQLBIGINT value = 0;
        return read(SQL_C_SBIGINT, &value, 0) ? Variant_st::Integer(value) : Variant_st::Null();
    }
    case SQL_BIT: {
        SQLCHAR value = 0;
        return read(SQL_C_BIT, &value, 0) ? Variant_st::Bool(value != 0) : Variant_st::Null();
    }
    case SQL_REAL:
    case SQL_FLOAT:
    case SQL_DOUBLE: {
        SQLDOUBLE value = 0;
        return read(SQL_C_DOUBLE, &value, 0) ? Variant_st::Real(value) : Variant_st::Null();
    }
    case SQL_TYPE_DATE:
    case SQL_TYPE_TIME:
    case SQL_TYPE_TIMESTAMP: {
        SQL_TIMESTAMP_STRUCT value{};
        return read(SQL_C_TYPE_TIMESTAMP, &value, sizeof value) ? OdbcValue_ns::FromTimestamp(value, type) : Variant_st::Null();
    }
    default:
        break;
    }
    // Text, and whatever else the driver can give as text.
    QString text;
    SQLWCHAR buffer[1024];
    const qsizetype capacity = qsizetype(std::size(buffer)) - 1;  // one unit for the terminator
    for (;;) {
        const SQLRETURN rc = SQLGetData(stmt, SQLUSMALLINT(column), SQL_C_WCHAR, buffer, sizeof buffer, &indicator);
        if (rc == SQL_NO_DATA)
            break;
        if (!SQL_SUCCEEDED(rc))
            throw Diagnose(SQL_HANDLE_STMT, stmt, Result_ns::ErrorsInCommand);
        if (indicator == SQL_NULL_DATA)
            return Variant_st::Null();
        const qsizetype units = indicator == SQL_NO_TOTAL ? capacity : std::min<qsizetype>(indicator / 2, capacity);
        text += FromWide(buffer, units);
        if (rc == SQL_SUCCESS)
            break;
    }
    return OdbcValue_ns::FromText(text, type);
}

int32_t OdbcEngine_cl::BeginTrans() {
    if (inTransaction)
        throw Refuse(Result_ns::TransactionExists, QStringLiteral("Only one transaction can be active on this session."));
    if (!SQL_SUCCEEDED(SQLSetConnectAttrW(dbc, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_OFF), 0)))
        throw Diagnose(SQL_HANDLE_DBC, dbc, Result_ns::Fail);
    inTransaction = true;
    return 1;
}

void OdbcEngine_cl::CommitTrans() { EndTransaction(true); }

void OdbcEngine_cl::RollbackTrans() { EndTransaction(false); }

void OdbcEngine_cl::EndTransaction(bool commit) {
    if (!inTransaction)
        throw Refuse(Result_ns::NoTransaction, QStringLiteral("No transaction is active."));
    // A failed commit leaves the transaction open, so that it can still be rolled back.
    if (!SQL_SUCCEEDED(SQLEndTran(SQL_HANDLE_DBC, dbc, commit ? SQL_COMMIT : SQL_ROLLBACK)))
        throw Diagnose(SQL_HANDLE_DBC, dbc, Result_ns::Fail);
    inTransaction = false;
    if (!SQL_SUCCEEDED(SQLSetConnectAttrW(dbc, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_ON), 0)))
        throw Diagnose(SQL_HANDLE_DBC, dbc, Result_ns::Fail);
}

}  // namespace Ado_ns
