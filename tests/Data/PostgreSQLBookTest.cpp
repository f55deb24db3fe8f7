#include "Control/DataCore.h"
#include "DB/PostgreSQLDB.h"
#include "Data/FinanceFixture.h"
#include "platform/ado/Environment.h"
#include "support/QtPrinters.h"
#include "support/RecordingPrompt.h"
#include "support/TempSettings.h"

#include <QFile>
#include <QFileInfo>
#include <QDir>
#include <QProcess>
#include <QThread>
#include <cstring>
#include <tuple>

// A book on a PostgreSQL server the tests start themselves, beside a local one.
namespace {

using Vorelle_ns::RecordInfo_st;

const QString kProduct = QStringLiteral("ZantheVorelle管理软件");

// One copy of the program on one book: its links, users and entries.
struct Book_st {
    Vorelle_ns::DatabaseManage_cl links;
    Vorelle_ns::UserManage_cl users{links, kProduct};
    Vorelle_ns::RecordManage_cl records{users};

    void Create() {
        links.OpenLink(0);
        DB_ns::BeginTrans_cl transaction(&links.GetDatabase());
        users.CreateUserTable(QStringLiteral("admin"), QStringLiteral("secret"));
        records.CreateTables();
        transaction.Commit();
        users.Login(QStringLiteral("admin"), QStringLiteral("secret"));
    }
    int32_t Count(const char* table) {
        int32_t value = 0;
        links.GetDatabase().QueryCount(QStringLiteral("select count(*) from %1").arg(QString::fromUtf8(table)), value);
        return value;
    }
};

class PostgreSQLBook : public ::testing::Test {
protected:
    void SetUp() override {
        Unique_ns::SetStorageFolder(settings.path());
        Ado_ns::Environment_cl::Startup();
        ASSERT_TRUE(server.Start()) << "The PostgreSQL test server did not start: " << server.Why().toStdString();
        ASSERT_TRUE(server.MakeBook("book", "pw", "book")) << server.Why().toStdString();
    }
    void TearDown() override { Unique_ns::SetStorageFolder(QString()); }

    void Link(Book_st& book) { book.links.AddPostgreSQLLink(QStringLiteral("共享"), server.Address(), "book", "book", "pw"); }

    TempAppFolder_cl app;
    QTemporaryDir settings;
    PostgresServer_cl& server = PostgresServer_cl::Shared();
};

// A household's entries over three years: several users, categories and modes, and
// comments a server could misread in a list of values.
Container_ns::List_tl<RecordInfo_st> Entries(int count) {
    const char* types[] = {"饮食", "交通", "居家", "工资", "新类"};
    const char* users[] = {"admin", "ann", "bob"};
    const char* comments[] = {"", "say \"hi\"", "back\\slash\\", "{a,b}", "NULL", "it's", " 两边 ", "?", "(x),(y)"};
    Container_ns::List_tl<RecordInfo_st> list;
    for (int i = 0; i < count; ++i) {
        const int32_t amount = (i * 7919) % 50000 + 1;
        const bool income = i % 11 == 0;
        list.Append({Base_ns::DateTime_cl::FromParts(2022 + i % 3, 1 + i % 12, 1 + i % 28, i % 24, i % 60, 0),
                     QString::fromUtf8(types[income ? 3 : i % 5 == 3 ? 4 : i % 3]), QStringLiteral("项%1").arg(i % 13),
                     income ? amount * 10 : -amount, QString::fromUtf8(users[i % 3]), i % 3,
                     i % 4 ? QStringLiteral("备注%1").arg(i) : QString::fromUtf8(comments[i / 4 % std::size(comments)])});
    }
    return list;
}

template <typename Action>
QString Message(Action action) {
    try {
        action();
    } catch (const Base_ns::Error_cl& error) {
        return error.Message() + QStringLiteral(" | ") + error.Remark();
    }
    return QString();
}

}  // namespace

