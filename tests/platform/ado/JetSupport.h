#pragma once

#include "platform/ado/Catalog.h"
#include "platform/ado/Connection.h"
#include "platform/ado/ProviderError.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

// A local database file in a temporary folder, created and opened for one test.
class JetTest : public ::testing::Test {
protected:
    static QString ConnectionString(const QString& path, const QString& password) {
        return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Jet OLEDB:Database Password=\"%1\";Data Source=\"%2\";")
            .arg(password, path);
    }
    QString PathOf(const char* name) const { return folder.path() + u'/' + QString::fromUtf8(name); }

    void SetUp() override {
        path = PathOf("test.mdb");
        Ado_ns::Catalog_cl::Create(ConnectionString(path, QStringLiteral("secret")));
        connection.Open(ConnectionString(path, QStringLiteral("secret")));
    }

    // Runs a statement without rows and returns the count of changed rows.
    int32_t Run(const QString& sql) {
        int32_t affected = 0;
        connection.Execute(sql, affected, Ado_ns::adCmdText | Ado_ns::adExecuteNoRecords);
        return affected;
    }
    std::shared_ptr<Ado_ns::Recordset_cl> Query(const QString& sql) {
        int32_t affected = 0;
        return connection.Execute(sql, affected, Ado_ns::adCmdText);
    }
    // The result code of the failure that f throws; 0 when it throws none.
    template <typename F>
    static uint32_t ResultOf(F f) {
        try {
            f();
        } catch (const Ado_ns::ProviderError_cl& e) {
            return e.Result();
        }
        return 0;
    }

    QTemporaryDir folder;
    QString path;
    Ado_ns::Connection_cl connection;
};
