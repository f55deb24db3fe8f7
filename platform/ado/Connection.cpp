#include "Connection.h"

#include "Engine.h"
#include "ProviderError.h"

namespace Ado_ns {

Connection_cl::Connection_cl() = default;

Connection_cl::~Connection_cl() = default;

void Connection_cl::Open(const QString& connectionString) {
    Q_UNUSED(connectionString);
    throw ProviderError_cl(Result_ns::ProviderNotFound, QStringLiteral("Provider cannot be found. It may not be properly installed."));
}

Engine_cl& Connection_cl::Opened() {
    if (!engine)
        throw ProviderError_cl(Result_ns::ObjectClosed, QStringLiteral("Operation is not allowed when the object is closed."));
    return *engine;
}

std::shared_ptr<Recordset_cl> Connection_cl::Execute(const QString& sql, int32_t& recordsAffected, int32_t options) {
    auto rows = Opened().Execute(sql, recordsAffected, (options & adExecuteNoRecords) == 0);
    return (options & adExecuteNoRecords) ? nullptr : rows;
}

int32_t Connection_cl::BeginTrans() { return Opened().BeginTrans(); }

void Connection_cl::CommitTrans() { Opened().CommitTrans(); }

void Connection_cl::RollbackTrans() { Opened().RollbackTrans(); }

}  // namespace Ado_ns
