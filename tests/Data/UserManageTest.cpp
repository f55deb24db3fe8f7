#include "FinanceFixture.h"

#include <limits>

using Vorelle_ns::RecordRow_st;

namespace {

const QString kManage = QStringLiteral("当前用户没有权限管理用户。");
const QString kNotLoggedIn = QStringLiteral("还没有登录。");
const QString kWrongAmount = QStringLiteral("金额不正确。");

}  // namespace

using SchemaTest = FinanceTest;

TEST_F(SchemaTest, NewDatabaseHoldsOneSuperAdministratorAndElevenCategories) {
    EXPECT_EQ(Count("zorb_user"), 1);
    EXPECT_EQ(Text("select power from zorb_user"), "0");
    EXPECT_EQ(Integer("select single_account from zorb_user"), 0);
    EXPECT_EQ(Integer("select public_account from zorb_user"), 0);
    EXPECT_EQ(Integer("select alter_sn from zorb_user"), 0);

    EXPECT_EQ(Count("zorb_expense_type", "valid = '1' and alter_sn = 0"), 11);
    EXPECT_EQ(Count("zorb_expense_type", "kind = '0'"), 10);
    EXPECT_EQ(Text("select type_name from zorb_expense_type where kind = '1'"), "工资");
    const auto names = records.GetTypeNames(false);
    ASSERT_EQ(names.Count(), 10);
    EXPECT_EQ(names[0], "饮食");
    EXPECT_EQ(names[9], "恋爱");
    EXPECT_EQ(Count("zorb_record") + Count("zorb_record_template") + Count("zorb_recycler"), 0);
}

TEST_F(SchemaTest, EntriesAreIndexedByTimeButDatabasesWithoutTheIndexWorkAlike) {
    EXPECT_EQ(Count("sqlite_master", "type = 'index' and name = 'zorb_record_time'"), 1);
    records.AddRecord("饮食", "", -100, "", Time("2024-01-05 12:00:00"), 0);
    Database().ExecuteNoRecords("drop index zorb_record_time");
    records.AddRecord("饮食", "", -50, "", Time("2024-01-06 12:00:00"), 0);
    EXPECT_EQ(records.GetRecords(false, "", Time("2024-01-01"), Time("2024-01-31 23:59:59")).Count(), 2);
    EXPECT_EQ(records.GetTypeSums(true, "", Time("2024-01-01"), Time("2024-01-31 23:59:59"))[0].sum, -150);
}

// A book made before the sums index gets it on opening; every figure read through it is
// the one read without it.
TEST_F(SchemaTest, EntriesAreIndexedForSumsAndAnOlderBookGetsTheIndexOnOpening) {
    const char* const times[] = {"2023-12-31 23:59:59", "2024-01-01 00:00:00", "2024-02-29 12:00:00", "2025-06-01 08:00:00"};
    int32_t expense = -100;
    for (const char* time : times) {
        for (int32_t mode = 0; mode < 3; ++mode) records.AddRecord("饮食", "", expense--, "", Time(time), mode);
        records.AddRecord("工资", "", 5000, "", Time(time), 0);
    }
    Container_ns::List_tl<int32_t> deleted;
    deleted.Append(records.GetRecords(false, "", Time("2024-02-29"), Time("2024-02-29 23:59:59"))[1].sn);
    records.DeleteRecords(deleted);
    const auto figures = [&] {
        const DB_ns::CrossTable_st month = records.GetMonthCrosstab(true, "admin", Time("2024-01-01"), Time("2025-12-31 23:59:59"));
        const DB_ns::CrossTable_st year = records.GetYearCrosstab(false, "");
        QList<int32_t> cells;
        for (const DB_ns::CrossTable_st* table : {&month, &year}) {
            for (int32_t i = 0; i < table->cells.Count(); ++i) cells.append(table->cells[i]);
        }
        cells.append(records.GetTypeSums(true, "", Time("2024-01-01"), Time("2024-12-31 23:59:59"))[0].sum);
        return cells;
    };
    const auto indexed = [&] { return Count("sqlite_master", "type = 'index' and name = 'zorb_record_sums'"); };
    EXPECT_EQ(indexed(), 1);
    const QList<int32_t> withIndex = figures();
    Database().ExecuteNoRecords("drop index zorb_record_sums");
    EXPECT_EQ(figures(), withIndex);
    records.AddMissingIndexes();
    EXPECT_EQ(indexed(), 1);
    EXPECT_EQ(figures(), withIndex);
    records.AddMissingIndexes();  // once only
    EXPECT_EQ(indexed(), 1);
}

