#pragma once

#include "ADODatabase.h"

namespace DB_ns {

// A database on a SQL Server, reached with SQL Server authentication. Nested
// transactions are counted above one provider transaction.
class SQLServerDB_cl : public ADODatabase_cl {
public:
    SQLServerDB_cl() : ADODatabase_cl(true) {}

    // An empty database name leaves the connection in the login's default database.
    void Connect(const QString& user, const QString& address, const QString& database, const QString& password);

    int32_t GetType() const override { return DB_SQLSERVER; }
    QString GetClassName() const override { return ClassName(); }

    static QString ClassName() { return QStringLiteral("SQLServerDB_cl"); }
    static QString ConnectionString(const QString& user, const QString& address, const QString& database,
                                    const QString& password);
};

}  // namespace DB_ns
