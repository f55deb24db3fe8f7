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

template <typename Action>
auto PgEngine_cl::Guarded(Action action) {
    try {
        return action(Live());
    } catch (const ProviderError_cl& error) {
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
    } catch (const ProviderError_cl& error) {
        throw ProviderError_cl(Result_ns::ConnectionLost, error.Description());
    }
    return *odbc;
}

std::shared_ptr<Recordset_cl> PgEngine_cl::Execute(const QString& sql, const VariantList_tl& parameters,
                                                   int32_t& recordsAffected) {
    const QString translated = PgDialect_cl::Translate(sql);
    return Guarded([&](OdbcEngine_cl& open) { return open.Execute(translated, parameters, recordsAffected); });
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