using LoginTest = FinanceTest;

TEST_F(LoginTest, WrongPasswordOrDeletedUserIsRefusedAndKeepsTheLoggedInUser) {
    const int32_t admin = users.GetCurrentUser();
    const int32_t bob = AddUser("bob", 2);

    Raised_st raised = Raise([&] { users.Login("admin", "wrong"); });
    EXPECT_FALSE(raised.system);
    EXPECT_EQ(raised.message, "用户名或密码错误。");
    EXPECT_EQ(users.GetCurrentUser(), admin);

    users.RemoveUser(bob, records.NewRecycler("删除用户。"));
    EXPECT_EQ(Raise([&] { users.Login("bob", "pw"); }).message, "用户名或密码错误。");
    EXPECT_EQ(users.FindUser("bob"), 0);

    LoginAs("admin");
    EXPECT_EQ(users.GetCurrentUser(), admin);
}

TEST_F(LoginTest, LogoutForgetsTheUser) {
    users.Logout();
    EXPECT_EQ(Raise([&] { users.GetCurrentUser(); }).message, kNotLoggedIn);
    EXPECT_EQ(Raise([&] { users.Logout(); }).message, kNotLoggedIn);
    EXPECT_EQ(Raise([&] { users.CanViewOthers(); }).message, kNotLoggedIn);
    // The per-user settings storage is closed with the login.
    EXPECT_TRUE(Raise([] { Unique_ns::GetCustomFromDatabase(); }).system);
}

TEST_F(LoginTest, LoginOpensTheSettingsStorageOfDatabaseAndUser) {
    Unique_ns::GetCustomFromDatabase().WriteString("用户模式", "所有用户");
    AddUser("bob", 2);
    LoginAs("bob");
    EXPECT_EQ(Unique_ns::GetCustomFromDatabase().ReadString("用户模式", "当前用户"), "当前用户");
    LoginAs("admin");
    EXPECT_EQ(Unique_ns::GetCustomFromDatabase().ReadString("用户模式", "当前用户"), "所有用户");
}

TEST_F(LoginTest, ADeletedLoggedInUserHasNoPowers) {
    const int32_t bob = AddUser("bob", 1);
    LoginAs("bob");
    Database().ExecuteNoRecords(QStringLiteral("update zorb_user set valid = '0' where sn = %1").arg(bob));
    for (auto check : {&Vorelle_ns::UserManage_cl::CanManageUsers, &Vorelle_ns::UserManage_cl::CanAlterOthers,
                       &Vorelle_ns::UserManage_cl::CanViewOthers}) {
        const Raised_st raised = Raise([&] { (users.*check)(); });
        EXPECT_TRUE(raised.system);
        EXPECT_EQ(raised.message, kNotLoggedIn);
    }
}

