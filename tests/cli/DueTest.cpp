// Recurring entries from the command line: two copies of the program applying what has
// come due to one book at the same time, on a local file and on a PostgreSQL server.
#include "support/PostgresServer.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace {

const QString kPassword = QStringLiteral("pw-admin");
const QString kBookPassword = QStringLiteral("pw-book");

class DueApplyTest : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        program = folder.filePath(QStringLiteral("vorelle-cli"));
        ASSERT_TRUE(QFile::copy(QStringLiteral(VORELLE_CLI), program)) << "cannot copy " << VORELLE_CLI;
        if (std::string(GetParam()) == "postgresql") {
            PostgresServer_cl& server = PostgresServer_cl::Shared();
            ASSERT_TRUE(server.Start()) << "The PostgreSQL test server did not start: " << server.Why().toStdString();
            ASSERT_TRUE(server.MakeBook("due", kBookPassword, "due")) << server.Why().toStdString();
            where = QStringLiteral("--connect=postgresql://due@%1/due").arg(server.Address());
        } else {
            where = QStringLiteral("--book=") + folder.filePath(QStringLiteral("家.book"));
        }
    }

    std::unique_ptr<QProcess> Start(const QStringList& arguments) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), folder.path());
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), folder.filePath(QStringLiteral("config")));
        environment.insert(QStringLiteral("XDG_DATA_HOME"), folder.filePath(QStringLiteral("data")));
        environment.insert(QStringLiteral("VORELLE_PASSWORD"), kPassword);
        environment.insert(QStringLiteral("VORELLE_BOOK_PASSWORD"), kBookPassword);
        auto process = std::make_unique<QProcess>();
        process->setProcessEnvironment(environment);
        process->setWorkingDirectory(folder.path());
        process->start(program, QStringList{where, QStringLiteral("--user=老王")} + arguments);
        return process;
    }

    // Standard output of a run that must succeed.
    QString Finish(QProcess& process) {
        if (!process.waitForFinished(300000)) {
            process.kill();
            process.waitForFinished();
            ADD_FAILURE() << "vorelle-cli did not end";
            return QString();
        }
        EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
        return QString::fromUtf8(process.readAllStandardOutput());
    }
    QString Run(const QStringList& arguments) { return Finish(*Start(arguments)); }

    QTemporaryDir folder;
    QString program;
    QString where;
};

TEST_P(DueApplyTest, TwoCopiesBookEachOccurrenceOnce) {
    Run({QStringLiteral("create"), QStringLiteral("--admin=老王")});
    Run({QStringLiteral("schedule"), QStringLiteral("add"), QStringLiteral("居家"), QStringLiteral("10"),
         QStringLiteral("--every=day"), QStringLiteral("--from=2025-01-01"), QStringLiteral("--count=365"),
         QStringLiteral("--name=水费")});
    Run({QStringLiteral("schedule"), QStringLiteral("add"), QStringLiteral("工资"), QStringLiteral("8000"),
         QStringLiteral("--income"), QStringLiteral("--every=month"), QStringLiteral("--day=31"),
         QStringLiteral("--from=2025-01-01")});
    const QStringList until{QStringLiteral("due"), QStringLiteral("--until=2026-03-31")};
    const QStringList csv = Run(until + QStringList{QStringLiteral("--format=csv")}).split(QStringLiteral("\r\n"),
                                                                                         Qt::SkipEmptyParts);
    ASSERT_EQ(csv.size(), 1 + 365 + 15);
    EXPECT_EQ(csv[32].toStdString(), "2025-01-31,2,老王,工资,,8000");

    auto first = Start(until + QStringList{QStringLiteral("--apply")});
    auto second = Start(until + QStringList{QStringLiteral("--apply")});
    int32_t booked = 0;
    const QRegularExpression count(QStringLiteral("共记账(\\d+)条"));
    for (QProcess* process : {first.get(), second.get()}) {
        const QRegularExpressionMatch match = count.match(Finish(*process));
        ASSERT_TRUE(match.hasMatch());
        booked += match.captured(1).toInt();
    }
    EXPECT_EQ(booked, 380);
    EXPECT_EQ(Run(until).trimmed(), QStringLiteral("没有到期的定期记录。"));
    EXPECT_TRUE(Run({QStringLiteral("balance")}).startsWith(QStringLiteral("个人帐户  116350\n")));
}

INSTANTIATE_TEST_SUITE_P(Books, DueApplyTest, ::testing::Values("local", "postgresql"),
                         [](const auto& info) { return std::string(info.param); });

}  // namespace
