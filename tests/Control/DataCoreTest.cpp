#include "CoreFixture.h"

#include "DB/VersionRecord.h"
#include "Data/DatabaseManage.h"
#include "Data/DatabaseManageBytes.h"

#include <QFile>

using Platform_ns::Answer_en;
using Platform_ns::Buttons_en;

namespace {

const QString removeQuestion = QStringLiteral("需要删除数据库文件吗？\r\n选择删除文件的话，该数据库的所有数据都会丢失。");

// Marks a database file as written by a program of another data version.
void StampVersion(const QString& path, const QString& version) {
    DB_ns::LocalDB_cl database;
    database.CreateDatabaseFile(QStringLiteral("pw"), path);
    database.Open(QStringLiteral("pw"), path);
    Base_ns::Version_st value;
    value.Parse(version);
    DB_ns::VersionRecord_cl(&database, QStringLiteral("Vorelle")).SetVersion(value);
}

}  // namespace

using DataCoreTest = CoreTest;

TEST_F(DataCoreTest, ANewDatabaseIsAttachedAsNewAndInitialisedOnce) {
    const QString path = InFolder(QStringLiteral("本地库/家庭.mdb"));
    EXPECT_FALSE(core.AttachLocalDatabase(path, QStringLiteral("家庭"), QStringLiteral("pw")));
    EXPECT_EQ(Links().GetCount(), 1);
    EXPECT_FALSE(Links().IsOpen());

    core.InitDatabase(0, QStringLiteral("admin"), QStringLiteral("secret"));
    EXPECT_FALSE(Links().IsOpen());
    {
        auto database = OpenFile(path, QStringLiteral("pw"));
        EXPECT_EQ(Text(*database, QStringLiteral("select version from module_version where module_name = 'Vorelle'")),
                  QStringLiteral("1.0.0.0"));
        EXPECT_EQ(Integer(*database, QStringLiteral("select count(*) from zorb_user where power = '0' and valid = '1'")), 1);
        EXPECT_EQ(Integer(*database, QStringLiteral("select count(*) from zorb_expense_type where valid = '1'")), 11);
    }

    // The same file under a second name counts as initialised, and its administrator logs in.
    EXPECT_TRUE(core.AttachLocalDatabase(path, QStringLiteral("家庭2"), QStringLiteral("pw")));
    EXPECT_FALSE(Links().IsOpen());
    Links().OpenLink(1);
    core.GetUserManage().Login(QStringLiteral("admin"), QStringLiteral("secret"));
    EXPECT_TRUE(core.GetUserManage().CanManageUsers());
    core.GetUserManage().Logout();

    // Never initialised twice: nothing is written.
    const CoreRaised_st again = CoreRaise([&] { core.InitDatabase(1, QStringLiteral("other"), QStringLiteral("x")); });
    EXPECT_TRUE(again.system);
    EXPECT_EQ(again.message, QStringLiteral("无法在数据库中有数据时初始化数据库。"));
    EXPECT_EQ(again.className, QStringLiteral("String_cl"));
    EXPECT_FALSE(Links().IsOpen());
    auto database = OpenFile(path, QStringLiteral("pw"));
    EXPECT_EQ(Integer(*database, QStringLiteral("select count(*) from zorb_user")), 1);
}

TEST_F(DataCoreTest, AnotherDataVersionIsRefusedAndItsLinkRemoved) {
    for (const QString& version : {QStringLiteral("2.0.0.0"), QStringLiteral("0.9.0.0"), QStringLiteral("1.0.0.1")}) {
        const QString path = InFolder(version + QStringLiteral(".mdb"));
        StampVersion(path, version);
        const CoreRaised_st refused = CoreRaise([&] { core.AttachLocalDatabase(path, version, QStringLiteral("pw")); });
        EXPECT_FALSE(refused.system);
        EXPECT_EQ(refused.message, QStringLiteral("软件版本过低，无法读取数据库中的数据。"));
        EXPECT_EQ(refused.className, QStringLiteral("String_cl"));
        EXPECT_EQ(Links().GetCount(), 0);
        EXPECT_FALSE(Links().IsOpen());
        EXPECT_TRUE(QFile::exists(path));  // another program's data is never deleted
    }
}