// A book an older copy kept: every password in the user table as typed, no hash table.
TEST_F(LoginTest, APlainPasswordMovesToASaltedHashAtTheNextLoginAndTheColumnKeepsNone) {
    const int32_t bob = AddUser("bob", 2);
    const int32_t carol = AddUser("carol", 2);
    if (Database().TableExists(QStringLiteral("zorb_login"))) Database().ExecuteNoRecords("drop table zorb_login");
    Database().ExecuteNoRecords("update zorb_user set password = 'secret' where user_name = 'admin'");
    // Long enough that no base64 text of a hash holds it by chance ("pw" did, now and then).
    Database().ExecuteNoRecords("update zorb_user set password = 'kitchen-7' where user_name <> 'admin'");
    const struct {
        const char* user;
        const char* password;
        int32_t sn;
    } cases[] = {{"bob", "kitchen-7", bob}, {"carol", "kitchen-7", carol}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.user);
        const QString plain = QStringLiteral("password = '%1' and sn = %2").arg(c.password).arg(c.sn);
        EXPECT_TRUE(Raise([&] { users.Login(c.user, "wrong"); }).raised);
        EXPECT_EQ(Count("zorb_user", plain), 1) << "a wrong password moves nothing";
        users.Login(c.user, c.password);
        EXPECT_EQ(users.GetCurrentUser(), c.sn);
        EXPECT_EQ(Count("zorb_user", QStringLiteral("sn = %1 and password is not null").arg(c.sn)), 0);
        const QString hash = Text(QStringLiteral("select password_hash from zorb_login where user_sn = %1").arg(c.sn));
        EXPECT_TRUE(hash.startsWith("pbkdf2-sha256$")) << hash.toStdString();
        EXPECT_FALSE(hash.contains(c.password));
        users.Logout();
        EXPECT_EQ(Raise([&] { users.Login(c.user, "wrong"); }).message, "用户名或密码错误。");
        users.Login(c.user, c.password);
    }
    // Salted: one password, two hashes.
    EXPECT_EQ(Count("zorb_login"), 2);
    EXPECT_NE(Text(QStringLiteral("select password_hash from zorb_login where user_sn = %1").arg(bob)),
              Text(QStringLiteral("select password_hash from zorb_login where user_sn = %1").arg(carol)));
    // Who has not logged in since keeps his login.
    EXPECT_EQ(Count("zorb_user", "user_name = 'admin' and password = 'secret'"), 1);
    LoginAs("admin");
    EXPECT_EQ(Count("zorb_user", "password is not null"), 0);
}

using UsersTest = FinanceTest;

TEST_F(UsersTest, AddUserRefusesAValidDuplicateButReusesADeletedName) {
    const int32_t admin = users.GetCurrentUser();
    users.SetPublicAccount(777);
    const int32_t bob = AddUser("bob", 3);
    EXPECT_EQ(Text(QStringLiteral("select power from zorb_user where sn = %1").arg(bob)), "3");
    EXPECT_EQ(Integer(QStringLiteral("select public_account from zorb_user where sn = %1").arg(bob)), 777);
    EXPECT_EQ(Integer(QStringLiteral("select alter_sn from zorb_user where sn = %1").arg(bob)), admin);

    const Raised_st raised = Raise([&] { users.AddUser("bob", 2, "x"); });
    EXPECT_FALSE(raised.system);
    EXPECT_EQ(raised.message, "重复的用户名。");
    EXPECT_EQ(Count("zorb_user"), 2);

    users.RemoveUser(bob, records.NewRecycler("删除用户。"));
    const int32_t secondBob = AddUser("bob", 2);
    EXPECT_NE(secondBob, bob);
    EXPECT_EQ(Count("zorb_user", "user_name = 'bob'"), 2);
}

// The longest names and passwords the checks let through are kept whole by every kind
// of book, and log in.
TEST_F(UsersTest, LongestNamesAndPasswordsLogInWhole) {
    const QString emoji = QString::fromUtf8("😀🎂🐱🌟🍜🚲🎈🧧");
    const struct {
        QString name;
        QString password;
    } accounts[] = {
        {QString(16, u'名'), QString(16, u'码')},
        {emoji + emoji, emoji + emoji},
        {QString(15, u'a') + QString::fromUtf8("🧧"), QString::fromUtf8("🧧") + QString(15, u'1')},
    };
    for (const auto& account : accounts) {
        SCOPED_TRACE(account.name.toStdString());
        users.AddUser(account.name, 2, account.password);
        const auto list = users.GetUsers();
        EXPECT_EQ(list[list.Count() - 1].userName, account.name);
        users.Login(account.name, account.password);
        EXPECT_EQ(users.GetCurrentUser(), users.FindUser(account.name));
        LoginAs("admin");
    }
}

