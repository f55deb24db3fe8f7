#include "DB/LocalDB.h"
#include "DB/SimpleOutRecords.h"
#include "Support.h"

#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace DB_ns;

namespace {

QByteArray Head(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.read(16);
}

int32_t CountOf(LocalDB_cl& db, const QString& sql) {
    int32_t count = -1;
    db.QueryCount(sql, count);
    return count;
}

}  // namespace

TEST(LocalDB, BuildsTheConnectionString) {
    EXPECT_EQ(LocalDB_cl::ConnectionString(QStringLiteral("pw"), QStringLiteral("/d/家庭.mdb")),
              QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Jet OLEDB:Database Password=\"pw\";Data Source=\"/d/家庭.mdb\";"));
    EXPECT_EQ(LocalDB_cl::ConnectionString(QString(), QStringLiteral("a.mdb")),
              QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Jet OLEDB:Database Password=\"\";Data Source=\"a.mdb\";"));
}

TEST(LocalDB, CreatesAnEncryptedFileAndReopensIt) {
    DBFolder_cl folder;
    const QString path = folder.Path(QStringLiteral("家庭.mdb"));
    {
        LocalDB_cl db;
        CreateAndOpen(db, QStringLiteral("s;e'cret"), path);
        db.ExecuteNoRecords(QStringLiteral("create table t(n integer)"));
        db.ExecuteNoRecords(QStringLiteral("insert into t values(42)"));
    }
    ASSERT_TRUE(QFileInfo::exists(path));
    EXPECT_FALSE(Head(path).startsWith("SQLite format 3"));
    LocalDB_cl again;
    again.Open(QStringLiteral("s;e'cret"), path);
    EXPECT_EQ(CountOf(again, QStringLiteral("select n from t")), 42);
}

TEST(LocalDB, EmptyPasswordMakesAPlainFile) {
    DBFolder_cl folder;
    const QString path = folder.Path(QStringLiteral("plain.mdb"));
    LocalDB_cl db;
    CreateAndOpen(db, QString(), path);
    db.ExecuteNoRecords(QStringLiteral("create table t(n integer)"));
    EXPECT_TRUE(Head(path).startsWith("SQLite format 3"));
}

TEST(LocalDB, WrongPasswordRaises102) {
    DBFolder_cl folder;
    const QString path = folder.Path(QStringLiteral("a.mdb"));
    LocalDB_cl().CreateDatabaseFile(QStringLiteral("right"), path);
    LocalDB_cl db;
    const Caught_st error = Catch([&] { db.Open(QStringLiteral("wrong"), path); });
    EXPECT_FALSE(error.system);
    EXPECT_EQ(error.message, QStringLiteral("打开数据库文件失败，文件已损坏或密码错误。"));
    EXPECT_EQ(error.remark, path);
    EXPECT_EQ(error.className, QStringLiteral("LocalDB_cl"));
    EXPECT_EQ(error.file, QStringLiteral("LocalDB.cpp"));
    // The failed open leaves no connection behind.
    EXPECT_EQ(Catch([&] { db.ExecuteNoRecords(QStringLiteral("select 1")); }).message, QStringLiteral("没有链接数据库。"));
}

TEST(LocalDB, CreatingOverAFileRaises101) {
    DBFolder_cl folder;
    const QString path = folder.Path(QStringLiteral("a.mdb"));
    LocalDB_cl().CreateDatabaseFile(QStringLiteral("pw"), path);
    const Caught_st error = Catch([&] { LocalDB_cl().CreateDatabaseFile(QStringLiteral("pw"), path); });
    EXPECT_FALSE(error.system);
    EXPECT_EQ(error.message, QStringLiteral("创建数据库文件失败，已经有文件存在。"));
    EXPECT_EQ(error.remark, path);
}

