#include "Window/WBudgetPage.h"

#include "CTL/ComboBox.h"
#include "CTL/Report.h"
#include "RecordSession.h"
#include "Window/WCrosstabChart.h"
#include "Window/WInputRecordDlg.h"
#include "Window/WMainWnd.h"
#include "Window/WMonthCrosstabPage.h"
#include "Window/WRecordManagePage.h"
#include "Window/ConvertInfo.h"
#include "WindowTesting.h"
#include "support/BudgetCases.h"

#include <QDateEdit>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTest>

using namespace WindowTesting_ns;
using Page_cl = Vorelle_ns::WBudgetPage_cl;

namespace {

// An amount on screen, in the files' form ("487.5") to compare with the cases; marked when
// it lacks its two decimals or does not stand right-aligned.
QString Amount(const QTableWidgetItem* item) {
    static const QRegularExpression twoDecimals(QStringLiteral("^-?[0-9]+\\.[0-9]{2}$"));
    const QString text = item->text();
    QString amount = Vorelle_ns::ConvertInfo_cl::MoneyToText(qRound64(text.toDouble() * 100));
    if (!twoDecimals.match(text).hasMatch()) amount += QStringLiteral("（不是两位小数：") + text + u'）';
    if ((item->textAlignment() & Qt::AlignRight) == 0) amount += QStringLiteral("（没有靠右）");
    return amount;
}

// The texts of a table's rows, the bar column left out; rows of totals ("【…】") too
// unless only the categories' are asked for.
QString Rows(QTableWidget* table, bool totals) {
    QString text;
    for (int row = 0; row < table->rowCount(); ++row) {
        QStringList cells{table->item(row, 0)->text()};
        for (int column = 1; column + 1 < table->columnCount(); ++column) cells << Amount(table->item(row, column));
        if (!totals && cells.first().startsWith(u'【')) continue;
        text += cells.join(u',') + u'\n';
    }
    return text;
}

QTableWidget* Table(QWidget& page, int32_t id) { return Control<QTableWidget>(page, id); }

int64_t Cents(const QString& text) { return qRound64(text.toDouble() * 100); }

}  // namespace

class WBudgetPageTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        environment = std::make_unique<Environment_cl>();
        session = std::make_unique<RecordSession_cl>();
        RecordSession_cl::AddUser(QStringLiteral("小李"), 2);
        RecordSession_cl::AddUser(QStringLiteral("小王"), 3);
    }
    void cleanup() {
        session.reset();
        environment.reset();
    }

    // The page and the month statistics' plan markers give the figures of the same cases
    // as the data layer and the command line.
    void SameFigures_data() {
        QTest::addColumn<int>("index");
        for (size_t i = 0; i < BudgetCases().size(); ++i) QTest::newRow(BudgetCases()[i].name) << int(i);
    }
    void SameFigures() {
        QFETCH(int, index);
        const BudgetCase_st& c = BudgetCases()[size_t(index)];
        Vorelle_ns::DataCore_cl& core = Vorelle_ns::DataCore();
        QVERIFY(BookBudgetCase(c, RecordSession_cl::SuperName, core.GetUserManage(), core.GetRecordManage(),
                               core.GetRecycleBin()));
        if (QString::fromUtf8(c.viewer) != "admin") session->LogIn(QString::fromUtf8(c.viewer));
        const QString period = QString::fromUtf8(c.period);
        const int year = period.left(4).toInt();
        const int month = period.size() == 4 ? 0 : period.mid(5).toInt();
        Page_cl page;
        page.ShowPeriod(year, month);
        page.show();
        Settle();
        QCOMPARE(Rows(Table(page, Page_cl::IdCategories), false), QString::fromUtf8(c.rows));
        QCOMPARE(Rows(Table(page, Page_cl::IdPeople), true), QString::fromUtf8(c.people));
        if (month == 0) return;

        // Each planned category with a bar in the month's statistics gets its plan marked.
        Vorelle_ns::WMonthCrosstabPage_cl statistics;
        statistics.show();
        Settle();
        Control<QDateEdit>(statistics, Vorelle_ns::WMonthCrosstabPage_cl::IdBeginDate)->setDate(QDate(year, month, 1));
        Control<QDateEdit>(statistics, Vorelle_ns::WMonthCrosstabPage_cl::IdEndDate)->setDate(QDate(year, month, 1).addMonths(1).addDays(-1));
        Settle();
        auto* chart = Control<Vorelle_ns::WCrosstabChart_cl>(statistics, Vorelle_ns::WCrosstabPage_cl::IdChart);
        QStringList marked, expected;
        for (const auto& mark : chart->PlanMarks()) {
            if (mark.period == 0) marked << mark.category + QStringLiteral("预算=") + QString::number(mark.cents / 100.0);
        }
        for (const QString& row : QString::fromUtf8(c.rows).split(u'\n', Qt::SkipEmptyParts)) {
            const QStringList cells = row.split(u',');
            if (cells[0] != QStringLiteral("工资") && cells[3] != QStringLiteral("0"))
                expected << cells[0] + QStringLiteral("预算=") + QString::number(cells[1].toDouble());
        }
        QCOMPARE(marked, expected);
    }

    // A person steps back and forth, switches to the year, and double-clicks a category:
    // the record page shows its entries, which add up to the figure.
    void StepAndOpenTheEntries() {
        const BudgetCase_st& c = BudgetCases()[3];  // rollover over three months
        Vorelle_ns::DataCore_cl& core = Vorelle_ns::DataCore();
        QVERIFY(BookBudgetCase(c, RecordSession_cl::SuperName, core.GetUserManage(), core.GetRecordManage(),
                               core.GetRecycleBin()));
        Vorelle_ns::WMainWnd_cl window;
        window.Create();
        Page_cl& page = window.GetBudgetPage();
        window.GetTabCtrl().SelectPage(&page);
        page.ShowPeriod(2026, 3);
        Settle();
        QTableWidget* categories = Table(page, Page_cl::IdCategories);
        const QString march = Rows(categories, false);
        QCOMPARE(march, QStringLiteral("饮食,500,-200,100,200\n"));
        QTest::mouseClick(Control<QPushButton>(page, Page_cl::IdPrevious), Qt::LeftButton);
        Settle();
        QCOMPARE(Control<QLabel>(page, Page_cl::IdPeriod)->text(), QStringLiteral("2026年2月"));
        QCOMPARE(Rows(categories, false), QStringLiteral("饮食,500,200,900,-200\n"));
        QTest::mouseClick(Control<QPushButton>(page, Page_cl::IdNext), Qt::LeftButton);
        Settle();
        QCOMPARE(Rows(categories, false), march);

        for (const bool year : {false, true}) {
            if (year) {
                auto* view = Control<QComboBox>(page, Page_cl::IdView);
                view->setCurrentIndex(1);
                emit view->activated(1);
                Settle();
                QCOMPARE(Control<QLabel>(page, Page_cl::IdPeriod)->text(), QStringLiteral("2026年"));
            }
            // The spent column: "已用" of a month, the whole year's of a year.
            const int spentColumn = categories->columnCount() - 3;
            const QRect cell = categories->visualRect(categories->model()->index(0, spentColumn));
            // A double click as a mouse makes it: the first click, then the second.
            QTest::mouseClick(categories->viewport(), Qt::LeftButton, {}, cell.center());
            QTest::mouseDClick(categories->viewport(), Qt::LeftButton, {}, cell.center());
            Settle();
            auto* records = Control<Vorelle_ns::WRecordManagePage_cl>(window, Vorelle_ns::WMainWnd_cl::IdRecordPage);
            QVERIFY(records->isVisible());
            auto* list = Control<CTL_ns::Report_cl>(*records, Vorelle_ns::WRecordManagePage_cl::IdRecords);
            int64_t listed = 0;
            for (int i = 0; i < list->RowCount(); ++i) listed -= Cents(list->Text(i, 3));
            QCOMPARE(listed, Cents(categories->item(0, spentColumn)->text()));
            QVERIFY(list->RowCount() > 0);
            window.GetTabCtrl().SelectPage(&page);
            Settle();
        }
    }

    // After booking an expense the dialog tells what is left of its category's month,
    // or by how much it is over, and goes on taking entries.
    void NoticeAfterBooking() {
        Vorelle_ns::Budget_cl(Vorelle_ns::DataCore().GetUserManage()).SetTypePlan(QStringLiteral("饮食"), 50000);
        const QDate today = QDate::currentDate();
        RecordSession_cl::Book(QStringLiteral("饮食"), QStringLiteral("早"), -37660, QDateTime(today, QTime(8, 0)));
        Vorelle_ns::WInputRecordDlg_cl dialog(Base_ns::DateTime_cl::FromQDateTime(QDateTime(today, QTime(9, 0))), nullptr);
        dialog.show();
        Settle();
        auto* notice = Control<QLabel>(dialog, Vorelle_ns::WInputRecordDlg_cl::IdBudgetNotice);
        const struct {
            const char* amount;
            const char* text;
        } steps[] = {{"10", "饮食本月还剩 ¥113.40"}, {"200", "饮食本月已超出 ¥86.60"}};
        for (const auto& step : steps) {
            Control<CTL_ns::ComboBox_cl>(dialog, Vorelle_ns::WInputRecordDlg_cl::IdCategory)->setEditText(QStringLiteral("饮食"));
            Control<CTL_ns::ComboBox_cl>(dialog, Vorelle_ns::WInputRecordDlg_cl::IdName)->setEditText(QStringLiteral("饭"));
            Control<CTL_ns::ComboBox_cl>(dialog, Vorelle_ns::WInputRecordDlg_cl::IdAmount)->setEditText(QString::fromUtf8(step.amount));
            QTest::mouseClick(Control<QPushButton>(dialog, Vorelle_ns::WInputRecordDlg_cl::IdOK), Qt::LeftButton);
            Settle();
            QCOMPARE(notice->text(), QString::fromUtf8(step.text));
            QVERIFY(dialog.isVisible());
        }
        QVERIFY(environment->prompt.shown.isEmpty());
    }

private:
    std::unique_ptr<Environment_cl> environment;
    std::unique_ptr<RecordSession_cl> session;
};

WINDOW_TEST(WBudgetPageTest);

#include "WBudgetPageTest.moc"
