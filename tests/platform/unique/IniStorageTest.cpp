#include "platform/unique/IniStorage.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

using Unique_ns::IniStorage_cl;

namespace {

QStringList Items(const Container_ns::List_tl<Base_ns::String_cl>& list) {
    QStringList items;
    for (auto id = list.First(); !id.IsEmpty(); id.Next()) items.append(id.Get());
    return items;
}

mode_t Mode(const QString& path) {
    struct stat info {};
    EXPECT_EQ(::stat(QFile::encodeName(path).constData(), &info), 0);
    return info.st_mode & 0777;
}

class IniStorageTest : public ::testing::Test {
protected:
    QString File() const { return dir.filePath(QStringLiteral("产品.ini")); }
    QTemporaryDir dir;
};

}  // namespace

TEST_F(IniStorageTest, UnwrittenKeysGiveTheDefault) {
    IniStorage_cl storage(File(), QString());
    EXPECT_EQ(storage.ReadInteger(QStringLiteral("费用模式"), 7), 7);
    EXPECT_TRUE(storage.ReadBoolean(QStringLiteral("显示账户"), true));
    EXPECT_FALSE(storage.ReadBoolean(QStringLiteral("显示账户"), false));
    EXPECT_EQ(storage.ReadString(QStringLiteral("数据库"), QStringLiteral("默认")), QStringLiteral("默认"));
    EXPECT_EQ(storage.List(QStringLiteral("用户名")).Count(), 0);
}

TEST_F(IniStorageTest, ValuesSurviveANewStorageOnTheSameFile) {
    {
        IniStorage_cl storage(File(), QString());
        storage.WriteInteger(QStringLiteral("费用模式"), -3);
        storage.WriteBoolean(QStringLiteral("记住密码"), false);
        storage.WriteString(QStringLiteral("上次密码"), QStringLiteral("p,\"a\"=;[x]"));
        storage.WriteString(QStringLiteral("CSV文件目录"), QString());
    }
    IniStorage_cl storage(File(), QString());
    EXPECT_EQ(storage.ReadInteger(QStringLiteral("费用模式"), 0), -3);
    EXPECT_FALSE(storage.ReadBoolean(QStringLiteral("记住密码"), true));
    EXPECT_EQ(storage.ReadString(QStringLiteral("上次密码"), QString()), QStringLiteral("p,\"a\"=;[x]"));
    EXPECT_EQ(storage.ReadString(QStringLiteral("CSV文件目录"), QStringLiteral("x")), QString());
}

TEST_F(IniStorageTest, ValueOfAnotherKindReadsAsTheDefault) {
    IniStorage_cl storage(File(), QString());
    storage.WriteString(QStringLiteral("k"), QStringLiteral("abc"));
    EXPECT_EQ(storage.ReadInteger(QStringLiteral("k"), 5), 5);
    EXPECT_TRUE(storage.ReadBoolean(QStringLiteral("k"), true));
    EXPECT_FALSE(storage.ReadBoolean(QStringLiteral("k"), false));
}

TEST_F(IniStorageTest, RecentListIsNewestFirstWithoutDuplicates) {
    IniStorage_cl storage(File(), QString());
    const QString key = QStringLiteral("收入金额");
    for (const char* value : {"1,000", "甲", "\"乙\"", "1,000", ""}) storage.Add(key, QString::fromUtf8(value));
    EXPECT_EQ(Items(storage.List(key)), (QStringList{"1,000", "\"乙\"", "甲"}));
    storage.Add(QStringLiteral("单个"), QStringLiteral("a,b"));
    IniStorage_cl reopened(File(), QString());
    EXPECT_EQ(Items(reopened.List(key)), (QStringList{"1,000", "\"乙\"", "甲"}));
    EXPECT_EQ(Items(reopened.List(QStringLiteral("单个"))), QStringList{"a,b"});
}

TEST_F(IniStorageTest, RecentListKeepsTheNewestTwenty) {
    IniStorage_cl storage(File(), QString());
    for (int i = 1; i <= 25; ++i) storage.Add(QStringLiteral("k"), QString::number(i));
    QStringList expected;
    for (int i = 25; i > 5; --i) expected.append(QString::number(i));
    EXPECT_EQ(Items(storage.List(QStringLiteral("k"))), expected);
    storage.Add(QStringLiteral("k"), QStringLiteral("6"));
    EXPECT_EQ(Items(storage.List(QStringLiteral("k"))).first(), QStringLiteral("6"));
    EXPECT_EQ(storage.List(QStringLiteral("k")).Count(), 20);
}

TEST_F(IniStorageTest, GroupsKeepTheirValuesApart) {
    IniStorage_cl top(File(), QString());
    IniStorage_cl first(File(), QStringLiteral("a"));
    IniStorage_cl second(File(), QStringLiteral("b"));
    top.WriteString(QStringLiteral("用户模式"), QStringLiteral("顶层"));
    first.WriteString(QStringLiteral("用户模式"), QStringLiteral("甲"));
    second.Add(QStringLiteral("检索用户名"), QStringLiteral("乙"));
    EXPECT_EQ(top.ReadString(QStringLiteral("用户模式"), QString()), QStringLiteral("顶层"));
    EXPECT_EQ(first.ReadString(QStringLiteral("用户模式"), QString()), QStringLiteral("甲"));
    EXPECT_EQ(second.ReadString(QStringLiteral("用户模式"), QStringLiteral("无")), QStringLiteral("无"));
    EXPECT_EQ(first.List(QStringLiteral("检索用户名")).Count(), 0);
}

TEST_F(IniStorageTest, FileIsReadableByItsOwnerOnly) {
    {
        IniStorage_cl storage(File(), QString());
        EXPECT_TRUE(storage.IsWritable());
        storage.WriteString(QStringLiteral("上次密码"), QStringLiteral("secret"));
    }
    EXPECT_EQ(Mode(File()), mode_t(0600));
    ASSERT_TRUE(QFile::setPermissions(File(), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther));
    {
        IniStorage_cl storage(File(), QString());
        storage.WriteString(QStringLiteral("上次密码"), QStringLiteral("other"));
    }
    EXPECT_EQ(Mode(File()), mode_t(0600));
}

TEST_F(IniStorageTest, UnusableFolderIsReported) {
    QFile blocker(dir.filePath(QStringLiteral("file")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    IniStorage_cl storage(dir.filePath(QStringLiteral("file/sub/a.ini")), QString());
    EXPECT_FALSE(storage.IsWritable());
}
