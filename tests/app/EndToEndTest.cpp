#include "Control/DataCore.h"
#include "Window/WInputAccountDlg.h"
#include "Window/WInputPasswordDlg.h"
#include "Window/WInputRecordDlg.h"
#include "Window/WInputUserDlg.h"
#include "Window/WMainWnd.h"
#include "Window/WMonthCrosstabPage.h"
#include "Window/WRecordManagePage.h"
#include "Window/WSetSuperAdminDlg.h"
#include "Window/WStartDlg.h"
#include "Window/WUserManagePage.h"
#include "Window/WindowTesting.h"
#include "app/VorelleApp.h"

#include <QAction>
#include <QCheckBox>
#include <QDateEdit>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace WindowTesting_ns;
using CTL_ns::ComboBox_cl;
using Vorelle_ns::WCreateLocalDBPage_cl;
using Vorelle_ns::WInputAccountDlg_cl;
using Vorelle_ns::WInputRecordDlg_cl;
using Vorelle_ns::WInputPasswordDlg_cl;
using Vorelle_ns::WInputUserDlg_cl;
using Vorelle_ns::WLoginPage_cl;
using Vorelle_ns::WCrosstabPage_cl;
using Vorelle_ns::WMainWnd_cl;
using Vorelle_ns::WMonthCrosstabPage_cl;
using Vorelle_ns::WRecordManagePage_cl;
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
        Type(Control<ComboBox_cl>(page, WLoginPage_cl::IdUserName), pass.userName);
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
    *start = nullptr;  // it held itself
    QCOMPARE(*next, int32_t(passes.size()));
}

QStringList TabTexts(WMainWnd_cl& window) {
    QStringList texts;
    for (int i = 0; i < window.GetTabCtrl().TabBar()->count(); ++i) texts << window.GetTabCtrl().TabBar()->tabText(i);
    return texts;
}

QStringList Column(CTL_ns::Report_cl& list, int32_t column) {
    QStringList texts;
    for (int32_t i = 0; i < list.RowCount(); ++i) texts << list.Text(i, column);
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
    QCOMPARE(Control<ComboBox_cl>(login, WLoginPage_cl::IdDatabase)->Text(), QStringLiteral("家庭"));
    QCOMPARE(Control<ComboBox_cl>(login, WLoginPage_cl::IdUserName)->Text(), Super);
    Click(Control<QCheckBox>(login, WLoginPage_cl::IdRememberName));
}

