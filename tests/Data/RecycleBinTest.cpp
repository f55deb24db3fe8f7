#include "FinanceFixture.h"

#include "Data/RecycleBin.h"

using Vorelle_ns::DeletedKind_en;

namespace {

Container_ns::List_tl<int32_t> One(int32_t sn) {
    Container_ns::List_tl<int32_t> list;
    list.Append(sn);
    return list;
}

// One restore: whose entry, who restores it, what happened meanwhile, what is expected.
struct RestoreCase_st {
    const char* name;
    const char* owner;
    const char* restorer;
    bool categoryDeleted;
    bool ownerDeleted;
    bool ownerRestoredFirst;
    const char* refusal;  // empty: restored
};

const RestoreCase_st restoreCases[] = {
    {"OwnEntry", "alice", "alice", false, false, false, ""},
    {"OthersEntryByAdministrator", "alice", "bob", false, false, false, ""},
    {"OthersEntryBySuperAdministrator", "ivy", "admin", false, false, false, ""},
    {"OthersEntryByNormalUser", "ivy", "alice", false, false, false, "你没有权限恢复其它用户的记录。"},
    {"OthersEntryByIndependentUser", "alice", "ivy", false, false, false, "你没有权限恢复其它用户的记录。"},
    {"DeletedCategoryComesBack", "alice", "admin", true, false, false, ""},
    {"DeletedOwnerRefuses", "alice", "admin", false, true, false, "该记录的所有者已经被删除，请先恢复该用户。"},
    {"DeletedOwnerRestoredFirst", "alice", "admin", false, true, true, ""},
};

void PrintTo(const RestoreCase_st& c, std::ostream* os) { *os << c.name; }

}  // namespace

class RecycleBinTest : public FinanceTest {
protected:
    void SetUp() override {
        FinanceTest::SetUp();
        AddUser("alice", 2);
        AddUser("bob", 1);
        AddUser("ivy", 3);
    }
    // Books an entry for owner as the super administrator and returns its serial number.
    int32_t Book(const char* owner, int32_t expense, const char* type = "饮食") {
        records.AddRecord(QString::fromUtf8(type), "名称", expense, "", Time("2024-03-05 12:00:00"), 0,
                          users.FindUser(QString::fromUtf8(owner)));
        return Integer("select max(sn) from zorb_record");
    }
    void DeleteUserWithData(const char* name) {
        const int32_t sn = users.FindUser(QString::fromUtf8(name));
        DB_ns::BeginTrans_cl transaction(&Database());
        const int32_t recycler = records.NewRecycler("删除用户。");
        records.DeleteUserTemplates(sn, recycler);
        if (records.CountUserRecords(sn) != 0) records.DeleteUserRecords(sn, recycler);
        users.RemoveUser(sn, recycler);
        transaction.Commit();
    }
    int32_t Single(const char* name) {
        return Integer(QStringLiteral("select single_account from zorb_user where user_name = '%1'").arg(name));
    }

    Vorelle_ns::RecycleBin_cl bin{users, records};
};

class RecycleBinRestoreTest : public RecycleBinTest, public ::testing::WithParamInterface<RestoreCase_st> {};

TEST_P(RecycleBinRestoreTest, MovesTheBalancesBackExactlyOrRefusesWithoutChange) {
    const RestoreCase_st& c = GetParam();
    Book(c.owner, 5000, "工资");
    const int32_t entry = Book(c.owner, -1234, "新分类");
    Book("bob", -77);
    const int32_t ownerBefore = Single(c.owner), publicBefore = users.GetPublicAccount();
    const int32_t type = Integer(QStringLiteral("select type_sn from zorb_record where sn = %1").arg(entry));

    records.DeleteRecords(One(entry));
    if (c.categoryDeleted)
        Database().ExecuteNoRecords(QStringLiteral("update zorb_expense_type set valid = '0' where sn = %1").arg(type));
    if (c.ownerDeleted) DeleteUserWithData(c.owner);
    if (c.ownerRestoredFirst) bin.RestoreUser(Integer(QStringLiteral("select sn from zorb_user where user_name = '%1'").arg(c.owner)));
    const int32_t publicDeleted = users.GetPublicAccount();
    const int32_t ownerDeleted = Single(c.owner);

    LoginAs(c.restorer);
    const Raised_st raised = Raise([&] { bin.RestoreRecords(One(entry)); });
    LoginAs("admin");
    EXPECT_EQ(raised.message, QString::fromUtf8(c.refusal));
    const QString valid = Text(QStringLiteral("select valid from zorb_record where sn = %1").arg(entry));
    if (raised.raised) {
        EXPECT_EQ(valid, "0");
        EXPECT_EQ(users.GetPublicAccount(), publicDeleted);
        EXPECT_EQ(Single(c.owner), ownerDeleted);
        return;
    }
    EXPECT_EQ(valid, "1");
    EXPECT_EQ(Text(QStringLiteral("select valid from zorb_expense_type where sn = %1").arg(type)), "1");
    EXPECT_EQ(Count("zorb_recycler", "info = '恢复费用记录。'"), 1);
    // Restoring the owner alone gives back none of his entries: his other income stays out.
    const int32_t stillDeleted = c.ownerRestoredFirst ? 5000 : 0;
    EXPECT_EQ(users.GetPublicAccount(), publicBefore - stillDeleted);
    EXPECT_EQ(Single(c.owner), ownerBefore - stillDeleted);
    EXPECT_EQ(Single("alice") + Single("ivy") + Single("bob") + Single("admin"), users.GetPublicAccount());
}

