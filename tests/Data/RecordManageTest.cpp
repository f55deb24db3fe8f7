#include "FinanceFixture.h"

#include "Data/RecordList.h"

using Vorelle_ns::RecordInfo_st;

namespace {

Container_ns::List_tl<int32_t> Sns(std::initializer_list<int32_t> values) {
    Container_ns::List_tl<int32_t> list;
    for (int32_t value : values) list.Append(value);
    return list;
}

RecordInfo_st Info(const char* user, int32_t expense, const char* type = "饮食") {
    RecordInfo_st info;
    info.recordTime = Base_ns::DateTime_cl::Parse(QStringLiteral("2024-02-03 10:00:00"));
    info.typeName = QString::fromUtf8(type);
    info.expenseName = QStringLiteral("导入");
    info.expense = expense;
    info.userName = QString::fromUtf8(user);
    info.statisticsMode = 1;
    info.comment = QStringLiteral("批量");
    return info;
}

}  // namespace

class RecordTest : public FinanceTest {
protected:
    int32_t Add(const char* type, int32_t expense, const char* time = "2024-03-05 12:30:00", int32_t mode = 0) {
        records.AddRecord(QString::fromUtf8(type), "名称", expense, "注释", Time(time), mode);
        return Integer("select max(sn) from zorb_record");
    }
    int32_t TypeOf(int32_t record) {
        return Integer(QStringLiteral("select type_sn from zorb_record where sn = %1").arg(record));
    }
    QString KindOf(int32_t type) {
        return Text(QStringLiteral("select kind from zorb_expense_type where sn = %1").arg(type));
    }
};

TEST_F(RecordTest, TheSignChoosesTheCategoryAndAMissingOneIsCreated) {
    const int32_t salary = Integer("select sn from zorb_expense_type where type_name = '工资'");
    EXPECT_EQ(TypeOf(Add("工资", 1550)), salary);
    const int32_t refund = TypeOf(Add("工资", -1550));
    EXPECT_NE(refund, salary);
    EXPECT_EQ(KindOf(refund), "0");
    EXPECT_EQ(Integer(QStringLiteral("select alter_sn from zorb_expense_type where sn = %1").arg(refund)),
              users.GetCurrentUser());
    EXPECT_EQ(Count("zorb_expense_type", "type_name = '工资'"), 2);
}

TEST_F(RecordTest, AnEmptyCategoryStandsForExpenseOrIncome) {
    const int32_t first = TypeOf(Add("", -300));
    EXPECT_EQ(TypeOf(Add("", -100)), first);
    EXPECT_EQ(Text(QStringLiteral("select type_name from zorb_expense_type where sn = %1").arg(first)), "开销");
    const int32_t income = TypeOf(Add("", 300));
    EXPECT_EQ(Text(QStringLiteral("select type_name from zorb_expense_type where sn = %1").arg(income)), "收入");
    EXPECT_EQ(KindOf(income), "1");
    EXPECT_EQ(Count("zorb_expense_type"), 13);
}

TEST_F(RecordTest, AddRecordStoresTheRowAndMovesBothBalances) {
    const int32_t admin = users.GetCurrentUser();
    const int32_t sn = Add("饮食", -1250, "2024-03-05 12:30:00", 7);
    EXPECT_EQ(Text(QStringLiteral("select statistics_mode from zorb_record where sn = %1").arg(sn)), "2");
    EXPECT_EQ(Text(QStringLiteral("select record_time from zorb_record where sn = %1").arg(sn)), "2024-03-05 12:30:00");
    EXPECT_EQ(Integer(QStringLiteral("select alter_sn from zorb_record where sn = %1").arg(sn)), admin);
    EXPECT_EQ(Text(QStringLiteral("select valid from zorb_record where sn = %1").arg(sn)), "1");
    EXPECT_EQ(users.GetSingleAccount(), -1250);
    EXPECT_EQ(users.GetPublicAccount(), -1250);
    EXPECT_EQ(Text(QStringLiteral("select statistics_mode from zorb_record where sn = %1").arg(Add("饮食", -1, "2024-03-05", 1))),
              "1");
}