TEST_F(UsersTest, UserListIsOldestFirstWithPowers) {
    AddUser("bob", 1);
    AddUser("carol", 3);
    const auto list = users.GetUsers();
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list[0].userName, "admin");
    EXPECT_EQ(list[0].power, 0);
    EXPECT_EQ(list[1].userName, "bob");
    EXPECT_EQ(list[1].power, 1);
    EXPECT_EQ(list[2].power, 3);
    EXPECT_TRUE(list[2].createTime.IsValid());
}

TEST_F(UsersTest, RemoveUserRefusesTheLoggedInUserAndUnknownOnes) {
    const int32_t admin = users.GetCurrentUser();
    const int32_t recycler = records.NewRecycler("删除用户。");
    Raised_st raised = Raise([&] { users.RemoveUser(admin, recycler); });
    EXPECT_EQ(raised.message, "不允许删除当前用户。");
    EXPECT_EQ(Count("zorb_user", "valid = '1'"), 1);

    raised = Raise([&] { users.RemoveUser(4711, recycler); });
    EXPECT_TRUE(raised.system);
    EXPECT_EQ(raised.message, "删除用户失败。");

    const int32_t bob = AddUser("bob", 2);
    users.RemoveUser(bob, recycler);
    EXPECT_EQ(Text(QStringLiteral("select valid from zorb_user where sn = %1").arg(bob)), "0");
    EXPECT_EQ(Integer(QStringLiteral("select recycler_sn from zorb_user where sn = %1").arg(bob)), recycler);
    EXPECT_EQ(Integer(QStringLiteral("select alter_sn from zorb_user where sn = %1").arg(bob)), admin);
}

TEST_F(UsersTest, ChangePasswordNeedsTheOldOne) {
    EXPECT_EQ(Raise([&] { users.ChangePassword("wrong", "new"); }).message, "密码不正确。");
    users.Login("admin", "secret");
    users.ChangePassword("secret", "new");
    EXPECT_TRUE(Raise([&] { users.Login("admin", "secret"); }).raised);
    users.Login("admin", "new");
}

TEST_F(UsersTest, NewUsersAndChangedPasswordsAreKeptOnlyAsHashes) {
    const int32_t bob = AddUser("bob", 2);
    EXPECT_EQ(Count("zorb_user", "password is not null"), 0);
    EXPECT_EQ(Count("zorb_login"), 2);
    const QString bobHash = QStringLiteral("select password_hash from zorb_login where user_sn = %1").arg(bob);
    const QString first = Text(bobHash);
    LoginAs("bob");
    users.ChangePassword("pw", "new-pw");
    EXPECT_EQ(Count("zorb_user", "password is not null"), 0);
    EXPECT_NE(Text(bobHash), first);
    EXPECT_FALSE(Text(bobHash).contains("new-pw"));
    EXPECT_TRUE(Raise([&] { users.Login("bob", "pw"); }).raised);
    users.Login("bob", "new-pw");
}

TEST_F(UsersTest, AQuoteInANameIsRefusedBeforeAnyStatement) {
    const Raised_st raised = Raise([&] { users.AddUser("o'brien", 2, "pw"); });
    EXPECT_TRUE(raised.system);
    EXPECT_EQ(raised.message, "参数值中不能有非法字符。");
    EXPECT_EQ(Count("zorb_user"), 1);
}

// The rights of each power, row by row, exercised through the operations themselves.
class PowerTest : public FinanceTest, public ::testing::WithParamInterface<int32_t> {
protected:
    void SetUp() override {
        FinanceTest::SetUp();
        other = AddUser("other", 2);
        AddUser("someone", 2);
        if (GetParam() != 0) AddUser("me", GetParam());
        LoginAs("other");
        records.AddRecord("饮食", "午饭", -1500, "", Time("2024-05-01 12:00:00"), 0);
        otherEntry = Integer("select max(sn) from zorb_record");
        records.AddTemplate(false, "饮食", "午饭", -1500, "", 0);
        LoginAs(GetParam() == 0 ? "admin" : "me");
    }

    int32_t other = 0;
    int32_t otherEntry = 0;
};

TEST_P(PowerTest, ChecksMatchThePowerTable) {
    const int32_t power = GetParam();
    EXPECT_EQ(users.CanManageUsers(), power == 0);
    EXPECT_EQ(users.CanAlterOthers(), power <= 1);
    EXPECT_EQ(users.CanViewOthers(), power <= 2);
}

