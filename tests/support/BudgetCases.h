#pragma once

#include "DB/BeginTrans.h"
#include "DB/IDatabase.h"
#include "Data/Budget.h"
#include "Data/RecordManage.h"
#include "Data/RecycleBin.h"
#include "Data/UserManage.h"

#include <cstdint>
#include <optional>
#include <ostream>
#include <vector>

// The budget cases whose figures the data layer, the command line and the page must all
// give alike. Users: "admin" (super administrator), "小李" (normal), "小王" (independent).
struct BudgetPlan_st {
    const char* category;
    int32_t cents;
    const char* rolloverFrom;  // "YYYY-MM", or nullptr for none
};

struct BudgetEntry_st {
    const char* time;
    const char* category;
    int32_t cents;  // < 0 spent
    int32_t mode;   // 0 monthly, 1 yearly
    const char* owner;
};

struct BudgetCase_st {
    const char* name;
    std::vector<BudgetPlan_st> plans;
    std::vector<BudgetEntry_st> entries;
    const char* viewer;
    const char* period;  // "YYYY-MM", or "YYYY" for the year
    const char* rows;    // the CSV rows after the header
    // The person rows "name,plan,spent,left", each ending with '\n'. When there are any,
    // 小李 plans 300 a month and 小王 200; else nobody has a plan.
    const char* people;
    // 饮食 (all the case's entries, each amount booked once) and 小李 deleted and
    // restored before looking.
    bool deleteAndRestore = false;
};

inline void PrintTo(const BudgetCase_st& c, std::ostream* os) { *os << c.name; }

inline const std::vector<BudgetCase_st>& BudgetCases() {
    static const std::vector<BudgetCase_st> cases = {
        {"NoPlan", {{"交通", 10000, nullptr}}, {{"2026-03-05 12:00:00", "饮食", -30000, 0, "admin"}}, "admin",
         "2026-03", "交通,100,0,0,100\n", ""},
        {"PlanMetExactly",
         {{"饮食", 50000, nullptr}, {"工资", 800000, nullptr}},
         {{"2026-03-01 08:00:00", "饮食", -30000, 0, "admin"},
          {"2026-03-31 23:59:59", "饮食", -20000, 0, "小李"},
          {"2026-04-01 00:00:00", "饮食", -99900, 0, "admin"},
          {"2026-03-10 09:00:00", "工资", 800000, 0, "admin"}},
         "admin", "2026-03", "饮食,500,0,500,0\n工资,8000,0,8000,0\n", ""},
        {"Over",
         {{"饮食", 50000, nullptr}},
         {{"2026-03-02 12:00:00", "饮食", -45000, 0, "admin"}, {"2026-03-03 12:00:00", "饮食", -20000, 0, "小李"}},
         "admin", "2026-03", "饮食,500,0,650,-150\n", ""},
        {"RolloverOverspentMiddleMonth",
         {{"饮食", 50000, "2026-01"}},
         {{"2026-01-10 12:00:00", "饮食", -30000, 0, "admin"},
          {"2026-02-10 12:00:00", "饮食", -90000, 0, "admin"},
          {"2026-03-10 12:00:00", "饮食", -10000, 0, "admin"},
          {"2025-12-10 12:00:00", "饮食", -77700, 0, "admin"}},
         "admin", "2026-03", "饮食,500,-200,100,200\n", ""},
        {"RolloverFromMidYear",
         {{"饮食", 50000, "2026-07"}},
         {{"2026-01-10 12:00:00", "饮食", -10000, 0, "admin"},
          {"2026-06-10 12:00:00", "饮食", -60000, 0, "admin"},
          {"2026-07-10 12:00:00", "饮食", -45000, 0, "admin"},
          {"2026-08-10 12:00:00", "饮食", -50000, 0, "admin"}},
         "admin", "2026-08", "饮食,500,50,500,50\n", ""},
        {"YearlyModeEntriesInTheYear",
         {{"饮食", 50000, nullptr}},
         {{"2026-03-10 12:00:00", "饮食", -20000, 0, "admin"},
          {"2026-03-11 12:00:00", "饮食", -120000, 1, "admin"},
          {"2026-12-31 12:00:00", "饮食", -5050, 0, "小李"},
          {"2027-01-01 00:00:00", "饮食", -99900, 1, "admin"}},
         "admin", "2026", "饮食,6000,0,0,0,200,0,0,0,0,0,0,0,0,50.5,1200,1450.5,4549.5\n", ""},
        {"YearlyModeEntriesNotInTheMonth",
         {{"饮食", 50000, nullptr}},
         {{"2026-03-10 12:00:00", "饮食", -20000, 0, "admin"}, {"2026-03-11 12:00:00", "饮食", -120000, 1, "admin"}},
         "admin", "2026-03", "饮食,500,0,200,300\n", ""},
        {"DeletedAndRestored",
         {{"饮食", 50000, "2026-02"}},
         {{"2026-02-10 12:00:00", "饮食", -40000, 0, "admin"}, {"2026-03-10 12:00:00", "饮食", -12000, 0, "admin"}},
         "admin", "2026-03", "饮食,500,100,120,480\n", "小李,300,0,300\n小王,200,0,200\n", true},
        {"AloneUserSeesHisOwn",
         {{"饮食", 50000, nullptr}},
         {{"2026-03-10 12:00:00", "饮食", -30000, 0, "admin"}, {"2026-03-11 12:00:00", "饮食", -5000, 0, "小王"}},
         "小王", "2026-03", "", "小王,200,50,150\n"},
        // The family's plans are not his: with rollover, his own spending alone would
        // carry a remainder that nobody has.
        {"AloneUserSeesNoFamilyRollover",
         {{"饮食", 50000, "2026-02"}},
         {{"2026-02-10 12:00:00", "饮食", -40000, 0, "admin"}, {"2026-03-11 12:00:00", "饮食", -880, 0, "小王"}},
         "小王", "2026-03", "", "小王,200,8.8,191.2\n"},
        {"PeopleOverTheYear",
         {{"饮食", 50000, nullptr}},
         {{"2026-03-10 12:00:00", "饮食", -5000, 0, "小李"},
          {"2026-05-10 12:00:00", "饮食", -10000, 1, "小李"},
          {"2025-12-31 12:00:00", "饮食", -7700, 0, "小李"}},
         "admin", "2026", "饮食,6000,0,0,0,50,0,0,0,0,0,0,0,0,0,100,150,5850\n",
         "小李,3600,150,3450\n小王,2400,0,2400\n"},
    };
    return cases;
}

