#include "CTL/Report.h"
#include "RecordSession.h"
#include "Window/WInputRecordDlg.h"
#include "Window/WMonthCrosstabPage.h"
#include "Window/WRecordFilterBar.h"
#include "Window/WRecordManagePage.h"
#include "WindowTesting.h"

#include <QDateEdit>
#include <algorithm>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QSignalSpy>
#include <QPushButton>

using namespace WindowTesting_ns;
using Page_cl = Vorelle_ns::WRecordManagePage_cl;

namespace {

QPoint RowPoint(CTL_ns::Report_cl* list, int32_t row) { return list->visualRect(list->model()->index(row, 2)).center(); }

int32_t Amount(int32_t sn) { return Vorelle_ns::DataCore().GetRecordManage().GetRecord(sn).expense; }

// Keys one at a time with the event loop running between them, as a person types.
void TypeSlowly(QWidget* edit, const QString& text) {
    for (const QChar c : text) {
        QTest::keyClick(edit, c.toLatin1());
        QTest::qWait(100);
    }
}

}  // namespace

// A household's session on the record page, through real mouse and key events, with the
// book checked after each step.
class WindowSessionTest : public QObject {
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

    // A date typed digit by digit is taken once, when Enter is pressed; a box left as it
    // was reloads nothing.
    void TypingADateCommitsOnceAndAnUnchangedBoxDoesNothing() {
        Page_cl page;
        page.show();
        page.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&page));
        QVERIFY(Control<CTL_ns::ComboBox_cl>(page, Page_cl::IdDateMode)->SelectByText(QStringLiteral("自定义")));
        QTest::qWait(100);
        auto* bar = page.findChild<Vorelle_ns::WRecordFilterBar_cl*>();
        QVERIFY(bar != nullptr);
        QSignalSpy taken(bar, &Vorelle_ns::WRecordFilterBar_cl::FilterChanged);
        QDateEdit* begin = Control<QDateEdit>(page, Page_cl::IdBeginDate);
        // Double-clicking the year selects it, as a person starts typing a date over.
        QTest::mouseDClick(begin, Qt::LeftButton, {}, QPoint(12, begin->height() / 2));
        const QDate before = begin->date();
        TypeSlowly(begin, QStringLiteral("2017"));
        QCOMPARE(taken.count(), 0);
        // Leaving the box takes the date.
        auto* search = Control<QLineEdit>(page, Page_cl::IdSearch);
        QTest::mouseClick(search, Qt::LeftButton);
        QTest::qWait(100);
        QCOMPARE(begin->date(), QDate(2017, before.month(), before.day()));
        QCOMPARE(taken.count(), 1);

        QTest::keyClick(search, Qt::Key_Tab);
        QTest::mouseClick(begin, Qt::LeftButton, {}, QPoint(6, begin->height() / 2));
        QTest::keyClick(begin, Qt::Key_Tab);
        QTest::qWait(100);
        QCOMPARE(taken.count(), 1);
    }

    // 指定用户 with a name on the record page: the statistics pages, which share the
    // choice, open on the same person's figures.
    void ANamedUserCarriesToTheStatisticsPages() {
        const int32_t li = RecordSession_cl::AddUser(QStringLiteral("小李"), 2);
        Vorelle_ns::DataCore().GetRecordManage().AddRecord(QStringLiteral("餐饮"), QStringLiteral("午饭"), -1250, QString(),
                                                           Base_ns::DateTime_cl::Now(), 0, li);
        {
            Page_cl page;
            page.show();
            QTest::qWait(200);
            QVERIFY(Control<CTL_ns::ComboBox_cl>(page, Page_cl::IdUserMode)->SelectByText(QStringLiteral("指定用户")));
            auto* name = Control<CTL_ns::ComboBox_cl>(page, Page_cl::IdUserName);
            QTest::mouseClick(name->lineEdit(), Qt::LeftButton);
            // Chinese arrives from the input method, committed as a whole.
            QInputMethodEvent typed;
            typed.setCommitString(QStringLiteral("小李"));
            QApplication::sendEvent(name->lineEdit(), &typed);
            QTest::keyClick(name->lineEdit(), Qt::Key_Return);
            QTest::qWait(200);
            QCOMPARE(Control<CTL_ns::Report_cl>(page, Page_cl::IdRecords)->RowCount(), 1);
        }
        Vorelle_ns::WMonthCrosstabPage_cl month;
        month.show();
        QTest::qWait(300);
        QCOMPARE(Control<CTL_ns::ComboBox_cl>(month, Vorelle_ns::WCrosstabPage_cl::IdUserName)->Text(),
                 QStringLiteral("小李"));
        QVERIFY(environment->prompt.shown.isEmpty());
    }

    void SelectOpenChangeDeleteAndUndo() {
        const QDate today = QDate::currentDate();
        const int32_t breakfast =
            RecordSession_cl::Book(QStringLiteral("餐饮"), QStringLiteral("早饭"), -650, QDateTime(today, QTime(8, 0)));
        const int32_t lunch =
            RecordSession_cl::Book(QStringLiteral("餐饮"), QStringLiteral("午饭"), -1250, QDateTime(today, QTime(12, 0)));
        const int32_t dinner =
            RecordSession_cl::Book(QStringLiteral("餐饮"), QStringLiteral("晚饭"), -2000, QDateTime(today, QTime(18, 0)));
        Page_cl page;
        page.show();
        QTest::qWait(300);
        CTL_ns::Report_cl* records = Control<CTL_ns::Report_cl>(page, Page_cl::IdRecords);
        QCOMPARE(records->RowCount(), 3);  // newest first

        QTest::mouseClick(records->viewport(), Qt::LeftButton, {}, RowPoint(records, 1));
        QTest::qWait(300);
        QCOMPARE(records->SelectedRows().Count(), 1);
        QCOMPARE(records->RowData(records->FirstSelectedRow()), lunch);

        auto changed = WhenShown<Vorelle_ns::WInputRecordDlg_cl>([](Vorelle_ns::WInputRecordDlg_cl& dialog) {
            Type(Control<CTL_ns::ComboBox_cl>(dialog, Vorelle_ns::WInputRecordDlg_cl::IdAmount), QStringLiteral("13"));
            Click(Control<QPushButton>(dialog, Vorelle_ns::WInputRecordDlg_cl::IdOK));
        });
        QTest::mouseDClick(records->viewport(), Qt::LeftButton, {}, RowPoint(records, 1));
        QTest::qWait(300);
        QVERIFY(changed->ran);
        // The window manager gives the page back the focus the dialog had.
        page.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&page));
        QCOMPARE(Amount(lunch), -1300);
        QCOMPARE(RecordSession_cl::SingleAccount(), -3950);
        // The changed entry stays the selected one.
        QCOMPARE(records->SelectedRows().Count(), 1);
        QCOMPARE(records->RowData(records->FirstSelectedRow()), lunch);

        QTest::mouseClick(records->viewport(), Qt::LeftButton, {}, RowPoint(records, 0));
        QTest::mouseClick(records->viewport(), Qt::LeftButton, Qt::ControlModifier, RowPoint(records, 2));
        QTest::qWait(300);
        QCOMPARE(records->SelectedRows().Count(), 2);
        QTest::keyClick(records, Qt::Key_Delete);
        QTest::qWait(300);
        QCOMPARE(environment->prompt.shown.size(), 1);
        QVERIFY(environment->prompt.shown[0].text.contains(QStringLiteral("2条")));
        QCOMPARE(RecordSession_cl::LiveRecords(), 1);
        QCOMPARE(records->RowCount(), 1);
        QCOMPARE(records->RowData(0), lunch);
        QCOMPARE(RecordSession_cl::SingleAccount(), -1300);

        QTest::keyClick(records, Qt::Key_Z, Qt::ControlModifier);
        QTest::qWait(300);
        QCOMPARE(RecordSession_cl::LiveRecords(), 3);
        QCOMPARE(records->RowCount(), 3);
        QCOMPARE(RecordSession_cl::SingleAccount(), -3950);
        QCOMPARE(Amount(breakfast) + Amount(dinner), -2650);
        // What came back is what is marked.
        QList<int32_t> marked;
        const auto selected = records->SelectedRows();
        for (auto id = selected.First(); !id.IsEmpty(); id.Next()) marked << records->RowData(id.Get());
        std::sort(marked.begin(), marked.end());
        QCOMPARE(marked, (QList<int32_t>{breakfast, dinner}));
    }

    void AmountBoundsAreTakenWhenTypingEnds_data() {
        QTest::addColumn<QString>("minimum");
        QTest::addColumn<QString>("maximum");
        QTest::addColumn<int>("boxes");
        QTest::addColumn<int>("rows");
        QTest::newRow("an upper bound of 1000") << QString() << QStringLiteral("1000") << 0 << 3;
        QTest::newRow("an upper bound of 10") << QString() << QStringLiteral("10") << 0 << 1;
        QTest::newRow("both") << QStringLiteral("10") << QStringLiteral("13") << 0 << 1;
        // The lower bound alone was taken when its box was left; the crossed pair is not.
        QTest::newRow("lower above upper, said once") << QStringLiteral("9000") << QStringLiteral("1") << 1 << 0;
        QTest::newRow("no amount, said once") << QString() << QStringLiteral("1x") << 1 << 3;
    }
    void AmountBoundsAreTakenWhenTypingEnds() {
        QFETCH(QString, minimum);
        QFETCH(QString, maximum);
        QFETCH(int, boxes);
        QFETCH(int, rows);
        const QDateTime now(QDate::currentDate(), QTime(9, 0));
        for (const int32_t cents : {-650, -1300, -2000}) {
            RecordSession_cl::Book(QStringLiteral("餐饮"), QStringLiteral("饭"), cents, now);
        }
        Page_cl page;
        page.show();
        QTest::qWait(300);
        auto* lower = Control<QLineEdit>(page, Page_cl::IdMinimum);
        auto* upper = Control<QLineEdit>(page, Page_cl::IdMaximum);
        CTL_ns::Report_cl* records = Control<CTL_ns::Report_cl>(page, Page_cl::IdRecords);
        lower->setFocus();
        TypeSlowly(lower, minimum);
        QTest::keyClick(lower, Qt::Key_Tab);
        TypeSlowly(upper, maximum);
        QCOMPARE(upper->text(), maximum);
        QVERIFY(environment->prompt.shown.isEmpty());
        QTest::keyClick(upper, Qt::Key_Return);
        QTest::qWait(300);
        // Leaving the box after Enter ends the same typing again: nothing more is said.
        records->setFocus();
        QTest::qWait(300);
        QCOMPARE(environment->prompt.shown.size(), boxes);
        QCOMPARE(upper->text(), maximum);
        QCOMPARE(records->RowCount(), rows);
    }

private:
    std::unique_ptr<Environment_cl> environment;
    std::unique_ptr<RecordSession_cl> session;
};

WINDOW_TEST(WindowSessionTest);
#include "WindowSessionTest.moc"
