#include "CrosstabText.h"

#include "Window/ConvertInfo.h"

namespace Vorelle_ns {

QList<QStringList> CrosstabText_cl::Build(const CrosstabFigures_cl& figures, ConvertInfo_cl::Decimals_en decimals) {
    const int32_t periods = figures.PeriodCount();
    QList<QStringList> rows;
    QStringList header{QStringLiteral("分类")};
    for (int32_t j = 0; j < periods; ++j) header.append(figures.Period(j));
    rows.append(header);
    for (int32_t i = 0; i < figures.CategoryCount(); ++i) {
        QStringList texts{figures.Category(i)};
        for (int32_t j = 0; j < periods; ++j) texts.append(ConvertInfo_cl::MoneyToText(figures.Cell(i, j), decimals));
        rows.append(texts);
    }
    const auto addTotal = [&](const QString& caption, int64_t (CrosstabFigures_cl::*total)(int32_t) const) {
        QStringList texts{caption};
        for (int32_t j = 0; j < periods; ++j) texts.append(ConvertInfo_cl::MoneyToText((figures.*total)(j), decimals));
        rows.append(texts);
    };
    if (figures.AnyExpense()) addTotal(QStringLiteral("【总计开销】"), &CrosstabFigures_cl::Expense);
    if (figures.AnyIncome()) addTotal(QStringLiteral("【总计收入】"), &CrosstabFigures_cl::Income);
    if (figures.AnyExpense() && figures.AnyIncome()) addTotal(QStringLiteral("【结余】"), &CrosstabFigures_cl::Balance);
    return rows;
}

}  // namespace Vorelle_ns
