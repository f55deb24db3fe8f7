#pragma once

#include <QString>
#include <cstdint>

namespace DB_ns {

class SimpleOutRecords_cl;
struct BoundSQL_st;

// Database kinds, one bit each. The same bits select a statement's dialect in template
// tables and name the kind of a saved link.
enum DBType_en : int32_t {
    DB_LOCAL = 1,
    DB_ORACLE = 2,
    DB_SQLSERVER = 4,
    DB_ALL = 7,
    // Runs the SQL Server statements (translated by its provider) unless a table has
    // one of its own for it.
    DB_POSTGRESQL = 8,
};

// The one interface through which all SQL of the program runs.
class IDatabase_cl {
public:
    virtual ~IDatabase_cl() = default;

    virtual void BeginTrans() = 0;
    virtual void CommitTrans() = 0;
    virtual void RollbackTrans() = 0;
    // Runs a statement yielding one row with one integer column; the value goes to count.
    virtual int32_t QueryCount(const QString& sql, int32_t& count) = 0;
    // Runs a statement without rows; returns the number of affected records.
    virtual int32_t ExecuteNoRecords(const QString& sql) = 0;
    // Runs a statement with rows and attaches them to records; returns the row count.
    virtual int32_t Query(const QString& sql, SimpleOutRecords_cl& records) = 0;
    // The same with the statement's values bound to its markers.
    virtual int32_t Query(const BoundSQL_st& statement, SimpleOutRecords_cl& records) = 0;
    virtual bool TableExists(const QString& table) = 0;
    virtual int32_t GetType() const = 0;

protected:
    IDatabase_cl() = default;
    IDatabase_cl(const IDatabase_cl&) = delete;
    IDatabase_cl& operator=(const IDatabase_cl&) = delete;
};

}  // namespace DB_ns
