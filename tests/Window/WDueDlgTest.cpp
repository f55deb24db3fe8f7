#include "Window/WDueDlg.h"

#include "RecordSession.h"
#include "WindowTesting.h"

#include <QDateEdit>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

using namespace WindowTesting_ns;
using Dialog_cl = Vorelle_ns::WDueDlg_cl;

namespace {

void AddMonthly(const QString& name, int32_t cents, int32_t day, int32_t count) {
    Vorelle_ns::Schedule_st schedule;
    schedule.typeName = QStringLiteral("居家");
    schedule.expenseName = name;
    schedule.expense = cents;
    schedule.day = day;
    schedule.firstDate = QDate(2026, 1, 1);
    schedule.count = count;
    (void)Vorelle_ns::DataCore().GetScheduleManage().Add(schedule);
}

// The due dates and names of the list, in order.
QStringList Rows(QTableWidget& list) {
    QStringList rows;
    for (int row = 0; row < list.rowCount(); ++row)
        rows << list.item(row, Dialog_cl::Date)->text() + u' ' + list.item(row, Dialog_cl::Name)->text();
    return rows;
}

void ClickCell(QTableWidget& list, int row, int column) {
    const QRect cell = list.visualRect(list.model()->index(row, column));
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, cell.center());
}

void Press(Dialog_cl& dialog, int32_t id) {
    QTest::mouseClick(dialog.findChild<QPushButton*>(QString::number(id)), Qt::LeftButton);
}

// Types text over the amount of a row: the cell clicked, opened with F2.
void TypeAmount(QTableWidget& list, int row, const QString& text) {
    ClickCell(list, row, Dialog_cl::Amount);
    QTest::keyClick(list.viewport(), Qt::Key_F2);
    QLineEdit* editor = nullptr;  // an earlier editor may wait for its deletion, hidden
    for (QLineEdit* open : list.viewport()->findChildren<QLineEdit*>()) {
        if (open->isVisible()) editor = open;
    }
    QVERIFY(editor != nullptr);
    editor->selectAll();
    QTest::keyClicks(editor, text);
    QTest::keyClick(editor, Qt::Key_Return);
}

}  // namespace

class WDueDlgTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        environment = std::make_unique<Environment_cl>();
        session = std::make_unique<RecordSession_cl>();
        AddMonthly(QStringLiteral("水费"), -8000, 10, 3);
        AddMonthly(QStringLiteral("话费"), -5000, 20, 2);
    }
    void cleanup() {
        session.reset();
        environment.reset();
    }

    void BooksChosenWithAnEditedAmountSkipsPostponesAndBooksTheRest() {
        Dialog_cl dialog(QDate(2026, 3, 31));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QTableWidget& list = dialog.GetList();
        QCOMPARE(Rows(list), (QStringList{QStringLiteral("2026-01-10 水费"), QStringLiteral("2026-01-20 话费"),
                                          QStringLiteral("2026-02-10 水费"), QStringLiteral("2026-02-20 话费"),
                                          QStringLiteral("2026-03-10 水费")}));

        // A bill of another amount, ticked and booked alone; a wrong amount first.
        ClickCell(list, 0, Dialog_cl::Date);
        QTest::keyClick(list.viewport(), Qt::Key_Space);
        QCOMPARE(list.item(0, Dialog_cl::Date)->checkState(), Qt::Checked);
        TypeAmount(list, 0, QStringLiteral("9x"));
        Press(dialog, Dialog_cl::IdBookChosen);
        QCOMPARE(environment->prompt.shown.size(), 1);
        QVERIFY(environment->prompt.shown[0].text.contains(QStringLiteral("第1行，2026-01-10")));
        QCOMPARE(RecordSession_cl::LiveRecords(), 0);
        ClickCell(list, 0, Dialog_cl::Date);
        QTest::keyClick(list.viewport(), Qt::Key_Space);
        TypeAmount(list, 0, QStringLiteral("95.5"));
        Press(dialog, Dialog_cl::IdBookChosen);
        QCOMPARE(RecordSession_cl::LiveRecords(), 1);
        QCOMPARE(RecordSession_cl::Newest().expense, -9550);
        QCOMPARE(RecordSession_cl::Newest().recordTime.FormatDate(), QStringLiteral("2026-01-10"));
        QCOMPARE(list.rowCount(), 4);

        // Skipped, then postponed past the list's day.
        ClickCell(list, 0, Dialog_cl::Name);
        Press(dialog, Dialog_cl::IdSkip);
        QCOMPARE(Rows(list).first(), QStringLiteral("2026-02-10 水费"));
        ClickCell(list, 0, Dialog_cl::Name);
        QDateEdit& date = dialog.GetPostponeDate();
        date.setFocus();
        date.setSelectedSection(QDateTimeEdit::YearSection);
        QTest::keyClicks(&date, QStringLiteral("2026"));
        date.setSelectedSection(QDateTimeEdit::MonthSection);
        QTest::keyClicks(&date, QStringLiteral("04"));
        date.setSelectedSection(QDateTimeEdit::DaySection);
        QTest::keyClicks(&date, QStringLiteral("15"));
        QCOMPARE(date.date(), QDate(2026, 4, 15));
        Press(dialog, Dialog_cl::IdPostpone);
        QCOMPARE(Rows(list), (QStringList{QStringLiteral("2026-02-20 话费"), QStringLiteral("2026-03-10 水费")}));

        Press(dialog, Dialog_cl::IdBookAll);
        QCOMPARE(RecordSession_cl::LiveRecords(), 3);
        QCOMPARE(RecordSession_cl::SingleAccount(), -(9550 + 5000 + 8000));
        QCOMPARE(dialog.result(), int(QDialog::Accepted));  // nothing left: it closes
        QCOMPARE(environment->prompt.shown.size(), 1);
        // The postponed one comes back on its new day, and only once.
        const auto later = Vorelle_ns::DataCore().GetScheduleManage().GetDue(QDate(2026, 4, 30));
        QCOMPARE(later.Count(), 1);
        QCOMPARE(later[0].dueDate, QDate(2026, 4, 15));
    }

private:
    std::unique_ptr<Environment_cl> environment;
    std::unique_ptr<RecordSession_cl> session;
};

WINDOW_TEST(WDueDlgTest);

#include "WDueDlgTest.moc"
