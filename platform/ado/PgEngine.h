#pragma once

#include "ConnectionString.h"
#include "Engine.h"
#include "ErrorList.h"
#include "PgBulkInsert.h"

#include <QHash>
#include <memory>
#include <optional>

namespace Ado_ns {

class OdbcEngine_cl;

// "PostgreSQL": a database on a PostgreSQL server through the psqlODBC driver. Statements
// come in the SQL Server dialect and are translated (PgDialect_cl). A connection the
// server dropped fails with Result_ns::ConnectionLost; the next statement or transaction
// outside the lost one connects again.
class PgEngine_cl : public Engine_cl {
public:
    PgEngine_cl(const ConnectionString_cl& settings, ErrorList_cl& errors);
    ~PgEngine_cl() override;

    std::shared_ptr<Recordset_cl> Execute(const QString& sql, const VariantList_tl& parameters,
                                          int32_t& recordsAffected) override;
    int32_t BeginTrans() override;
    void CommitTrans() override;
    // A transaction whose connection was lost is gone on the server already: rolling it
    // back only forgets it.
    void RollbackTrans() override;

private:
    // The open connection, made again when the last one was lost outside a transaction.
    OdbcEngine_cl& Live();
    // Runs action; a failure that shows the connection gone drops it and is rethrown as
    // ConnectionLost, a refusal for want of rights as NoRights, other failures as they are.
    template <typename Action>
    auto Guarded(Action action);
    bool ShowsLostConnection() const;
    bool LacksRights() const;
    // The server's type of each column of table by its name in lower case, asked once
    // per connection; empty when there is no such table.
    const QHash<QString, QString>& ColumnTypes(const QString& table);

    QString odbcText;
    int loginTimeout;
    ErrorList_cl& errors;
    std::unique_ptr<OdbcEngine_cl> odbc;  // empty once the connection is lost
    bool inTransaction = false;
    // The last statement, its translation and its shape as an insert of many rows: an
    // import runs the same long insert again and again.
    QString lastSql, lastTranslated;
    std::optional<PgBulkInsert_cl> lastBulk;
    QHash<QString, QHash<QString, QString>> columnTypes;
};

}  // namespace Ado_ns