// A family emoji is one on screen and seven characters to a server's column. A name is
// kept whole or refused naming the field and its limit, on every kind of book; never cut.
TEST_F(RecordTest, NamesOfCombinedEmojiAreKeptWholeOrRefusedNamingTheField) {
    const QString family = QString::fromUtf8("👨‍👩‍👧‍👦");
    const struct {
        const char* title;
        QString category, name, comment;
        const char* refusal;  // empty: kept whole
    } cases[] = {
        {"a name of two", "饮食", family + family, "", ""},
        {"a name of sixteen", "饮食", family.repeated(16), "", "费用名称最多16个字"},
        {"a category of sixteen", family.repeated(16), "午饭", "", "分类最多16个字"},
        {"a comment of forty", "饮食", "午饭", family.repeated(40), "注释最多255个字"},
        {"sixteen plain emoji", "饮食", QString::fromUtf8("😀").repeated(16), "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        const Raised_st raised = Raise([&] { records.AddRecord(c.category, c.name, -100, c.comment, Time("2024-03-01"), 0); });
        const QString refusal = QString::fromUtf8(c.refusal);
        EXPECT_EQ(raised.raised, !refusal.isEmpty()) << raised.message.toStdString();
        if (raised.raised) {
            EXPECT_TRUE(raised.message.startsWith(refusal)) << raised.message.toStdString();
            EXPECT_EQ(Count("zorb_record"), 0);
            continue;
        }
        EXPECT_EQ(Text("select expense_name from zorb_record"), c.name);
        EXPECT_EQ(Text("select comment from zorb_record"), c.comment);
        Database().ExecuteNoRecords("delete from zorb_record");
    }
}

TEST_F(RecordTest, AZeroAmountOrAMissingTimeIsRefusedBeforeAnyStatement) {
    EXPECT_EQ(Raise([&] { records.AddRecord("新分类", "", 0, "", Time("2024-01-01"), 0); }).message, "金额不能为零。");
    EXPECT_EQ(Raise([&] { records.AddRecord("新分类", "", 5, "", Base_ns::DateTime_cl(), 0); }).message,
              "费用产生时间不能为空。");
    EXPECT_EQ(Raise([&] { records.AddRecord("新分类", "", 5, "", Time("2024-02-30"), 0); }).message,
              "费用产生时间不能为空。");
    EXPECT_EQ(Count("zorb_expense_type"), 11);
    EXPECT_EQ(Count("zorb_record"), 0);
}

TEST_F(RecordTest, TheSuperAdministratorBooksForAnotherUserOnHisBalance) {
    const int32_t bob = AddUser("bob", 2);
    records.AddRecord("饮食", "", -700, "", Time("2024-01-01"), 0, bob);
    EXPECT_EQ(SingleAccount(bob), -700);
    EXPECT_EQ(users.GetSingleAccount(), 0);
    EXPECT_EQ(users.GetPublicAccount(), -700);

    LoginAs("bob");
    const int32_t admin = users.FindUser("admin");
    EXPECT_EQ(Raise([&] { records.AddRecord("饮食", "", -700, "", Time("2024-01-01"), 0, admin); }).message,
              "只有超级管理员才能导入其它用户的费用记录，你只能导入自己的费用记录。");
    EXPECT_EQ(Count("zorb_record"), 1);
}

TEST_F(RecordTest, AlterRecordKeepsTheKindAndMovesTheBalancesByTheDifference) {
    const int32_t bob = AddUser("bob", 2);
    LoginAs("bob");
    const int32_t sn = Add("饮食", -300);
    LoginAs("admin");
    const Raised_st raised = Raise([&] { records.AlterRecord(sn, "饮食", "", 200, "", Time("2024-01-01"), 0); });
    EXPECT_TRUE(raised.system);
    EXPECT_EQ(raised.message, "不允许修改费用记录的收入/开销。");

    records.AlterRecord(sn, "交通", "地铁", -500, "改过", Time("2024-04-01 07:00:00"), 1);
    EXPECT_EQ(SingleAccount(bob), -500);
    EXPECT_EQ(users.GetSingleAccount(), 0);
    EXPECT_EQ(users.GetPublicAccount(), -500);
    const auto detail = records.GetRecord(sn);
    EXPECT_EQ(detail.typeName, "交通");
    EXPECT_EQ(detail.expenseName, "地铁");
    EXPECT_EQ(detail.comment, "改过");
    EXPECT_EQ(detail.statisticsMode, 1);
    EXPECT_EQ(detail.recordTime.Format(), "2024-04-01 07:00:00");
    EXPECT_EQ(Integer(QStringLiteral("select user_sn from zorb_record where sn = %1").arg(sn)), bob);
    EXPECT_EQ(Integer(QStringLiteral("select alter_sn from zorb_record where sn = %1").arg(sn)), users.GetCurrentUser());

    records.DeleteRecords(Sns({sn}));
    EXPECT_EQ(Raise([&] { records.AlterRecord(sn, "交通", "", -1, "", Time("2024-01-01"), 0); }).message,
              "该记录已经被删除。");
    EXPECT_EQ(Raise([&] { records.GetRecord(sn); }).message, "该记录已经被删除。");
}

TEST_F(RecordTest, DeleteRecordsLeavesOneRecyclerRowForTheWholeList) {
    const int32_t admin = users.GetCurrentUser();
    const int32_t bob = AddUser("bob", 2);
    // An earlier deletion, so that the recycler's serial number differs from the deleter's.
    records.DeleteRecords(Sns({Add("饮食", -1)}));
    const int32_t a = Add("饮食", -100), b = Add("交通", -200), c = Add("工资", 1000);
    LoginAs("bob");
    const int32_t his = Add("饮食", -40);
    LoginAs("admin");
    records.DeleteRecords(Sns({a, c, his, b}));
    EXPECT_EQ(Count("zorb_recycler"), 2);
    const int32_t recycler = Integer("select max(sn) from zorb_recycler");
    EXPECT_NE(recycler, admin);
    EXPECT_EQ(Text(QStringLiteral("select info from zorb_recycler where sn = %1").arg(recycler)), "删除费用记录。");
    EXPECT_EQ(Count("zorb_record", QStringLiteral("valid = '0' and recycler_sn = %1 and alter_sn = %2").arg(recycler).arg(admin)), 4);
    // Each entry leaves its owner's balance, never the deleter's.
    EXPECT_EQ(users.GetSingleAccount(), 0);
    EXPECT_EQ(SingleAccount(bob), 0);
    EXPECT_EQ(users.GetPublicAccount(), 0);
}

TEST_F(RecordTest, DeleteRecordsIsAllOrNothing) {
    const int32_t bob = AddUser("bob", 2);
    const int32_t mine = Add("饮食", -100);
    LoginAs("bob");
    const int32_t his = Add("饮食", -200);
    // One foreign entry spoils the list before anything changes.
    EXPECT_EQ(Raise([&] { records.DeleteRecords(Sns({his, mine})); }).message, "你没有权限删除其它用户的记录。");
    EXPECT_EQ(Count("zorb_record", "valid = '1'"), 2);
    EXPECT_EQ(Count("zorb_recycler"), 0);

    // The same entry twice is found deleted on its second turn: everything rolls back.
    EXPECT_EQ(Raise([&] { records.DeleteRecords(Sns({his, his})); }).message, "该记录已经被删除。");
    EXPECT_EQ(Count("zorb_record", "valid = '1'"), 2);
    EXPECT_EQ(Count("zorb_recycler"), 0);
    EXPECT_EQ(SingleAccount(bob), -200);
    EXPECT_EQ(users.GetPublicAccount(), -300);
}

TEST_F(RecordTest, ImportBooksEveryElementForItsOwner) {
    const int32_t bob = AddUser("bob", 3);
    Container_ns::List_tl<RecordInfo_st> list;
    list.Append(Info("bob", -100, "新分类"));
    list.Append(Info("admin", 250, "新分类"));
    list.Append(Info("bob", -30, "新分类"));
    list.Append(Info("admin", 7, ""));
    list.Append(Info("bob", -7, ""));
    records.ImportRecords(list);
    EXPECT_EQ(SingleAccount(bob), -137);
    EXPECT_EQ(users.GetSingleAccount(), 257);
    EXPECT_EQ(users.GetPublicAccount(), 120);
    // Each name and kind is one category, however often the import names it.
    EXPECT_EQ(Count("zorb_expense_type", "type_name = '新分类'"), 2);
    EXPECT_EQ(Integer("select count(distinct type_sn) from zorb_record"), 4);
    EXPECT_EQ(Count("zorb_record", "type_sn = (select sn from zorb_expense_type where type_name = '新分类' and kind = '0')"), 2);
    EXPECT_EQ(Count("zorb_expense_type", "type_name in ('收入', '开销')"), 2);
    EXPECT_EQ(Count("zorb_record", "statistics_mode = '1' and comment = '批量' and expense_name = '导入'"), 5);
}

TEST_F(RecordTest, AFailingElementRollsBackTheWholeImport) {
    AddUser("bob", 1);
    AddUser("carol", 2);
    LoginAs("bob");
    Container_ns::List_tl<RecordInfo_st> list;
    list.Append(Info("bob", -100, "新分类"));
    list.Append(Info("bob", 300, "另一类"));
    list.Append(Info("carol", -100));
    Raised_st raised = Raise([&] { records.ImportRecords(list); });
    EXPECT_EQ(raised.message, "只有超级管理员才能导入其它用户的费用记录，你只能导入自己的费用记录。");
    EXPECT_EQ(raised.remark, "carol");
    EXPECT_EQ(Count("zorb_record"), 0);
    EXPECT_EQ(Count("zorb_expense_type"), 11);
    EXPECT_EQ(users.GetSingleAccount(), 0);
    EXPECT_EQ(users.GetPublicAccount(), 0);

    list.Clear();
    list.Append(Info("bob", -100, "新分类"));
    list.Append(Info("nobody", -100));
    raised = Raise([&] { records.ImportRecords(list); });
    EXPECT_EQ(raised.message, "该用户名没有注册。");
    EXPECT_EQ(raised.remark, "nobody");

    list.Clear();
    list.Append(Info("bob", -100, "新分类"));
    list.Append(Info("bob", 0));
    EXPECT_EQ(Raise([&] { records.ImportRecords(list); }).message, "金额不能为零。");
    EXPECT_EQ(Count("zorb_record") + Count("zorb_expense_type", "type_name = '新分类'"), 0);
    EXPECT_EQ(users.GetSingleAccount(), 0);
}

TEST_F(RecordTest, ListsAreNewestFirstWithinInclusiveBounds) {
    AddUser("bob", 2);
    Add("饮食", -100, "2024-03-01 00:00:00");
    Add("工资", 900, "2024-03-31 23:59:59");
    Add("饮食", -50, "2024-04-01 00:00:00");
    LoginAs("bob");
    Add("交通", -20, "2024-03-10 09:00:00");
    const auto begin = Time("2024-03-01"), end = Time("2024-03-31 23:59:59");

    const auto mine = records.GetRecords(false, "", begin, end);
    ASSERT_EQ(mine.Count(), 1);
    EXPECT_EQ(mine[0].userName, "bob");
    EXPECT_EQ(mine[0].typeName, "交通");

    const auto all = records.GetRecords(true, "", begin, end);
    ASSERT_EQ(all.Count(), 3);
    EXPECT_EQ(all[0].expense, 900);
    EXPECT_EQ(all[0].recordTime.Format(), "2024-03-31 23:59:59");
    EXPECT_EQ(all[1].expense, -20);
    EXPECT_EQ(all[2].expense, -100);
    EXPECT_EQ(all[2].expenseName, "名称");
    EXPECT_EQ(all[2].comment, "注释");
    EXPECT_EQ(all[2].statisticsMode, 0);

    EXPECT_EQ(records.GetRecords(false, "admin", begin, end).Count(), 2);
    EXPECT_EQ(records.GetRecords(false, "nobody", begin, end).Count(), 0);
}

// A list read in pieces is the list read whole, whatever the piece: pieces that end
// within a second, a second longer than a piece, a piece longer than the list.
TEST_F(RecordTest, AListReadInPiecesIsTheListReadWhole) {
    AddUser("bob", 2);
    const struct {
        const char* type;
        int32_t expense;
        const char* time;
        const char* comment;
    } entries[] = {{"饮食", -100, "2024-03-05 12:30:00", "早饭"}, {"交通", -20, "2024-03-05 12:30:00", ""},
                   {"工资", 900, "2024-03-05 12:30:00", "三月"},  {"饮食", -7, "2024-03-05 12:30:00", "早饭"},
                   {"饮食", -35, "2024-03-04 08:00:00", "午饭"},  {"交通", -5, "2024-03-04 08:00:00", ""},
                   {"工资", 10, "2024-03-01 00:00:00", "利息"}};
    for (int32_t i = 0; i < int32_t(std::size(entries)); ++i) {
        if (i == 3) LoginAs("bob");
        records.AddRecord(QString::fromUtf8(entries[i].type), QString::fromUtf8(entries[i].type) + QString::number(i),
                          entries[i].expense, QString::fromUtf8(entries[i].comment), Time(entries[i].time), i % 3);
    }
    LoginAs("admin");
    const auto begin = Time("2024-03-01"), end = Time("2024-03-31 23:59:59");
    const auto whole = records.GetRecords(true, "", begin, end);
    ASSERT_EQ(whole.Count(), int32_t(std::size(entries)));
    for (const int32_t piece : {1, 2, 3, 5, 100}) {
        SCOPED_TRACE(piece);
        const Vorelle_ns::RecordList_cl list = records.GetRecordList(true, "", begin, end, {}, piece);
        ASSERT_EQ(list.Count(), whole.Count());
        for (int32_t i = 0; i < list.Count(); ++i) {
            const Vorelle_ns::RecordRow_st row = list.Row(i);
            EXPECT_EQ(list.Sn(i), whole[i].sn);
            EXPECT_EQ(row.sn, whole[i].sn);
            EXPECT_EQ(row.recordTime.Format(), whole[i].recordTime.Format());
            EXPECT_EQ(row.typeName, whole[i].typeName);
            EXPECT_EQ(row.expenseName, whole[i].expenseName);
            EXPECT_EQ(row.expense, whole[i].expense);
            EXPECT_EQ(row.userName, whole[i].userName);
            EXPECT_EQ(row.statisticsMode, whole[i].statisticsMode);
            EXPECT_EQ(row.comment, whole[i].comment);
        }
    }
}

TEST_F(RecordTest, TypeSumsPutExpensesFirst) {
    Add("工资", 900);
    Add("交通", -20);
    Add("饮食", -100);
    Add("饮食", -30);
    // Both ends of the range count, to the second (imported entries sit at midnight).
    Add("饮食", -1000, "2024-03-01 00:00:00");
    Add("饮食", -2000, "2024-03-31 23:59:59");
    Add("饮食", -5000, "2024-02-29 23:59:59");
    Add("饮食", -7000, "2024-04-01 00:00:00");
    const auto sums = records.GetTypeSums(false, "", Time("2024-03-01"), Time("2024-03-31 23:59:59"));
    ASSERT_EQ(sums.Count(), 3);
    EXPECT_EQ(sums[0].typeName, "饮食");
    EXPECT_EQ(sums[0].sum, -3130);
    EXPECT_EQ(sums[1].typeName, "交通");
    EXPECT_EQ(sums[2].typeName, "工资");
    EXPECT_EQ(sums[2].sum, 900);
    EXPECT_EQ(records.GetTypeSums(true, "", Time("2023-01-01"), Time("2023-12-31")).Count(), 0);
}

using TemplateTest = FinanceTest;

TEST_F(TemplateTest, IdenticalTemplatesAreKeptOnce) {
    records.AddTemplate(false, "饮食", "早饭", -500, "", 0);
    records.AddTemplate(false, "饮食", "早饭", -500, "", 0);
    EXPECT_EQ(Count("zorb_record_template"), 1);
    records.AddTemplate(false, "饮食", "早饭", -500, "豆浆", 0);
    records.AddTemplate(false, "", "", 0, "", 5);
    const auto list = records.GetTemplates(false);
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list[0].expenseName, "早饭");
    EXPECT_EQ(list[1].comment, "豆浆");
    EXPECT_EQ(list[2].statisticsMode, 2);
    EXPECT_EQ(list[2].expense, 0);
    EXPECT_EQ(records.GetTemplates(true).Count(), 0);
    EXPECT_EQ(Count("zorb_expense_type"), 11);
}

