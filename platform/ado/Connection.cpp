#include "Connection.h"

#include "ConnectionString.h"
#include "JetEngine.h"
#include "OdbcEngine.h"
#include "PgEngine.h"
#include "ProviderError.h"

namespace Ado_ns {

namespace {

bool Is(const QString& provider, QStringView name) { return provider.compare(name, Qt::CaseInsensitive) == 0; }

}  // namespace

Connection_cl::Connection_cl() = default;

Connection_cl::~Connection_cl() = default;

void Connection_cl::Refuse(uint32_t result, const QString& description) {
    errors.Clear();
    errors.Add({int32_t(result), description, 0, QString(), QStringLiteral("Connection")});
    throw ProviderError_cl(result, description);
}

void Connection_cl::Open(const QString& connectionString) {
    if (engine)
        Refuse(Result_ns::ObjectOpen, QStringLiteral("Operation is not allowed when the object is open."));
    std::unique_ptr<ConnectionString_cl> settings;
    try {
        settings = std::make_unique<ConnectionString_cl>(connectionString);
    } catch (const ProviderError_cl& error) {
        Refuse(error.Result(), error.Description());
    }
    const QString provider = settings->Value(QStringLiteral("Provider"));
    if (Is(provider, ProviderName_ns::Jet))
        engine = std::make_unique<JetEngine_cl>(*settings, errors);
    else if (Is(provider, ProviderName_ns::SqlServer))
        engine = OdbcEngine_cl::ForSqlServer(*settings, errors);
    else if (Is(provider, ProviderName_ns::Oracle))
        engine = OdbcEngine_cl::ForOracle(*settings, errors);
    else if (Is(provider, ProviderName_ns::PostgreSQL))
        engine = std::make_unique<PgEngine_cl>(*settings, errors);
    else
        Refuse(Result_ns::ProviderNotFound, QStringLiteral("Provider cannot be found. It may not be properly installed."));
    openedWith = connectionString;
}

void Connection_cl::Attach(std::unique_ptr<Engine_cl> opened, const QString& connectionString) {
    if (engine)
        Refuse(Result_ns::ObjectOpen, QStringLiteral("Operation is not allowed when the object is open."));
    engine = std::move(opened);
    openedWith = connectionString;
}

Engine_cl& Connection_cl::Opened() {
    if (!engine)
        Refuse(Result_ns::ObjectClosed, QStringLiteral("Operation is not allowed when the object is closed."));
    return *engine;
}

std::shared_ptr<Recordset_cl> Connection_cl::Execute(const QString& sql, int32_t& recordsAffected, int32_t options) {
    return Execute(sql, VariantList_tl(), recordsAffected, options);
}

std::shared_ptr<Recordset_cl> Connection_cl::Execute(const QString& sql, const VariantList_tl& parameters,
                                                     int32_t& recordsAffected, int32_t options) {
    auto rows = Opened().Execute(sql, parameters, recordsAffected);
    return (options & adExecuteNoRecords) ? nullptr : rows;
}

int32_t Connection_cl::BeginTrans() { return Opened().BeginTrans(); }

void Connection_cl::CommitTrans() { Opened().CommitTrans(); }

void Connection_cl::RollbackTrans() { Opened().RollbackTrans(); }

void Connection_cl::Backup(const QString& destination) {
    if (!Opened().Backup(destination))
        Refuse(Result_ns::FeatureNotAvailable, QStringLiteral("Only a local database file can be backed up."));
}

}  // namespace Ado_ns