TEST_F(DataCoreTest, AnUnreadableVersionRecordLeavesNoLinkBehind) {
    const QString path = InFolder(QStringLiteral("odd.mdb"));
    {
        auto database = OpenFile(path, QStringLiteral("pw"));
        database->ExecuteNoRecords(QStringLiteral("create table module_version(module_name text(32) primary key,version varchar(16))"));
        database->ExecuteNoRecords(QStringLiteral("insert into module_version values('Vorelle','one')"));
    }
    EXPECT_TRUE(CoreRaise([&] { core.AttachLocalDatabase(path, QStringLiteral("odd"), QStringLiteral("pw")); }).raised);
    EXPECT_EQ(Links().GetCount(), 0);
    EXPECT_FALSE(Links().IsOpen());
    EXPECT_TRUE(QFile::exists(path));
}

TEST_F(DataCoreTest, AFailedInitialisationLeavesTheDatabaseNew) {
    const QString path = InFolder(QStringLiteral("a.mdb"));
    core.AttachLocalDatabase(path, QStringLiteral("a"), QStringLiteral("pw"));

    const CoreRaised_st failed = CoreRaise([&] { core.InitDatabase(0, QStringLiteral("O'Brien"), QStringLiteral("x")); });
    EXPECT_TRUE(failed.raised);
    EXPECT_FALSE(Links().IsOpen());
    {
        auto database = OpenFile(path, QStringLiteral("pw"));
        EXPECT_FALSE(database->TableExists(QStringLiteral("module_version")));
        EXPECT_FALSE(database->TableExists(QStringLiteral("zorb_user")));
    }
    EXPECT_TRUE(CoreRaise([&] { core.InitDatabase(5, QStringLiteral("admin"), QStringLiteral("x")); }).raised);

    core.InitDatabase(0, QStringLiteral("admin"), QStringLiteral("x"));
    EXPECT_TRUE(core.AttachLocalDatabase(path, QStringLiteral("b"), QStringLiteral("pw")));
}

TEST_F(DataCoreTest, RemovingAsksAboutLocalFilesOnly) {
    using namespace LinkBytes_ns;
    OpenFile(InFolder(QStringLiteral("keep.mdb")), QString());
    OpenFile(InFolder(QStringLiteral("drop.mdb")), QString());
    ASSERT_TRUE(WriteAll(Vorelle_ns::DatabaseManage_cl::LinkFilePath(),
                         Header(3) + Record(QStringLiteral("server"), 4, QStringLiteral("10.0.0.1"), QStringLiteral("sa"), {}) +
                             Record(QStringLiteral("keep"), 1, QStringLiteral("keep.mdb"), {}, {}) +
                             Record(QStringLiteral("drop"), 1, QStringLiteral("drop.mdb"), {}, {})));
    Links().Load(Vorelle_ns::DatabaseManage_cl::LinkFilePath());

    core.RemoveDatabase(0);
    EXPECT_TRUE(prompt.shown.isEmpty());

    prompt.answers = {Answer_en::No, Answer_en::Yes};
    core.RemoveDatabase(0);
    EXPECT_TRUE(QFile::exists(InFolder(QStringLiteral("keep.mdb"))));
    Links().OpenLink(0);
    core.RemoveDatabase(0);
    EXPECT_FALSE(QFile::exists(InFolder(QStringLiteral("drop.mdb"))));
    EXPECT_FALSE(Links().IsOpen());
    EXPECT_EQ(Links().GetCount(), 0);

    ASSERT_EQ(prompt.shown.size(), 2);
    EXPECT_EQ(prompt.shown[0].text, removeQuestion);
    EXPECT_EQ(prompt.shown[0].buttons, Buttons_en::YesNo);
}

TEST_F(DataCoreTest, AServerThatCannotBeReachedAddsNoLink) {
    // Nothing listens on port 1 of this machine.
    const CoreRaised_st refused = CoreRaise([&] {
        core.AttachSQLServerDatabase(QStringLiteral("127.0.0.1,1"), QStringLiteral("s"), QStringLiteral("sa"),
                                     QStringLiteral("pw"));
    });
    EXPECT_EQ(refused.message, QStringLiteral("连接数据库失败。"));
    EXPECT_EQ(Links().GetCount(), 0);
}