TEST_F(TemplateTest, KindAndSignMustAgree) {
    Raised_st raised = Raise([&] { records.AddTemplate(false, "饮食", "", 5, "", 0); });
    EXPECT_TRUE(raised.system);
    EXPECT_EQ(raised.message, "费用模板中开销/收入信息与金额不一致。");
    EXPECT_TRUE(Raise([&] { records.AddTemplate(true, "工资", "", -5, "", 0); }).raised);
    EXPECT_EQ(Count("zorb_record_template"), 0);
}

TEST_F(TemplateTest, DeleteTemplateWritesItsRecyclerRow) {
    records.AddTemplate(true, "工资", "奖金", 100, "", 1);
    const int32_t sn = records.GetTemplates(true)[0].sn;
    records.DeleteTemplate(sn);
    EXPECT_EQ(Text("select info from zorb_recycler"), "删除费用模板。");
    EXPECT_EQ(Integer("select recycler_sn from zorb_record_template"), Integer("select sn from zorb_recycler"));
    // Deleting it again changes nothing and leaves no second recycler row.
    EXPECT_EQ(Raise([&] { records.DeleteTemplate(sn); }).message, "删除费用模板失败。");
    EXPECT_EQ(Count("zorb_recycler"), 1);
}

using UserDataTest = FinanceTest;

