#include "CTL/Report.h"
#include "UserSession.h"
#include "Window/WMainWnd.h"
#include "Window/WRecordManagePage.h"

#include <QStatusBar>
#include <QTabBar>
#include <QTest>

using namespace WindowTesting_ns;
using Vorelle_ns::WMainWnd_cl;

// The main window without a mouse: the pages switch from the keyboard wherever the focus
// is, round at either end.
class KeyboardSessionTest : public QObject {
    Q_OBJECT

private slots:
    void init() { session = std::make_unique<UserSession_cl>(); }
    void cleanup() { session.reset(); }

    void PagesSwitchWithCtrlTabAndCtrlPageKeys() {
        WMainWnd_cl window;
        window.Create();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTabBar* bar = window.GetTabCtrl().TabBar();
        const int count = bar->count();
        QCOMPARE(bar->currentIndex(), 0);
        const struct {
            Qt::Key key;
            Qt::KeyboardModifiers modifiers;
            int index;  // the tab current after the key
        } steps[] = {{Qt::Key_Tab, Qt::ControlModifier, 1},
                     {Qt::Key_PageDown, Qt::ControlModifier, 2},
                     {Qt::Key_PageUp, Qt::ControlModifier, 1},
                     {Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier, 0},
                     {Qt::Key_PageUp, Qt::ControlModifier, count - 1},
                     {Qt::Key_Tab, Qt::ControlModifier, 0}};
        for (const auto& step : steps) {
            // The keys reach whatever has the focus on the page shown.
            QWidget* page = window.GetTabCtrl().CurrentPage();
            QWidget* focus = page->nextInFocusChain();
            while (focus != page && !(focus->focusPolicy() & Qt::TabFocus)) focus = focus->nextInFocusChain();
            focus->setFocus();
            QTest::keyClick(QApplication::focusWidget(), step.key, step.modifiers);
            QCOMPARE(bar->currentIndex(), step.index);
            QVERIFY(window.GetTabCtrl().CurrentPage()->isVisible());
        }
    }

    // A change of the book is never silent: the status bar says what was done.
    void DeletingAndUndoingSayWhatTheyDid() {
        for (const int32_t cents : {-650, -1250}) {
            Vorelle_ns::DataCore().GetRecordManage().AddRecord(QStringLiteral("餐饮"), QStringLiteral("饭"), cents, QString(),
                                                               Base_ns::DateTime_cl::Now(), 0);
        }
        WMainWnd_cl window;
        window.Create();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        window.GetTabCtrl().SelectPage(&window.GetRecordPage());
        QTest::qWait(300);
        auto* records = Control<CTL_ns::Report_cl>(window.GetRecordPage(), Vorelle_ns::WRecordManagePage_cl::IdRecords);
        QCOMPARE(records->RowCount(), 2);
        records->setFocus();
        QTest::keyClick(records, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(records, Qt::Key_Delete);
        QTest::qWait(200);
        QCOMPARE(window.statusBar()->currentMessage(), QStringLiteral("已删除2条费用记录，可按Ctrl+Z撤销。"));
        QTest::keyClick(records, Qt::Key_Z, Qt::ControlModifier);
        QTest::qWait(200);
        QCOMPARE(window.statusBar()->currentMessage(), QStringLiteral("已恢复2条费用记录。"));
        QCOMPARE(records->SelectedRows().Count(), 2);
    }

private:
    std::unique_ptr<UserSession_cl> session;
};

WINDOW_TEST(KeyboardSessionTest);

#include "KeyboardSessionTest.moc"
