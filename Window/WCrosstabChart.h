#pragma once

#include "Control/CrosstabFigures.h"

#include <QWidget>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

class QChartView;
class QLabel;
class QLineSeries;
class QPieSeries;
class QScatterSeries;
class QPushButton;
class QStackedBarSeries;

namespace Vorelle_ns {

// The charts beside a statistics table: the expense of each category as stacked bars per
// period with the balance as a line, and a donut of one period's expense by category.
// Clicking a bar picks the donut's period; double-clicking a bar, or clicking a slice,
// asks for that category's entries of that period. Both charts can be saved as one PNG.
class WCrosstabChart_cl : public QWidget {
    Q_OBJECT

public:
    static constexpr int32_t IdSaveChart = 1064;

    explicit WCrosstabChart_cl(QWidget* parent = nullptr);
    ~WCrosstabChart_cl() override;

    static QString ClassName() { return QStringLiteral("WCrosstabChart_cl"); }

    // Draws the figures; the donut shows the latest period with an expense.
    void Show(const CrosstabFigures_cl& figures);
    // After Show: each category's monthly plan (hundredths, by name) as a marker over
    // every period, in the category's colour.
    void ShowPlans(const std::vector<std::pair<QString, int32_t>>& plans);
    const QList<QScatterSeries*>& PlanMarkers() const { return planMarkers; }
    // The donut's period (-1: none).
    void ShowPeriod(int32_t period);
    int32_t Period() const { return period; }
    // The category's row in the figures of a bar set or a slice, counted as drawn.
    int32_t BarCategory(int32_t set) const;
    int32_t SliceCategory(int32_t slice) const;
    // Raises when the file cannot be written.
    void Save(const QString& path);

    QStackedBarSeries* Bars() const { return bars; }
    QLineSeries* BalanceLine() const { return balance; }
    QPieSeries* Pie() const { return pie; }

signals:
    // category: the row of the figures; period: the column.
    void EntriesWanted(int32_t category, int32_t period);

private:
    void OnSave();
    void ShowTip(const QString& category, int32_t period, double yuan);

    std::unique_ptr<CrosstabFigures_cl> figures;
    int32_t period = -1;
    QList<int32_t> barCategories;    // the figures' row of each bar set
    QList<int32_t> sliceCategories;  // the figures' row of each slice
    QChartView* barView;
    QChartView* pieView;
    QWidget* views;
    QLabel* hint;
    QPushButton* saveButton;
    QStackedBarSeries* bars = nullptr;
    QLineSeries* balance = nullptr;
    QPieSeries* pie = nullptr;
    QList<QScatterSeries*> planMarkers;
};

}  // namespace Vorelle_ns