TEST(LocalDB, DoubleQuotesAreRefusedBeforeAnythingIsCreated) {
    DBFolder_cl folder;
    const QString quotedPath = folder.Path(QStringLiteral("a\"b.mdb"));
    const Caught_st path = Catch([&] { LocalDB_cl().Open(QStringLiteral("pw"), quotedPath); });
    EXPECT_FALSE(path.system);
    EXPECT_EQ(path.message, QStringLiteral("数据库文件路径中有非法字符。"));
    EXPECT_EQ(path.remark, quotedPath);
    EXPECT_FALSE(QFileInfo::exists(quotedPath));

    const QString plainPath = folder.Path(QStringLiteral("b.mdb"));
    const Caught_st password = Catch([&] { LocalDB_cl().Open(QStringLiteral("p\"w"), plainPath); });
    EXPECT_EQ(password.message, QStringLiteral("密码中有非法字符。"));
    EXPECT_TRUE(password.remark.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(plainPath));
}

TEST(LocalDB, RefusedArgumentsKeepTheEarlierConnection) {
    DBFolder_cl folder;
    LocalDB_cl db;
    CreateAndOpen(db, QStringLiteral("pw"), folder.Path(QStringLiteral("a.mdb")));
    db.ExecuteNoRecords(QStringLiteral("create table t(n integer)"));
    EXPECT_TRUE(Catch([&] { db.Open(QStringLiteral("p\"w"), folder.Path(QStringLiteral("a.mdb"))); }).thrown);
    EXPECT_TRUE(db.TableExists(QStringLiteral("t")));
}

TEST(LocalDB, SecondOpenMovesToTheOtherFile) {
    DBFolder_cl folder;
    LocalDB_cl db;
    CreateAndOpen(db, QStringLiteral("pw"), folder.Path(QStringLiteral("a.mdb")));
    db.ExecuteNoRecords(QStringLiteral("create table t(n integer)"));
    CreateAndOpen(db, QStringLiteral("pw"), folder.Path(QStringLiteral("b.mdb")));
    EXPECT_FALSE(db.TableExists(QStringLiteral("t")));
}

// Opening never makes a file; every refusal names the file and says what is wrong with it.
TEST(LocalDB, OpeningRefusesWhatIsNoSoundDatabaseAndCreatesNothing) {
    struct Case_st {
        const char* name;
        QByteArray content;  // empty: nothing at the path
        bool folder;
        const char* message;
    } cases[] = {
        {"missing.mdb", {}, false, "打开数据库文件失败，数据库文件不存在。"},
        {"folder.mdb", {}, true, "数据库文件路径是一个文件夹。"},
        {"text.mdb", "name,amount\r\nfood,12\r\n", false, "数据库文件已损坏，或不是本软件的数据库文件。"},
        {"pages.mdb", QByteArray(2048, 'x'), false, "打开数据库文件失败，文件已损坏或密码错误。"},
    };
    for (const Case_st& c : cases) {
        DBFolder_cl folder;
        const QString path = folder.Path(QString::fromUtf8(c.name));
        if (c.folder) {
            ASSERT_TRUE(QDir().mkpath(path));
        }
        if (!c.content.isEmpty()) {
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(c.content);
        }
        const Caught_st error = Catch([&] { LocalDB_cl().Open(QStringLiteral("pw"), path); });
        EXPECT_FALSE(error.system) << c.name;
        EXPECT_EQ(error.message, QString::fromUtf8(c.message)) << c.name;
        EXPECT_EQ(error.remark, path) << c.name;
        EXPECT_EQ(QFileInfo(path).isDir(), c.folder) << c.name;
        if (!c.folder) {
            EXPECT_EQ(QFileInfo(path).size(), c.content.size()) << c.name;
        }
    }
}

TEST(LocalDB, IdentityIsTheResolvedFile) {
    DBFolder_cl folder;
    LocalDB_cl db;
    EXPECT_TRUE(db.Identity().isEmpty());
    const QString path = folder.Path(QStringLiteral("a.mdb"));
    CreateAndOpen(db, QStringLiteral("pw"), path);
    EXPECT_EQ(db.Identity(), QFileInfo(path).canonicalFilePath());
    LocalDB_cl other;
    other.Open(QStringLiteral("pw"), folder.Path(QStringLiteral("./a.mdb")));
    EXPECT_EQ(other.Identity(), db.Identity());
    EXPECT_FALSE(db.Identity().contains(QStringLiteral("pw")));
}
