#include "CTL/ComboBox.h"
#include "RecordSession.h"
#include "Window/WInputRecordDlg.h"
#include "Window/WMonthCrosstabPage.h"
#include "Window/WRecordFilterBar.h"
#include "Window/WRecordManagePage.h"

#include <QDateTimeEdit>
#include <QLineEdit>
#include <QTest>

using namespace WindowTesting_ns;

// A date typed into a date box with the keys, the way a person comes to it: a click on
// the part to change, or all of it selected.
class DateTypingSessionTest : public QObject {
    Q_OBJECT

    // Clicks the box's text inside its character at.
    static void ClickAt(QDateTimeEdit* box, int32_t at) {
        auto* edit = box->findChild<QLineEdit*>();
        const int x = edit->fontMetrics().horizontalAdvance(edit->text().left(at)) +
                      edit->fontMetrics().horizontalAdvance(edit->text().at(at)) / 2 + 3;
        QTest::mouseClick(edit, Qt::LeftButton, {}, QPoint(x, edit->height() / 2));
    }

private slots:
    void init() {
        environment = std::make_unique<Environment_cl>();
        session = std::make_unique<RecordSession_cl>();
    }
    void cleanup() {
        session.reset();
        environment.reset();
    }

    void AWholeDateTypedIsThatDay_data() {
        QTest::addColumn<QString>("where");  // the entry dialog's box, the record page's or 月统计's 起始日期
        QTest::addColumn<int32_t>("at");   // the character clicked; -1: Ctrl+A
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QDate>("date");
        QTest::newRow("filter, clicked in the year") << "filter" << 1 << "20170101" << QDate(2017, 1, 1);
        QTest::newRow("filter, all selected") << "filter" << -1 << "20170101" << QDate(2017, 1, 1);
        QTest::newRow("filter, clicked in the day") << "filter" << 9 << "15" << QDate(2026, 12, 15);
        QTest::newRow("filter, clicked in the month") << "filter" << 6 << "0101" << QDate(2026, 1, 1);
        QTest::newRow("entry, clicked in the year") << "entry" << 2 << "20170101" << QDate(2017, 1, 1);
        QTest::newRow("entry, all selected") << "entry" << -1 << "20170101" << QDate(2017, 1, 1);
        QTest::newRow("month table, all selected") << "month" << -1 << "20170101" << QDate(2017, 1, 1);
    }
    void AWholeDateTypedIsThatDay() {
        QFETCH(QString, where);
        QFETCH(int32_t, at);
        QFETCH(QString, typed);
        QFETCH(QDate, date);
        const bool entry = where == QStringLiteral("entry");
        const QDate start(2026, 12, 10);
        Vorelle_ns::WInputRecordDlg_cl dialog(Base_ns::DateTime_cl::FromQDateTime(QDateTime(start, QTime(9, 30))), nullptr);
        Vorelle_ns::WRecordManagePage_cl page;
        Vorelle_ns::WMonthCrosstabPage_cl months;
        QWidget& window = entry ? static_cast<QWidget&>(dialog) : where == QStringLiteral("month") ? static_cast<QWidget&>(months) : page;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        Settle();
        QDateTimeEdit* box = nullptr;
        if (entry) {
            box = Control<QDateTimeEdit>(dialog, Vorelle_ns::WInputRecordDlg_cl::IdDate);
        } else if (where == QStringLiteral("month")) {
            box = Control<QDateTimeEdit>(months, Vorelle_ns::WMonthCrosstabPage_cl::IdBeginDate);
            box->setDate(start);
        } else {
            QVERIFY(Control<CTL_ns::ComboBox_cl>(page, Vorelle_ns::WRecordFilterBar_cl::IdDateMode)
                        ->SelectByText(QStringLiteral("自定义")));
            Settle();
            box = Control<QDateTimeEdit>(page, Vorelle_ns::WRecordFilterBar_cl::IdBeginDate);
            box->setDate(start);
        }
        if (at < 0) {
            ClickAt(box, 0);
            QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        } else {
            ClickAt(box, at);
        }
        QTest::keyClicks(box, typed);
        QCOMPARE(box->date(), date);
        if (entry) QCOMPARE(box->time(), QTime(9, 30));
    }

private:
    std::unique_ptr<Environment_cl> environment;
    std::unique_ptr<RecordSession_cl> session;
};

WINDOW_TEST(DateTypingSessionTest);

#include "DateTypingSessionTest.moc"
