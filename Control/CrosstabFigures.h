#pragma once

#include "DB/SimpleOutRecords.h"
#include "base/DateTime.h"
#include "base/Trusteeship.h"

#include <QString>
#include <cstdint>

namespace Vorelle_ns {

// The figures of one statistics crosstab, worked out once for the table and the charts
// alike, so that the two never disagree: each category's signed sum per period, and per
// period the expense (negative unless refunds outweigh it), the income and the balance.
// Each category also gets a colour of its own, the same in every chart drawn from it.
class CrosstabFigures_cl {
public:
    explicit CrosstabFigures_cl(const DB_ns::CrossTable_st& table);

    int32_t PeriodCount() const { return periods; }
    int32_t CategoryCount() const { return table.rowCaptions.Count(); }
    const QString& Period(int32_t period) const { return table.columnCaptions[period]; }
    const QString& Category(int32_t category) const { return table.rowCaptions[category]; }
    // Hundredths; < 0 spent, > 0 earned, 0 nothing booked.
    int32_t Cell(int32_t category, int32_t period) const { return table.cells[category * periods + period]; }
    int64_t Expense(int32_t period) const { return expense[period]; }
    int64_t Income(int32_t period) const { return income[period]; }
    int64_t Balance(int32_t period) const { return expense[period] + income[period]; }
    // Whether any category is of the expense kind, or of the income kind.
    bool AnyExpense() const { return anyExpense; }
    bool AnyIncome() const { return anyIncome; }
    // 0xRRGGBB. Chosen from the category names alone: the same set of categories always
    // gets the same colours, and no two categories of one crosstab share one.
    uint32_t Colour(int32_t category) const { return colours[category]; }

    // The days a period caption stands for: "yyyy" a year, "yyyy-mm" a month, from the
    // first second to the last. False for any other caption.
    [[nodiscard]] static bool PeriodSpan(const QString& caption, Base_ns::DateTime_cl& begin, Base_ns::DateTime_cl& end);

private:
    void ChooseColours();

    DB_ns::CrossTable_st table;
    int32_t periods;
    Base_ns::Trusteeship_tl<int64_t> expense;
    Base_ns::Trusteeship_tl<int64_t> income;
    Base_ns::Trusteeship_tl<uint32_t> colours;
    bool anyExpense = false;
    bool anyIncome = false;
};

}  // namespace Vorelle_ns
