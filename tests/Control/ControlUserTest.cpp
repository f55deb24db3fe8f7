#include "CoreFixture.h"

#include <QFile>

using Platform_ns::Answer_en;
using Platform_ns::Buttons_en;

namespace {

// An initialised database with the super administrator "admin" logged in, and users of
// the other powers.
class ControlUserTest : public CoreTest {
protected:
    void SetUp() override {
        core.AttachLocalDatabase(InFolder(QStringLiteral("a.mdb")), QStringLiteral("a"), QStringLiteral("pw"));
        core.InitDatabase(0, QStringLiteral("admin"), QStringLiteral("secret"));
        Links().OpenLink(0);
        Users().Login(QStringLiteral("admin"), QStringLiteral("secret"));
        for (int32_t power = 1; power <= 3; ++power) Users().AddUser(Name(power), power, QStringLiteral("pw"));
    }

    void TearDown() override {
        if (Links().GetLoginUser() != 0) Users().Logout();
    }

    static QString Name(int32_t power) { return QStringLiteral("user%1").arg(power); }
    Vorelle_ns::UserManage_cl& Users() { return core.GetUserManage(); }
    Vorelle_ns::RecordManage_cl& Records() { return core.GetRecordManage(); }
    Vorelle_ns::ControlUser_cl& Control() { return core.GetControlUser(); }
    DB_ns::IDatabase_cl& Database() { return Links().GetDatabase(); }

    void LoginAs(int32_t power) {
        if (power == 0)
            Users().Login(QStringLiteral("admin"), QStringLiteral("secret"));
        else
            Users().Login(Name(power), QStringLiteral("pw"));
    }
    int32_t Count(const QString& table, const QString& where) {
        return Integer(Database(), QStringLiteral("select count(*) from %1 where %2").arg(table, where));
    }
    int32_t Value(const QString& sql) { return Integer(Database(), sql); }

    static Base_ns::DateTime_cl Day(int day) { return Base_ns::DateTime_cl::FromParts(2008, 3, day, 12, 0, 0); }
};

}  // namespace

TEST_F(ControlUserTest, CancelLeavesTheUserAndHisData) {
    const int32_t sn = Users().FindUser(Name(2));
    prompt.answers = {Answer_en::Cancel};
    EXPECT_FALSE(Control().DeleteUser(sn));
    ASSERT_EQ(prompt.shown.size(), 1);
    EXPECT_TRUE(prompt.shown[0].text.startsWith(QStringLiteral("确定要删除用户“") + Name(2) + QStringLiteral("”吗？")));
    EXPECT_TRUE(prompt.shown[0].text.contains(QStringLiteral("回收站")));
    EXPECT_EQ(prompt.shown[0].buttons, Buttons_en::OKCancel);
    EXPECT_EQ(Users().FindUser(Name(2)), sn);
    EXPECT_EQ(Count(QStringLiteral("zorb_recycler"), QStringLiteral("1 = 1")), 0);
}

TEST_F(ControlUserTest, DeletesAUserWithAllHisDataUnderOneRecyclerRow) {
    const int32_t sn = Users().FindUser(Name(2));
    LoginAs(2);
    Records().AddRecord(QStringLiteral("饮食"), QStringLiteral("午饭"), -300, QString(), Day(1), 0);
    Records().AddRecord(QStringLiteral("工资"), QStringLiteral("三月"), 1550, QString(), Day(2), 0);
    Records().AddTemplate(false, QStringLiteral("饮食"), QStringLiteral("午饭"), -300, QString(), 0);
    LoginAs(0);
    Records().AddRecord(QStringLiteral("交通"), QStringLiteral("车票"), -200, QString(), Day(3), 0);
    ASSERT_EQ(Users().GetPublicAccount(), 1050);

    EXPECT_TRUE(Control().DeleteUser(sn));

    ASSERT_EQ(Count(QStringLiteral("zorb_recycler"), QStringLiteral("1 = 1")), 1);
    const int32_t recycler = Value(QStringLiteral("select max(sn) from zorb_recycler"));
    EXPECT_EQ(Text(Database(), QStringLiteral("select info from zorb_recycler")), QStringLiteral("删除用户。"));
    const QString mine = QStringLiteral("user_sn = %1 and valid = '0' and recycler_sn = %2").arg(sn).arg(recycler);
    EXPECT_EQ(Count(QStringLiteral("zorb_record"), mine), 2);
    EXPECT_EQ(Count(QStringLiteral("zorb_record_template"), mine), 1);
    EXPECT_EQ(Count(QStringLiteral("zorb_user"), QStringLiteral("sn = %1 and valid = '0' and recycler_sn = %2").arg(sn).arg(recycler)), 1);
    EXPECT_EQ(Count(QStringLiteral("zorb_record"), QStringLiteral("valid = '1'")), 1);  // the administrator's entry stays
    EXPECT_EQ(Users().GetPublicAccount(), -200);
    EXPECT_EQ(Users().GetSingleAccount(), -200);
}

