#include "Window/WMainWnd.h"
#include "Window/WInputPasswordDlg.h"

#include "UserSession.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabBar>
#include <QTest>

using namespace WindowTesting_ns;
using Vorelle_ns::DataCore;
using Vorelle_ns::WInputPasswordDlg_cl;
using Vorelle_ns::WMainWnd_cl;

class WMainWndTest : public QObject {
    Q_OBJECT

    static QStringList Tabs(WMainWnd_cl& window) {
        QStringList tabs;
        QTabBar* bar = window.GetTabCtrl().TabBar();
        for (int i = 0; i < bar->count(); ++i) tabs << bar->tabText(i);
        return tabs;
    }

private slots:
    void init() { session = std::make_unique<UserSession_cl>(); }
    void cleanup() { session.reset(); }

    void TheSuperAdministratorSeesEveryTab() {
        WMainWnd_cl window;
        window.Create();
        QCOMPARE(window.windowTitle(), QStringLiteral("ZantheVorelle管理软件 v0.1.2"));
        QCOMPARE(Tabs(window), (QStringList{QStringLiteral("用户管理"), QStringLiteral("费用记录管理"),
                                            QStringLiteral("月统计"), QStringLiteral("年统计"),
                                            QStringLiteral("预算"), QStringLiteral("定期记录"), QStringLiteral("回收站")}));
        QCOMPARE(window.GetTabCtrl().CurrentPage(), &window.GetUserPage());
        QVERIFY(window.GetUserPage().isVisible());
        QCOMPARE(window.GetUserPage().GetList().RowCount(), 1);
        QVERIFY(window.GetUserPage().GetList().isEnabled());
        QVERIFY(window.GetTabCtrl().isEnabled());
        QCOMPARE(window.centralWidget(), &window.GetTabCtrl());
    }

    void OtherUsersSeeTheirTabs_data() {
        QTest::addColumn<int>("power");
        QTest::addColumn<bool>("bin");  // administrators see the recycle bin
        QTest::newRow("administrator") << 1 << true;
        QTest::newRow("normal") << 2 << false;
        QTest::newRow("independent") << 3 << false;
    }
    void OtherUsersSeeTheirTabs() {
        QFETCH(int, power);
        QFETCH(bool, bin);
        session->AddUser(QStringLiteral("用户"), power);
        session->LogIn(QStringLiteral("用户"), QStringLiteral("pw"));
        WMainWnd_cl window;
        window.Create();
        QStringList tabs{QStringLiteral("费用记录管理"), QStringLiteral("月统计"), QStringLiteral("年统计"),
                         QStringLiteral("预算"), QStringLiteral("定期记录")};
        if (bin) tabs << QStringLiteral("回收站");
        QCOMPARE(Tabs(window), tabs);
        QCOMPARE(window.GetTabCtrl().CurrentPage(), &window.GetRecordPage());
        QVERIFY(!window.GetUserPage().isVisible());
        // The user list is never asked for, so nobody is told he may not manage users.
        QVERIFY(session->Prompt().shown.isEmpty());
    }

    void OpensCentredOnTheScreen() {
        const QRect rect = WMainWnd_cl::InitialRect(QSize(1024, 768));
        QCOMPARE(rect.topLeft(), QPoint(112, 84));
        QCOMPARE(rect.size(), QSize(799, 599));
        QCOMPARE(WMainWnd_cl::InitialRect(QSize(800, 600)).topLeft(), QPoint(0, 0));
    }

    void VersionBoxByMenuAndF1() {
        WMainWnd_cl window;
        window.Create();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        window.GetAction(WMainWnd_cl::IdVersion)->trigger();
        QTest::keyClick(&window, Qt::Key_F1);
        QCOMPARE(session->Prompt().shown.size(), 2);
        for (const RecordingPrompt_cl::Shown_st& shown : session->Prompt().shown) {
            QCOMPARE(shown.text, QStringLiteral("ZantheVorelle管理软件\r\n\r\nv0.1.2"));
            QCOMPARE(shown.caption, QStringLiteral("ZantheVorelle管理软件"));
            QCOMPARE(shown.buttons, Platform_ns::Buttons_en::OK);
        }
    }

    void ExitAndTheCloseBoxEndTheProgram() {
        for (bool byMenu : {true, false}) {
            WMainWnd_cl window;
            window.Create();
            QSignalSpy closed(&window, &WMainWnd_cl::Closed);
            if (byMenu) {
                window.GetAction(WMainWnd_cl::IdExit)->trigger();
            } else {
                window.close();
            }
            QCOMPARE(closed.count(), 1);
            QVERIFY(!window.isVisible());
            QVERIFY(!window.IsSwitchUser());
        }
    }

    void SwitchUserLetsAnotherUserIn() {
        session->AddUser(QStringLiteral("普通乙"), 2);
        {
            WMainWnd_cl window;
            window.Create();
            QSignalSpy closed(&window, &WMainWnd_cl::Closed);
            window.GetAction(WMainWnd_cl::IdSwitchUser)->trigger();
            QCOMPARE(closed.count(), 1);
            QVERIFY(!window.isVisible());
            QVERIFY(window.IsSwitchUser());
        }
        session->LogIn(QStringLiteral("普通乙"), QStringLiteral("pw"));
        WMainWnd_cl next;
        next.Create();
        QVERIFY(!next.IsSwitchUser());
        QCOMPARE(Tabs(next).value(0), QStringLiteral("费用记录管理"));
    }

    void ChangePasswordFromTheMenu() {
        WMainWnd_cl window;
        window.Create();
        const auto watch = WhenShown<WInputPasswordDlg_cl>([](WInputPasswordDlg_cl& dialog) {
            Type(Control<QLineEdit>(dialog, WInputPasswordDlg_cl::IdOldPassword), UserSession_cl::SuperPassword);
            Type(Control<QLineEdit>(dialog, WInputPasswordDlg_cl::IdNewPassword), QStringLiteral("neu"));
            Type(Control<QLineEdit>(dialog, WInputPasswordDlg_cl::IdConfirm), QStringLiteral("neu"));
            Click(Control<QPushButton>(dialog, WInputPasswordDlg_cl::IdOK));
        });
        window.GetAction(WMainWnd_cl::IdChangePassword)->trigger();
        QVERIFY(watch->ran);
        QVERIFY(session->Prompt().shown.isEmpty());
        session->LogIn(UserSession_cl::SuperName, QStringLiteral("neu"));
    }

    void RecordsChangedReloadsOnlyAVisibleRecordPage() {
        WMainWnd_cl window;
        window.Create();
        QSignalSpy reloads(&window, &WMainWnd_cl::RecordPageToReload);
        window.GetTabCtrl().SelectPage(&window.GetRecordPage());
        WMainWnd_cl::PostRecordsChanged();
        QCOMPARE(reloads.count(), 0);  // queued: handled after the sender's handler
        QCoreApplication::processEvents();
        QCOMPARE(reloads.count(), 1);

        window.GetTabCtrl().Select(2);
        WMainWnd_cl::PostRecordsChanged();
        QCoreApplication::processEvents();
        QCOMPARE(reloads.count(), 1);
    }

private:
    std::unique_ptr<UserSession_cl> session;
};

WINDOW_TEST(WMainWndTest);

#include "WMainWndTest.moc"
