#include "Window/WCrosstabChart.h"

#include "CTL/ComboBox.h"
#include "CTL/Report.h"
#include "CTL/TabCtrl.h"
#include "RecordSession.h"
#include "Window/WMainWnd.h"
#include "Window/WMonthCrosstabPage.h"
#include "Window/WRecordManagePage.h"
#include "PaintedText.h"
#include "WindowTesting.h"

#include <QChart>
#include <QChartView>
#include <QGraphicsLineItem>
#include <QPen>
#include <QValueAxis>
#include <QBarSet>
#include <QDateEdit>
#include <QHeaderView>
#include <QImage>
#include <QLineSeries>
#include <QPieSeries>
#include <QPushButton>
#include <QStackedBarSeries>
#include <QTest>

using namespace WindowTesting_ns;
using Vorelle_ns::WCrosstabChart_cl;
using Vorelle_ns::WCrosstabPage_cl;
using Vorelle_ns::WMainWnd_cl;
using Record_cl = Vorelle_ns::WRecordManagePage_cl;

namespace {

QDateTime At(int year, int month, int day) { return QDateTime(QDate(year, month, day), QTime(12, 0)); }

int64_t Cents(const QString& text) { return qRound64(text.toDouble() * 100); }
int64_t Cents(qreal yuan) { return qRound64(yuan * 100); }

// Entries over the first quarter of 2024, the dinner before the month page's begin date,
// a yearly ticket only the year page counts, a present neither page counts, and a ride on
// the evening of 31 December.
void BookQuarter() {
    RecordSession_cl::Book(QStringLiteral("饮食"), QStringLiteral("晚饭"), -1250, At(2024, 1, 10));
    RecordSession_cl::Book(QStringLiteral("饮食"), QStringLiteral("午饭"), -2000, At(2024, 1, 20));
    RecordSession_cl::Book(QStringLiteral("交通"), QStringLiteral("车票"), -300, At(2024, 1, 21));
    RecordSession_cl::Book(QStringLiteral("工资"), QStringLiteral("一月"), 500000, At(2024, 1, 31));
    RecordSession_cl::Book(QStringLiteral("饮食"), QStringLiteral("超市"), -4575, At(2024, 2, 29));
    RecordSession_cl::Book(QStringLiteral("居家"), QStringLiteral("房租"), -150000, At(2024, 2, 1));
    RecordSession_cl::Book(QStringLiteral("交通"), QStringLiteral("加油"), -30000, At(2024, 3, 3));
    RecordSession_cl::Book(QStringLiteral("交通"), QStringLiteral("停车"), -1500, At(2024, 3, 30));
    RecordSession_cl::Book(QStringLiteral("交通"), QStringLiteral("年票"), -12000, At(2024, 3, 15), 1);
    RecordSession_cl::Book(QStringLiteral("饮食"), QStringLiteral("礼物"), -5000, At(2024, 1, 25), 2);
    // The year's last evening: a year's span ends at its last second, not at its last day's start.
    RecordSession_cl::Book(QStringLiteral("交通"), QStringLiteral("夜车"), -2500, QDateTime(QDate(2024, 12, 31), QTime(18, 0)));
}

struct Shown_st {
    WCrosstabPage_cl* page;
    CTL_ns::Report_cl* table;
    WCrosstabChart_cl* chart;
};

// Opens the month page (from 15 January to the end of March, all users) or the year page
// in the main window.
Shown_st Open(WMainWnd_cl& window, bool month) {
    window.show();
    auto* page = Control<WCrosstabPage_cl>(window, month ? WMainWnd_cl::IdMonthPage : WMainWnd_cl::IdYearPage);
    window.findChild<CTL_ns::TabCtrl_cl*>()->SelectPage(page);
    Settle();
    Control<CTL_ns::ComboBox_cl>(*page, WCrosstabPage_cl::IdUserMode)->SelectByText(QStringLiteral("所有用户"));
    if (month) {
        Control<QDateEdit>(*page, Vorelle_ns::WMonthCrosstabPage_cl::IdBeginDate)->setDate(QDate(2024, 1, 15));
        Control<QDateEdit>(*page, Vorelle_ns::WMonthCrosstabPage_cl::IdEndDate)->setDate(QDate(2024, 3, 31));
    }
    Settle();
    return {page, Control<CTL_ns::Report_cl>(*page, WCrosstabPage_cl::IdCrosstab),
            Control<WCrosstabChart_cl>(*page, WCrosstabPage_cl::IdChart)};
}

QString Cell(CTL_ns::Report_cl* table, int row, int column) { return table->Text(row, column); }

int RowOf(CTL_ns::Report_cl* table, const QString& caption) {
    for (int row = 0; row < table->RowCount(); ++row) {
        if (Cell(table, row, 0) == caption) return row;
    }
    return -1;
}

// Figures as the month statistics give them: periods months from January 2024, each
// category spending its amount every month, then the salary if any.
Vorelle_ns::CrosstabFigures_cl Months(int periods, const QList<QPair<QString, int>>& spent, int salary) {
    DB_ns::CrossTable_st table;
    table.columnCaptions.Allocate(periods);
    for (int j = 0; j < periods; ++j) table.columnCaptions[j] = QDate(2024, 1, 1).addMonths(j).toString(QStringLiteral("yyyy-MM"));
    const int rows = int(spent.size()) + (salary > 0 ? 1 : 0);
    table.rowCaptions.Allocate(rows);
    table.cells.Allocate(rows * periods);
    table.incomeRows.Allocate(rows);
    for (int i = 0; i < rows; ++i) {
        const bool income = i == spent.size();
        table.rowCaptions[i] = income ? QStringLiteral("工资") : spent[i].first;
        table.incomeRows[i] = income;
        for (int j = 0; j < periods; ++j) table.cells[i * periods + j] = income ? salary : spent[i].second;
    }
    return Vorelle_ns::CrosstabFigures_cl(table);
}

QValueAxis* YuanAxis(WCrosstabChart_cl* chart) {
    for (QAbstractAxis* axis : chart->Bars()->attachedAxes()) {
        if (axis->orientation() == Qt::Vertical) return static_cast<QValueAxis*>(axis);
    }
    return nullptr;
}

}  // namespace

class WCrosstabChartTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        environment = std::make_unique<Environment_cl>();
        session = std::make_unique<RecordSession_cl>();
        BookQuarter();
    }
    void cleanup() {
        session.reset();
        environment.reset();
    }

    void SeriesHoldTheTableFigures_data() {
        QTest::addColumn<bool>("month");
        QTest::newRow("month") << true;
        QTest::newRow("year") << false;
    }
    // Every bar is a category's expense in a period as the table shows it, the line is the
    // balance row, every slice of every period is that period's expense of a category, and
    // a category has one colour in both charts.
    void SeriesHoldTheTableFigures() {
        QFETCH(bool, month);
        WMainWnd_cl window;
        const Shown_st shown = Open(window, month);
        const int periods = shown.table->ColumnCount() - 1;
        QCOMPARE(periods, month ? 3 : 1);
        const int categories = RowOf(shown.table, QStringLiteral("【总计开销】"));
        QCOMPARE(categories, 4);
        // The donut opens on the latest period with an expense.
        QCOMPARE(shown.chart->Period(), periods - 1);
        const QList<QBarSet*> sets = shown.chart->Bars()->barSets();
        QCOMPARE(sets.size(), 3);  // the salary has no bar
        QHash<int, QColor> colours;
        for (int k = 0; k < sets.size(); ++k) {
            const int row = shown.chart->BarCategory(k);
            QCOMPARE(sets[k]->label(), Cell(shown.table, row, 0));
            colours[row] = sets[k]->color();
            for (int j = 0; j < periods; ++j) {
                QCOMPARE(Cents(sets[k]->at(j)), std::max<int64_t>(0, -Cents(Cell(shown.table, row, j + 1))));
            }
        }
        const int balanceRow = RowOf(shown.table, QStringLiteral("【结余】"));
        QCOMPARE(shown.chart->BalanceLine()->count(), periods);
        for (int j = 0; j < periods; ++j) {
            QCOMPARE(Cents(shown.chart->BalanceLine()->at(j).y()), Cents(Cell(shown.table, balanceRow, j + 1)));
            // A click on the period's column header picks it for the donut.
            shown.table->scrollTo(shown.table->model()->index(0, j + 1));
            QHeaderView* titles = shown.table->horizontalHeader();
            QTest::mouseClick(titles->viewport(), Qt::LeftButton, {},
                              QPoint(titles->sectionViewportPosition(j + 1) + titles->sectionSize(j + 1) / 2,
                                     titles->height() / 2));
            QCOMPARE(shown.chart->Period(), j);
            int64_t sliced = 0;
            const QList<QPieSlice*> slices = shown.chart->Pie()->slices();
            for (int s = 0; s < slices.size(); ++s) {
                const int row = shown.chart->SliceCategory(s);
                QCOMPARE(Cents(slices[s]->value()), -Cents(Cell(shown.table, row, j + 1)));
                QCOMPARE(slices[s]->color(), colours.value(row));
                sliced += Cents(slices[s]->value());
            }
            QCOMPARE(-sliced, Cents(Cell(shown.table, categories, j + 1)));
        }
        // The charts are saved as a picture of both.
        const QString path = environment->AppFolder() + QStringLiteral("图表.png");
        environment->prompt.files << path;
        Click(Control<QPushButton>(*shown.chart, WCrosstabChart_cl::IdSaveChart));
        QVERIFY(!QImage(path).isNull());
        QVERIFY(environment->prompt.shown.isEmpty());
    }

    void DrillDownSetsTheRecordFilters_data() {
        QTest::addColumn<bool>("month");
        QTest::addColumn<QString>("gesture");
        QTest::addColumn<QString>("category");  // empty: all
        QTest::addColumn<int>("period");        // -1: the whole range
        QTest::addColumn<QDate>("begin");
        QTest::addColumn<QDate>("end");
        QTest::addColumn<int>("entries");
        QTest::newRow("bar within the begin date") << true << "bar" << "饮食" << 0 << QDate(2024, 1, 15)
                                                   << QDate(2024, 1, 31) << 1;
        QTest::newRow("slice") << true << "slice" << "交通" << 2 << QDate(2024, 3, 1) << QDate(2024, 3, 31) << 2;
        QTest::newRow("total cell") << true << "cell" << "" << 1 << QDate(2024, 2, 1) << QDate(2024, 2, 29) << 2;
        QTest::newRow("category over the years") << false << "cell" << "交通" << -1 << QDate(2024, 1, 1)
                                                 << QDate(2024, 12, 31) << 5;
        QTest::newRow("year column") << false << "cell" << "交通" << 0 << QDate(2024, 1, 1) << QDate(2024, 12, 31) << 5;
    }
    // The record page opens on the category, the period, the user choice and the counted
    // statistics modes of the figure, and lists exactly the entries that make it up.
    void DrillDownSetsTheRecordFilters() {
        QFETCH(bool, month);
        QFETCH(QString, gesture);
        QFETCH(QString, category);
        QFETCH(int, period);
        QFETCH(QDate, begin);
        QFETCH(QDate, end);
        QFETCH(int, entries);
        WMainWnd_cl window;
        const Shown_st shown = Open(window, month);
        const int row = category.isEmpty() ? RowOf(shown.table, QStringLiteral("【总计开销】")) : RowOf(shown.table, category);
        if (gesture == "bar") {
            const QList<QBarSet*> sets = shown.chart->Bars()->barSets();
            for (int k = 0; k < sets.size(); ++k) {
                if (shown.chart->BarCategory(k) == row) emit sets[k]->doubleClicked(period);
            }
        } else if (gesture == "slice") {
            shown.chart->ShowPeriod(period);
            const QList<QPieSlice*> slices = shown.chart->Pie()->slices();
            for (int s = 0; s < slices.size(); ++s) {
                if (shown.chart->SliceCategory(s) == row) emit slices[s]->clicked();
            }
        } else {
            emit shown.table->CellActivated(row, period + 1);
        }
        Settle();
        auto* records = Control<Record_cl>(window, WMainWnd_cl::IdRecordPage);
        QVERIFY(records->isVisible());
        QCOMPARE(Control<CTL_ns::ComboBox_cl>(*records, Record_cl::IdCategory)->currentText(),
                 category.isEmpty() ? QStringLiteral("全部分类") : category);
        QCOMPARE(Control<QDateEdit>(*records, Record_cl::IdBeginDate)->date(), begin);
        QCOMPARE(Control<QDateEdit>(*records, Record_cl::IdEndDate)->date(), end);
        QCOMPARE(Control<CTL_ns::ComboBox_cl>(*records, Record_cl::IdUserMode)->currentText(), QStringLiteral("所有用户"));
        QCOMPARE(Control<CTL_ns::ComboBox_cl>(*records, Record_cl::IdCounted)->currentText(),
                 month ? QStringLiteral("计入月统计") : QStringLiteral("计入年统计"));
        auto* list = Control<CTL_ns::Report_cl>(*records, Record_cl::IdRecords);
        QCOMPARE(list->RowCount(), entries);
        // The listed expense is the figure that was clicked.
        int64_t listed = 0;
        for (int i = 0; i < list->RowCount(); ++i) {
            const int64_t amount = Cents(list->Text(i, 3));
            if (amount < 0) listed += amount;
        }
        int64_t figure = 0;
        for (int j = period < 0 ? 0 : period; j <= (period < 0 ? shown.table->ColumnCount() - 2 : period); ++j) {
            figure += Cents(Cell(shown.table, row, j + 1));
        }
        QCOMPARE(listed, figure);
    }

    // A year of months beside a long legend: the months' captions are drawn whole, on
    // screen and in the saved picture, never cut to an ellipsis.
    void MonthCaptionsStayWhole() {
        for (int month = 1; month <= 12; ++month) {
            for (int category = 0; category < 12; ++category) {
                RecordSession_cl::Book(QStringLiteral("很长的分类名称第%1类").arg(category), QStringLiteral("支出"),
                                       -100 * (category + 1), At(2023, month, 10));
            }
        }
        WMainWnd_cl window;
        window.show();
        auto* page = Control<WCrosstabPage_cl>(window, WMainWnd_cl::IdMonthPage);
        window.findChild<CTL_ns::TabCtrl_cl*>()->SelectPage(page);
        Control<QDateEdit>(*page, Vorelle_ns::WMonthCrosstabPage_cl::IdBeginDate)->setDate(QDate(2023, 1, 1));
        Control<QDateEdit>(*page, Vorelle_ns::WMonthCrosstabPage_cl::IdEndDate)->setDate(QDate(2023, 12, 31));
        QTest::qWait(200);
        auto* chart = Control<WCrosstabChart_cl>(*page, WCrosstabPage_cl::IdChart);
        const QList<QAbstractAxis*> axes = chart->Bars()->attachedAxes();
        QAbstractAxis* periods = nullptr;
        for (QAbstractAxis* axis : axes) {
            if (axis->orientation() == Qt::Horizontal) periods = axis;
        }
        QVERIFY(periods != nullptr);
        // Thinned where there is no room, but never at either end.
        const QStringList labels = chart->PeriodLabels();
        QCOMPARE(labels.size(), 12);
        QCOMPARE(labels.first(), QStringLiteral("2023-01"));
        QCOMPARE(labels.last(), QStringLiteral("2023-12"));
        QVERIFY(!periods->labelsTruncated());
    }

    // At the size the page gives the charts on a small screen and on a large one, with
    // few periods and many: every category named in the legend, the first and the last
    // period captioned, both end bars whole, and the yuan axis reaching the highest bar or
    // plan mark without doubling it.
    void ChartsReadAtAnySize_data() {
        QTest::addColumn<int>("periods");
        QTest::addColumn<int>("categories");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("plan");    // the first category's, in hundredths; 0: none
        QTest::addColumn<int>("salary");  // each month's, in hundredths
        QTest::newRow("small screen, a quarter, a plan") << 3 << 1 << QSize(776, 248) << 50000 << 0;
        QTest::newRow("small screen, a year, many categories") << 12 << 12 << QSize(776, 248) << 0 << 800000;
        QTest::newRow("small screen, three years") << 36 << 6 << QSize(776, 248) << 50000 << 100000;
        QTest::newRow("large screen, five years") << 60 << 9 << QSize(1800, 500) << 2000 << 0;
    }
    void ChartsReadAtAnySize() {
        QFETCH(int, periods);
        QFETCH(int, categories);
        QFETCH(QSize, size);
        QFETCH(int, plan);
        QFETCH(int, salary);
        static const char16_t* const names[] = {u"饮食", u"交通", u"居家", u"娱乐", u"通讯", u"保健",
                                                u"学习", u"服饰", u"人情", u"宠物", u"旅行", u"数码"};
        QList<QPair<QString, int>> spent;
        for (int i = 0; i < categories; ++i) spent << qMakePair(QString::fromUtf16(names[i]), -3330 * (i + 1));
        WCrosstabChart_cl chart;
        chart.resize(size);
        chart.show();
        chart.Show(Months(periods, spent, salary));
        if (plan > 0) chart.ShowPlans({{spent.first().first, plan}});
        Settle();
        PaintedText_cl painted(chart.size());
        chart.render(&painted);
        const QString texts = painted.All();
        // A legend entry is the name alone; a slice's label has its share after it.
        QStringList words;
        for (const QString& text : painted.texts) words << text.trimmed();
        for (const auto& [name, cents] : spent) QVERIFY2(words.contains(name), qPrintable(name));
        for (const QString& caption : {QStringLiteral("2024-01"), QDate(2024, 1, 1).addMonths(periods - 1).toString("yyyy-MM")})
            QVERIFY2(texts.contains(caption), qPrintable(caption));
        QChart* bars = chart.Bars()->chart();
        const QRectF plot = bars->plotArea();
        for (const int j : {0, periods - 1}) {
            for (const qreal side : {-0.25, 0.25})
                QVERIFY(plot.contains(bars->mapToPosition(QPointF(j + side, 0), chart.BalanceLine()) + QPointF(-side * 0.1, -1)));
        }
        const qreal spentMost = 33.30 * categories * (categories + 1) / 2;
        const qreal balance = salary / 100.0 - spentMost;
        const qreal highest = std::max({spentMost, plan / 100.0, balance}), lowest = std::min(0.0, balance);
        const QValueAxis* yuan = YuanAxis(&chart);
        const QString range = QStringLiteral("%1 .. %2").arg(yuan->min()).arg(yuan->max());
        QVERIFY2(yuan->min() <= lowest && yuan->min() >= lowest - (highest - lowest) / 2, qPrintable(range));
        QVERIFY2(yuan->max() >= highest && yuan->max() <= highest + (highest - lowest) / 2, qPrintable(range));

        // Captions a line apart at least, never overlapping.
        const qreal pitch = plot.width() / periods;
        int previous = -1;
        const QStringList labels = chart.PeriodLabels();
        for (int j = 0; j < periods; ++j) {
            if (labels[j].isEmpty()) continue;
            if (previous >= 0) QVERIFY((j - previous) * pitch >= QFontMetrics(chart.font()).height());
            previous = j;
        }
        // The plan: a thin level line over each bar, at the plan's height, not wider than
        // the bar's period.
        QCOMPARE(chart.PlanMarks().size(), plan > 0 ? periods : 0);
        for (const auto& mark : chart.PlanMarks()) {
            const QLineF line = mark.line->line();
            QCOMPARE(line.y1(), line.y2());
            QVERIFY(mark.line->pen().widthF() <= 6);
            const qreal centre = plot.left() + (mark.period + 0.5) * pitch;
            QVERIFY(std::abs((line.x1() + line.x2()) / 2 - centre) < 1);
            QVERIFY(line.length() > pitch / 3 && line.length() < pitch);
            const qreal height = plot.bottom() - (plan / 100.0 - yuan->min()) / (yuan->max() - yuan->min()) * plot.height();
            QVERIFY(std::abs(line.y1() - height) < 1);
        }
    }

    // What a figure leads to is a look, not the user's filter: the record page comes back
    // as he left it.
    void ADrillDownIsNotRemembered() {
        {
            WMainWnd_cl window;
            const Shown_st shown = Open(window, true);
            emit shown.table->CellActivated(RowOf(shown.table, QStringLiteral("交通")), 3);
            Settle();
            QCOMPARE(Control<CTL_ns::ComboBox_cl>(window, Record_cl::IdCategory)->currentText(), QStringLiteral("交通"));
        }
        Record_cl page;
        QCOMPARE(Control<CTL_ns::ComboBox_cl>(page, Record_cl::IdCategory)->currentText(), QStringLiteral("全部分类"));
        QCOMPARE(Control<CTL_ns::ComboBox_cl>(page, Record_cl::IdDateMode)->currentText(), QStringLiteral("今日"));
        QCOMPARE(Control<CTL_ns::ComboBox_cl>(page, Record_cl::IdCounted)->currentText(), QStringLiteral("所有统计方式"));
    }

private:
    std::unique_ptr<Environment_cl> environment;
    std::unique_ptr<RecordSession_cl> session;
};

WINDOW_TEST(WCrosstabChartTest);

#include "WCrosstabChartTest.moc"