TEST_F(UserDataTest, RemovingAUsersDataTakesItsSumOffTheAccounts) {
    const int32_t bob = AddUser("bob", 2);
    LoginAs("bob");
    records.AddRecord("饮食", "", -100, "", Time("2024-01-01"), 0);
    records.AddRecord("工资", "", 1000, "", Time("2024-01-02"), 0);
    records.AddTemplate(false, "饮食", "", -1, "", 0);
    LoginAs("admin");
    records.AddRecord("饮食", "", -5, "", Time("2024-01-02"), 0);
    EXPECT_EQ(records.CountUserRecords(bob), 2);

    const int32_t recycler = records.NewRecycler("删除用户。");
    records.DeleteUserTemplates(bob, recycler);
    records.DeleteUserRecords(bob, recycler);
    EXPECT_EQ(records.CountUserRecords(bob), 0);
    EXPECT_EQ(Count("zorb_record", QStringLiteral("recycler_sn = %1").arg(recycler)), 2);
    EXPECT_EQ(Count("zorb_record_template", QStringLiteral("valid = '0' and recycler_sn = %1").arg(recycler)), 1);
    EXPECT_EQ(SingleAccount(bob), 0);
    EXPECT_EQ(users.GetPublicAccount(), -5);
    EXPECT_EQ(Raise([&] { records.DeleteUserRecords(bob, recycler); }).message, "删除指定用户的费用记录失败。");
}

