#include "CTL/Report.h"
#include "CTL/TabCtrl.h"
#include "Data/Budget.h"
#include "PaintedText.h"
#include "RecordSession.h"
#include "Window/WBudgetPage.h"
#include "Window/WCrosstabChart.h"
#include "Window/WMainWnd.h"
#include "Window/WMonthCrosstabPage.h"
#include "Window/WYearCrosstabPage.h"
#include "WindowTesting.h"
#include "settings/Unique.h"

#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QHeaderView>
#include <QImage>
#include <QLineSeries>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QStackedBarSeries>
#include <QTabBar>
#include <QTableWidget>
#include <QTest>
#include <QValueAxis>

using namespace WindowTesting_ns;
using Vorelle_ns::WCrosstabChart_cl;
using Vorelle_ns::WCrosstabPage_cl;
using Vorelle_ns::WMainWnd_cl;

namespace {

const char16_t* const kCategories[] = {u"饮食", u"交通", u"居家", u"娱乐", u"通讯", u"保健", u"学习", u"服饰",
                                       u"人情", u"宠物", u"旅行", u"数码", u"水电", u"物业", u"保险"};

// A household's months: every category some spending each month from the first month
// on, and a salary.
void BookMonths(const QDate& first, int months, int categories) {
    for (int m = 0; m < months; ++m) {
        const QDateTime day(first.addMonths(m), QTime(19, 30));
        for (int i = 0; i < categories; ++i)
            RecordSession_cl::Book(QString::fromUtf16(kCategories[i]), QStringLiteral("开销"), -(1234567 + 3330 * i + 10 * m), day);
        RecordSession_cl::Book(QStringLiteral("工资"), QStringLiteral("月薪"), 2500000, day);
    }
}

// Opens a page by a click on its tab, as a person does.
void OpenPage(WMainWnd_cl& window, const QString& caption) {
    QTabBar* bar = window.GetTabCtrl().TabBar();
    for (int i = 0; i < bar->count(); ++i) {
        if (bar->tabText(i) == caption) QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(i).center());
    }
    Settle();
    QCOMPARE(bar->tabText(bar->currentIndex()), caption);
}

// The cell a person sees at a point of the table (in the table's coordinates), of
// whichever list is drawn there.
QModelIndex SeenAt(QTableView* table, const QPoint& at) {
    QWidget* shown = table->childAt(at);
    auto* view = shown == nullptr ? nullptr : qobject_cast<QAbstractItemView*>(shown->parentWidget());
    return view == nullptr ? QModelIndex() : view->indexAt(shown->mapFrom(table, at));
}

bool InSight(QTableView* table, int row, int column) {
    const QRect cell = table->visualRect(table->model()->index(row, column));
    return cell.isValid() && table->viewport()->rect().contains(cell);
}

}  // namespace

