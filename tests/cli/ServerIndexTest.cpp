// A PostgreSQL book made before the sums index gets it when a copy of the program opens
// it: two copies opening at once both work, and a login that may not make it still
// opens the book and books, with the reason in the log.
#include "support/PostgresServer.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace {

class ServerIndexTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        // A copy of its own: its application folder (for Error.log) is the temporary one.
        program = folder.filePath(QStringLiteral("vorelle-cli"));
        ASSERT_TRUE(QFile::copy(QStringLiteral(VORELLE_CLI), program)) << "cannot copy " << VORELLE_CLI;
        ASSERT_TRUE(server.Start()) << "The PostgreSQL test server did not start: " << server.Why().toStdString();
        ASSERT_TRUE(server.MakeBook("older", "pw", "older")) << server.Why().toStdString();
        QFile records(folder.filePath(QStringLiteral("records.csv")));
        ASSERT_TRUE(records.open(QIODevice::WriteOnly));
        records.write(QStringLiteral("日期,分类,费用名称,金额,用户,类别,注释\r\n2026-01-05,餐饮,午饭,-25.5,管家,月开销,\r\n").toUtf8());
        records.close();
        ASSERT_TRUE(RunAll({{"older", "create", "--admin", "管家"}}));
        ASSERT_EQ(Indexes(), 1) << "a new book has the index";
    }

    // Runs copies of the command line on the book at once, each as the given login;
    // true when every one succeeded.
    bool RunAll(const std::vector<QStringList>& commands) {
        std::vector<std::unique_ptr<QProcess>> running;
        for (QStringList arguments : commands) {
            const QString login = arguments.takeFirst();
            auto cli = std::make_unique<QProcess>();
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert("VORELLE_BOOK_PASSWORD", "pw");
            environment.insert("VORELLE_PASSWORD", "secret1");
            environment.insert("HOME", folder.path());
            environment.insert("XDG_CONFIG_HOME", folder.path());
            environment.insert("XDG_DATA_HOME", folder.path());
            cli->setProcessEnvironment(environment);
            const QString uri = QStringLiteral("postgresql://%1@%2/older").arg(login, server.Address());
            cli->start(program, QStringList{"--connect", uri} + arguments);
            running.push_back(std::move(cli));
        }
        bool succeeded = true;
        for (auto& cli : running) {
            EXPECT_TRUE(cli->waitForFinished(120000));
            EXPECT_EQ(cli->exitCode(), 0) << cli->readAllStandardError().toStdString();
            succeeded = succeeded && cli->exitCode() == 0;
        }
        return succeeded;
    }

    int Indexes() {
        QString output;
        EXPECT_TRUE(server.Psql("select count(*) from pg_indexes where indexname = 'zorb_record_sums'", "older", &output))
            << server.Why().toStdString();
        return output.trimmed().toInt();
    }

    QString Log() {
        QFile log(folder.filePath(QStringLiteral("Error.log")));
        if (!log.open(QIODevice::ReadOnly)) return QString();
        const QByteArray bytes = log.readAll();
        return QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData()), bytes.size() / 2);
    }

    QTemporaryDir folder;
    QString program;
    PostgresServer_cl& server = PostgresServer_cl::Shared();
};

TEST_F(ServerIndexTest, AnOlderBookGetsTheIndexOnceAndALoginWithoutTheRightStillWorks) {
    ASSERT_TRUE(server.Psql("drop index zorb_record_sums", "older")) << server.Why().toStdString();
    ASSERT_TRUE(RunAll({{"older", "--user", "管家", "balance"}, {"older", "--user", "管家", "report", "year"}}));
    EXPECT_EQ(Indexes(), 1);
    EXPECT_EQ(Log(), QString()) << "nothing went wrong";

    // A login that may read and book but does not own the tables.
    ASSERT_TRUE(server.Psql("drop index zorb_record_sums; create role clerk login password 'pw'; "
                            "grant select, insert, update, delete on all tables in schema public to clerk; "
                            "grant usage, select, update on all sequences in schema public to clerk",
                            "older"))
        << server.Why().toStdString();
    EXPECT_TRUE(RunAll({{"clerk", "--user", "管家", "import", folder.filePath(QStringLiteral("records.csv"))}}));
    EXPECT_EQ(Indexes(), 0);
    EXPECT_TRUE(Log().contains(QStringLiteral("统计用的索引"))) << Log().toStdString();
    EXPECT_TRUE(server.Psql("drop owned by clerk; drop role clerk", "older")) << server.Why().toStdString();
}

}  // namespace
