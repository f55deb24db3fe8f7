#include "Control/DataCore.h"
#include "Window/WInputPasswordDlg.h"
#include "Window/WInputUserDlg.h"
#include "Window/WMainWnd.h"
#include "Window/WSetSuperAdminDlg.h"
#include "Window/WStartDlg.h"
#include "Window/WUserManagePage.h"
#include "Window/WindowTesting.h"
#include "app/VorelleApp.h"

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>

using namespace WindowTesting_ns;
using Vorelle_ns::WCreateLocalDBPage_cl;
using Vorelle_ns::WInputPasswordDlg_cl;
using Vorelle_ns::WInputUserDlg_cl;
using Vorelle_ns::WLoginPage_cl;
using Vorelle_ns::WMainWnd_cl;
using Vorelle_ns::WSetSuperAdminDlg_cl;
using Vorelle_ns::WStartDlg_cl;
using Vorelle_ns::WUserManagePage_cl;

namespace {

const QString Super = QStringLiteral("老王");
const QString Normal = QStringLiteral("普通乙");
const QString Admin = QStringLiteral("管理甲");
const QString Independent = QStringLiteral("独立丙");

CVorelleApp& App() { return *static_cast<CVorelleApp*>(qApp); }

// One login of a run of the program: who logs in, and what he does in the main window.
// The start dialog may be prepared first (a new database on the first start).
struct Pass_st {
    QString userName;
    QString password;
    std::function<void(WMainWnd_cl&)> work;
    std::function<void(WStartDlg_cl&)> prepare = nullptr;
};

// Runs the program's real loop over the passes: each logs in on the start dialog, works in
// the main window, then switches user, or after the last pass leaves the program. Every
// window is left whatever the work found, so that a failing check cannot hang the loop.
void RunProgram(const QList<Pass_st>& passes) {
    auto next = std::make_shared<int32_t>(0);
    auto start = std::make_shared<std::function<void(WStartDlg_cl&)>>();
    *start = [passes, next, start](WStartDlg_cl& dialog) {
        const Pass_st& pass = passes[*next];
        if (pass.prepare) pass.prepare(dialog);
        WLoginPage_cl& page = dialog.GetLoginPage();
        Type(Control<CTL_ns::ComboBox_cl>(page, WLoginPage_cl::IdUserName), pass.userName);
        Type(Control<QLineEdit>(page, WLoginPage_cl::IdPassword), pass.password);
        WhenShown<WMainWnd_cl>([passes, next, start](WMainWnd_cl& window) {
            passes[*next].work(window);
            const bool last = ++*next == passes.size();
            if (!last) WhenShown<WStartDlg_cl>(*start);
            window.GetAction(last ? WMainWnd_cl::IdExit : WMainWnd_cl::IdSwitchUser)->trigger();
        });
        Click(Control<QPushButton>(page, WLoginPage_cl::IdLogin));
        // A refused login leaves the dialog open: end the run rather than wait forever.
        Settle();
        if (dialog.isVisible() && !dialog.IsLoginSucceeded()) dialog.reject();
    };
    WhenShown<WStartDlg_cl>(*start);
    App().InitInstance();
    App().ExitInstance();
    QCOMPARE(*next, int32_t(passes.size()));
}

QStringList TabTexts(WMainWnd_cl& window) {
    QStringList texts;
    for (int i = 0; i < window.GetTabCtrl().TabBar()->count(); ++i) texts << window.GetTabCtrl().TabBar()->tabText(i);
    return texts;
}

QStringList Column(CTL_ns::Report_cl& list, int32_t column) {
    QStringList texts;
    for (int32_t i = 0; i < list.RowCount(); ++i) texts << list.topLevelItem(i)->text(column);
    return texts;
}

// First start: a new local database with its super administrator, whose name the login
// page then offers.
void CreateDatabase(WStartDlg_cl& dialog) {
    QCOMPARE(dialog.GetTabCtrl().CurrentIndex(), 1);
    WCreateLocalDBPage_cl& page = dialog.GetCreateDBPage().GetLocalPage();
    Type(Control<QLineEdit>(page, WCreateLocalDBPage_cl::IdName), QStringLiteral("家庭"));
    Type(Control<QLineEdit>(page, WCreateLocalDBPage_cl::IdPassword), QStringLiteral("库密"));
    Type(Control<QLineEdit>(page, WCreateLocalDBPage_cl::IdConfirm), QStringLiteral("库密"));
    WhenShown<WSetSuperAdminDlg_cl>([](WSetSuperAdminDlg_cl& admin) {
        Control<QLineEdit>(admin, WSetSuperAdminDlg_cl::IdUserName)->setText(Super);
        Type(Control<QLineEdit>(admin, WSetSuperAdminDlg_cl::IdPassword), QStringLiteral("wang"));
        Type(Control<QLineEdit>(admin, WSetSuperAdminDlg_cl::IdConfirm), QStringLiteral("wang"));
        Click(Control<QPushButton>(admin, WSetSuperAdminDlg_cl::IdOK));
    });
    Click(Control<QPushButton>(page, WCreateLocalDBPage_cl::IdCreate));
    Settle();
    WLoginPage_cl& login = dialog.GetLoginPage();
    QCOMPARE(dialog.GetTabCtrl().CurrentIndex(), 0);
    QCOMPARE(Control<CTL_ns::ComboBox_cl>(login, WLoginPage_cl::IdDatabase)->Text(), QStringLiteral("家庭"));
    QCOMPARE(Control<CTL_ns::ComboBox_cl>(login, WLoginPage_cl::IdUserName)->Text(), Super);
    Click(Control<QCheckBox>(login, WLoginPage_cl::IdRememberName));
}

void AddUser(WUserManagePage_cl& page, const QString& userName, int32_t powerIndex) {
    WhenShown<WInputUserDlg_cl>([userName, powerIndex](WInputUserDlg_cl& dialog) {
        Control<QLineEdit>(dialog, WInputUserDlg_cl::IdUserName)->setText(userName);
        Type(Control<QLineEdit>(dialog, WInputUserDlg_cl::IdPassword), QStringLiteral("pw"));
        Type(Control<QLineEdit>(dialog, WInputUserDlg_cl::IdConfirm), QStringLiteral("pw"));
        Control<CTL_ns::ComboBox_cl>(dialog, WInputUserDlg_cl::IdPower)->Select(powerIndex);
        Click(Control<QPushButton>(dialog, WInputUserDlg_cl::IdOK));
    });
    Click(Control<QPushButton>(page, WUserManagePage_cl::IdNew));
}

void ChangePassword(WMainWnd_cl& window, const QString& oldPassword, const QString& newPassword) {
    WhenShown<WInputPasswordDlg_cl>([oldPassword, newPassword](WInputPasswordDlg_cl& dialog) {
        Type(Control<QLineEdit>(dialog, WInputPasswordDlg_cl::IdOldPassword), oldPassword);
        Type(Control<QLineEdit>(dialog, WInputPasswordDlg_cl::IdNewPassword), newPassword);
        Type(Control<QLineEdit>(dialog, WInputPasswordDlg_cl::IdConfirm), newPassword);
        Click(Control<QPushButton>(dialog, WInputPasswordDlg_cl::IdOK));
    });
    window.GetAction(WMainWnd_cl::IdChangePassword)->trigger();
}

void DeleteUser(WUserManagePage_cl& page, const QString& userName) {
    const int32_t row = int32_t(Column(page.GetList(), 0).indexOf(userName));
    QVERIFY(row >= 0);
    page.GetList().topLevelItem(row)->setSelected(true);
    QTest::keyClick(&page.GetList(), Qt::Key_Delete);
}

}  // namespace