TEST_P(PowerTest, ManagingUsersAndThePublicAccount) {
    const bool may = GetParam() == 0;
    EXPECT_EQ(Raise([&] { users.GetUsers(); }).message, may ? QString() : kManage);
    EXPECT_EQ(Raise([&] { users.AddUser("newcomer", 2, "pw"); }).message, may ? QString() : kManage);
    EXPECT_EQ(users.FindUser("newcomer") != 0, may);
    const int32_t someone = users.FindUser("someone");
    EXPECT_EQ(Raise([&] { users.RemoveUser(someone, 1); }).message, may ? QString() : kManage);
    EXPECT_EQ(users.FindUser("someone") == 0, may);
    EXPECT_EQ(Raise([&] { users.SetPublicAccount(5000); }).message,
              may ? QString() : QStringLiteral("当前用户没有权限修改公共帐户。"));
    EXPECT_EQ(users.GetPublicAccount(), may ? 5000 : -1500);
    EXPECT_EQ(Raise([&] { records.DeleteUserTemplates(other, 1); }).message, may ? QString() : kManage);
    EXPECT_EQ(Raise([&] { records.DeleteUserRecords(other, 1); }).message, may ? QString() : kManage);
}

TEST_P(PowerTest, AlteringAndDeletingOtherUsersEntries) {
    const bool may = GetParam() <= 1;
    // An independent user may not even read it (below).
    if (GetParam() != 3) {
        EXPECT_EQ(records.GetRecord(otherEntry).mayAlter, may) << "power " << GetParam();
    }
    EXPECT_EQ(Raise([&] { records.AlterRecord(otherEntry, "饮食", "晚饭", -2000, "", Time("2024-05-01"), 0); }).message,
              may ? QString() : QStringLiteral("你没有权限修改其它用户的记录。"));
    EXPECT_EQ(SingleAccount(other), may ? -2000 : -1500);
    Container_ns::List_tl<int32_t> list;
    list.Append(otherEntry);
    EXPECT_EQ(Raise([&] { records.DeleteRecords(list); }).message,
              may ? QString() : QStringLiteral("你没有权限删除其它用户的记录。"));
    EXPECT_EQ(Count("zorb_record", "valid = '1'"), may ? 0 : 1);
}

TEST_P(PowerTest, SeeingOtherUsersEntries) {
    const bool may = GetParam() <= 2;
    const QString refused = QStringLiteral("该用户没有权限查看其它用户的费用记录。");
    const auto begin = Time("2024-01-01"), end = Time("2024-12-31 23:59:59");
    EXPECT_EQ(Raise([&] { records.GetRecords(true, "", begin, end); }).message, may ? QString() : refused);
    EXPECT_EQ(Raise([&] { records.GetRecords(false, "other", begin, end); }).message, may ? QString() : refused);
    EXPECT_EQ(Raise([&] { records.GetTypeSums(true, "", begin, end); }).message, may ? QString() : refused);
    EXPECT_EQ(Raise([&] { records.GetMonthCrosstab(false, "other", begin, end); }).message, may ? QString() : refused);
    EXPECT_EQ(Raise([&] { records.GetYearCrosstab(true, ""); }).message, may ? QString() : refused);
    EXPECT_EQ(Raise([&] { records.GetRecord(otherEntry); }).message, may ? QString() : refused);
    if (may) {
        EXPECT_EQ(records.GetRecords(false, "other", begin, end).Count(), 1);
    }
}

