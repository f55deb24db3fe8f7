#pragma once

#include "Data/Budget.h"
#include "Window/ConvertInfo.h"
#include "base/DateTime.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace Vorelle_ns {

// The budget's figures as texts, for the page, the command line's report and its CSV
// alike, so that they never disagree. Amounts as money texts ("487.5", "0", "-150");
// spent is positive, left negative when overspent.
class BudgetText_cl {
public:
    // The month: "分类,预算,上月结转,已用,剩余" and one row per category with a plan,
    // expense categories first. A year: "分类,预算,上年结转", the twelve months' spending,
    // "按年统计" (yearly-mode entries), "已用" and "剩余".
    // The amounts as the command line and the files write them, or with two decimals on
    // screen.
    using Decimals_en = ConvertInfo_cl::Decimals_en;
    [[nodiscard]] static QList<QStringList> Rows(const BudgetView_st& view, Decimals_en decimals = Decimals_en::Needed);
    // The rows of the same layout that add up the expense categories ("【支出合计】") and
    // the income ones ("【收入合计】"), each when there is any.
    [[nodiscard]] static QList<QStringList> TotalRows(const BudgetView_st& view,
                                                      Decimals_en decimals = Decimals_en::Needed);
    // "用户,预算,已用,剩余" and one row per person with a plan.
    [[nodiscard]] static QList<QStringList> PeopleRows(const BudgetView_st& view,
                                                       Decimals_en decimals = Decimals_en::Needed);
    // What a booking leaves of the category's month: "饮食本月还剩 ¥123.40" or
    // "饮食本月已超出 ¥20.00".
    [[nodiscard]] static QString Notice(const BudgetLine_st& line);
    // The notice after booking an entry: an expense in the month's statistics, in a
    // category with a plan; empty for any other. The logged-in user's view of the month.
    [[nodiscard]] static QString BookingNotice(Budget_cl& budget, const QString& category, bool income,
                                               const Base_ns::DateTime_cl& time, int32_t statisticsMode);

    // How far spending has got into what was available (plan and carried in): Fine below
    // 80 %, Near from 80 % to 100 %, Over past it. percent is rounded down, 0 when nothing
    // was available and nothing spent.
    enum class Level_en { Fine, Near, Over };
    [[nodiscard]] static Level_en Level(int64_t spent, int64_t available, int32_t& percent);
};

}  // namespace Vorelle_ns
