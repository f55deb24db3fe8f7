#include "Data/DatabaseManage.h"

#include "DB/IDatabase.h"
#include "DB/LocalDB.h"
#include "base/SysError.h"
#include "base/UserError.h"
#include "support/TempFolder.h"
#include "DatabaseManageBytes.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

using Vorelle_ns::DatabaseManage_cl;
using Vorelle_ns::LinkInfo_st;
using namespace LinkBytes_ns;

namespace {

// The message of the error call raises (empty when none), and whether it was a system error.
template <typename Call>
QString ErrorMessage(Call call, bool* system = nullptr) {
    try {
        call();
    } catch (const Base_ns::Error_cl& error) {
        if (system) *system = error.IsSystem();
        return error.Message();
    }
    return QString();
}

class DatabaseManageTest : public ::testing::Test {
protected:
    void SetUp() override { manage.SaveChangesTo(LinkFile()); }
    QString LinkFile() const { return DatabaseManage_cl::LinkFilePath(); }
    QString InFolder(const QString& relative) const { return folder.Path() + relative; }

    TempAppFolder_cl folder;
    DatabaseManage_cl manage;
};

}  // namespace

TEST_F(DatabaseManageTest, SavesALocalLinkByteForByteReadableByItsOwnerOnly) {
    EXPECT_EQ(manage.AddLocalLink(QStringLiteral("家庭"), InFolder(QStringLiteral("本地库/家庭.mdb")), QStringLiteral("pw")), 0);
    EXPECT_TRUE(QFile::exists(InFolder(QStringLiteral("本地库/家庭.mdb"))));
    EXPECT_EQ(manage.GetLink(0).location, QStringLiteral("本地库/家庭.mdb"));
    EXPECT_FALSE(manage.IsOpen());

    manage.Save(LinkFile());
    EXPECT_EQ(ReadAll(LinkFile()), Header(1) + QByteArray("\x02\x00\x00\x00\xB6\x5B\xAD\x5E", 8) + Int(1) +
                                       Str(QStringLiteral("本地库/家庭.mdb")) + QByteArray(4, '\0') + Str(QStringLiteral("pw")));
    struct stat status {};
    ASSERT_EQ(::stat(QFile::encodeName(LinkFile()).constData(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);
    EXPECT_FALSE(QFile::exists(LinkFile() + QStringLiteral(".tmp")));
    EXPECT_EQ(manage.GetCount(), 0);
}

TEST_F(DatabaseManageTest, StoresAFileOutsideTheFolderAbsoluteAndResolvesBoth) {
    QTemporaryDir elsewhere;
    const QString outside = elsewhere.path() + QStringLiteral("/a/b/x.mdb");
    manage.AddLocalLink(QStringLiteral("外"), outside, QString());
    manage.AddLocalLink(QStringLiteral("内"), QStringLiteral("本地库/y.mdb"), QString());  // relative to the folder
    EXPECT_EQ(manage.GetLink(0).location, outside);
    EXPECT_EQ(manage.GetLink(1).location, QStringLiteral("本地库/y.mdb"));
    EXPECT_EQ(DatabaseManage_cl::ResolveLocation(manage.GetLink(0)), outside);
    EXPECT_EQ(QFileInfo(DatabaseManage_cl::ResolveLocation(manage.GetLink(1))).canonicalFilePath(),
              QFileInfo(InFolder(QStringLiteral("本地库/y.mdb"))).canonicalFilePath());
}

TEST_F(DatabaseManageTest, LoadsAndSavesEveryKindUnchanged) {
    const QByteArray bytes = Header(3) + Record(QStringLiteral("本地"), 1, QStringLiteral("本地库/a.mdb"), {}, {}) +
                             Record(QStringLiteral("甲骨文"), 2, QStringLiteral("orcl"), QStringLiteral("scott"), QStringLiteral("tiger")) +
                             Record(QStringLiteral("服务器"), 4, QStringLiteral("10.0.0.1,1433"), QStringLiteral("sa"), QStringLiteral("p;w\"'"));
    ASSERT_TRUE(WriteAll(LinkFile(), bytes));
    manage.Load(LinkFile());
    ASSERT_EQ(manage.GetCount(), 3);
    EXPECT_FALSE(manage.LoadFailed());
    const LinkInfo_st& server = manage.GetLink(2);
    EXPECT_EQ(QStringList({server.name, server.location, server.user, server.password}),
              QStringList({QStringLiteral("服务器"), QStringLiteral("10.0.0.1,1433"), QStringLiteral("sa"), QStringLiteral("p;w\"'")}));
    EXPECT_EQ(server.type, 4);

    manage.Save(LinkFile());
    EXPECT_EQ(ReadAll(LinkFile()), bytes);
}

TEST_F(DatabaseManageTest, HeaderAloneIsAnEmptyListAndAnEmptyListDeletesTheFile) {
    ASSERT_TRUE(WriteAll(LinkFile(), Header(0)));
    manage.Load(LinkFile());
    EXPECT_EQ(manage.GetCount(), 0);
    manage.Save(LinkFile());
    EXPECT_FALSE(QFile::exists(LinkFile()));
}

// A record count that does not match the records is damage: the file is refused naming
// it, and neither a change nor the shut-down writes it again.
TEST_F(DatabaseManageTest, ADamagedCountIsRefusedAndTheFileLeftAsItIs) {
    const QByteArray a = Record(QStringLiteral("a"), 1, QStringLiteral("a.mdb"), {}, {});
    const QByteArray b = Record(QStringLiteral("b"), 1, QStringLiteral("b.mdb"), {}, {});
    const struct {
        const char* damage;
        QByteArray bytes;
        int32_t kept;
    } cases[] = {
        {"negative count", Header(-1) + a + b, 0},
        {"count beyond the records", Header(3) + a + b, 2},
        {"record cut short", Header(3) + a + b + Str(QStringLiteral("c")), 2},
        {"bytes after the records", Header(1) + a + b, 1},
        {"a stray byte", Header(2) + a + b + QByteArray(1, '\0'), 2},
    };
    for (const auto& c : cases) {
        DatabaseManage_cl copy;
        copy.SaveChangesTo(LinkFile());
        ASSERT_TRUE(WriteAll(LinkFile(), c.bytes));
        bool system = true;
        EXPECT_EQ(ErrorMessage([&] { copy.Load(LinkFile()); }, &system), QStringLiteral("数据库链接信息文件被破坏，无法加载链接信息。"))
            << c.damage;
        EXPECT_FALSE(system);
        EXPECT_TRUE(copy.LoadFailed()) << c.damage;
        EXPECT_EQ(copy.GetCount(), c.kept) << c.damage;
        copy.AddLocalLink(QStringLiteral("new"), QStringLiteral("new.mdb"), QString());
        copy.Save(LinkFile());
        EXPECT_EQ(ReadAll(LinkFile()), c.bytes) << c.damage;
    }
}

// Two copies of the program share the file: each change is saved when made, merged with
// what the other saved, and nothing is lost when one of them never reaches its shut-down.
TEST_F(DatabaseManageTest, TwoCopiesKeepEachOthersLinks) {
    ASSERT_TRUE(WriteAll(LinkFile(), Header(1) + Record(QStringLiteral("old"), 1, QStringLiteral("old.mdb"), {}, {})));
    DatabaseManage_cl other;
    other.SaveChangesTo(LinkFile());
    manage.Load(LinkFile());
    other.Load(LinkFile());
    manage.AddLocalLink(QStringLiteral("mine"), QStringLiteral("mine.mdb"), QString());
    other.AddLocalLink(QStringLiteral("theirs"), QStringLiteral("theirs.mdb"), QString());
    other.RemoveLink(0, false);  // "old"

    DatabaseManage_cl later;  // a copy started now, after the other was killed
    later.Load(LinkFile());
    QStringList names;
    for (int32_t i = 0; i < later.GetCount(); ++i) names << later.GetLink(i).name;
    EXPECT_EQ(names, QStringList({QStringLiteral("mine"), QStringLiteral("theirs")}));

    manage.Save(LinkFile());  // still holds "old", removed by the other copy
    later.Load(LinkFile());
    EXPECT_EQ(later.GetCount(), 2);
    EXPECT_EQ(ErrorMessage([&] { manage.AddLocalLink(QStringLiteral("theirs"), QStringLiteral("x.mdb"), QString()); }),
              QString());  // not known to this copy: the file keeps one link of that name
    later.Load(LinkFile());
    EXPECT_EQ(later.GetCount(), 2);
}

TEST_F(DatabaseManageTest, RefusesAForeignTagOrVersionAndKeepsTheFile) {
    const QByteArray wrongTag = QByteArray("DBLX") + QByteArray("\x00\x00\x00\x01", 4) + Int(0);
    ASSERT_TRUE(WriteAll(LinkFile(), wrongTag));
    EXPECT_EQ(ErrorMessage([&] { manage.Load(LinkFile()); }), QStringLiteral("数据库链接信息文件被破坏，无法加载链接信息。"));
    manage.Save(LinkFile());
    EXPECT_EQ(ReadAll(LinkFile()), wrongTag);

    for (const QByteArray& version : {QByteArray("\x00\x00\x00\x03", 4), QByteArray("\x01\x00\x00\x00", 4)}) {
        const QByteArray bytes = QByteArray("DBLL") + version + Int(0);
        ASSERT_TRUE(WriteAll(LinkFile(), bytes));
        bool system = true;
        EXPECT_EQ(ErrorMessage([&] { manage.Load(LinkFile()); }, &system), QStringLiteral("软件版本过低，无法加载链接信息。"));
        EXPECT_FALSE(system);
        manage.Save(LinkFile());
        EXPECT_EQ(ReadAll(LinkFile()), bytes);
    }
}

// A PostgreSQL link makes the file version 2, which older programs refuse as too new;
// without one the file is written as version 1, byte for byte as before.
TEST_F(DatabaseManageTest, APostgreSQLLinkRaisesTheFileVersionOnlyWhileItIsThere) {
    const QByteArray local = Record(QStringLiteral("家"), 1, QStringLiteral("家.mdb"), {}, QStringLiteral("pw"));
    const QByteArray server = Record(QStringLiteral("共享"), 8, QStringLiteral("nas:5433/账本"), QStringLiteral("ann"),
                                     QStringLiteral("p;w"));
    QByteArray both = Header(2) + local + server;
    both[7] = 2;
    ASSERT_TRUE(WriteAll(LinkFile(), both));
    manage.Load(LinkFile());
    ASSERT_EQ(manage.GetCount(), 2);
    QString address, database;
    Vorelle_ns::DatabaseManage_cl::SplitPostgreSQLLocation(manage.GetLink(1).location, address, database);
    EXPECT_EQ(address, QStringLiteral("nas:5433"));
    EXPECT_EQ(database, QStringLiteral("账本"));
    manage.Save(LinkFile());
    EXPECT_EQ(ReadAll(LinkFile()), both);

    manage.SaveChangesTo(LinkFile());
    manage.Load(LinkFile());
    manage.RemoveLink(1, true);
    manage.Save(LinkFile());
    EXPECT_EQ(ReadAll(LinkFile()), Header(1) + local);
}

TEST_F(DatabaseManageTest, AFailedSaveKeepsThePreviousFileAndAddsNoLink) {
    const QByteArray old = Header(2) + Record(QStringLiteral("old"), 1, QStringLiteral("old.mdb"), {}, {}) +
                           Record(QStringLiteral("older"), 1, QStringLiteral("older.mdb"), {}, {});
    ASSERT_TRUE(WriteAll(LinkFile(), old));
    manage.Load(LinkFile());

    // The temporary file cannot be made.
    ASSERT_TRUE(QDir().mkpath(LinkFile() + QStringLiteral(".tmp")));
    EXPECT_FALSE(ErrorMessage([&] { manage.AddLocalLink(QStringLiteral("new"), QStringLiteral("new.mdb"), QString()); }).isEmpty());
    EXPECT_EQ(ReadAll(LinkFile()), old);
    EXPECT_EQ(manage.GetCount(), 2);
    EXPECT_FALSE(ErrorMessage([&] { manage.RemoveLink(0, false); }).isEmpty());
    EXPECT_EQ(ReadAll(LinkFile()), old);
    EXPECT_EQ(manage.GetCount(), 2);
}

TEST_F(DatabaseManageTest, AddsNothingUnderATakenNameOrWithAWrongPassword) {
    manage.AddLocalLink(QStringLiteral("Home"), QStringLiteral("a.mdb"), QStringLiteral("right"));
    manage.AddLocalLink(QStringLiteral("home"), QStringLiteral("b.mdb"), QString());  // case matters
    EXPECT_EQ(ErrorMessage([&] { manage.AddLocalLink(QStringLiteral("Home"), QStringLiteral("c.mdb"), QString()); }),
              QStringLiteral("重复链接名称。"));
    EXPECT_FALSE(QFile::exists(InFolder(QStringLiteral("c.mdb"))));
    EXPECT_EQ(ErrorMessage([&] { manage.AddLocalLink(QStringLiteral("c"), QStringLiteral("a.mdb"), QStringLiteral("wrong")); }),
              QStringLiteral("打开数据库文件失败，文件已损坏或密码错误。"));
    EXPECT_EQ(manage.GetCount(), 2);
}

TEST_F(DatabaseManageTest, OpensKnownKindsOnly) {
    bool system = false;
    EXPECT_EQ(ErrorMessage([&] { manage.GetDatabase(); }, &system), QStringLiteral("数据库还没有连接。"));
    EXPECT_TRUE(system);

    ASSERT_TRUE(WriteAll(LinkFile(), Header(3) + Record(QStringLiteral("a"), 1, QStringLiteral("a.mdb"), {}, {}) +
                                         Record(QStringLiteral("x"), 3, QStringLiteral("x.mdb"), {}, {}) +
                                         Record(QStringLiteral("gone"), 1, QStringLiteral("gone.mdb"), {}, {})));
    DB_ns::LocalDB_cl().CreateDatabaseFile(QString(), InFolder(QStringLiteral("a.mdb")));
    manage.Load(LinkFile());
    manage.OpenLink(0);
    EXPECT_EQ(manage.GetDatabase().GetType(), 1);
    EXPECT_EQ(ErrorMessage([&] { manage.OpenLink(1); }, &system), QStringLiteral("未知的数据库类型。"));
    EXPECT_TRUE(system);
    EXPECT_FALSE(manage.IsOpen());
    EXPECT_FALSE(QFile::exists(InFolder(QStringLiteral("x.mdb"))));
    // A vanished file is missed, named, and never made again by opening.
    EXPECT_EQ(ErrorMessage([&] { manage.OpenLink(2); }, &system), QStringLiteral("打开数据库文件失败，数据库文件不存在。"));
    EXPECT_FALSE(system);
    EXPECT_FALSE(QFile::exists(InFolder(QStringLiteral("gone.mdb"))));
    EXPECT_EQ(ErrorMessage([&] { manage.OpenLink(3); }), QStringLiteral("空ID不能操作。"));
}

TEST_F(DatabaseManageTest, RemovingDeletesOnlyALocalFileAndOnlyWhenAsked) {
    ASSERT_TRUE(WriteAll(InFolder(QStringLiteral("10.0.0.1")), "not a database"));
    ASSERT_TRUE(WriteAll(LinkFile(), Header(1) + Record(QStringLiteral("server"), 4, QStringLiteral("10.0.0.1"), QStringLiteral("sa"), {})));
    manage.Load(LinkFile());
    manage.AddLocalLink(QStringLiteral("keep"), QStringLiteral("keep.mdb"), QString());
    manage.AddLocalLink(QStringLiteral("drop"), QStringLiteral("drop.mdb"), QString());

    manage.RemoveLink(0, true);
    EXPECT_TRUE(QFile::exists(InFolder(QStringLiteral("10.0.0.1"))));
    manage.RemoveLink(0, false);
    EXPECT_TRUE(QFile::exists(InFolder(QStringLiteral("keep.mdb"))));

    manage.OpenLink(0);
    manage.RemoveLink(0, true);
    EXPECT_FALSE(QFile::exists(InFolder(QStringLiteral("drop.mdb"))));
    EXPECT_FALSE(manage.IsOpen());
    EXPECT_EQ(manage.GetCount(), 0);
    EXPECT_EQ(ErrorMessage([&] { manage.RemoveLink(0, false); }), QStringLiteral("空ID不能操作。"));
}