TEST_P(PowerTest, OwnEntriesAndTemplates) {
    const int32_t me = users.GetCurrentUser();
    records.AddRecord("", "车票", -300, "", Time("2024-05-02 08:00:00"), 0);
    const int32_t mine = Integer("select max(sn) from zorb_record");
    records.AlterRecord(mine, "交通", "车票", -400, "", Time("2024-05-02 08:00:00"), 0);
    const auto list = records.GetRecords(false, "", Time("2024-05-01"), Time("2024-05-31 23:59:59"));
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list[0].expense, -400);
    EXPECT_TRUE(records.GetRecord(mine).mayAlter);
    Container_ns::List_tl<int32_t> sns;
    sns.Append(mine);
    records.DeleteRecords(sns);
    EXPECT_EQ(SingleAccount(me), 0);

    records.AddTemplate(true, "工资", "", 100, "", 0);
    const auto templates = records.GetTemplates(true);
    ASSERT_EQ(templates.Count(), 1);
    records.DeleteTemplate(templates[0].sn);
    EXPECT_EQ(records.GetTemplates(true).Count(), 0);
    // Another user's template is not one's own to delete.
    const int32_t othersTemplate = Integer("select min(sn) from zorb_record_template");
    EXPECT_EQ(Raise([&] { records.DeleteTemplate(othersTemplate); }).message, "删除费用模板失败。");
}

INSTANTIATE_TEST_SUITE_P(EachPower, PowerTest, ::testing::Values(0, 1, 2, 3));

using AccountTest = FinanceTest;

TEST_F(AccountTest, SetPublicAccountShowsAtOnceAndReachesTheCopiesWithTheNextEntry) {
    const int32_t bob = AddUser("bob", 2);
    users.SetPublicAccount(5000);
    EXPECT_EQ(users.GetPublicAccount(), 5000);
    EXPECT_EQ(Integer(QStringLiteral("select public_account from zorb_user where sn = %1").arg(bob)), 0);

    users.AddToAccounts(-1250);
    EXPECT_EQ(users.GetPublicAccount(), 3750);
    EXPECT_EQ(users.GetSingleAccount(), -1250);
    EXPECT_EQ(SingleAccount(bob), 0);
    EXPECT_EQ(Integer(QStringLiteral("select public_account from zorb_user where sn = %1").arg(bob)), 3750);
}

TEST_F(AccountTest, AnIndependentUsersEntriesMoveThePublicBalance) {
    const int32_t ivy = AddUser("ivy", 3);
    LoginAs("ivy");
    records.AddRecord("工资", "", 2000, "", Time("2024-01-31 18:00:00"), 2);
    users.SetSingleAccount(50);
    EXPECT_EQ(SingleAccount(ivy), 50);
    LoginAs("admin");
    EXPECT_EQ(users.GetPublicAccount(), 2000);
    EXPECT_EQ(users.GetSingleAccount(), 0);
}

TEST_F(AccountTest, BalancesThatWouldLeave32BitsAreRefused) {
    constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
    constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
    users.SetPublicAccount(kMax - 10);
    Raised_st raised = Raise([&] { records.AddRecord("工资", "", 11, "", Time("2024-01-01"), 0); });
    EXPECT_FALSE(raised.system);
    EXPECT_EQ(raised.message, kWrongAmount);
    EXPECT_EQ(users.GetPublicAccount(), kMax - 10);
    EXPECT_EQ(Count("zorb_record"), 0);
    records.AddRecord("工资", "", 10, "", Time("2024-01-01"), 0);
    EXPECT_EQ(users.GetPublicAccount(), kMax);

    users.SetPublicAccount(0);
    users.SetSingleAccount(kMin + 5);
    EXPECT_EQ(Raise([&] { records.AddRecord("饮食", "", -6, "", Time("2024-01-01"), 0); }).message, kWrongAmount);
    EXPECT_EQ(users.GetSingleAccount(), kMin + 5);
    EXPECT_EQ(users.GetPublicAccount(), 0);

    EXPECT_EQ(Raise([&] { users.AddToAccounts(int64_t(kMax) + 1); }).message, kWrongAmount);
    // Deleting the most negative entry must not wrap when negated.
    users.SetSingleAccount(0);
    users.SetPublicAccount(kMax);
    records.AddRecord("饮食", "", kMin, "", Time("2024-01-02"), 0);
    Container_ns::List_tl<int32_t> sns;
    sns.Append(Integer("select max(sn) from zorb_record"));
    EXPECT_EQ(Raise([&] { records.DeleteRecords(sns); }).message, kWrongAmount);
    EXPECT_EQ(Count("zorb_record", "valid = '1'"), 2);
}