TEST_F(PostgreSQLBook, ConnectionFailuresNameTheCauseInTheDriversWords) {
    const struct {
        const char *address, *database, *password, *words;
    } cases[] = {
        {"", "book", "wrong", "password authentication failed"},
        {"", "nobook", "pw", "does not exist"},
        {"127.0.0.1:1", "book", "pw", "127.0.0.1"},
    };
    for (const auto& c : cases) {
        DB_ns::PostgreSQLDB_cl database;
        const QString address = *c.address ? QString::fromUtf8(c.address) : server.Address();
        const QString message = Message([&] { database.Connect("book", address, c.database, c.password); });
        EXPECT_TRUE(message.startsWith(QStringLiteral("连接数据库失败。 | "))) << message.toStdString();
        EXPECT_TRUE(message.contains(QString::fromUtf8(c.words))) << message.toStdString();
        EXPECT_FALSE(message.contains(QStringLiteral("wrong")));
    }
}

TEST_F(PostgreSQLBook, ADatabaseOfAnotherProgramIsNotTakenForABook) {
    ASSERT_TRUE(server.Psql("create table module_version(module_name varchar(32) primary key, version varchar(16));"
                            "insert into module_version values('Vorelle', '9.0.0.0');"
                            "alter table module_version owner to book",
                            "book"))
        << server.Why().toStdString();
    TempSettings_cl coreSettings;
    RecordingPrompt_cl prompt;
    Vorelle_ns::DataCore_cl core;
    const QString message = Message([&] {
        core.AttachPostgreSQLDatabase(server.Address(), QStringLiteral("book"), QStringLiteral("别人的"), "book", "pw");
    });
    EXPECT_TRUE(message.startsWith(QStringLiteral("软件版本过低"))) << message.toStdString();
    EXPECT_EQ(core.GetDatabaseManage().GetCount(), 0);
}

TEST_F(PostgreSQLBook, TheSameEntriesGiveTheSameReportsAsALocalBook) {
    Book_st local, shared;
    local.links.AddLocalLink(QStringLiteral("本地"), app.Path() + QStringLiteral("local.mdb"), QString());
    Link(shared);
    for (Book_st* book : {&local, &shared}) {
        book->Create();
        book->users.AddUser(QStringLiteral("ann"), 2, QStringLiteral("pw"));
        book->users.AddUser(QStringLiteral("bob"), 3, QStringLiteral("pw"));
        book->records.ImportRecords(Entries(600));
    }
    const auto begin = Base_ns::DateTime_cl::FromParts(2022, 3, 1, 0, 0, 0);
    const auto end = Base_ns::DateTime_cl::FromParts(2024, 2, 29, 23, 59, 59);
    const auto rowsL = local.records.GetRecords(true, QString(), begin, end);
    const auto rowsS = shared.records.GetRecords(true, QString(), begin, end);
    ASSERT_EQ(rowsL.Count(), rowsS.Count());
    for (int32_t i = 0; i < rowsL.Count(); ++i) {
        const auto &a = rowsL[i], &b = rowsS[i];
        EXPECT_EQ(std::tie(a.sn, a.typeName, a.expenseName, a.expense, a.userName, a.statisticsMode, a.comment),
                  std::tie(b.sn, b.typeName, b.expenseName, b.expense, b.userName, b.statisticsMode, b.comment))
            << i;
        EXPECT_EQ(a.recordTime.Format(), b.recordTime.Format()) << i;
    }
    const auto sumsL = local.records.GetTypeSums(true, QString(), begin, end);
    const auto sumsS = shared.records.GetTypeSums(true, QString(), begin, end);
    ASSERT_EQ(sumsL.Count(), sumsS.Count());
    for (int32_t i = 0; i < sumsL.Count(); ++i)
        EXPECT_EQ(std::tie(sumsL[i].typeName, sumsL[i].sum), std::tie(sumsS[i].typeName, sumsS[i].sum));
    for (bool month : {true, false}) {
        const auto tableL = month ? local.records.GetMonthCrosstab(true, QString(), begin, end)
                                  : local.records.GetYearCrosstab(false, QStringLiteral("ann"));
        const auto tableS = month ? shared.records.GetMonthCrosstab(true, QString(), begin, end)
                                  : shared.records.GetYearCrosstab(false, QStringLiteral("ann"));
        ASSERT_EQ(tableL.cells.Count(), tableS.cells.Count());
        ASSERT_GT(tableL.cells.Count(), 0);
        for (int32_t i = 0; i < tableL.columnCaptions.Count(); ++i) EXPECT_EQ(tableL.columnCaptions[i], tableS.columnCaptions[i]);
        for (int32_t i = 0; i < tableL.rowCaptions.Count(); ++i) EXPECT_EQ(tableL.rowCaptions[i], tableS.rowCaptions[i]);
        for (int32_t i = 0; i < tableL.cells.Count(); ++i) EXPECT_EQ(tableL.cells[i], tableS.cells[i]) << i;
    }
    for (const char* user : {"admin", "ann", "bob"}) {
        local.users.Login(QString::fromUtf8(user), strcmp(user, "admin") == 0 ? "secret" : "pw");
        shared.users.Login(QString::fromUtf8(user), strcmp(user, "admin") == 0 ? "secret" : "pw");
        EXPECT_EQ(local.users.GetSingleAccount(), shared.users.GetSingleAccount()) << user;
        EXPECT_EQ(local.users.GetPublicAccount(), shared.users.GetPublicAccount()) << user;
    }
    // A large import leaves the server's statistics fresh for the reports that follow.
    shared.users.Login(QStringLiteral("admin"), QStringLiteral("secret"));
    shared.records.ImportRecords(Entries(2500));
    int32_t estimated = 0;
    (void)shared.links.GetDatabase().QueryCount(
        QStringLiteral("select cast(reltuples as integer) from pg_class where relname = 'zorb_record'"), estimated);
    EXPECT_EQ(estimated, 3100);
    EXPECT_EQ(shared.Count("zorb_record"), 3100);
}

