#include "DB/OracleDB.h"
#include "DB/SQLServerDB.h"
#include "Support.h"
#include "platform/ado/Environment.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace DB_ns;

namespace {

// The provider layer's process-wide state, as start-up sets it up.
class ServerDBTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { Ado_ns::Environment_cl::Startup(); }
    static void TearDownTestSuite() { Ado_ns::Environment_cl::Shutdown(); }
};

// A local port that nothing listens on.
int UnusedPort() {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof(address);
    bind(fd, reinterpret_cast<sockaddr*>(&address), length);
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    close(fd);
    return ntohs(address.sin_port);
}

}  // namespace

TEST(SQLServerDB, BuildsTheConnectionString) {
    EXPECT_EQ(SQLServerDB_cl::ConnectionString(QStringLiteral("sa"), QStringLiteral("host\\inst"), QString(), QStringLiteral("p;w'")),
              QStringLiteral("Provider=SQLOLEDB;Persist Security Info=false;User ID=\"sa\";Password=\"p;w'\";"
                             "Data Source=\"host\\inst\";"));
    EXPECT_EQ(SQLServerDB_cl::ConnectionString(QStringLiteral("sa"), QStringLiteral("host,1433"), QStringLiteral("账本"), QString()),
              QStringLiteral("Provider=SQLOLEDB;Persist Security Info=false;User ID=\"sa\";Password=\"\";"
                             "Database=\"账本\";Data Source=\"host,1433\";"));
}

TEST(SQLServerDB, ChecksArgumentsInOrderBeforeConnecting) {
    struct Case_st {
        const char *user, *address, *database, *password, *message, *remark;
    } cases[] = {
        {"s\"a", "a;b", "d;b", "p\"w", "服务器地址中含非法字符。", "a;b"},
        {"s\"a", "host", "d;b", "p\"w", "数据库名称中含非法字符。", "d;b"},
        {"s\"a", "host", "db", "p\"w", "用户名中含非法字符。", "s\"a"},
        {"sa", "host", "db", "p\"w", "密码中含非法字符。", ""},
        {"sa", "ho\"st", "db", "pw", "服务器地址中含非法字符。", "ho\"st"},
        {"sa", "host", "d\"b", "pw", "数据库名称中含非法字符。", "d\"b"},
    };
    for (const Case_st& c : cases) {
        SQLServerDB_cl db;
        const Caught_st error = Catch([&] {
            db.Connect(QString::fromUtf8(c.user), QString::fromUtf8(c.address), QString::fromUtf8(c.database),
                       QString::fromUtf8(c.password));
        });
        EXPECT_FALSE(error.system);
        EXPECT_EQ(error.message, QString::fromUtf8(c.message));
        EXPECT_EQ(error.remark, QString::fromUtf8(c.remark));
        EXPECT_EQ(error.className, QStringLiteral("SQLServerDB_cl"));
    }
}

TEST_F(ServerDBTest, SQLServerUnreachableIsUserError101WithTheDescription) {
    SQLServerDB_cl db;
    const QString address = QStringLiteral("127.0.0.1,%1").arg(UnusedPort());
    const Caught_st error = Catch([&] { db.Connect(QStringLiteral("sa"), address, QString(), QStringLiteral("p;w'}")); });
    EXPECT_FALSE(error.system);
    EXPECT_EQ(error.message, QStringLiteral("连接数据库失败。"));
    EXPECT_TRUE(error.remark.contains(QStringLiteral("FreeTDS"))) << "the driver's own description";
    EXPECT_EQ(error.remark.count(u'\n'), error.remark.count(QStringLiteral("\r\n")));
    EXPECT_FALSE(error.remark.contains(QStringLiteral("p;w'}")));
    EXPECT_EQ(Catch([&] { db.BeginTrans(); }).message, QStringLiteral("没有链接数据库。"));
}

TEST(OracleDB, BuildsTheConnectionString) {
    EXPECT_EQ(OracleDB_cl::ConnectionString(QStringLiteral("scott"), QStringLiteral("orcl"), QStringLiteral("ti;ger")),
              QStringLiteral("Provider=Oraoledb.Oracle;Persist Security Info=false;User ID=\"scott\";Password=\"ti;ger\";"
                             "Data Source=\"orcl\";"));
}

TEST(OracleDB, ChecksArgumentsInOrderBeforeConnecting) {
    struct Case_st {
        const char *user, *service, *password, *message, *remark;
    } cases[] = {
        {"s\"a", "or\"cl", "p\"w", "服务名中含非法字符。", "or\"cl"},
        {"s\"a", "orcl", "p\"w", "用户名中含非法字符。", "s\"a"},
        {"sa", "orcl", "p\"w", "密码中含非法字符。", ""},
    };
    for (const Case_st& c : cases) {
        const Caught_st error = Catch([&] {
            OracleDB_cl().Connect(QString::fromUtf8(c.user), QString::fromUtf8(c.service), QString::fromUtf8(c.password));
        });
        EXPECT_FALSE(error.system);
        EXPECT_EQ(error.message, QString::fromUtf8(c.message));
        EXPECT_EQ(error.remark, QString::fromUtf8(c.remark));
    }
}

TEST(OracleDB, MapsTheServersMarkersInOrder) {
    struct Case_st {
        const char *description, *message;
        bool system;
    } cases[] = {
        {"ORA-12154: TNS\nORA-12560: protocol", "网络不通。", false},
        {"x ORA-01017 y ORA-12154", "服务名不正确。", false},
        {"ORA-01017: invalid username/password", "用户名或密码错误。", false},
        {"ora-01017: invalid username/password", "创建数据连接失败。", true},
    };
    for (const Case_st& c : cases) {
        const Caught_st error = Catch([&] { OracleDB_cl::RaiseConnectFailure(QString::fromUtf8(c.description)); });
        EXPECT_EQ(error.system, c.system) << c.description;
        EXPECT_EQ(error.message, QString::fromUtf8(c.message)) << c.description;
        EXPECT_EQ(error.remark, c.system ? QString::fromUtf8(c.description) : QString());
    }
    const Caught_st lines = Catch([] { OracleDB_cl::RaiseConnectFailure(QStringLiteral("a\nb")); });
    EXPECT_EQ(lines.remark, QStringLiteral("a\r\nb"));
}

TEST_F(ServerDBTest, OracleWithoutItsDriverIsSystemError1) {
    OracleDB_cl db;
    const Caught_st error = Catch([&] { db.Connect(QStringLiteral("scott"), QStringLiteral("orcl"), QStringLiteral("tiger")); });
    EXPECT_TRUE(error.system);
    EXPECT_EQ(error.message, QStringLiteral("创建数据连接失败。"));
    EXPECT_FALSE(error.remark.isEmpty());
    EXPECT_FALSE(error.remark.contains(QStringLiteral("ORA-")));
    EXPECT_EQ(Catch([&] { db.BeginTrans(); }).message, QStringLiteral("没有链接数据库。"));
}