// A person looks at the statistics and the budget in the main window of a small screen.
class StatisticsSessionTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        environment = std::make_unique<Environment_cl>();
        session = std::make_unique<RecordSession_cl>();
    }
    void cleanup() {
        session.reset();
        environment.reset();
    }

    // Three years from a remembered begin date to today. He picks March by a click on its bar, looks at the record page and comes back: the
    // donut still shows March, and 保存图表 writes both charts at the size of the
    // settings, not of the screen, with every caption drawn.
    void SavedChartKeepsThePickedPeriod() {
        BookMonths(QDate(2024, 1, 5), 12, 6);
        Unique_ns::GetCustomFromDatabase().WriteString(QStringLiteral("月统计起始日期"), QStringLiteral("2024-01-01"));
        WMainWnd_cl window;
        window.Create();
        window.resize(1024, 600);
        OpenPage(window, QStringLiteral("月统计"));
        auto* chart = Control<WCrosstabChart_cl>(window.GetMonthPage(), WCrosstabPage_cl::IdChart);
        QChartView* view = chart->BarView();
        // The middle of March's lowest part: the bars stand side by side across the plot.
        const int periods = chart->Bars()->barSets().first()->count();
        const QRectF plot = view->chart()->plotArea();
        QValueAxis* yuan = nullptr;
        for (QAbstractAxis* axis : chart->Bars()->attachedAxes()) {
            if (axis->orientation() == Qt::Vertical) yuan = static_cast<QValueAxis*>(axis);
        }
        const qreal middle = chart->Bars()->barSets().first()->at(2) / 2;
        const QPointF march(plot.left() + plot.width() * 2.5 / periods,
                            plot.bottom() - (middle - yuan->min()) / (yuan->max() - yuan->min()) * plot.height());
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->mapFromScene(view->chart()->mapToScene(march)));
        QCOMPARE(chart->Period(), 2);
        OpenPage(window, QStringLiteral("费用记录管理"));
        OpenPage(window, QStringLiteral("月统计"));
        QCOMPARE(chart->Period(), 2);

        const QString path = environment->AppFolder() + QStringLiteral("图表.png");
        // Nothing set, a size set, a damaged one.
        const struct {
            QSize set;
            QSize size;
        } sizes[] = {{QSize(), QSize(1600, 900)}, {QSize(1280, 720), QSize(1280, 720)}, {QSize(99999, 5), QSize(1600, 900)}};
        for (const auto& [set, size] : sizes) {
            if (set.isValid()) {
                Unique_ns::GetCustomFromFile().WriteInteger(WCrosstabChart_cl::PictureWidthKey, set.width());
                Unique_ns::GetCustomFromFile().WriteInteger(WCrosstabChart_cl::PictureHeightKey, set.height());
            }
            environment->prompt.files << path;
            QTest::mouseClick(Control<QPushButton>(*chart, WCrosstabChart_cl::IdSaveChart), Qt::LeftButton);
            const QImage saved(path);
            QCOMPARE(saved.size(), size);
            QVERIFY(saved.size() != chart->size());
            // The file is that painting, pixel for pixel; its words are what the painting draws.
            QImage painting(size, QImage::Format_ARGB32);
            {
                QPainter painter(&painting);
                painter.setRenderHint(QPainter::Antialiasing);
                chart->Paint(painter, size);
            }
            QCOMPARE(saved.convertToFormat(QImage::Format_ARGB32), painting);
            PaintedText_cl painted(size);
            {
                QPainter painter(&painted);
                chart->Paint(painter, size);
            }
            const QString texts = painted.All();
            QVERIFY(texts.contains(QStringLiteral("2024-01")));
            QVERIFY(texts.contains(QDate::currentDate().toString(QStringLiteral("yyyy-MM"))));
            for (int i = 0; i < 6; ++i) QVERIFY(texts.contains(QString::fromUtf16(kCategories[i])));
            QVERIFY(texts.contains(QStringLiteral("2024-03 开销")));
            QVERIFY(!texts.contains(QStringLiteral("保存图表")));
        }
        QCOMPARE(chart->Period(), 2);
        QVERIFY(environment->prompt.shown.isEmpty());
    }

    // The month table opens on the current month, scrolled with the keys keeps each row's
    // category in sight, and stays where he left it; the year table opens with its
    // totals in sight.
    void TablesOpenOnWhatMatters() {
        const QDate today = QDate::currentDate();
        BookMonths(QDate(today.year() - 1, 1, 5), 12 + today.month(), 15);
        Unique_ns::GetCustomFromDatabase().WriteString(QStringLiteral("月统计起始日期"),
                                                       QDate(today.year() - 1, 1, 1).toString(Qt::ISODate));
        WMainWnd_cl window;
        window.Create();
        window.resize(1024, 600);
        OpenPage(window, QStringLiteral("月统计"));
        auto* table = Control<CTL_ns::Report_cl>(window.GetMonthPage(), WCrosstabPage_cl::IdCrosstab);
        const int current = table->ColumnCount() - 1;
        QCOMPARE(table->Title(current), today.toString(QStringLiteral("yyyy-MM")));
        QVERIFY(InSight(table, table->RowCount() - 1, current));

        const QPoint firstRow(table->frameWidth() + 5, table->viewport()->y() + table->rowHeight(0) / 2);
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualRect(table->model()->index(0, current)).center());
        for (int i = 0; i < 40; ++i) QTest::keyClick(table, Qt::Key_Left);
        QCOMPARE(table->horizontalScrollBar()->value(), 0);
        for (int i = 0; i < 60; ++i) QTest::keyClick(table, Qt::Key_Right);
        QCOMPARE(table->horizontalScrollBar()->value(), table->horizontalScrollBar()->maximum());
        const int top = table->rowAt(table->viewport()->mapFrom(table, firstRow).y());
        QCOMPARE(SeenAt(table, firstRow).data().toString(), table->Text(top, 0));
        // Back from another page, the table is where he left it.
        const int left = table->horizontalScrollBar()->value() - 3 * table->horizontalScrollBar()->singleStep();
        table->horizontalScrollBar()->setValue(left);
        OpenPage(window, QStringLiteral("费用记录管理"));
        OpenPage(window, QStringLiteral("月统计"));
        QCOMPARE(table->horizontalScrollBar()->value(), left);

        OpenPage(window, QStringLiteral("年统计"));
        auto* years = Control<CTL_ns::Report_cl>(window.GetYearPage(), WCrosstabPage_cl::IdCrosstab);
        QCOMPARE(years->Text(years->RowCount() - 1, 0), QStringLiteral("【结余】"));
        for (int row = years->RowCount() - 3; row < years->RowCount(); ++row) QVERIFY(InSight(years, row, 0));
    }

    // The budget's month and year at 1024 wide, switched with the keys and looked at
    // again after another page: no amount cut, every column reached, and each view's
    // columns as wide as when it opened.
    void BudgetColumnsFitAndKeepTheirWidths() {
        const QDate today = QDate::currentDate();
        BookMonths(QDate(today.year(), 1, 5), today.month(), 5);
        Vorelle_ns::Budget_cl budget(Vorelle_ns::DataCore().GetUserManage());
        for (int i = 0; i < 5; ++i) budget.SetTypePlan(QString::fromUtf16(kCategories[i]), 1500000);
        budget.SetUserPlan(RecordSession_cl::SuperName, 5000000);
        WMainWnd_cl window;
        window.Create();
        window.resize(1024, 600);
        OpenPage(window, QStringLiteral("预算"));
        Vorelle_ns::WBudgetPage_cl& page = window.GetBudgetPage();
        auto* view = Control<QComboBox>(page, Vorelle_ns::WBudgetPage_cl::IdView);
        QList<QTableWidget*> tables{Control<QTableWidget>(page, Vorelle_ns::WBudgetPage_cl::IdCategories),
                                    Control<QTableWidget>(page, Vorelle_ns::WBudgetPage_cl::IdPeople)};
        const auto widths = [&tables] {
            QList<int> widths;
            for (QTableWidget* table : tables) {
                for (int column = 0; column < table->columnCount(); ++column) widths << table->columnWidth(column);
            }
            return widths;
        };
        QList<int> opened[2] = {widths(), {}};
        const struct {
            Qt::Key key;  // on the view box; none: to another page and back
            int year;
        } steps[] = {{Qt::Key_unknown, 0}, {Qt::Key_Down, 1}, {Qt::Key_unknown, 1}, {Qt::Key_Up, 0}, {Qt::Key_unknown, 0}};
        for (const auto& step : steps) {
            if (step.key == Qt::Key_unknown) {
                OpenPage(window, QStringLiteral("月统计"));
                OpenPage(window, QStringLiteral("预算"));
            } else {
                view->setFocus();
                QTest::keyClick(view, step.key);
                Settle();
            }
            QCOMPARE(tables[0]->columnCount(), step.year == 1 ? 19 : 6);
            if (opened[step.year].isEmpty()) opened[step.year] = widths();
            QCOMPARE(widths(), opened[step.year]);
            for (QTableWidget* table : tables) {
                for (int column = 0; column < table->columnCount(); ++column) {
                    for (int row = 0; row < table->rowCount(); ++row) {
                        const QTableWidgetItem* item = table->item(row, column);
                        if (item == nullptr) continue;
                        QVERIFY2(table->fontMetrics().horizontalAdvance(item->text()) + 6 <= table->columnWidth(column),
                                 qPrintable(item->text()));
                    }
                }
                const int last = table->columnCount() - 1;
                QVERIFY(table->columnWidth(last) >= 80);
                // Scrolled to the end, the last column is seen whole.
                table->horizontalScrollBar()->setValue(table->horizontalScrollBar()->maximum());
                QVERIFY(table->columnViewportPosition(last) + table->columnWidth(last) <= table->viewport()->width());
                table->horizontalScrollBar()->setValue(0);
            }
        }
    }

private:
    std::unique_ptr<Environment_cl> environment;
    std::unique_ptr<RecordSession_cl> session;
};

WINDOW_TEST(StatisticsSessionTest);

#include "StatisticsSessionTest.moc"