// The server goes away between two parts of one transaction: the second part fails with
// the driver's words, nothing of the first part lands, and once the server is back the
// next entry connects again by itself.
TEST_F(PostgreSQLBook, AServerStoppedMidImportLosesTheWholeImportAndTheNextActionReconnects) {
    Book_st book;
    Link(book);
    book.Create();
    book.users.AddUser(QStringLiteral("ann"), 2, QStringLiteral("pw"));
    book.users.AddUser(QStringLiteral("bob"), 3, QStringLiteral("pw"));
    const auto entries = Entries(200);
    QString message;
    {
        DB_ns::BeginTrans_cl transaction(&book.links.GetDatabase());
        book.records.ImportRecords(entries);
        ASSERT_TRUE(server.Stop()) << server.Why().toStdString();
        message = Message([&] { book.records.ImportRecords(entries); });
    }
    EXPECT_TRUE(message.startsWith(QStringLiteral("与服务器的连接已断开"))) << message.toStdString();
    EXPECT_GT(message.indexOf(QStringLiteral(" | ")) + 3, 3);
    EXPECT_FALSE(message.endsWith(QStringLiteral(" | ")));

    EXPECT_TRUE(Message([&] { book.records.AddRecord("饮食", "", -5, "", Base_ns::DateTime_cl::FromParts(2024, 1, 1), 0); })
                    .startsWith(QStringLiteral("与服务器的连接已断开")));
    ASSERT_TRUE(server.Resume()) << server.Why().toStdString();
    EXPECT_EQ(Message([&] { book.records.AddRecord("饮食", "", -5, "", Base_ns::DateTime_cl::FromParts(2024, 1, 1), 0); }), "");
    EXPECT_EQ(book.Count("zorb_record"), 1);
    EXPECT_EQ(book.users.GetSingleAccount(), -5);
    EXPECT_EQ(book.users.GetPublicAccount(), -5);
}

