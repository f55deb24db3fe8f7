#pragma once

#include "Recordset.h"

#include <memory>

namespace Ado_ns {

// What a connection asks of the engine behind its provider. Failures throw
// ProviderError_cl after putting their diagnostics into the connection's error list.
class Engine_cl {
public:
    virtual ~Engine_cl() = default;
    virtual std::shared_ptr<Recordset_cl> Execute(const QString& sql, int32_t& recordsAffected, bool wantRows) = 0;
    virtual int32_t BeginTrans() = 0;
    virtual void CommitTrans() = 0;
    virtual void RollbackTrans() = 0;
};

}  // namespace Ado_ns