void AddUser(WUserManagePage_cl& page, const QString& userName, int32_t powerIndex) {
    WhenShown<WInputUserDlg_cl>([userName, powerIndex](WInputUserDlg_cl& dialog) {
        Control<QLineEdit>(dialog, WInputUserDlg_cl::IdUserName)->setText(userName);
        Type(Control<QLineEdit>(dialog, WInputUserDlg_cl::IdPassword), QStringLiteral("pw"));
        Type(Control<QLineEdit>(dialog, WInputUserDlg_cl::IdConfirm), QStringLiteral("pw"));
        Control<ComboBox_cl>(dialog, WInputUserDlg_cl::IdPower)->Select(powerIndex);
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
    page.GetList().SelectRow(row);
    QTest::keyClick(&page.GetList(), Qt::Key_Delete);
}

// One entry as typed into the record dialog; the amount as typed, the kind gives the sign.
struct Entry_st {
    QDate date;
    bool income;
    QString category;
    QString name;
    QString amount;
};

// Books the entries one after the other in one record dialog, opened from the record page.
void Book(WMainWnd_cl& window, const QList<Entry_st>& entries) {
    WRecordManagePage_cl& page = window.GetRecordPage();
    window.GetTabCtrl().SelectPage(&page);
    WhenShown<WInputRecordDlg_cl>([entries](WInputRecordDlg_cl& dialog) {
        for (const Entry_st& entry : entries) {
            Control<CTL_ns::TabCtrl_cl>(dialog, WInputRecordDlg_cl::IdKindTab)->TabBar()->setCurrentIndex(entry.income);
            Control<QDateTimeEdit>(dialog, WInputRecordDlg_cl::IdDate)->setDateTime(QDateTime(entry.date, QTime(12, 0)));
            Type(Control<ComboBox_cl>(dialog, WInputRecordDlg_cl::IdCategory), entry.category);
            Type(Control<ComboBox_cl>(dialog, WInputRecordDlg_cl::IdName), entry.name);
            Type(Control<ComboBox_cl>(dialog, WInputRecordDlg_cl::IdAmount), entry.amount);
            Click(Control<QPushButton>(dialog, WInputRecordDlg_cl::IdOK));
        }
        Click(Control<QPushButton>(dialog, WInputRecordDlg_cl::IdCancel));
    });
    Click(Control<QPushButton>(page, WRecordManagePage_cl::IdNew));
    Settle();
}

// The record page over the first quarter of 2025, for the user mode given by its text.
WRecordManagePage_cl& ShowQuarter(WMainWnd_cl& window, const QString& userMode) {
    WRecordManagePage_cl& page = window.GetRecordPage();
    window.GetTabCtrl().SelectPage(&page);
    Control<ComboBox_cl>(page, WRecordManagePage_cl::IdDateMode)->SelectByText(QStringLiteral("自定义"));
    Control<ComboBox_cl>(page, WRecordManagePage_cl::IdUserMode)->SelectByText(userMode);
    Control<QDateEdit>(page, WRecordManagePage_cl::IdBeginDate)->setDate(QDate(2025, 1, 1));
    Control<QDateEdit>(page, WRecordManagePage_cl::IdEndDate)->setDate(QDate(2025, 3, 31));
    Settle();
    return page;
}

CTL_ns::Report_cl& Records(WRecordManagePage_cl& page) {
    return *Control<CTL_ns::Report_cl>(page, WRecordManagePage_cl::IdRecords);
}

// The sum list as "category amount" lines.
QStringList Sums(WRecordManagePage_cl& page) {
    CTL_ns::Report_cl& list = *Control<CTL_ns::Report_cl>(page, WRecordManagePage_cl::IdSums);
    QStringList lines;
    for (int32_t i = 0; i < list.RowCount(); ++i)
        lines << list.Text(i, 0) + u' ' + list.Text(i, 1);
    return lines;
}

QString Account(WRecordManagePage_cl& page) {
    return Control<QLabel>(page, WRecordManagePage_cl::IdAccount)->text();
}

void ChangeAccount(WRecordManagePage_cl& page, const QString& amount) {
    WhenShown<WInputAccountDlg_cl>([amount](WInputAccountDlg_cl& dialog) {
        Type(Control<QLineEdit>(dialog, WInputAccountDlg_cl::IdAmount), amount);
        Click(Control<QPushButton>(dialog, WInputAccountDlg_cl::IdOK));
    });
    Click(Control<QPushButton>(page, WRecordManagePage_cl::IdChangeAccount));
}

void DeleteAllRows(WRecordManagePage_cl& page) {
    Records(page).selectAll();
    QTest::keyClick(&Records(page), Qt::Key_Delete);
}

// A statistics page for everybody: its header, then each row as its cells.
QList<QStringList> Crosstab(WMainWnd_cl& window, WCrosstabPage_cl& page) {
    window.GetTabCtrl().SelectPage(&page);
    Control<ComboBox_cl>(page, WCrosstabPage_cl::IdUserMode)->SelectByText(QStringLiteral("所有用户"));
    Settle();
    CTL_ns::Report_cl& list = *Control<CTL_ns::Report_cl>(page, WCrosstabPage_cl::IdCrosstab);
    QList<QStringList> rows{{}};
    for (int column = 0; column < list.ColumnCount(); ++column) rows[0] << list.Title(column);
    for (int32_t row = 0; row < list.RowCount(); ++row) {
        rows << QStringList();
        for (int column = 0; column < list.ColumnCount(); ++column) rows.last() << list.Text(row, column);
    }
    return rows;
}

void PickQuarter(WMonthCrosstabPage_cl& page) {
    Control<QDateEdit>(page, WMonthCrosstabPage_cl::IdBeginDate)->setDate(QDate(2025, 1, 1));
    Control<QDateEdit>(page, WMonthCrosstabPage_cl::IdEndDate)->setDate(QDate(2025, 3, 31));
    Settle();
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
                                  QStringLiteral("年统计"), QStringLiteral("预算"), QStringLiteral("定期记录"), QStringLiteral("回收站")};
        RecordingPrompt_cl& prompt = environment->prompt;
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
            Book(window, {{QDate(2025, 1, 5), true, QStringLiteral("工资"), QStringLiteral("一月"), QStringLiteral("8000")},
                          {QDate(2025, 2, 10), false, QStringLiteral("餐饮"), QStringLiteral("午饭"), QStringLiteral("30")}});
        };
        // Exports his quarter, deletes it, and brings it back from the file.
        const QString csv = environment->AppFolder() + QStringLiteral("乙.csv");
        const auto normalWork = [&](WMainWnd_cl& window) {
            QCOMPARE(TabTexts(window), allTabs.mid(1, 5));
            Book(window, {{QDate(2025, 1, 20), false, QStringLiteral("餐饮"), QStringLiteral("晚饭"), QStringLiteral("50")},
                          {QDate(2025, 3, 3), false, QStringLiteral("交通"), QStringLiteral("地铁"), QStringLiteral("5")}});
            WRecordManagePage_cl& page = ShowQuarter(window, QStringLiteral("当前用户"));
            QCOMPARE(Column(Records(page), 2), (QStringList{QStringLiteral("地铁"), QStringLiteral("晚饭")}));
            const QStringList sums{QStringLiteral("交通 -5.00"), QStringLiteral("餐饮 -50.00"), QStringLiteral("【总计开销】 -55.00")};
            QCOMPARE(Sums(page), sums);
            QCOMPARE(Account(page), QStringLiteral("个人帐户 -55.00"));
            prompt.files << csv;
            Click(Control<QPushButton>(page, WRecordManagePage_cl::IdExport));
            DeleteAllRows(page);
            QCOMPARE(Records(page).RowCount(), 0);
            QVERIFY(!Control<QPushButton>(page, WRecordManagePage_cl::IdExport)->isEnabled());
            QCOMPARE(Account(page), QStringLiteral("个人帐户 0.00"));
            prompt.files << csv;
            Click(Control<QPushButton>(page, WRecordManagePage_cl::IdImport));
            QVERIFY(prompt.shown.value(0).text.startsWith(QStringLiteral("确定要删除选中的2条费用记录吗？")));
            QCOMPARE(prompt.shown.value(1).text, QStringLiteral("导入费用记录成功，共导入2条。"));
            QCOMPARE(Sums(page), sums);
            QCOMPARE(Account(page), QStringLiteral("个人帐户 -55.00"));
        };
        const auto adminWork = [&](WMainWnd_cl& window) {
            Book(window, {{QDate(2025, 3, 15), false, QStringLiteral("餐饮"), QStringLiteral("聚餐"), QStringLiteral("200")}});
            WRecordManagePage_cl& page = ShowQuarter(window, QStringLiteral("当前用户"));
            ChangeAccount(page, QStringLiteral("100.5"));
            QCOMPARE(Account(page), QStringLiteral("个人帐户 100.50"));
        };
        const auto independentWork = [&](WMainWnd_cl& window) {
            QCOMPARE(TabTexts(window), allTabs.mid(1, 5));
            Book(window, {{QDate(2025, 2, 2), false, QStringLiteral("交通"), QStringLiteral("打车"), QStringLiteral("40")}});
            WRecordManagePage_cl& page = ShowQuarter(window, QStringLiteral("当前用户"));
            QCOMPARE(Control<ComboBox_cl>(page, WRecordManagePage_cl::IdUserMode)->count(), 1);
            QCOMPARE(Sums(page), (QStringList{QStringLiteral("交通 -40.00"), QStringLiteral("【总计开销】 -40.00")}));
        };
        // Everybody's quarter; deleting the independent user takes his entry out of it.
        const auto lastWork = [&](WMainWnd_cl& window) {
            WRecordManagePage_cl& page = ShowQuarter(window, QStringLiteral("所有用户"));
            QCOMPARE(Records(page).RowCount(), 6);
            QCOMPARE(Sums(page).mid(3), (QStringList{QStringLiteral("【总计开销】 -325.00"), QStringLiteral("【总计收入】 8000.00"),
                                                     QStringLiteral("【结余】 7675.00")}));
            QCOMPARE(Account(page), QStringLiteral("公共帐户 7675.00"));
            PickQuarter(window.GetMonthPage());
            const QList<QStringList> months = Crosstab(window, window.GetMonthPage());
            QCOMPARE(months.value(0), (QStringList{QStringLiteral("分类"), QStringLiteral("2025-01"),
                                                   QStringLiteral("2025-02"), QStringLiteral("2025-03")}));
            QVERIFY(months.contains(QStringList{QStringLiteral("餐饮"), QStringLiteral("-50.00"), QStringLiteral("-30.00"),
                                                QStringLiteral("-200.00")}));
            QCOMPARE(months.mid(months.size() - 3),
                     (QList<QStringList>{{QStringLiteral("【总计开销】"), QStringLiteral("-50.00"), QStringLiteral("-70.00"), QStringLiteral("-205.00")},
                                         {QStringLiteral("【总计收入】"), QStringLiteral("8000.00"), QStringLiteral("0.00"), QStringLiteral("0.00")},
                                         {QStringLiteral("【结余】"), QStringLiteral("7950.00"), QStringLiteral("-70.00"), QStringLiteral("-205.00")}}));
            const QList<QStringList> years = Crosstab(window, window.GetYearPage());
            QCOMPARE(years.value(0), (QStringList{QStringLiteral("分类"), QStringLiteral("2025")}));
            QCOMPARE(years.last(), (QStringList{QStringLiteral("【结余】"), QStringLiteral("7675.00")}));
            window.GetTabCtrl().SelectPage(&window.GetUserPage());
            prompt.answers << Platform_ns::Answer_en::OK;
            DeleteUser(window.GetUserPage(), Independent);
            QCOMPARE(Column(window.GetUserPage().GetList(), 0), (QStringList{Super, Normal, Admin}));
            window.GetTabCtrl().SelectPage(&page);
            Settle();
            QCOMPARE(Records(page).RowCount(), 5);
            QCOMPARE(Account(page), QStringLiteral("公共帐户 7715.00"));
            ChangeAccount(page, QStringLiteral("10000"));
            QCOMPARE(Account(page), QStringLiteral("公共帐户 10000.00"));
        };
        RunProgram({{Super, QStringLiteral("wang"), superWork, CreateDatabase},
                    {Normal, QStringLiteral("pw"), normalWork},
                    {Admin, QStringLiteral("pw"), adminWork},
                    {Independent, QStringLiteral("pw"), independentWork},
                    {Super, QStringLiteral("wang2"), lastWork}});
        QCOMPARE(prompt.shown.size(), 3);
        QCOMPARE(prompt.shown[2].text, QStringLiteral("确定要删除用户“%1”吗？\r\n该用户的1条费用记录将移到回收站，"
                                                      "用户和记录都可以在回收站恢复。").arg(Independent));
        QVERIFY(QFile::exists(environment->AppFolder() + QStringLiteral("本地库/家庭.mdb")));
        QVERIFY(QFile::exists(Vorelle_ns::DatabaseManage_cl::LinkFilePath()));

        // The next start: the database, the name and the pages' modes are remembered, the
        // deleted user is gone.
        environment->ReopenSettings();
        const auto remembered = [&](WMainWnd_cl& window) {
            QCOMPARE(Column(window.GetUserPage().GetList(), 0), (QStringList{Super, Normal, Admin}));
            WRecordManagePage_cl& page = window.GetRecordPage();
            window.GetTabCtrl().SelectPage(&page);
            QCOMPARE(Control<ComboBox_cl>(page, WRecordManagePage_cl::IdDateMode)->Text(), QStringLiteral("自定义"));
            QCOMPARE(Control<ComboBox_cl>(page, WRecordManagePage_cl::IdUserMode)->Text(), QStringLiteral("所有用户"));
            ShowQuarter(window, QStringLiteral("所有用户"));
            QCOMPARE(Records(page).RowCount(), 5);
            QCOMPARE(Account(page), QStringLiteral("公共帐户 10000.00"));
            WMonthCrosstabPage_cl& month = window.GetMonthPage();
            window.GetTabCtrl().SelectPage(&month);
            QCOMPARE(Control<QDateEdit>(month, WMonthCrosstabPage_cl::IdBeginDate)->date(), QDate(2025, 1, 1));
            QCOMPARE(Control<ComboBox_cl>(month, WCrosstabPage_cl::IdUserMode)->Text(), QStringLiteral("所有用户"));
        };
        RunProgram({{Super, QStringLiteral("wang2"), remembered, [](WStartDlg_cl& dialog) {
                         QCOMPARE(dialog.GetTabCtrl().CurrentIndex(), 0);
                         WLoginPage_cl& login = dialog.GetLoginPage();
                         QCOMPARE(Control<ComboBox_cl>(login, WLoginPage_cl::IdDatabase)->Text(), QStringLiteral("家庭"));
                         QCOMPARE(Control<ComboBox_cl>(login, WLoginPage_cl::IdUserName)->Text(), Super);
                     }}});
        QCOMPARE(prompt.shown.size(), 3);
    }

private:
    std::unique_ptr<Environment_cl> environment;
};

WINDOW_TEST(EndToEndTest);

#include "EndToEndTest.moc"