// The server goes away and comes back inside a transaction: what follows in it fails as a
// lost connection instead of going on in a new one, and nothing of it is kept.
TEST_F(PostgreSQLBook, ALostConnectionEndsItsTransactionWithoutReconnectingInTheMiddle) {
    Book_st book;
    Link(book);
    book.Create();
    const Base_ns::DateTime_cl day = Base_ns::DateTime_cl::FromParts(2024, 1, 1);
    QString during, commit;
    {
        DB_ns::BeginTrans_cl transaction(&book.links.GetDatabase());
        book.records.AddRecord("饮食", "", -5, "", day, 0);
        ASSERT_TRUE(server.Stop()) << server.Why().toStdString();
        ASSERT_TRUE(server.Resume()) << server.Why().toStdString();
        during = Message([&] { book.records.AddRecord("饮食", "", -7, "", day, 0); });
        during += u'/' + Message([&] { book.records.AddRecord("饮食", "", -9, "", day, 0); });
        commit = Message([&] { transaction.Commit(); });
    }
    EXPECT_TRUE(during.startsWith(QStringLiteral("与服务器的连接已断开"))) << during.toStdString();
    EXPECT_TRUE(during.contains(QStringLiteral("/与服务器的连接已断开"))) << during.toStdString();
    EXPECT_TRUE(commit.startsWith(QStringLiteral("与服务器的连接已断开"))) << commit.toStdString();
    EXPECT_EQ(book.Count("zorb_record"), 0);
    EXPECT_EQ(book.users.GetPublicAccount(), 0);
}

// Four copies import into one book at once, each adding the same new category: no
// amount is lost or doubled and the category exists once.
TEST_F(PostgreSQLBook, FourWritersAtOnceKeepEveryBalanceEqualToItsEntries) {
    Book_st book;
    Link(book);
    book.Create();
    const char* writers[] = {"w1", "w2", "w3", "w4"};
    for (const char* name : writers) book.users.AddUser(QString::fromUtf8(name), 2, QStringLiteral("pw"));
    const int count = 400;
    QProcess processes[4];
    for (int i = 0; i < 4; ++i)
        processes[i].start(QStringLiteral(SERVER_WRITER), {server.Address(), "book", "book", "pw", writers[i], QString::number(count)});
    for (QProcess& process : processes) {
        ASSERT_TRUE(process.waitForFinished(300000));
        EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    }
    int32_t expected = 0;
    for (int i = 0; i < count; ++i) expected -= 1 + i % 9;
    for (const char* name : writers) {
        book.users.Login(QString::fromUtf8(name), QStringLiteral("pw"));
        EXPECT_EQ(book.users.GetSingleAccount(), expected) << name;
        EXPECT_EQ(book.users.GetPublicAccount(), 4 * expected) << name;
    }
    EXPECT_EQ(book.Count("zorb_record"), 4 * (count + 1));
    int32_t shared = 0;
    book.links.GetDatabase().QueryCount(QStringLiteral("select count(*) from zorb_expense_type where type_name = '共同'"), shared);
    EXPECT_EQ(shared, 1);
    EXPECT_EQ(book.Count("zorb_recycler"), 4);
    int32_t recycled = 0;
    book.links.GetDatabase().QueryCount(
        QStringLiteral("select count(*) from zorb_record r, zorb_recycler c where r.recycler_sn = c.sn and r.valid = '0' "
                       "and c.user_sn = r.user_sn"),
        recycled);
    EXPECT_EQ(recycled, 4);
}

// Asking whether a table is there, inside a transaction, neither fails nor ends that
// transaction: what it wrote before and after commits together, or rolls back together.
TEST_F(PostgreSQLBook, AskingForATableKeepsTheTransactionWhole) {
    Book_st book;
    Link(book);
    book.Create();
    DB_ns::IDatabase_cl& database = book.links.GetDatabase();
    for (const bool commit : {false, true}) {
        SCOPED_TRACE(commit ? "commit" : "roll back");
        {
            DB_ns::BeginTrans_cl transaction(&database);
            book.records.AddRecord(QStringLiteral("饮食"), QStringLiteral("早饭"), -100, QString(),
                                   Base_ns::DateTime_cl::FromParts(2024, 1, 1), 0);
            EXPECT_FALSE(database.TableExists(QStringLiteral("zorb_nothing")));
            EXPECT_TRUE(database.TableExists(QStringLiteral("zorb_record")));
            book.records.AddRecord(QStringLiteral("饮食"), QStringLiteral("午饭"), -200, QString(),
                                   Base_ns::DateTime_cl::FromParts(2024, 1, 1), 0);
            if (commit) transaction.Commit();
        }
        EXPECT_EQ(book.Count("zorb_record"), commit ? 2 : 0);
    }
}

