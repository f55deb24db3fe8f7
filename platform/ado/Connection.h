#pragma once

#include "ErrorList.h"
#include "Recordset.h"

#include <QString>
#include <memory>

namespace Ado_ns {

class Engine_cl;

// Execute options.
constexpr int32_t adCmdText = 1;
constexpr int32_t adExecuteNoRecords = 128;

// One connection to a database. The connection string's Provider= picks the engine:
// "Microsoft.Jet.OLEDB.4.0" (a local database file), "SQLOLEDB" (SQL Server) or
// "Oraoledb.Oracle" (Oracle) or "PostgreSQL". Every failure throws ProviderError_cl and leaves its
// diagnostics in Errors().
class Connection_cl {
public:
    Connection_cl();
    ~Connection_cl();
    Connection_cl(const Connection_cl&) = delete;
    Connection_cl& operator=(const Connection_cl&) = delete;

    void Open(const QString& connectionString);
    // Opens over an engine made elsewhere (tests script one), as if with connectionString.
    void Attach(std::unique_ptr<Engine_cl> opened, const QString& connectionString);
    bool IsOpen() const { return engine != nullptr; }
    // The text the connection was opened with.
    const QString& ConnectionString() const { return openedWith; }

    // Runs one statement. recordsAffected: the rows changed, -1 for a statement that
    // returns rows. Returns the row set (closed when the statement has no rows), or
    // nothing with adExecuteNoRecords.
    std::shared_ptr<Recordset_cl> Execute(const QString& sql, int32_t& recordsAffected, int32_t options);
    // The same with values bound to the statement's "?" markers, in text order.
    std::shared_ptr<Recordset_cl> Execute(const QString& sql, const VariantList_tl& parameters, int32_t& recordsAffected,
                                          int32_t options);

    // Returns the new nesting level (1 for the outermost transaction).
    int32_t BeginTrans();
    void CommitTrans();
    void RollbackTrans();
    // A consistent copy of the open database in a new file (local database files only;
    // others give FeatureNotAvailable). An existing destination gives DataSourceExists.
    void Backup(const QString& destination);

    ErrorList_cl& Errors() { return errors; }

private:
    Engine_cl& Opened();
    // Replaces the error list with one record and throws.
    [[noreturn]] void Refuse(uint32_t result, const QString& description);

    ErrorList_cl errors;
    std::unique_ptr<Engine_cl> engine;
    QString openedWith;
};

}  // namespace Ado_ns
