#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace Vorelle_ns {

class UserManage_cl;

// A month as one number: year * 12 + month - 1, so that months count on across years.
[[nodiscard]] inline int32_t MonthKey(int32_t year, int32_t month) { return year * 12 + month - 1; }

// Whether what is left of a category's month carries into the next one, and from which
// month on (a MonthKey).
struct Rollover_st {
    bool on = false;
    int32_t from = 0;
};

// One category with a plan, over a month or a year. Amounts in hundredths; spent is
// positive (an income category: what came in).
struct BudgetLine_st {
    int32_t typeSn = 0;
    QString typeName;
    bool income = false;
    int32_t monthlyPlan = 0;
    Rollover_st rollover;
    int64_t plan = 0;     // the month's plan, or twelve of them in a year
    int64_t carried = 0;  // left over from the months before, from the rollover's month on
    int64_t spent = 0;
    // A year only: monthly-mode entries per month, and the yearly-mode ones; spent is
    // their sum.
    std::array<int64_t, 12> months{};
    int64_t yearly = 0;

    [[nodiscard]] int64_t Left() const { return plan + carried - spent; }
};

// One user with a plan of his own: what he spent in all expense categories.
struct PersonBudget_st {
    int32_t userSn = 0;
    QString userName;
    int64_t plan = 0;
    int64_t spent = 0;

    [[nodiscard]] int64_t Left() const { return plan - spent; }
};

// The budget of one month or one year, as the logged-in user may see it: everybody's
// spending, or an independent user's own.
struct BudgetView_st {
    int32_t year = 0;
    int32_t month = 0;  // 1 to 12; 0 for a year
    std::vector<BudgetLine_st> lines;  // expense categories first, each kind by serial number
    std::vector<PersonBudget_st> people;
};

// The monthly plans of categories (zorb_expense_type.monthly_plan) and of users
// (zorb_user.monthly_plan), in hundredths, NULL for none; the rollover of a category in a
// table of its own, zorb_budget_rollover, made on first use, so that the finance tables
// stay as older copies of the program know them. A plan never touches a balance, and a
// deleted category or user keeps it. Spending counts as the statistics pages count it:
// monthly-mode entries in a month; in a year, yearly-mode ones too. Rollover carries
// monthly-mode spending only, so a month's figures never depend on the year view.
class Budget_cl {
public:
    explicit Budget_cl(UserManage_cl& userManage) : userManage(userManage) {}

    static QString ClassName() { return QStringLiteral("Budget_cl"); }

    // Administrators only. cents > 0; rollover unchanged when not given. The category is
    // the expense one of that name, else the income one.
    void SetTypePlan(const QString& typeName, int32_t cents, const std::optional<Rollover_st>& rollover = {});
    // Removes the plan and the rollover.
    void ClearTypePlan(const QString& typeName);
    // The super administrator, or the user himself. cents > 0, or none to clear it.
    void SetUserPlan(const QString& userName, std::optional<int32_t> cents);

    // Whether the logged-in user sees only his own spending (an independent user): he is
    // then shown his own plan, never the family's category plans.
    [[nodiscard]] bool OwnOnly();

    // The monthly plan of each expense category that has one, by name; none for an
    // independent user.
    [[nodiscard]] std::vector<std::pair<QString, int32_t>> GetExpensePlans();

    // One grouped scan of the entries for the whole view.
    [[nodiscard]] BudgetView_st GetMonth(int32_t year, int32_t month);
    [[nodiscard]] BudgetView_st GetYear(int32_t year);

private:
    BudgetView_st Build(int32_t year, int32_t month);
    // The valid category of that name, its serial number; raises when there is none.
    int32_t FindType(const QString& typeName);
    void WriteRollover(int32_t typeSn, const std::optional<Rollover_st>& rollover, bool clear);
    std::vector<std::pair<int32_t, Rollover_st>> ReadRollovers();

    UserManage_cl& userManage;
};

}  // namespace Vorelle_ns
