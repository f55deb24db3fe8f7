#pragma once

#include "ConnectionString.h"
#include "Engine.h"
#include "ErrorList.h"
#include "ProviderError.h"

#include <vector>

namespace Ado_ns {

// "SQLOLEDB" and "Oraoledb.Oracle": a database reached through the ODBC driver manager.
// Diagnostic records of a failure fill the error list; records that come with a success
// are informational and are dropped. One transaction at a time.
class OdbcEngine_cl : public Engine_cl {
public:
    static std::unique_ptr<Engine_cl> ForSqlServer(const ConnectionString_cl& settings, ErrorList_cl& errors);
    static std::unique_ptr<Engine_cl> ForOracle(const ConnectionString_cl& settings, ErrorList_cl& errors);

    // Connects with an ODBC connection text; source names the provider in error records.
    OdbcEngine_cl(const QString& odbcText, int loginTimeout, const QString& source, ErrorList_cl& errors);
    ~OdbcEngine_cl() override;

    std::shared_ptr<Recordset_cl> Execute(const QString& sql, const VariantList_tl& parameters,
                                          int32_t& recordsAffected) override;
    int32_t BeginTrans() override;
    void CommitTrans() override;
    void RollbackTrans() override;

private:
    // Builds the ODBC text with build and connects; a refused value is recorded too.
    static std::unique_ptr<Engine_cl> Connect(const ConnectionString_cl& settings, QString (*build)(const ConnectionString_cl&),
                                              const QString& source, ErrorList_cl& errors);
    // Replaces the error list with the diagnostic records of handle and returns the failure.
    ProviderError_cl Diagnose(short handleType, void* handle, uint32_t result);
    // Replaces the error list with one record and returns the failure.
    ProviderError_cl Refuse(uint32_t result, const QString& description);
    // The rows or the count of a statement run with the outcome rc, and any later results.
    std::shared_ptr<Recordset_cl> Results(void* stmt, short rc, int32_t& recordsAffected);
    std::shared_ptr<Recordset_cl> Fetch(void* stmt, int columns);
    // The value of column (from 1) of the fetched row, read as its ODBC type suggests.
    Variant_st Value(void* stmt, int column, short type);
    void EndTransaction(bool commit);
    // The prepared statement of sql, kept from an earlier run or prepared now.
    void* Prepared(const QString& sql);
    void Forget(void* stmt);

    // Statements prepared once and run again with new values: an import's inserts and a
    // page's queries are not parsed and planned by the server anew each time. Most
    // recently used first, a few at most.
    struct Kept_st {
        QString sql;
        void* stmt;
    };
    std::vector<Kept_st> kept;
    void* dbc = nullptr;
    ErrorList_cl& errors;
    QString source;
    bool inTransaction = false;
};

}  // namespace Ado_ns
