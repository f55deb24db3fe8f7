#pragma once

#include "Recordset.h"

#include <QString>
#include <QStringView>
#include <memory>

namespace Ado_ns {

// The providers a connection string can name in Provider=, compared without regard to case.
namespace ProviderName_ns {
constexpr QStringView Jet = u"Microsoft.Jet.OLEDB.4.0";
constexpr QStringView SqlServer = u"SQLOLEDB";
constexpr QStringView Oracle = u"Oraoledb.Oracle";
constexpr QStringView PostgreSQL = u"PostgreSQL";
}  // namespace ProviderName_ns

// What a connection asks of the engine behind its provider. A failure replaces the
// connection's error list with its diagnostics and throws ProviderError_cl.
class Engine_cl {
public:
    virtual ~Engine_cl() = default;
    // Runs one statement with parameters bound to its "?" markers; recordsAffected is -1
    // for a statement that returns rows, whose row set is then open (closed otherwise).
    virtual std::shared_ptr<Recordset_cl> Execute(const QString& sql, const VariantList_tl& parameters,
                                                  int32_t& recordsAffected) = 0;
    virtual int32_t BeginTrans() = 0;
    virtual void CommitTrans() = 0;
    virtual void RollbackTrans() = 0;
    // Copies the open database, consistent and online, into a new file at destination;
    // false when the engine keeps no local file to copy.
    virtual bool Backup(const QString& destination) {
        static_cast<void>(destination);
        return false;
    }
};

}  // namespace Ado_ns
