// SQL Server and Oracle through the ODBC driver manager, tested without either server:
// a listener that speaks just enough of the login exchange shows what reaches a server.
#include "platform/ado/Connection.h"
#include "platform/ado/Environment.h"
#include "platform/ado/ProviderError.h"

#include <QtEndian>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include <thread>

using namespace Ado_ns;

namespace {

// Accepts one connection on a free local port, answers the pre-login packet and keeps
// the login packet's user, password and database; then hangs up.
class LoginCatcher {
public:
    LoginCatcher() {
        listener = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
        socklen_t length = sizeof address;
        getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
        port = ntohs(address.sin_port);
        listen(listener, 1);
        worker = std::thread([this] { Serve(); });
    }
    ~LoginCatcher() {
        Wait();
        if (listener >= 0)
            close(listener);
    }
    // Waits until the one connection has been served.
    void Wait() {
        if (worker.joinable())
            worker.join();
    }

    int port = 0;
    QString user, password, database;

private:
    static QByteArray ReadPacket(int s) {
        QByteArray data;
        char buffer[8192];
        while (data.size() < 8 || data.size() < qFromBigEndian<quint16>(data.constData() + 2)) {
            pollfd p{s, POLLIN, 0};
            if (poll(&p, 1, 5000) <= 0)
                break;
            const ssize_t n = recv(s, buffer, sizeof buffer, 0);
            if (n <= 0)
                break;
            data.append(buffer, n);
        }
        return data;
    }
    // A login field: offset and length in characters at position at of the login record;
    // passwords are scrambled by swapping the halves of each byte and a mask.
    static QString Field(const QByteArray& login, int at, bool scrambled) {
        const int offset = qFromLittleEndian<quint16>(login.constData() + at);
        const int count = qFromLittleEndian<quint16>(login.constData() + at + 2);
        QByteArray bytes = login.mid(offset, count * 2);
        if (scrambled)
            for (char& b : bytes) {
                const uint8_t x = uint8_t(b) ^ 0xA5;
                b = char(uint8_t((x >> 4) | (x << 4)));
            }
        return QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData()), count);
    }
    void Serve() {
        pollfd p{listener, POLLIN, 0};
        if (poll(&p, 1, 10000) <= 0)
            return;
        const int s = accept(listener, nullptr, nullptr);
        close(listener);  // a second attempt finds nobody instead of waiting for an answer
        listener = -1;
        QByteArray packet = ReadPacket(s);
        if (!packet.isEmpty() && packet[0] == 0x12) {  // pre-login: answer with a version and "no encryption"
            const char reply[] = {4, 1, 0, 26, 0, 0, 1, 0, 0, 0, 11, 0, 6, 1, 0, 17, 0, 1, char(0xFF), 9, 0, 0, 0, 0, 0, 2};
            send(s, reply, sizeof reply, 0);
            packet = ReadPacket(s);
        }
        if (packet.size() > 8 + 72 && packet[0] == 0x10) {
            const QByteArray login = packet.mid(8);
            user = Field(login, 40, false);
            password = Field(login, 44, true);
            database = Field(login, 68, false);
        }
        close(s);
    }

    int listener = -1;
    std::thread worker;
};

// A local port with nobody listening on it.
int ClosedPort() {
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
    close(s);
    return ntohs(address.sin_port);
}

class RemoteProviderTest : public ::testing::Test {
protected:
    void SetUp() override { Environment_cl::Startup(); }
    void TearDown() override { Environment_cl::Shutdown(); }

    // The result code of Open's failure; 0 when it opens.
    uint32_t OpenResult(const QString& text) {
        try {
            connection.Open(text);
        } catch (const ProviderError_cl& e) {
            description = e.Description();
            return e.Result();
        }
        return 0;
    }

    Connection_cl connection;
    QString description;
};

}  // namespace

TEST_F(RemoteProviderTest, SqlServerLoginCarriesTheValuesUnchanged) {
    LoginCatcher server;
    const uint32_t result = OpenResult(QStringLiteral("Provider=SQLOLEDB;Persist Security Info=false;User ID=\"sa\";"
                                                      "Password=\"a;b}c'd}\";Database=\"家庭\";Data Source=\"127.0.0.1,%1\";"
                                                      "Connect Timeout=5;")
                                           .arg(server.port));
    server.Wait();
    EXPECT_EQ(server.user, QStringLiteral("sa"));
    EXPECT_EQ(server.password, QStringLiteral("a;b}c'd}"));
    EXPECT_EQ(server.database, QStringLiteral("家庭"));
    // The listener hangs up after the login: an ordinary failure with the driver's records.
    EXPECT_EQ(result, Result_ns::Fail);
    EXPECT_FALSE(connection.IsOpen());
    ASSERT_GT(connection.Errors().Count(), 0);
    EXPECT_EQ(connection.Errors().Item(0).source, QStringLiteral("SQLOLEDB"));
    EXPECT_EQ(connection.Errors().Item(0).sqlState.size(), 5);
    EXPECT_TRUE(description.contains(connection.Errors().Item(0).description));
}

TEST_F(RemoteProviderTest, UnreachableSqlServerFailsWithTheDriversDescription) {
    const int port = ClosedPort();
    const uint32_t result = OpenResult(QStringLiteral("Provider=SQLOLEDB;Persist Security Info=false;User ID=\"sa\";Password=\"x\";"
                                                      "Data Source=\"127.0.0.1,%1\";Connect Timeout=2;")
                                           .arg(port));
    EXPECT_EQ(result, Result_ns::Fail);
    EXPECT_TRUE(description.contains(QStringLiteral("FreeTDS"))) << description.toStdString();
    ASSERT_GT(connection.Errors().Count(), 0);
    EXPECT_FALSE(connection.Errors().Item(0).sqlState.isEmpty());
}

TEST_F(RemoteProviderTest, ValuesThatCannotBePassedAreRefusedBeforeConnecting) {
    const uint32_t result = OpenResult(QStringLiteral("Provider=SQLOLEDB;User ID=\"sa\";Password=\"x};DumpFile={/tmp/x\";"
                                                      "Data Source=\"127.0.0.1,1\";"));
    EXPECT_EQ(result, Result_ns::Fail);
    ASSERT_EQ(connection.Errors().Count(), 1);
    EXPECT_EQ(connection.Errors().Item(0).description, description);
}

TEST_F(RemoteProviderTest, OracleWithoutADriverFailsWithTheDriverManagersDescription) {
    const uint32_t result = OpenResult(QStringLiteral("Provider=Oraoledb.Oracle;Persist Security Info=false;User ID=\"scott\";"
                                                      "Password=\"tiger\";Data Source=\"orcl\";"));
    EXPECT_NE(result, 0u);
    EXPECT_FALSE(description.isEmpty());
    EXPECT_FALSE(description.contains(QStringLiteral("ORA-")));
    EXPECT_GT(connection.Errors().Count(), 0);
    EXPECT_EQ(connection.Errors().Item(0).source, QStringLiteral("Oraoledb.Oracle"));
}

TEST(RemoteProviderWithoutStartup, RefusesToConnect) {
    Environment_cl::Shutdown();
    Connection_cl connection;
    try {
        connection.Open(QStringLiteral("Provider=SQLOLEDB;User ID=\"sa\";Password=\"x\";Data Source=\"127.0.0.1,1\";"));
        ADD_FAILURE();
    } catch (const ProviderError_cl& e) {
        EXPECT_EQ(e.Result(), Result_ns::NotInitialized);
    }
    EXPECT_EQ(connection.Errors().Count(), 1);
}
