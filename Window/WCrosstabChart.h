#pragma once

#include "Control/CrosstabFigures.h"

#include <QWidget>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

class QCategoryAxis;
class QChartView;
class QGraphicsLineItem;
class QLabel;
class QLineSeries;
class QPainter;
class QPieSeries;
class QPushButton;
class QStackedBarSeries;
class QValueAxis;

namespace Vorelle_ns {

// The charts beside a statistics table: the expense of each category as stacked bars per
// period with the balance as a line and each plan as a mark over every bar, and a donut
// of one period's expense by category, under one legend for both. Clicking a bar picks
// the donut's period; double-clicking a bar, or clicking a slice, asks for that
// category's entries of that period. Both charts can be saved as one PNG.
class WCrosstabChart_cl : public QWidget {
    Q_OBJECT

public:
    static constexpr int32_t IdSaveChart = 1064;
    static constexpr int32_t IdLegend = 1068;
    // The saved picture's size in pixels, in the program's settings.
    static inline const QString PictureWidthKey = QStringLiteral("图表图片宽度");
    static inline const QString PictureHeightKey = QStringLiteral("图表图片高度");

    // A plan drawn over one bar.
    struct PlanMark_st {
        QString category;
        int32_t period;
        int32_t cents;
        QGraphicsLineItem* line;
    };

    explicit WCrosstabChart_cl(QWidget* parent = nullptr);
    ~WCrosstabChart_cl() override;

    static QString ClassName() { return QStringLiteral("WCrosstabChart_cl"); }

    // Draws the figures; the donut keeps the period the user picked while it is among
    // them, else shows the latest period with an expense.
    void Show(const CrosstabFigures_cl& figures);
    // After Show: each category's monthly plan (hundredths, by name) as a mark over every
    // bar, in the category's colour.
    void ShowPlans(const std::vector<std::pair<QString, int32_t>>& plans);
    const QList<PlanMark_st>& PlanMarks() const { return planMarks; }
    // The user's pick of the donut's period (-1: none).
    void ShowPeriod(int32_t period);
    int32_t Period() const { return period; }
    // The captions under the bars, one per period, empty where there is no room for it.
    QStringList PeriodLabels() const;
    // The category's row in the figures of a bar set or a slice, counted as drawn.
    int32_t BarCategory(int32_t set) const;
    int32_t SliceCategory(int32_t slice) const;
    // The picture's size from the settings: 1600×900 unless set.
    static QSize PictureSize();
    // Paints the legend and both charts at size, as the saved picture shows them.
    void Paint(QPainter& painter, const QSize& size);
    // Writes the picture at PictureSize(); raises when the file cannot be written.
    void Save(const QString& path);

    QStackedBarSeries* Bars() const { return bars; }
    QLineSeries* BalanceLine() const { return balance; }
    QPieSeries* Pie() const { return pie; }
    QChartView* BarView() const { return barView; }

signals:
    // category: the row of the figures; period: the column.
    void EntriesWanted(int32_t category, int32_t period);

private:
    void OnSave();
    void ShowTip(const QString& category, int32_t period, int64_t cents);
    void DrawPeriod(int32_t shown);
    void FitYuanAxis();
    // Thins the period captions to the room the bars leave, and lays the plan marks over
    // the bars; both follow the plot area.
    void LayOut();
    QString LegendText() const;

    std::unique_ptr<CrosstabFigures_cl> figures;
    int32_t period = -1;
    QString pickedPeriod;  // the caption of the user's pick
    QList<int32_t> barCategories;    // the figures' row of each bar set
    QList<int32_t> sliceCategories;  // the figures' row of each slice
    QList<int32_t> plannedCents;     // the plans drawn, for the yuan axis
    QChartView* barView;
    QChartView* pieView;
    QWidget* views;
    QLabel* hint;
    QLabel* legend;
    QPushButton* saveButton;
    QStackedBarSeries* bars = nullptr;
    QLineSeries* balance = nullptr;
    QPieSeries* pie = nullptr;
    QCategoryAxis* periodAxis = nullptr;
    QValueAxis* yuanAxis = nullptr;
    int32_t labelStep = 0;
    QList<PlanMark_st> planMarks;
};

}  // namespace Vorelle_ns