// A new user's way through the whole program: the first start, the users, their entries,
// the statistics, and a second start that finds everything as it was left.
class EndToEndTest : public QObject {
    Q_OBJECT

private slots:
    void init() { environment = std::make_unique<Environment_cl>(); }
    void cleanup() { environment.reset(); }

    void NewHouseholdWalk() {
        const QStringList allTabs{QStringLiteral("用户管理"), QStringLiteral("费用记录管理"), QStringLiteral("月统计"),
                                  QStringLiteral("年统计")};
        const auto superWork = [&](WMainWnd_cl& window) {
            QCOMPARE(TabTexts(window), allTabs);
            WUserManagePage_cl& users = window.GetUserPage();
            AddUser(users, Normal, 1);
            AddUser(users, Admin, 0);
            AddUser(users, Independent, 2);
            QCOMPARE(Column(users.GetList(), 0), (QStringList{Super, Normal, Admin, Independent}));
            QCOMPARE(Column(users.GetList(), 1), (QStringList{QStringLiteral("超级管理员"), QStringLiteral("普通"),
                                                              QStringLiteral("管理员"), QStringLiteral("独立")}));
            ChangePassword(window, QStringLiteral("wang"), QStringLiteral("wang2"));
        };
        const auto memberWork = [&](WMainWnd_cl& window) { QCOMPARE(TabTexts(window), allTabs.mid(1)); };
        const auto lastWork = [&](WMainWnd_cl& window) {
            WUserManagePage_cl& users = window.GetUserPage();
            environment->prompt.answers << Platform_ns::Answer_en::OK;
            DeleteUser(users, Independent);
            QCOMPARE(Column(users.GetList(), 0), (QStringList{Super, Normal, Admin}));
        };
        RunProgram({{Super, QStringLiteral("wang"), superWork, CreateDatabase},
                    {Normal, QStringLiteral("pw"), memberWork},
                    {Admin, QStringLiteral("pw"), memberWork},
                    {Independent, QStringLiteral("pw"), memberWork},
                    {Super, QStringLiteral("wang2"), lastWork}});
        QCOMPARE(environment->prompt.shown.size(), 1);
        QCOMPARE(environment->prompt.shown[0].text, QStringLiteral("你真的要要删除该用户？"));
        QVERIFY(QFile::exists(environment->AppFolder() + QStringLiteral("本地库/家庭.mdb")));
        QVERIFY(QFile::exists(Vorelle_ns::DatabaseManage_cl::LinkFilePath()));

        // The next start: the database and the name are remembered, the deleted user is gone.
        environment->ReopenSettings();
        const auto remembered = [&](WMainWnd_cl& window) {
            QCOMPARE(Column(window.GetUserPage().GetList(), 0), (QStringList{Super, Normal, Admin}));
        };
        RunProgram({{Super, QStringLiteral("wang2"), remembered, [](WStartDlg_cl& dialog) {
                         QCOMPARE(dialog.GetTabCtrl().CurrentIndex(), 0);
                         WLoginPage_cl& login = dialog.GetLoginPage();
                         QCOMPARE(Control<CTL_ns::ComboBox_cl>(login, WLoginPage_cl::IdDatabase)->Text(),
                                  QStringLiteral("家庭"));
                         QCOMPARE(Control<CTL_ns::ComboBox_cl>(login, WLoginPage_cl::IdUserName)->Text(), Super);
                     }}});
        QCOMPARE(environment->prompt.shown.size(), 1);
    }

private:
    std::unique_ptr<Environment_cl> environment;
};

WINDOW_TEST(EndToEndTest);

#include "EndToEndTest.moc"
