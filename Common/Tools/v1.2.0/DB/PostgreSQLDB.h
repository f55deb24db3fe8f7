#pragma once

#include "ADODatabase.h"

namespace DB_ns {

// A database on a PostgreSQL server, reached with the server's own login and password.
// Statements are written in the SQL Server dialect and translated by the provider.
// Nested transactions are counted above one provider transaction.
class PostgreSQLDB_cl : public ADODatabase_cl {
public:
    PostgreSQLDB_cl() : ADODatabase_cl(true) {}

    // address is "host", "host:port" or "[IPv6 address]:port"; an empty database name
    // means the database named like the login, as the server itself does.
    void Connect(const QString& user, const QString& address, const QString& database, const QString& password);

    // Asked of the server's catalogue rather than by a probe that may fail: a failed
    // statement ends the whole transaction it ran in on this server.
    bool TableExists(const QString& table) override;

    int32_t GetType() const override { return DB_POSTGRESQL; }
    QString GetClassName() const override { return ClassName(); }

    static QString ClassName() { return QStringLiteral("PostgreSQLDB_cl"); }
    static QString ConnectionString(const QString& user, const QString& address, const QString& database,
                                    const QString& password);
};

}  // namespace DB_ns