TEST_F(ControlUserTest, AUserWithExactlyOneEntryTakesItToTheRecycler) {
    const int32_t sn = Users().FindUser(Name(1));
    LoginAs(1);
    Records().AddRecord(QStringLiteral("饮食"), QStringLiteral("午饭"), -300, QString(), Day(1), 0);
    LoginAs(0);
    EXPECT_TRUE(Control().DeleteUser(sn));
    const int32_t recycler = Value(QStringLiteral("select max(sn) from zorb_recycler"));
    EXPECT_EQ(Count(QStringLiteral("zorb_record"), QStringLiteral("user_sn = %1 and valid = '0' and recycler_sn = %2").arg(sn).arg(recycler)), 1);
    EXPECT_EQ(Count(QStringLiteral("zorb_record"), QStringLiteral("valid = '1'")), 0);
    EXPECT_EQ(Users().GetPublicAccount(), 0);
}

TEST_F(ControlUserTest, AUserWithoutEntriesStillMakesOneRecyclerRow) {
    EXPECT_TRUE(Control().DeleteUser(Users().FindUser(Name(3))));
    EXPECT_EQ(Count(QStringLiteral("zorb_recycler"), QStringLiteral("1 = 1")), 1);
    EXPECT_EQ(Users().FindUser(Name(3)), 0);
    EXPECT_EQ(Users().GetPublicAccount(), 0);
}

TEST_F(ControlUserTest, TheLoggedInUserIsNotDeletedAndNoRecyclerRowStays) {
    Records().AddRecord(QStringLiteral("饮食"), QStringLiteral("午饭"), -300, QString(), Day(1), 0);
    const CoreRaised_st refused = CoreRaise([&] { Control().DeleteUser(Users().GetCurrentUser()); });
    EXPECT_EQ(refused.message, QStringLiteral("不允许删除当前用户。"));
    EXPECT_EQ(Count(QStringLiteral("zorb_recycler"), QStringLiteral("1 = 1")), 0);
    EXPECT_EQ(Count(QStringLiteral("zorb_record"), QStringLiteral("valid = '1'")), 1);
    EXPECT_EQ(Users().GetPublicAccount(), -300);
}

TEST_F(ControlUserTest, OnlyTheSuperAdministratorIsAskedAndMayDelete) {
    const int32_t target = Users().FindUser(Name(3));
    for (int32_t power = 1; power <= 3; ++power) {
        LoginAs(power);
        EXPECT_EQ(CoreRaise([&] { Control().DeleteUser(target); }).message, QStringLiteral("当前用户没有权限管理用户。"));
    }
    EXPECT_TRUE(prompt.shown.isEmpty());
    EXPECT_EQ(Users().FindUser(Name(3)), target);
}

TEST_F(ControlUserTest, ThePublicAccountIsHiddenFromIndependentUsers) {
    Records().AddRecord(QStringLiteral("工资"), QStringLiteral("三月"), 1550, QString(), Day(1), 0);
    for (int32_t power = 0; power <= 2; ++power) {
        LoginAs(power);
        EXPECT_EQ(Control().GetPublicAccount(), 1550);
    }
    LoginAs(3);
    const CoreRaised_st hidden = CoreRaise([&] { Control().GetPublicAccount(); });
    EXPECT_FALSE(hidden.system);
    EXPECT_EQ(hidden.message, QStringLiteral("当前用户没有权限查看公共帐户。"));
    EXPECT_EQ(hidden.className, QStringLiteral("ControlUser_cl"));
}

TEST_F(ControlUserTest, RecycleUndoRestoresTheLastDeletionForItsDeleterOnly) {
    LoginAs(2);
    const int32_t user = Users().GetCurrentUser();
    for (const int32_t expense : {-300, -500}) Records().AddRecord("饮食", "", expense, "", Day(4), 0);
    EXPECT_FALSE(Control().CanUndoDelete());
    Container_ns::List_tl<int32_t> both;
    for (const int32_t sn : {1, 2}) both.Append(sn);
    Control().DeleteRecords(both);
    EXPECT_EQ(Users().GetSingleAccount(), 0);
    LoginAs(1);
    EXPECT_FALSE(Control().CanUndoDelete());
    EXPECT_EQ(CoreRaise([&] { Control().UndoDelete(); }).message, QStringLiteral("没有可以撤销的删除。"));
    LoginAs(2);
    ASSERT_TRUE(Control().CanUndoDelete());
    Control().UndoDelete();
    EXPECT_EQ(Users().GetSingleAccount(), -800);
    EXPECT_EQ(Count(QStringLiteral("zorb_record"), QStringLiteral("valid = '1' and user_sn = %1").arg(user)), 2);
    EXPECT_FALSE(Control().CanUndoDelete());
}