// An import leaves the entries, categories and balances exactly as booking its entries one
// by one does, and refuses where that would: a balance passing beyond 32 bits on the way.
TEST_F(RecordTest, ImportEndsWhereEntryByEntryAddingEnds) {
    const int32_t bob = AddUser("bob", 2);
    const auto mixed = [](int32_t count) {
        Container_ns::List_tl<RecordInfo_st> list;
        const char* const types[] = {"饮食", "新分类", "", "工资", "奖金"};
        for (int32_t i = 0; i < count; ++i) {
            const int32_t type = i * 7 % 5;
            list.Append(Info(i % 3 == 0 ? "bob" : "admin", (type >= 3 ? 1 : -1) * (100 + i * 37 % 9000), types[type]));
        }
        return list;
    };
    const auto two = [](int32_t first, int32_t second) {
        Container_ns::List_tl<RecordInfo_st> list;
        list.Append(Info("bob", first));
        list.Append(Info("bob", second, "工资"));
        return list;
    };
    struct Case_st {
        const char* name;
        int32_t publicStart, bobStart;
        Container_ns::List_tl<RecordInfo_st> list;
    };
    const Case_st cases[] = {
        {"several statements' worth", 5000, -700, mixed(450)},
        {"public passes the top, then comes back", 2147000000, 0, two(600000, -900000)},
        {"own balance passes the bottom", 0, -2147000000, two(-600000, 900000)},
        {"a balance at the very top", 2147483000, 0, two(-1000, 1647)},
    };
    // What the book holds: balances, then every entry with its category by name and kind.
    const auto state = [&] {
        QString text = QStringLiteral("%1 %2 %3 %4|")
                           .arg(users.GetPublicAccount())
                           .arg(Integer("select max(public_account) - min(public_account) from zorb_user"))
                           .arg(SingleAccount(bob))
                           .arg(SingleAccount(users.GetCurrentUser()));
        DB_ns::SimpleOutRecords_cl rows;
        const int32_t count = Database().Query(
            QStringLiteral("select zorb_record.user_sn,zorb_expense_type.type_name,zorb_expense_type.kind,expense_name,"
                           "expense,comment,statistics_mode,record_time from zorb_record,zorb_expense_type where "
                           "zorb_expense_type.sn = zorb_record.type_sn and zorb_record.valid = '1' order by zorb_record.sn"),
            rows);
        for (int32_t i = 0; i < count; ++i, rows.MoveNext()) {
            for (int32_t j = 0; j < 8; ++j) {
                QString cell;
                if (j == 0 || j == 4) cell = QString::number(rows.GetInteger());
                else rows.GetString(cell);
                text += cell + u',';
            }
        }
        return text + QString::number(Count("zorb_expense_type"));
    };
    for (const Case_st& c : cases) {
        SCOPED_TRACE(c.name);
        users.SetPublicAccount(c.publicStart);
        Database().ExecuteNoRecords(QStringLiteral("update zorb_user set public_account = %1").arg(c.publicStart));
        Database().ExecuteNoRecords(QStringLiteral("update zorb_user set single_account = %1 where sn = %2").arg(c.bobStart).arg(bob));
        const QString before = state();
        QString byEntry;
        Raised_st refused;
        {
            DB_ns::BeginTrans_cl undo(&Database());  // never committed: the book goes back
            refused = Raise([&] {
                for (auto id = c.list.First(); !id.IsEmpty(); id.Next()) {
                    const RecordInfo_st& info = id.Get();
                    records.AddRecord(info.typeName, info.expenseName, info.expense, info.comment, info.recordTime,
                                      info.statisticsMode, users.FindUser(info.userName));
                }
            });
            byEntry = refused.raised ? before : state();
        }
        ASSERT_EQ(state(), before);
        const Raised_st imported = Raise([&] { records.ImportRecords(c.list); });
        EXPECT_EQ(imported.message.toStdString(), refused.message.toStdString()) << imported.remark.toStdString();
        EXPECT_EQ(state().toStdString(), byEntry.toStdString());
        Database().ExecuteNoRecords(QStringLiteral("delete from zorb_record"));
    }
}
