#include "settings/Unique.h"
#include "base/SysError.h"
#include "support/TempSettings.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace Unique_ns;

namespace {

const QString kProduct = QStringLiteral("ZantheVorelle管理软件");

QStringList Items(const Container_ns::List_tl<Base_ns::String_cl>& list) {
    QStringList items;
    for (auto id = list.First(); !id.IsEmpty(); id.Next()) items.append(id.Get());
    return items;
}

template <typename Action>
QString Raised(Action action) {
    try {
        action();
    } catch (const Base_ns::SysError_cl& error) {
        return error.Message();
    }
    return QStringLiteral("<nothing raised>");
}

}  // namespace

TEST(Unique, FileStorageKeepsValuesAcrossCloseAndReopen) {
    TempSettings_cl folder;
    ASSERT_TRUE(InitFileStorage(kProduct));
    EXPECT_EQ(GetCustomFromFile().ReadString(QStringLiteral("数据库"), QStringLiteral("默认")), QStringLiteral("默认"));
    GetCustomFromFile().WriteBoolean(QStringLiteral("记住用户名"), true);
    GetCustomFromFile().WriteString(QStringLiteral("数据库"), QStringLiteral("家庭"));
    GetRecentRecordFromFile().Add(QStringLiteral("用户名"), QStringLiteral("张三"));
    GetRecentRecordFromFile().Add(QStringLiteral("用户名"), QStringLiteral("李四"));
    CloseFileStorage();

    EXPECT_TRUE(QFile::exists(folder.Path() + kProduct + QStringLiteral(".ini")));
    ASSERT_TRUE(InitFileStorage(kProduct));
    EXPECT_TRUE(GetCustomFromFile().ReadBoolean(QStringLiteral("记住用户名"), false));
    EXPECT_EQ(GetCustomFromFile().ReadString(QStringLiteral("数据库"), QStringLiteral("默认")), QStringLiteral("家庭"));
    EXPECT_EQ(Items(GetRecentRecordFromFile().List(QStringLiteral("用户名"))), (QStringList{"李四", "张三"}));
}

TEST(Unique, DatabaseStorageBelongsToOneDatabaseAndUser) {
    TempSettings_cl folder;
    const QString local = QStringLiteral("/home/a/本地库/家庭.mdb");
    const QString server = QStringLiteral("SQLOLEDB;192.168.1.2;sa");
    InitDatabaseStorage(local, QStringLiteral("张三"), kProduct);
    GetCustomFromDatabase().WriteInteger(QStringLiteral("费用模式"), 1);
    GetRecentRecordFromDatabase().Add(QStringLiteral("开销分类名称"), QStringLiteral("餐饮"));
    CloseDatabaseStorage(local);

    InitDatabaseStorage(local, QStringLiteral("李四"), kProduct);
    EXPECT_EQ(GetCustomFromDatabase().ReadInteger(QStringLiteral("费用模式"), 0), 0);
    InitDatabaseStorage(server, QStringLiteral("张三"), kProduct);
    EXPECT_EQ(GetCustomFromDatabase().ReadInteger(QStringLiteral("费用模式"), 0), 0);
    EXPECT_EQ(GetRecentRecordFromDatabase().List(QStringLiteral("开销分类名称")).Count(), 0);
    CloseDatabaseStorage(server);

    InitDatabaseStorage(local, QStringLiteral("张三"), kProduct);
    EXPECT_EQ(GetCustomFromDatabase().ReadInteger(QStringLiteral("费用模式"), 0), 1);
    EXPECT_EQ(Items(GetRecentRecordFromDatabase().List(QStringLiteral("开销分类名称"))), QStringList{"餐饮"});
}

TEST(Unique, FileAndDatabaseStoragesDoNotShareKeys) {
    TempSettings_cl folder;
    InitFileStorage(kProduct);
    InitDatabaseStorage(QStringLiteral("/a.mdb"), QStringLiteral("u"), kProduct);
    GetCustomFromFile().WriteString(QStringLiteral("用户模式"), QStringLiteral("文件"));
    GetCustomFromDatabase().WriteString(QStringLiteral("用户模式"), QStringLiteral("数据库"));
    EXPECT_EQ(GetCustomFromFile().ReadString(QStringLiteral("用户模式"), QString()), QStringLiteral("文件"));
    EXPECT_EQ(GetCustomFromDatabase().ReadString(QStringLiteral("用户模式"), QString()), QStringLiteral("数据库"));
}

TEST(Unique, ClosedStoragesRaiseSystemErrors) {
    TempSettings_cl folder;
    const QString file = QStringLiteral("文件设置存储还没有打开。");
    const QString database = QStringLiteral("数据库设置存储还没有打开。");
    EXPECT_EQ(Raised([] { GetCustomFromFile(); }), file);
    EXPECT_EQ(Raised([] { GetRecentRecordFromFile(); }), file);
    EXPECT_EQ(Raised([] { GetCustomFromDatabase(); }), database);
    EXPECT_EQ(Raised([] { GetRecentRecordFromDatabase(); }), database);
    InitDatabaseStorage(QStringLiteral("/a.mdb"), QStringLiteral("u"), kProduct);
    CloseDatabaseStorage(QStringLiteral("/a.mdb"));
    EXPECT_EQ(Raised([] { GetCustomFromDatabase(); }), database);
}

TEST(Unique, UnwritableFolderIsReportedByInit) {
    TempSettings_cl folder;
    QFile blocker(folder.Path() + QStringLiteral("file"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    SetStorageFolder(folder.Path() + QStringLiteral("file/sub"));
    EXPECT_FALSE(InitFileStorage(kProduct));
    // Callers ignore the result and go on using the storage.
    EXPECT_FALSE(GetCustomFromFile().ReadBoolean(QStringLiteral("记住密码"), false));
}
