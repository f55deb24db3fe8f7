// How often one command of the command line derives the key of an encrypted book from its
// password: the derivation is made slow on purpose, so a command does it once. Counted
// through the real program, by a library that interposes the crypto library's derivation.
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct Command_st {
    const char* title;
    QStringList arguments;  // after --book and --user; "{dir}" is the temporary folder
};

void PrintTo(const Command_st& command, std::ostream* out) { *out << command.title; }

class KeyDerivationTest : public ::testing::TestWithParam<Command_st> {
protected:
    static void SetUpTestSuite() {
        folder = new QTemporaryDir;
        ASSERT_TRUE(folder->isValid());
        QFile records(folder->filePath(QStringLiteral("records.csv")));
        ASSERT_TRUE(records.open(QIODevice::WriteOnly));
        records.write(QStringLiteral("日期,分类,费用名称,金额,用户,类别,注释\r\n"
                                     "2026-01-05,餐饮,午饭,-25.5,老王,月开销,\r\n").toUtf8());
        records.close();
        int derivations = -1;
        Run({QStringLiteral("create"), QStringLiteral("--admin"), QStringLiteral("老王")}, derivations);
        EXPECT_EQ(derivations, 1) << "create";
    }
    static void TearDownTestSuite() { delete folder; }

    // Runs vorelle-cli on the book, expects success and gives its number of derivations.
    static void Run(QStringList arguments, int& derivations) {
        const QString dir = folder->path();
        const QString count = dir + QStringLiteral("/derivations");
        QFile::remove(count);
        for (QString& argument : arguments) argument.replace(QStringLiteral("{dir}"), dir);
        arguments.prepend(QStringLiteral("--book=") + dir + QStringLiteral("/家.book"));
        if (arguments[1] != QStringLiteral("create")) arguments.insert(1, QStringLiteral("--user=老王"));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), dir);
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), dir + QStringLiteral("/config"));
        environment.insert(QStringLiteral("XDG_DATA_HOME"), dir + QStringLiteral("/data"));
        environment.insert(QStringLiteral("VORELLE_BOOK_PASSWORD"), QStringLiteral("book-secret"));
        environment.insert(QStringLiteral("VORELLE_PASSWORD"), QStringLiteral("user-secret"));
        environment.insert(QStringLiteral("VORELLE_NEW_PASSWORD"), QStringLiteral("new-secret"));
        environment.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(KEY_DERIVATION_COUNTER));
        environment.insert(QStringLiteral("KEY_DERIVATION_COUNT"), count);
        QProcess process;
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(dir);
        process.start(QStringLiteral(VORELLE_CLI), arguments);
        ASSERT_TRUE(process.waitForFinished(120000)) << "vorelle-cli did not end";
        ASSERT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
        QFile counted(count);
        ASSERT_TRUE(counted.open(QIODevice::ReadOnly)) << "the counting library was not loaded: " << KEY_DERIVATION_COUNTER;
        derivations = counted.readAll().trimmed().toInt();
    }

    static QTemporaryDir* folder;
};

QTemporaryDir* KeyDerivationTest::folder = nullptr;

TEST_P(KeyDerivationTest, OneDerivationPerCommand) {
    int derivations = -1;
    Run(GetParam().arguments, derivations);
    EXPECT_EQ(derivations, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, KeyDerivationTest,
    ::testing::Values(
        Command_st{"import", {"import", "{dir}/records.csv"}},
        Command_st{"balance", {"balance"}},
        Command_st{"report_year", {"report", "year"}},
        Command_st{"report_month", {"report", "month", "2026"}},
        Command_st{"export", {"export", "{dir}/out.csv", "--from", "2026-01-01", "--to", "2026-12-31"}},
        Command_st{"user_add", {"user", "add", "小李", "--power", "normal"}},
        Command_st{"backup", {"backup", "{dir}/copy.book"}}),
    [](const ::testing::TestParamInfo<Command_st>& info) { return std::string(info.param.title); });

}  // namespace
