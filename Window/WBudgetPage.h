#pragma once

#include "Data/Budget.h"
#include "Data/RecordFilter.h"
#include "base/DateTime.h"

#include <QWidget>
#include <cstdint>

class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;

namespace Vorelle_ns {

// "预算": the budget of one month (plan, carried in, spent, left and a bar per category
// with a plan, the totals, then each person's) or of one year (the twelve months' spending
// beside the year's plan). Everybody may look; an independent user sees his own spending.
// Steps a month or a year at a time; a double click on a category asks for its entries.
class WBudgetPage_cl : public QWidget {
    Q_OBJECT

public:
    static constexpr int32_t IdPrevious = 1201;
    static constexpr int32_t IdNext = 1202;
    static constexpr int32_t IdPeriod = 1203;
    static constexpr int32_t IdView = 1204;
    static constexpr int32_t IdCategories = 1205;
    static constexpr int32_t IdPeople = 1206;

    explicit WBudgetPage_cl(QWidget* parent = nullptr);

    static QString ClassName() { return QStringLiteral("WBudgetPage_cl"); }

    // Shows the month (month 0: the year) and loads it.
    void ShowPeriod(int32_t year, int32_t month);
    // Reads the figures again; a failure is shown over the page.
    void Refresh();

signals:
    // The entries behind a figure, as the statistics pages ask for them.
    void EntriesWanted(const QString& typeName, const Base_ns::DateTime_cl& begin, const Base_ns::DateTime_cl& end,
                       int32_t userMode, const QString& userName, RecordFilter_st::Counted_en counted);

protected:
    void showEvent(QShowEvent* event) override;
    // The bars follow the tables' width.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Step(int32_t by);
    void Fill(const BudgetView_st& view);
    void OnDoubleClicked(int row, int column);

    int32_t year;
    int32_t month;  // 0: the year
    BudgetView_st shown;
    QPushButton* previousButton;
    QPushButton* nextButton;
    QLabel* periodLabel;
    QComboBox* viewCombo;
    QTableWidget* categories;
    QTableWidget* people;
};

}  // namespace Vorelle_ns