// A statement run again is not prepared again, and the server holds only the last few
// a connection prepared, however many different ones ran.
TEST_F(PostgreSQLBook, TheServerKeepsOnlyAFewPreparedStatements) {
    Book_st book;
    Link(book);
    book.Create();
    DB_ns::IDatabase_cl& database = book.links.GetDatabase();
    const auto run = [&database](const QString& sql, int32_t value) {
        DB_ns::SimpleOutRecords_cl rows;
        (void)database.Query(DB_ns::BoundSQL_st{sql, {Ado_ns::Variant_st::Integer(value)}}, rows);
    };
    for (int32_t i = 0; i < 40; ++i) run(QStringLiteral("select sn from zorb_record where sn > ? + %1").arg(i), i);
    for (int32_t i = 0; i < 40; ++i) run(QStringLiteral("select sn from zorb_record where sn > ?"), i);
    int32_t again = 0, held = 0;
    (void)database.QueryCount(QStringLiteral("select count(*) from pg_prepared_statements where statement = "
                                             "'select sn from zorb_record where sn > $1'"),
                              again);
    (void)database.QueryCount(QStringLiteral("select count(*) from pg_prepared_statements"), held);
    EXPECT_EQ(again, 1);
    EXPECT_GT(held, 1);
    EXPECT_LE(held, 10);
}

// A test program that crashes takes its server with it, and the next start anywhere
// removes the folder it left.
TEST_F(PostgreSQLBook, AProgramThatCrashesLeavesNoServerBehind) {
    QProcess crash;
    crash.start(QStringLiteral(SERVER_CRASH));
    ASSERT_TRUE(crash.waitForFinished(180000));
    EXPECT_EQ(crash.exitStatus(), QProcess::CrashExit);
    const QString folder = QString::fromLocal8Bit(crash.readAllStandardOutput()).trimmed();
    ASSERT_TRUE(folder.startsWith(QStringLiteral("/tmp/vorelle-pg-"))) << crash.readAllStandardError().toStdString();
    const auto serverRuns = [&folder] {
        for (const QString& pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
            QFile command(QStringLiteral("/proc/%1/cmdline").arg(pid));
            if (command.open(QIODevice::ReadOnly) && command.readAll().contains(folder.toLocal8Bit())) return true;
        }
        return false;
    };
    for (int i = 0; i < 100 && serverRuns(); ++i) QThread::msleep(100);
    EXPECT_FALSE(serverRuns());
    PostgresServer_cl next;
    ASSERT_TRUE(next.Start()) << next.Why().toStdString();
    EXPECT_FALSE(QFileInfo::exists(folder));
    next.Discard();
}

