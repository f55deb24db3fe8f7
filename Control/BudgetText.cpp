#include "Control/BudgetText.h"

#include "Window/ConvertInfo.h"

#include <algorithm>

namespace Vorelle_ns {

namespace {

using Decimals_en = ConvertInfo_cl::Decimals_en;

QStringList Header(const BudgetView_st& view) {
    if (view.month != 0) {
        return {QStringLiteral("分类"), QStringLiteral("预算"), QStringLiteral("上月结转"), QStringLiteral("已用"),
                QStringLiteral("剩余")};
    }
    QStringList header{QStringLiteral("分类"), QStringLiteral("预算"), QStringLiteral("上年结转")};
    for (int32_t month = 1; month <= 12; ++month) header.append(QString::number(month) + QStringLiteral("月"));
    header << QStringLiteral("按年统计") << QStringLiteral("已用") << QStringLiteral("剩余");
    return header;
}

QStringList Row(const QString& caption, const BudgetLine_st& line, bool year, Decimals_en decimals) {
    const auto Money = [decimals](int64_t amount) { return ConvertInfo_cl::MoneyToText(amount, decimals); };
    QStringList row{caption, Money(line.plan), Money(line.carried)};
    if (year) {
        for (const int64_t spent : line.months) row.append(Money(spent));
        row.append(Money(line.yearly));
    }
    row << Money(line.spent) << Money(line.Left());
    return row;
}

}  // namespace

QList<QStringList> BudgetText_cl::Rows(const BudgetView_st& view, Decimals_en decimals) {
    QList<QStringList> rows{Header(view)};
    for (const BudgetLine_st& line : view.lines) rows.append(Row(line.typeName, line, view.month == 0, decimals));
    return rows;
}

QList<QStringList> BudgetText_cl::TotalRows(const BudgetView_st& view, Decimals_en decimals) {
    QList<QStringList> rows;
    for (const bool income : {false, true}) {
        BudgetLine_st total;
        bool any = false;
        for (const BudgetLine_st& line : view.lines) {
            if (line.income != income) continue;
            any = true;
            total.plan += line.plan;
            total.carried += line.carried;
            total.spent += line.spent;
            total.yearly += line.yearly;
            for (size_t i = 0; i < line.months.size(); ++i) total.months[i] += line.months[i];
        }
        if (any)
            rows.append(Row(income ? QStringLiteral("【收入合计】") : QStringLiteral("【支出合计】"), total,
                            view.month == 0, decimals));
    }
    return rows;
}

QList<QStringList> BudgetText_cl::PeopleRows(const BudgetView_st& view, Decimals_en decimals) {
    const auto Money = [decimals](int64_t amount) { return ConvertInfo_cl::MoneyToText(amount, decimals); };
    QList<QStringList> rows{{QStringLiteral("用户"), QStringLiteral("预算"), QStringLiteral("已用"), QStringLiteral("剩余")}};
    for (const PersonBudget_st& person : view.people)
        rows.append({person.userName, Money(person.plan), Money(person.spent), Money(person.Left())});
    return rows;
}

QString BudgetText_cl::Notice(const BudgetLine_st& line) {
    const int64_t left = line.Left();
    if (left < 0) return line.typeName + QStringLiteral("本月已超出 ¥") + ConvertInfo_cl::MoneyToText(-left, ConvertInfo_cl::Decimals_en::Two);
    return line.typeName + QStringLiteral("本月还剩 ¥") + ConvertInfo_cl::MoneyToText(left, ConvertInfo_cl::Decimals_en::Two);
}

QString BudgetText_cl::BookingNotice(Budget_cl& budget, const QString& category, bool income,
                                     const Base_ns::DateTime_cl& time, int32_t statisticsMode) {
    if (income || statisticsMode != 0 || !time.IsValid()) return QString();
    if (budget.OwnOnly()) {
        // His own plan against his own spending; the view holds no other person.
        const BudgetView_st month = budget.GetMonth(time.Year(), time.Month());
        if (month.people.empty()) return QString();
        const int64_t left = month.people.front().Left();
        return (left < 0 ? QStringLiteral("个人预算本月已超出 ¥") : QStringLiteral("个人预算本月还剩 ¥")) +
               ConvertInfo_cl::MoneyToText(left < 0 ? -left : left, ConvertInfo_cl::Decimals_en::Two);
    }
    // The plans are a short read; the month's figures are worked out only for a planned category.
    const auto plans = budget.GetExpensePlans();
    if (std::none_of(plans.begin(), plans.end(), [&](const auto& plan) { return plan.first == category; }))
        return QString();
    const BudgetView_st month = budget.GetMonth(time.Year(), time.Month());
    for (const BudgetLine_st& line : month.lines) {
        if (!line.income && line.typeName == category) return Notice(line);
    }
    return QString();
}

BudgetText_cl::Level_en BudgetText_cl::Level(int64_t spent, int64_t available, int32_t& percent) {
    if (available <= 0) {
        percent = spent > 0 ? 999 : 0;
        return spent > 0 ? Level_en::Over : Level_en::Fine;
    }
    // Rounded to the nearest whole percent: 100.7 % is shown as 101 %, never as 100 % in red.
    percent = int32_t(std::clamp<int64_t>((spent * 200 + available) / (available * 2), 0, 999));
    if (spent > available) return Level_en::Over;
    return spent * 5 >= available * 4 ? Level_en::Near : Level_en::Fine;
}

}  // namespace Vorelle_ns
