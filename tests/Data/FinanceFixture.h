#pragma once

#include "DB/BeginTrans.h"
#include "DB/IDatabase.h"
#include "DB/SimpleOutRecords.h"
#include "Data/DatabaseManage.h"
#include "Data/RecordManage.h"
#include "Data/UserManage.h"
#include "base/Error.h"
#include "settings/Unique.h"
#include "platform/ado/Environment.h"
#include "support/PostgresServer.h"
#include "support/TempFolder.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

// What an operation raised, if anything.
struct Raised_st {
    bool raised = false;
    bool system = false;
    QString message;
    QString remark;
    QString className;
};

template <typename Action>
Raised_st Raise(Action action) {
    try {
        action();
    } catch (const Base_ns::Error_cl& error) {
        return {true, error.IsSystem(), error.Message(), error.Remark(), error.ClassName()};
    }
    return {};
}

// Whether the finance tests run on a PostgreSQL book of the test server instead of a
// local file: ctest runs them once each way (VORELLE_TEST_BOOK=postgresql).
inline bool OnPostgreSQL() { return qgetenv("VORELLE_TEST_BOOK") == "postgresql"; }

// A freshly initialised database (a local file in a temporary application folder, or an
// empty PostgreSQL database), with the super administrator "admin" logged in and the
// user and record managers over it.
class FinanceTest : public ::testing::Test {
protected:
    void SetUp() override {
        try {
            Prepare();
        } catch (const Base_ns::Error_cl& error) {
            FAIL() << "The test database could not be prepared: " << error.Message().toStdString() << "\n"
                   << error.Remark().toStdString();
        }
    }

    void Prepare() {
        Unique_ns::SetStorageFolder(settingsFolder.path());
        if (OnServer()) {
            PostgresServer_cl& server = PostgresServer_cl::Shared();
            ASSERT_TRUE(server.Start()) << "The PostgreSQL test server did not start: " << server.Why().toStdString();
            ASSERT_TRUE(server.MakeBook("book", "pw", "book")) << server.Why().toStdString();
            Ado_ns::Environment_cl::Startup();
            links.AddPostgreSQLLink(QStringLiteral("测试"), server.Address(), "book", "book", "pw");
        } else {
            links.AddLocalLink(QStringLiteral("测试"), app.Path() + QStringLiteral("finance.mdb"), QStringLiteral("pw"));
        }
        links.OpenLink(0);
        DB_ns::BeginTrans_cl transaction(&Database());
        users.CreateUserTable(QStringLiteral("admin"), QStringLiteral("secret"));
        records.CreateTables();
        transaction.Commit();
        users.Login(QStringLiteral("admin"), QStringLiteral("secret"));
    }

    // Whether this test's book is on the test server; a test of the server's statements
    // alone says so whatever the run.
    virtual bool OnServer() const { return OnPostgreSQL(); }

    void TearDown() override {
        if (links.GetLoginUser() != 0) users.Logout();
        links.CloseDatabase();
        Unique_ns::SetStorageFolder(QString());
    }

    DB_ns::IDatabase_cl& Database() { return links.GetDatabase(); }

    // Adds a user as the super administrator, then stays logged in as before.
    int32_t AddUser(const QString& name, int32_t power) {
        users.AddUser(name, power, QStringLiteral("pw"));
        return users.FindUser(name);
    }
    void LoginAs(const QString& name) {
        users.Login(name, name == QStringLiteral("admin") ? QStringLiteral("secret") : QStringLiteral("pw"));
    }

    // The single integer a query yields.
    int32_t Integer(const QString& sql) {
        int32_t value = 0;
        Database().QueryCount(sql, value);
        return value;
    }
    QString Text(const QString& sql) {
        DB_ns::SimpleOutRecords_cl rows;
        if (Database().Query(sql, rows) == 0) return QStringLiteral("<no row>");
        QString text;
        rows.GetString(text);
        return text;
    }
    int32_t SingleAccount(int32_t userSn) {
        return Integer(QStringLiteral("select single_account from zorb_user where sn = %1").arg(userSn));
    }
    int32_t Count(const QString& table, const QString& where = QStringLiteral("1 = 1")) {
        return Integer(QStringLiteral("select count(*) from %1 where %2").arg(table, where));
    }

    static Base_ns::DateTime_cl Time(const char* text) { return Base_ns::DateTime_cl::Parse(QString::fromUtf8(text)); }

    TempAppFolder_cl app;
    QTemporaryDir settingsFolder;
    Vorelle_ns::DatabaseManage_cl links;
    Vorelle_ns::UserManage_cl users{links, QStringLiteral("ZantheVorelle管理软件")};
    Vorelle_ns::RecordManage_cl records{users};
};
