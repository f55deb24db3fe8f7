// Several copies of the command line importing statements into one book of a PostgreSQL
// server at the same moment, as cron jobs of several machines would.
#include "support/PostgresServer.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace {

class ServerImportTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        // A copy of its own: its application folder (for Error.log) is the temporary one.
        program = folder.filePath(QStringLiteral("vorelle-cli"));
        ASSERT_TRUE(QFile::copy(QStringLiteral(VORELLE_CLI), program)) << "cannot copy " << VORELLE_CLI;
        ASSERT_TRUE(server.Start()) << "The PostgreSQL test server did not start: " << server.Why().toStdString();
        ASSERT_TRUE(server.MakeBook("imports", "pw", "imports")) << server.Why().toStdString();
        uri = QStringLiteral("postgresql://imports@") + server.Address() + QStringLiteral("/imports");
        ASSERT_EQ(Start({"--connect", uri, "create", "--admin", "管家"})->waitForFinished(120000), true);
        // Four bank statements of different trades (the built-in columns know no trade
        // number: each trade is known by its day, amount and text), and a fifth.
        for (int file = 0; file < 4; ++file) {
            QString text = QStringLiteral("交易日期,交易金额,联机余额,摘要,对方户名,流水号\n");
            for (int row = 0; row < 30; ++row)
                text += QStringLiteral("2026-01-%1,-1.00,,咖啡%2,咖啡馆,F%2-%3\n").arg(row % 28 + 1, 2, 10, QChar(u'0')).arg(file).arg(row);
            Write(QStringLiteral("bank%1.csv").arg(file), text);
        }
        Write(QStringLiteral("same.csv"), QStringLiteral("交易日期,交易金额,联机余额,摘要,对方户名,流水号\n"
                                                         "2026-02-01,-2.00,,茶,茶馆,S1\n2026-02-02,-3.00,,茶,茶馆,S2\n"));
    }

    void Write(const QString& name, const QString& text) {
        QFile file(folder.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text.toUtf8());
    }

    std::unique_ptr<QProcess> Start(const QStringList& arguments) {
        auto cli = std::make_unique<QProcess>();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("VORELLE_BOOK_PASSWORD", "pw");
        environment.insert("VORELLE_PASSWORD", "secret1");
        environment.insert("HOME", folder.path());
        environment.insert("XDG_CONFIG_HOME", folder.path());
        environment.insert("XDG_DATA_HOME", folder.path());
        cli->setProcessEnvironment(environment);
        cli->start(program, arguments);
        return cli;
    }

    // Runs the imports all at once; every one must succeed. Returns what they printed.
    QString ImportAtOnce(const QStringList& files) {
        std::vector<std::unique_ptr<QProcess>> running;
        for (const QString& file : files)
            running.push_back(Start({"--connect", uri, "--user", "管家", "import", folder.filePath(file), "--format", "bank"}));
        QString printed;
        for (auto& cli : running) {
            EXPECT_TRUE(cli->waitForFinished(120000));
            const QString err = QString::fromUtf8(cli->readAllStandardError());
            EXPECT_EQ(cli->exitCode(), 0) << err.toStdString();
            printed += QString::fromUtf8(cli->readAllStandardOutput());
        }
        return printed;
    }

    QString Balance() {
        auto cli = Start({"--connect", uri, "--user", "管家", "balance"});
        EXPECT_TRUE(cli->waitForFinished(120000));
        return QString::fromUtf8(cli->readAllStandardOutput());
    }

    QTemporaryDir folder;
    QString program;
    PostgresServer_cl& server = PostgresServer_cl::Shared();
    QString uri;
};

TEST_F(ServerImportTest, CopiesImportingAtOnceBookEveryTradeOnce) {
    const struct {
        const char* title;
        bool olderBook;  // the trade table as an older copy made it: ids of 128, no amount
        QStringList files;
        const char* balance;
    } cases[] = {
        {"four statements into a book made before the trade table", true,
         {"bank0.csv", "bank1.csv", "bank2.csv", "bank3.csv"}, "公共帐户  -120\n"},
        {"one statement four times", false, {"same.csv", "same.csv", "same.csv", "same.csv"}, "公共帐户  -125\n"},
        {"all of them again", false, {"bank0.csv", "bank1.csv", "bank2.csv", "bank3.csv", "same.csv"}, "公共帐户  -125\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        if (c.olderBook) {
            ASSERT_TRUE(server.Psql(QStringLiteral(
                "drop table zorb_trade; create table zorb_trade(sn serial primary key,source varchar(16),trade_id "
                "varchar(128),type_name varchar(16),user_sn integer,create_time timestamp default now()); "
                "alter table zorb_trade owner to imports; "
                "create unique index zorb_trade_id on zorb_trade(source,trade_id)"), "imports"))
                << server.Why().toStdString();
        }
        const QString printed = ImportAtOnce(c.files);
        const QString balance = Balance();
        EXPECT_TRUE(balance.endsWith(QString::fromUtf8(c.balance))) << balance.toStdString() << printed.toStdString();
    }
    QString width;
    ASSERT_TRUE(server.Psql("select character_maximum_length from information_schema.columns where table_name = "
                            "'zorb_trade' and column_name = 'trade_id'", "imports", &width));
    EXPECT_EQ(width.trimmed(), "255");
}

}  // namespace
