// What the command line leaves in the book and how it meets what is there, on a local and a
// PostgreSQL book: a record file imported twice, a phone's resend to `serve` after it was
// stopped and started again, and the password a login leaves in the user table. Each case
// is checked by the figures of `report year` and the entries' count.
#include "DB/IDatabase.h"
#include "DB/SimpleOutRecords.h"
#include "Data/DatabaseManage.h"
#include "platform/ado/Environment.h"
#include "support/PostgresServer.h"
#include "support/TempFolder.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <httplib.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

enum class Kind_en { Local, PostgreSQL };

const QString kAdmin = QStringLiteral("老王");
const QString kPassword = QStringLiteral("Pa55-wang");

struct Result_st {
    int exitCode = -1;
    QString out;
    QString err;
};

// A port of 127.0.0.1 nobody listens on now.
int FreePort() {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    bind(fd, reinterpret_cast<sockaddr*>(&address), size);
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
    close(fd);
    return ntohs(address.sin_port);
}

class IdentityCliTest : public ::testing::TestWithParam<Kind_en> {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        program = folder.filePath(QStringLiteral("vorelle-cli"));
        ASSERT_TRUE(QFile::copy(QStringLiteral(VORELLE_CLI), program)) << "cannot copy " << VORELLE_CLI;
        if (GetParam() == Kind_en::PostgreSQL) {
            ASSERT_TRUE(server.Start()) << "The PostgreSQL test server did not start: " << server.Why().toStdString();
            ASSERT_TRUE(server.MakeBook("doors", "pw", "doors")) << server.Why().toStdString();
            book = {QStringLiteral("--connect"), QStringLiteral("postgresql://doors@") + server.Address() + "/doors"};
        } else {
            book = {QStringLiteral("--book=") + folder.filePath(QStringLiteral("家.book"))};
        }
        const Result_st created = Run({"create", "--admin", kAdmin});
        ASSERT_EQ(created.exitCode, 0) << created.err.toStdString();
        const QString header = QStringLiteral("日期,分类,费用名称,金额,用户,类别,注释\n");
        // Two identical rows: two real lunches, neither a duplicate of the other.
        Write(QStringLiteral("lunch.csv"), header + QStringLiteral("2026-01-05,餐饮,午饭,-25.5,老王,月开销,\n"
                                                                   "2026-01-05,餐饮,午饭,-25.5,老王,月开销,\n"
                                                                   "2026-02-01,工资,一月,8000,老王,月收入,\n"));
    }

    void Write(const QString& name, const QString& text) {
        QFile file(folder.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text.toUtf8());
    }

    void Start(QProcess& process, QStringList arguments) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("VORELLE_BOOK_PASSWORD"), QStringLiteral("pw"));
        environment.insert(QStringLiteral("VORELLE_PASSWORD"), kPassword);
        environment.insert(QStringLiteral("HOME"), folder.path());
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), folder.path());
        environment.insert(QStringLiteral("XDG_DATA_HOME"), folder.path());
        for (QString& argument : arguments) argument.replace(QStringLiteral("{dir}"), folder.path());
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(folder.path());
        const QStringList user = arguments.first() == u"create" ? QStringList() : QStringList{QStringLiteral("--user=") + kAdmin};
        process.start(program, book + user + arguments);
    }

    Result_st Run(const QStringList& arguments) {
        QProcess process;
        Start(process, arguments);
        Result_st result;
        if (!process.waitForFinished(120000)) {
            ADD_FAILURE() << "vorelle-cli did not end: " << arguments.join(u' ').toStdString();
            process.kill();
            process.waitForFinished();
            return result;
        }
        result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        result.out = QString::fromUtf8(process.readAllStandardOutput());
        result.err = QString::fromUtf8(process.readAllStandardError());
        return result;
    }

    // The figures of every year, as `report year` prints them.
    QString Figures() {
        const Result_st report = Run({"report", "year"});
        EXPECT_EQ(report.exitCode, 0) << report.err.toStdString();
        return report.out;
    }

    // The first column of the first row a statement yields, read beside the program.
    QString Sql(const QString& sql) {
        Vorelle_ns::DatabaseManage_cl links;
        if (GetParam() == Kind_en::PostgreSQL) {
            Ado_ns::Environment_cl::Startup();
            links.AddPostgreSQLLink(QStringLiteral("门"), server.Address(), "doors", "doors", "pw");
        } else {
            links.AddLocalLink(QStringLiteral("门"), folder.filePath(QStringLiteral("家.book")), QStringLiteral("pw"));
        }
        links.OpenLink(0);
        DB_ns::SimpleOutRecords_cl rows;
        QString text = QStringLiteral("<no row>");
        if (!sql.startsWith(QStringLiteral("select"))) {
            text = QString::number(links.GetDatabase().ExecuteNoRecords(sql));
        } else if (links.GetDatabase().Query(sql, rows) != 0) {
            Ado_ns::Variant_st value;
            rows.GetValue(value);
            if (value.type == Ado_ns::VT_NULL) text = QStringLiteral("<null>");
            else if (!value.ToText(text)) text = QString::number(value.integer);
        }
        links.CloseDatabase();
        return text.trimmed();
    }
    int Entries() { return Sql(QStringLiteral("select count(*) from zorb_record where valid = '1'")).toInt(); }

    QTemporaryDir folder;
    TempAppFolder_cl app;  // the links of Sql() go here, never to real settings
    QString program;
    QStringList book;
    PostgresServer_cl& server = PostgresServer_cl::Shared();
};

