#include "PgEngine.h"

#include "OdbcEngine.h"
#include "OdbcLink.h"
#include "PgDialect.h"
#include "ProviderError.h"

namespace Ado_ns {

namespace {

const QString kSource = ProviderName_ns::PostgreSQL.toString();

}  // namespace

PgEngine_cl::PgEngine_cl(const ConnectionString_cl& settings, ErrorList_cl& errors)
    : loginTimeout(OdbcLink_cl::LoginTimeout(settings)), errors(errors) {
    try {
        odbcText = OdbcLink_cl::PostgreSQL(settings);
    } catch (const ProviderError_cl& error) {
        errors.Clear();
        errors.Add({int32_t(error.Result()), error.Description(), 0, QString(), kSource});
        throw;
    }
    odbc = std::make_unique<OdbcEngine_cl>(odbcText, loginTimeout, kSource, errors);
}

PgEngine_cl::~PgEngine_cl() = default;

bool PgEngine_cl::ShowsLostConnection() const {
    for (int32_t i = 0; i < errors.Count(); ++i) {
        const ErrorRecord_st record = errors.Item(i);
        // Class 08 is a broken connection, 57P01-57P03 a server shutting down or starting.
        if (record.sqlState.startsWith(QStringLiteral("08")) || record.sqlState.startsWith(QStringLiteral("57P")))
            return true;
        if (record.description.contains(QStringLiteral("connection"), Qt::CaseInsensitive) &&
            (record.description.contains(QStringLiteral("closed"), Qt::CaseInsensitive) ||
             record.description.contains(QStringLiteral("no connection"), Qt::CaseInsensitive) ||
             record.description.contains(QStringLiteral("lost"), Qt::CaseInsensitive)))
            return true;
    }
    return false;
}

bool PgEngine_cl::LacksRights() const {
    for (int32_t i = 0; i < errors.Count(); ++i) {
        if (errors.Item(i).sqlState == QStringLiteral("42501")) return true;  // insufficient privilege
    }
    return false;
}

template <typename Action>
auto PgEngine_cl::Guarded(Action action) {
    try {
        return action(Live());
    } catch (const ProviderError_cl& error) {
        if (error.Result() == Result_ns::ErrorsInCommand && LacksRights())
            throw ProviderError_cl(Result_ns::NoRights, error.Description());
        if (error.Result() == Result_ns::ConnectionLost || !ShowsLostConnection()) throw;
        odbc.reset();
        throw ProviderError_cl(Result_ns::ConnectionLost, error.Description());
    }
}

OdbcEngine_cl& PgEngine_cl::Live() {
    if (odbc) return *odbc;
    if (inTransaction)
        throw ProviderError_cl(Result_ns::ConnectionLost,
                               QStringLiteral("The connection to the server was lost during the transaction."));
    try {
        odbc = std::make_unique<OdbcEngine_cl>(odbcText, loginTimeout, kSource, errors);
        columnTypes.clear();
    } catch (const ProviderError_cl& error) {
        throw ProviderError_cl(Result_ns::ConnectionLost, error.Description());
    }
    return *odbc;
}

std::shared_ptr<Recordset_cl> PgEngine_cl::Execute(const QString& sql, const VariantList_tl& parameters,
                                                   int32_t& recordsAffected) {
    if (sql != lastSql) {
        lastTranslated = PgDialect_cl::Translate(sql);
        lastBulk = PgBulkInsert_cl::Parse(lastTranslated);
        lastSql = sql;
    }
    if (lastBulk) {
        const auto statement = lastBulk->Statement(ColumnTypes(lastBulk->Table()));
        const auto arrays = lastBulk->Arrays(parameters);
        if (statement && arrays)
            return Guarded([&](OdbcEngine_cl& open) { return open.Execute(*statement, *arrays, recordsAffected); });
    }
    return Guarded([&](OdbcEngine_cl& open) { return open.Execute(lastTranslated, parameters, recordsAffected); });
}

const QHash<QString, QString>& PgEngine_cl::ColumnTypes(const QString& table) {
    const QString key = table.toLower();
    auto known = columnTypes.find(key);
    if (known != columnTypes.end()) return *known;
    // The catalogue is asked so that nothing can fail inside the caller's transaction.
    int32_t affected = 0;
    const auto rows = Guarded([&](OdbcEngine_cl& open) {
        return open.Execute(QStringLiteral("select attname,format_type(atttypid,atttypmod) from pg_attribute "
                                           "where attrelid=to_regclass(?) and attnum>0 and not attisdropped"),
                            {Variant_st::Text(key)}, affected);
    });
    QHash<QString, QString> types;
    for (; !rows->IsEOF(); rows->MoveNext())
        types.insert(rows->Value(0).text.toLower(), rows->Value(1).text);
    static const QHash<QString, QString> none;
    if (types.isEmpty()) return none;  // asked again once the table is there
    return *columnTypes.insert(key, types);
}

int32_t PgEngine_cl::BeginTrans() {
    const int32_t level = Guarded([](OdbcEngine_cl& open) { return open.BeginTrans(); });
    inTransaction = true;
    return level;
}

void PgEngine_cl::CommitTrans() {
    // A commit on a lost connection must fail: the changes did not land.
    Guarded([](OdbcEngine_cl& open) { open.CommitTrans(); });
    inTransaction = false;
}

void PgEngine_cl::RollbackTrans() {
    if (!odbc && inTransaction) {
        inTransaction = false;
        return;
    }
    Guarded([](OdbcEngine_cl& open) { open.RollbackTrans(); });
    inTransaction = false;
}

}  // namespace Ado_ns