INSTANTIATE_TEST_SUITE_P(Cases, RecycleBinRestoreTest, ::testing::ValuesIn(restoreCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(RecycleBinTest, RestoringTwiceOrAnEntryThatIsNotDeletedIsRefusedAndAListIsAllOrNothing) {
    const int32_t first = Book("alice", -100), second = Book("alice", -200);
    records.DeleteRecords(One(first));
    const int32_t balance = Single("alice");
    Container_ns::List_tl<int32_t> both = One(first);
    both.Append(second);  // still valid
    EXPECT_EQ(Raise([&] { bin.RestoreRecords(both); }).message, "回收站中没有这条记录，它可能已经被恢复。");
    EXPECT_EQ(Single("alice"), balance);
    EXPECT_EQ(Count("zorb_record", "valid = '0'"), 1);
    bin.RestoreRecords(One(first));
    EXPECT_EQ(Raise([&] { bin.RestoreRecords(One(first)); }).message, "回收站中没有这条记录，它可能已经被恢复。");
    EXPECT_EQ(Single("alice"), balance - 100);
}

TEST_F(RecycleBinTest, ListsNewestDeletionFirstAndOnlyOwnDeletionsToThoseWhoMayNotAlterOthers) {
    const int32_t alices = Book("alice", -150, "交通"), ivys = Book("ivy", -250);
    users.AddUser("zed", 2, "pw");
    records.DeleteRecords(One(alices));
    LoginAs("ivy");
    records.DeleteRecords(One(ivys));
    records.AddTemplate(false, "饮食", "午饭", -1500, "", 0);
    records.DeleteTemplate(Integer("select max(sn) from zorb_record_template"));
    LoginAs("admin");
    DeleteUserWithData("zed");

    struct Expected_st {
        const char* user;
        const char* kinds;  // newest first: R entry, T template, U user
    } const views[] = {{"admin", "UTRR"}, {"bob", "UTRR"}, {"alice", "R"}, {"ivy", "TR"}};
    for (const Expected_st& view : views) {
        LoginAs(view.user);
        const auto rows = bin.GetDeletions();
        QString kinds;
        for (int32_t i = 0; i < rows.Count(); ++i) kinds += QStringLiteral("RTU")[int(rows[i].kind)];
        EXPECT_EQ(kinds, view.kinds) << view.user;
    }
    LoginAs("admin");
    const auto rows = bin.GetDeletions();
    const Vorelle_ns::DeletedRow_st& oldest = rows[3];
    EXPECT_EQ(oldest.sn, alices);
    EXPECT_EQ(oldest.deletedBy, "admin");
    EXPECT_EQ(oldest.action, "删除费用记录。");
    EXPECT_EQ(oldest.typeName, "交通");
    EXPECT_EQ(oldest.expense, -150);
    EXPECT_EQ(oldest.ownerName, "alice");
    EXPECT_EQ(oldest.recordTime.Format(), "2024-03-05 12:00:00");
    EXPECT_TRUE(oldest.deletedAt.IsValid());
    EXPECT_EQ(rows[1].deletedBy, "ivy");
    EXPECT_EQ(rows[1].expenseName, "午饭");
    EXPECT_EQ(rows[0].ownerName, "zed");
}

TEST_F(RecycleBinTest, UsersAndTemplatesRestoreWithTheirPowersAndNames) {
    const int32_t zed = AddUser("zed", 2);
    DeleteUserWithData("zed");
    LoginAs("bob");
    EXPECT_EQ(Raise([&] { bin.RestoreUser(zed); }).message, "你没有权限恢复用户。");
    LoginAs("admin");
    AddUser("zed", 3);
    EXPECT_EQ(Raise([&] { bin.RestoreUser(zed); }).message, "已经有同名的用户，无法恢复该用户。");
    DeleteUserWithData("zed");
    bin.RestoreUser(zed);
    EXPECT_EQ(users.FindUser("zed"), zed);
    EXPECT_EQ(Raise([&] { bin.RestoreUser(zed); }).message, "回收站中没有这个用户，他可能已经被恢复。");

    LoginAs("alice");
    records.AddTemplate(true, "工资", "月薪", 900, "", 0);
    const int32_t tmpl = Integer("select max(sn) from zorb_record_template");
    records.DeleteTemplate(tmpl);
    LoginAs("ivy");
    EXPECT_EQ(Raise([&] { bin.RestoreTemplate(tmpl); }).message, "你没有权限恢复其它用户的记录。");
    LoginAs("alice");
    bin.RestoreTemplate(tmpl);
    EXPECT_EQ(records.GetTemplates(true).Count(), 1);
}