TEST_P(IdentityCliTest, ARecordFileImportedTwiceIsRefusedUnlessAgain) {
    const Result_st first = Run({"import", "{dir}/lunch.csv"});
    ASSERT_EQ(first.exitCode, 0) << first.err.toStdString();
    EXPECT_EQ(Entries(), 3) << "identical rows of one file are all booked";
    const std::string once = Figures().toStdString();
    const Result_st twice = Run({"import", "{dir}/lunch.csv"});
    EXPECT_EQ(twice.exitCode, 1) << twice.out.toStdString();
    EXPECT_TRUE(twice.err.contains(QStringLiteral("第2行"))) << twice.err.toStdString();
    EXPECT_TRUE(twice.err.contains(QStringLiteral("--again"))) << twice.err.toStdString();
    EXPECT_EQ(Entries(), 3);
    EXPECT_EQ(Figures().toStdString(), once);
    const Result_st again = Run({"import", "{dir}/lunch.csv", "--again"});
    EXPECT_EQ(again.exitCode, 0) << again.err.toStdString();
    EXPECT_EQ(Entries(), 6);
    EXPECT_NE(Figures().toStdString(), once);
}

TEST_P(IdentityCliTest, AResendToServeAfterARestartAnswersTheFirstAnswer) {
    // A phone books only into a category the book has.
    Sql(QStringLiteral("insert into zorb_expense_type(type_name,kind,valid,alter_sn) values('餐饮','0','1',1)"));
    const Result_st token = Run({"token", "add", "--label", "手机"});
    ASSERT_EQ(token.exitCode, 0) << token.err.toStdString();
    const QString link = token.out.section(u'\n', 0, 0);
    const std::string key = link.mid(link.indexOf(QStringLiteral("#k=")) + 3).trimmed().toStdString();
    const std::string body = R"({"kind":"expense","amount":"12.50","category":"餐饮","name":"午饭"})";
    const std::string other = R"({"kind":"expense","amount":"125.00","category":"餐饮","name":"午饭"})";
    const httplib::Headers headers{{"Authorization", "Bearer " + key}, {"Idempotency-Key", "lunch-0105"}};
    const struct {
        const char* title;
        const std::string& body;
        int status;
    } sends[] = {{"the first time", body, 201}, {"after a restart", body, 201}, {"another body", other, 422}};
    std::string firstAnswer;
    QString figures;
    for (const auto& send : sends) {
        SCOPED_TRACE(send.title);
        const int port = FreePort();
        QProcess serve;
        serve.setReadChannel(QProcess::StandardError);
        Start(serve, {"serve", "--listen", QStringLiteral("127.0.0.1:%1").arg(port)});
        QString said;
        while (!said.contains(QStringLiteral("正在服务")) && serve.waitForReadyRead(60000))
            said += QString::fromUtf8(serve.readAllStandardError());
        ASSERT_TRUE(said.contains(QStringLiteral("正在服务"))) << said.toStdString();
        httplib::Client phone("127.0.0.1", port);
        phone.set_read_timeout(30, 0);
        const auto answer = phone.Post("/api/v1/entries", headers, send.body, "application/json");
        serve.terminate();
        EXPECT_TRUE(serve.waitForFinished(60000));
        ASSERT_TRUE(answer);
        EXPECT_EQ(answer->status, send.status) << answer->body;
        if (firstAnswer.empty()) {
            firstAnswer = answer->body;
            figures = Figures();
        } else if (send.status == 201) {
            EXPECT_EQ(answer->body, firstAnswer);
        } else {
            EXPECT_NE(answer->body.find("Idempotency-Key"), std::string::npos) << answer->body;
        }
        EXPECT_EQ(Entries(), 1);
        EXPECT_EQ(Figures(), figures);
    }
}

TEST_P(IdentityCliTest, ALoginLeavesNoPasswordInTheUserTable) {
    // The book as an older copy kept it: the password in the user table, no hash.
    Sql(QStringLiteral("update zorb_user set password = '%1'").arg(kPassword));
    Sql(QStringLiteral("delete from zorb_login"));
    ASSERT_EQ(Sql(QStringLiteral("select count(*) from zorb_user where password = '%1'").arg(kPassword)), "1");
    const QString figures = Figures();  // a login
    EXPECT_EQ(Sql(QStringLiteral("select count(*) from zorb_user where password is not null")), "0");
    const QString hash = Sql(QStringLiteral("select password_hash from zorb_login"));
    // The program itself makes its hashes at full cost, whatever the test programs do.
    EXPECT_TRUE(hash.startsWith(QStringLiteral("pbkdf2-sha256$600000$"))) << hash.toStdString();
    EXPECT_FALSE(hash.contains(kPassword));
    EXPECT_EQ(Figures(), figures);
}

INSTANTIATE_TEST_SUITE_P(Books, IdentityCliTest, ::testing::Values(Kind_en::Local, Kind_en::PostgreSQL),
                         [](const ::testing::TestParamInfo<Kind_en>& info) {
                             return info.param == Kind_en::Local ? "Local" : "PostgreSQL";
                         });

}  // namespace
