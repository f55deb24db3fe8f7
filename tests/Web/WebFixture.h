#pragma once

#include "DB/BeginTrans.h"
#include "Data/Budget.h"
#include "Data/DatabaseManage.h"
#include "Data/DeviceKeys.h"
#include "Data/RecordManage.h"
#include "Data/UserManage.h"
#include "Web/WebBook.h"
#include "Web/WebServer.h"
#include "base/Error.h"
#include "platform/ado/Environment.h"
#include "support/PostgresServer.h"
#include "support/TempFolder.h"

#include <QStringList>
#include <arpa/inet.h>
#include <chrono>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <gtest/gtest.h>
#include <httplib.h>
#include <map>
#include <thread>

enum class BookKind_en { Local, PostgreSQL };

// A book with a super administrator 老王, a normal user 小李 and an independent user 小张,
// each with a device key, a plan of 500 a month for 饮食 and one entry of 老王's there; the
// web server serving it on a free port of 127.0.0.1, and a real HTTP client.
class WebTest : public ::testing::TestWithParam<BookKind_en> {
protected:
    void SetUp() override {
        try {
            Prepare();
        } catch (const Base_ns::Error_cl& error) {
            FAIL() << "The test book could not be prepared: " << error.Message().toStdString() << " "
                   << error.Remark().toStdString();
        }
    }

    void Prepare() {
        if (GetParam() == BookKind_en::PostgreSQL) {
            PostgresServer_cl& pg = PostgresServer_cl::Shared();
            ASSERT_TRUE(pg.Start()) << "The PostgreSQL test server did not start: " << pg.Why().toStdString();
            ASSERT_TRUE(pg.MakeBook("web", "pw", "web")) << pg.Why().toStdString();
            Ado_ns::Environment_cl::Startup();
            links.AddPostgreSQLLink(QStringLiteral("网页"), pg.Address(), "web", "web", "pw");
        } else {
            links.AddLocalLink(QStringLiteral("网页"), app.Path() + QStringLiteral("web.mdb"), QStringLiteral("pw"));
        }
        links.OpenLink(0);
        {
            DB_ns::BeginTrans_cl transaction(&links.GetDatabase());
            users.CreateUserTable(QStringLiteral("老王"), QStringLiteral("pw"));
            records.CreateTables();
            Vorelle_ns::DeviceKeys_cl::CreateTable(links.GetDatabase());
            transaction.Commit();
        }
        const int32_t wang = users.FindUser(QStringLiteral("老王"));
        links.SetLoginUser(wang);
        users.AddUser(QStringLiteral("小李"), 2, QStringLiteral("pw"));
        users.AddUser(QStringLiteral("小张"), 3, QStringLiteral("pw"));
        for (const QString& name : {QStringLiteral("老王"), QStringLiteral("小李"), QStringLiteral("小张")}) {
            userSn[name] = users.FindUser(name);
            key[name] = keys.Add(name + QStringLiteral("的手机"), userSn[name]).key.toStdString();
        }
        Vorelle_ns::Budget_cl(users).SetTypePlan(QStringLiteral("饮食"), 50000);
        wangEntry = records.AddRecord(QStringLiteral("饮食"), QStringLiteral("早饭"), -800, QString(),
                                      Base_ns::DateTime_cl::Now(), 0);
        webBook.Open(links.GetLink(0));
        server.Bind({"127.0.0.1", 0, {}, {}});
        serving = std::thread([this] { server.Serve(); });
        // No test goes on, and so none stops the server, before it takes connections.
        ASSERT_TRUE(Listening()) << "the server does not take connections";
        client = std::make_unique<httplib::Client>("127.0.0.1", server.Port());
        client->set_read_timeout(20, 0);
    }

    void TearDown() override {
        server.Stop();
        if (serving.joinable()) serving.join();
        links.CloseDatabase();
    }

    // Whether a connection to the server's port is taken within 10 s.
    bool Listening() const {
        for (int tries = 0; tries < 200; ++tries) {
            const int s = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
            sockaddr_in to{};
            to.sin_family = AF_INET;
            to.sin_port = htons(uint16_t(server.Port()));
            inet_pton(AF_INET, "127.0.0.1", &to.sin_addr);
            const bool taken = connect(s, reinterpret_cast<sockaddr*>(&to), sizeof to) == 0;
            close(s);
            if (taken) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return false;
    }

    httplib::Headers As(const QString& name) const {
        return {{"Authorization", "Bearer " + key.at(name)}};
    }
    // The valid entries of everybody, read beside the server.
    int32_t CountEntries() {
        links.SetLoginUser(userSn[QStringLiteral("老王")]);
        return records.GetRecords(true, QString(), Base_ns::DateTime_cl::FromParts(2000, 1, 1),
                                  Base_ns::DateTime_cl::FromParts(2100, 1, 1)).Count();
    }

    // The categories of both kinds, as the book has them.
    QStringList Categories() {
        links.SetLoginUser(userSn[QStringLiteral("老王")]);
        QStringList names;
        for (const bool income : {false, true}) {
            const auto list = records.GetTypeNames(income);
            for (int32_t i = 0; i < list.Count(); ++i) names.append(list[i]);
        }
        return names;
    }

    TempAppFolder_cl app;
    Vorelle_ns::DatabaseManage_cl links;
    Vorelle_ns::UserManage_cl users{links, QStringLiteral("测试")};
    Vorelle_ns::RecordManage_cl records{users};
    Vorelle_ns::DeviceKeys_cl keys{users};
    std::map<QString, int32_t> userSn;
    std::map<QString, std::string> key;
    int32_t wangEntry = 0;
    Web_ns::WebBook_cl webBook;
    Web_ns::WebServer_cl server{webBook, nullptr};
    std::thread serving;
    std::unique_ptr<httplib::Client> client;
};