// The command line on a server book: made, then read, through --connect.
TEST_F(PostgreSQLBook, TheCommandLineWorksOnAServerBook) {
    const QString uri = QStringLiteral("postgresql://book@%1/book").arg(server.Address());
    const QString entries = settings.filePath(QStringLiteral("entries.csv"));
    QFile file(entries);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QStringLiteral("日期,分类,费用名称,金额,用户,类别,注释\r\n2026-01-05,餐饮,午饭,-25.5,管家,月开销,\r\n"
                              "2026-02-01,工资,一月,8000,管家,月收入,\r\n").toUtf8());
    file.close();
    // A name of sixteen family emoji: sixteen on screen, 112 characters to the server.
    const QString family = settings.filePath(QStringLiteral("family.csv"));
    QFile familyFile(family);
    ASSERT_TRUE(familyFile.open(QIODevice::WriteOnly));
    familyFile.write((QStringLiteral("日期,分类,费用名称,金额,用户,类别,注释\r\n2026-03-01,餐饮,") +
                      QString::fromUtf8("👨‍👩‍👧‍👦").repeated(16) + QStringLiteral(",-10,管家,月开销,\r\n"))
                         .toUtf8());
    familyFile.close();
    const QString exported = settings.filePath(QStringLiteral("out.csv"));
    const QString copy = settings.filePath(QStringLiteral("copy.book"));
    // A login that may connect to the book's database but not use its tables.
    ASSERT_TRUE(server.Psql("drop role if exists guest; create role guest login password 'pw'")) << server.Why().toStdString();
    const QString guest = QStringLiteral("postgresql://guest@%1/book").arg(server.Address());
    const struct {
        const char* bookPassword;
        QStringList arguments;
        int exitCode;
        const char* output;  // expected in standard output, or in standard error on failure
    } steps[] = {
        {"pw", {"--connect", uri, "create", "--admin", "管家"}, 0, ""},
        {"pw", {"--connect", uri, "--user", "管家", "user", "add", "小王", "--power", "normal"}, 0, ""},
        {"pw", {"--connect", uri, "--user", "管家", "user", "list"}, 0, "小王"},
        {"pw", {"--connect", uri, "--user", "管家", "import", entries}, 0, "2"},
        {"pw", {"--connect", uri, "--user", "管家", "import", entries, "--again"}, 0, "2"},
        {"pw", {"--connect", uri, "--user", "管家", "import", family}, 1, "费用名称过长，最多16个字"},
        {"pw", {"--connect", uri, "--user", "管家", "balance"}, 0, "公共帐户  15949"},
        {"pw", {"--connect", uri, "--user", "管家", "report", "month", "2026", "--format", "csv"}, 0, "餐饮,-51,0,"},
        {"pw", {"--connect", uri, "--user", "管家", "export", exported, "--from", "2026-01-01", "--to", "2026-12-31"}, 0, ""},
        {"pw", {"--connect", uri, "--user", "管家", "backup", copy}, 1, "只有本地账本可以这样备份"},
        {"pw", {"--connect", uri, "--user", "管家", "user", "add", QString(300, u'长'), "--power", "normal"}, 1,
         "用户名不能超过16个字"},
        {"pw", {"--connect", guest, "--user", "管家", "balance"}, 1, "没有使用账本中的表的权限"},
        {"wrong", {"--connect", uri, "--user", "管家", "balance"}, 1, "password authentication failed"},
        {"pw", {"--connect", "postgresql://book@" + server.Address() + "/nobook", "--user", "管家", "balance"}, 1,
         "does not exist"},
    };
    for (const auto& step : steps) {
        QProcess cli;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("VORELLE_BOOK_PASSWORD", step.bookPassword);
        environment.insert("VORELLE_PASSWORD", "secret1");
        environment.insert("VORELLE_NEW_PASSWORD", "secret2");
        environment.insert("HOME", settings.path());
        environment.insert("XDG_CONFIG_HOME", settings.path());
        environment.insert("XDG_DATA_HOME", settings.path());
        cli.setProcessEnvironment(environment);
        cli.start(QStringLiteral(VORELLE_CLI), step.arguments);
        ASSERT_TRUE(cli.waitForFinished(120000));
        const QString out = QString::fromUtf8(cli.readAllStandardOutput());
        const QString err = QString::fromUtf8(cli.readAllStandardError());
        EXPECT_EQ(cli.exitCode() != 0, step.exitCode != 0) << step.arguments.join(' ').toStdString() << err.toStdString();
        EXPECT_TRUE((step.exitCode == 0 ? out : err).contains(QString::fromUtf8(step.output))) << out.toStdString() << err.toStdString();
    }
    EXPECT_GT(QFileInfo(exported).size(), 0) << "the export wrote nothing";
    EXPECT_FALSE(QFileInfo::exists(copy));
}
