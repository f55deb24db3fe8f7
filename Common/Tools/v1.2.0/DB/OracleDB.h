#pragma once

#include "ADODatabase.h"

namespace DB_ns {

// An Oracle database reached by user name, password and service name. Nested
// transactions are counted above one provider transaction.
class OracleDB_cl : public ADODatabase_cl {
public:
    OracleDB_cl() : ADODatabase_cl(true) {}

    void Connect(const QString& user, const QString& service, const QString& password);

    int32_t GetType() const override { return DB_ORACLE; }
    QString GetClassName() const override { return ClassName(); }

    static QString ClassName() { return QStringLiteral("OracleDB_cl"); }
    static QString ConnectionString(const QString& user, const QString& service, const QString& password);
    // Turns the provider's description of a failed connection into the error to raise:
    // the user errors of the server's three common refusals, else a system error.
    [[noreturn]] static void RaiseConnectFailure(const QString& description);
};

}  // namespace DB_ns
