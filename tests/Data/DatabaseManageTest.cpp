#include "Data/DatabaseManage.h"

#include "DB/IDatabase.h"
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

    QFile::remove(LinkFile());
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

TEST_F(DatabaseManageTest, ShortFileKeepsTheCompleteRecordsAndIsLeftAsItIs) {
    const QByteArray bytes = Header(3) + Record(QStringLiteral("a"), 1, QStringLiteral("a.mdb"), {}, {}) +
                             Record(QStringLiteral("b"), 1, QStringLiteral("b.mdb"), {}, {}) + Str(QStringLiteral("c"));
    ASSERT_TRUE(WriteAll(LinkFile(), bytes));
    EXPECT_EQ(ErrorMessage([&] { manage.Load(LinkFile()); }), QStringLiteral("没有足够的数据读。"));
    EXPECT_EQ(manage.GetCount(), 2);
    EXPECT_EQ(manage.GetLink(1).name, QStringLiteral("b"));
    EXPECT_TRUE(manage.LoadFailed());

    manage.Save(LinkFile());
    EXPECT_EQ(ReadAll(LinkFile()), bytes);
    EXPECT_EQ(manage.GetCount(), 0);
}

TEST_F(DatabaseManageTest, RefusesAForeignTagOrVersionAndKeepsTheFile) {
    const QByteArray wrongTag = QByteArray("DBLX") + QByteArray("\x00\x00\x00\x01", 4) + Int(0);
    ASSERT_TRUE(WriteAll(LinkFile(), wrongTag));
    EXPECT_EQ(ErrorMessage([&] { manage.Load(LinkFile()); }), QStringLiteral("数据库链接信息文件被破坏，无法加载链接信息。"));
    manage.Save(LinkFile());
    EXPECT_EQ(ReadAll(LinkFile()), wrongTag);

    for (const QByteArray& version : {QByteArray("\x00\x00\x00\x02", 4), QByteArray("\x01\x00\x00\x00", 4)}) {
        const QByteArray bytes = QByteArray("DBLL") + version + Int(0);
        ASSERT_TRUE(WriteAll(LinkFile(), bytes));
        bool system = true;
        EXPECT_EQ(ErrorMessage([&] { manage.Load(LinkFile()); }, &system), QStringLiteral("软件版本过低，无法加载链接信息。"));
        EXPECT_FALSE(system);
        manage.Save(LinkFile());
        EXPECT_EQ(ReadAll(LinkFile()), bytes);
    }
}

TEST_F(DatabaseManageTest, AFailedSaveKeepsThePreviousFile) {
    const QByteArray old = Header(1) + Record(QStringLiteral("old"), 1, QStringLiteral("old.mdb"), {}, {});
    ASSERT_TRUE(WriteAll(LinkFile(), old));
    manage.Load(LinkFile());

    // The temporary file cannot be made.
    ASSERT_TRUE(QDir().mkpath(LinkFile() + QStringLiteral(".tmp")));
    EXPECT_FALSE(ErrorMessage([&] { manage.Save(LinkFile()); }).isEmpty());
    EXPECT_EQ(ReadAll(LinkFile()), old);
    EXPECT_EQ(manage.GetCount(), 0);
    ASSERT_TRUE(QDir().rmdir(LinkFile() + QStringLiteral(".tmp")));

    // The complete temporary file cannot take the old one's place.
    const QString blocked = InFolder(QStringLiteral("blocked"));
    ASSERT_TRUE(QDir().mkpath(blocked + QStringLiteral("/inside")));
    manage.Load(LinkFile());
    EXPECT_EQ(ErrorMessage([&] { manage.Save(blocked); }), QStringLiteral("无法更新数据库链接信息文件。"));
    EXPECT_FALSE(QFile::exists(blocked + QStringLiteral(".tmp")));
    EXPECT_EQ(ReadAll(LinkFile()), old);
}

TEST_F(DatabaseManageTest, AddsNothingUnderATakenNameOrWithAWrongPassword) {
    manage.AddLocalLink(QStringLiteral("Home"), QStringLiteral("a.mdb"), QStringLiteral("right"));
    manage.AddLocalLink(QStringLiteral("home"), QStringLiteral("b.mdb"), QString());  // case matters
    EXPECT_EQ(ErrorMessage([&] { manage.AddLocalLink(QStringLiteral("Home"), QStringLiteral("c.mdb"), QString()); }),
              QStringLiteral("重复链接名称。"));
    EXPECT_FALSE(QFile::exists(InFolder(QStringLiteral("c.mdb"))));
    EXPECT_EQ(ErrorMessage([&] { manage.AddLocalLink(QStringLiteral("c"), QStringLiteral("a.mdb"), QStringLiteral("wrong")); }),
              QStringLiteral("打开数据库文件失败，密码无效。"));
    EXPECT_EQ(manage.GetCount(), 2);
}

TEST_F(DatabaseManageTest, OpensKnownKindsOnly) {
    bool system = false;
    EXPECT_EQ(ErrorMessage([&] { manage.GetDatabase(); }, &system), QStringLiteral("数据库还没有连接。"));
    EXPECT_TRUE(system);

    ASSERT_TRUE(WriteAll(LinkFile(), Header(2) + Record(QStringLiteral("a"), 1, QStringLiteral("a.mdb"), {}, {}) +
                                         Record(QStringLiteral("x"), 3, QStringLiteral("x.mdb"), {}, {})));
    manage.Load(LinkFile());
    manage.OpenLink(0);
    EXPECT_EQ(manage.GetDatabase().GetType(), 1);
    EXPECT_EQ(ErrorMessage([&] { manage.OpenLink(1); }, &system), QStringLiteral("未知的数据库类型。"));
    EXPECT_TRUE(system);
    EXPECT_FALSE(manage.IsOpen());
    EXPECT_FALSE(QFile::exists(InFolder(QStringLiteral("x.mdb"))));
    EXPECT_EQ(ErrorMessage([&] { manage.OpenLink(2); }), QStringLiteral("空ID不能操作。"));
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
