#include "Window/WSchedulePage.h"

#include "RecordSession.h"
#include "Window/WScheduleDlg.h"
#include "WindowTesting.h"

#include <QComboBox>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

using namespace WindowTesting_ns;
using Page_cl = Vorelle_ns::WSchedulePage_cl;
using Dialog_cl = Vorelle_ns::WScheduleDlg_cl;

namespace {

QStringList Row(QTableWidget& list, int row) {
    QStringList texts;
    for (int column = 0; column < list.columnCount(); ++column) texts << list.item(row, column)->text();
    return texts;
}

void Press(QWidget& window, int32_t id) {
    QTest::mouseClick(window.findChild<QPushButton*>(QString::number(id)), Qt::LeftButton);
}

// Chinese comes through an input method, which commits the composed text.
void Compose(QWidget* widget, const QString& text) {
    QInputMethodEvent event;
    event.setCommitString(text);
    QApplication::sendEvent(widget, &event);
}

}  // namespace

class WSchedulePageTest : public QObject {
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

    void AddsPausesAndDeletesASchedule() {
        Page_cl page;
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        QTableWidget& list = page.GetList();
        QCOMPARE(list.rowCount(), 0);

        // The dialog filled in as a user types: rent of 3500.00 on the last day of each month.
        WhenShown<Dialog_cl>([](Dialog_cl& dialog) {
            auto edit = [&](int32_t id) { return dialog.findChild<QLineEdit*>(QString::number(id)); };
            auto* category = dialog.findChild<QComboBox*>(QString::number(Dialog_cl::IdType));
            category->lineEdit()->selectAll();
            Compose(category->lineEdit(), QStringLiteral("居家"));
            Compose(edit(Dialog_cl::IdName), QStringLiteral("房租"));
            QTest::keyClicks(edit(Dialog_cl::IdAmount), QStringLiteral("3500"));
            auto* day = dialog.findChild<QWidget*>(QString::number(Dialog_cl::IdDay));
            day->setFocus();
            QTest::keyClick(day, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(day, QStringLiteral("31"));
            Press(dialog, Dialog_cl::IdOK);
        });
        Press(page, Page_cl::IdAdd);
        QCOMPARE(list.rowCount(), 1);
        const QStringList added = Row(list, 0);
        QCOMPARE(added.mid(1, 5), (QStringList{QStringLiteral("居家"), QStringLiteral("房租"), QStringLiteral("-3500.00"),
                                              QStringLiteral("每月月末"), QStringLiteral("不结束")}));
        const QDate today = QDate::currentDate();
        QCOMPARE(added[6], QDate(today.year(), today.month(), today.daysInMonth()).toString(Qt::ISODate));

        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualRect(list.model()->index(0, 1)).center());
        Press(page, Page_cl::IdPause);
        QCOMPARE(list.item(0, 7)->text(), QStringLiteral("暂停"));
        QCOMPARE(Vorelle_ns::DataCore().GetScheduleManage().GetDue(today.addYears(1)).Count(), 0);

        Press(page, Page_cl::IdDelete);  // asked, and answered OK
        QCOMPARE(list.rowCount(), 0);
        QCOMPARE(environment->prompt.shown.size(), 1);
        QCOMPARE(Vorelle_ns::DataCore().GetRecycleBin().GetDeletions().Count(), 1);
    }

private:
    std::unique_ptr<Environment_cl> environment;
    std::unique_ptr<RecordSession_cl> session;
};

WINDOW_TEST(WSchedulePageTest);

#include "WSchedulePageTest.moc"