// A period "YYYY-MM" or "YYYY" of a case, read by the budget.
inline Vorelle_ns::BudgetView_st BudgetCaseView(Vorelle_ns::Budget_cl& budget, const char* period) {
    const QString text = QString::fromUtf8(period);
    if (text.size() == 4) return budget.GetYear(text.toInt());
    return budget.GetMonth(text.left(4).toInt(), text.mid(5).toInt());
}

// Books the case as the logged-in super administrator, whose name stands for "admin":
// entries, plans, and the deletion and restoring. False when a deleted category still
// showed.
inline bool BookBudgetCase(const BudgetCase_st& c, const QString& superName, Vorelle_ns::UserManage_cl& users,
                           Vorelle_ns::RecordManage_cl& records, Vorelle_ns::RecycleBin_cl& bin) {
    const auto owner = [&](const char* name) {
        return users.FindUser(QString::fromUtf8(name) == "admin" ? superName : QString::fromUtf8(name));
    };
    for (const BudgetEntry_st& entry : c.entries) {
        records.AddRecord(QString::fromUtf8(entry.category), QStringLiteral("名称"), entry.cents, QString(),
                          Base_ns::DateTime_cl::Parse(QString::fromUtf8(entry.time)), entry.mode, owner(entry.owner));
    }
    Vorelle_ns::Budget_cl budget(users);
    for (const BudgetPlan_st& plan : c.plans) {
        std::optional<Vorelle_ns::Rollover_st> rollover;
        if (plan.rolloverFrom != nullptr) {
            const QString from = QString::fromUtf8(plan.rolloverFrom);
            rollover = Vorelle_ns::Rollover_st{true, Vorelle_ns::MonthKey(from.left(4).toInt(), from.mid(5).toInt())};
        }
        budget.SetTypePlan(QString::fromUtf8(plan.category), plan.cents, rollover);
    }
    if (*c.people != '\0') {
        budget.SetUserPlan(QStringLiteral("小李"), 30000);
        budget.SetUserPlan(QStringLiteral("小王"), 20000);
    }
    if (!c.deleteAndRestore) return true;
    // 饮食 goes as a category does, its entries first; 小李 as a user does.
    DB_ns::IDatabase_cl& database = users.GetDatabase();
    Container_ns::List_tl<int32_t> food;
    for (const BudgetEntry_st& entry : c.entries) {
        int32_t sn = 0;
        database.QueryCount(QStringLiteral("select sn from zorb_record where expense = %1").arg(entry.cents), sn);
        food.Append(sn);
    }
    records.DeleteRecords(food);
    database.ExecuteNoRecords(QStringLiteral("update zorb_expense_type set valid = '0' where type_name = '饮食'"));
    const int32_t li = users.FindUser(QStringLiteral("小李"));
    {
        DB_ns::BeginTrans_cl transaction(&database);
        users.RemoveUser(li, records.NewRecycler(QStringLiteral("删除用户。")));
        transaction.Commit();
    }
    const bool gone = BudgetCaseView(budget, c.period).lines.empty();
    bin.RestoreRecords(food);
    bin.RestoreUser(li);
    return gone;
}
