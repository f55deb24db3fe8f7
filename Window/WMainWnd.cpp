#include "WMainWnd.h"

#include "Control/DataCore.h"
#include "ScreenFit.h"
#include "WInputPasswordDlg.h"
#include "WPhoneDlg.h"
#include "WPhoneSettingsDlg.h"
#include "Web/CertificateFiles.h"
#include "Web/PairingLink.h"
#include "WStartDlg.h"
#include "base/Error.h"

#include <QAction>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QMenuBar>
#include <QLabel>
#include <QScreen>
#include <QSignalBlocker>
#include <QStatusBar>

namespace Vorelle_ns {

QPointer<WMainWnd_cl> WMainWnd_cl::current;

WMainWnd_cl::WMainWnd_cl() : tabCtrl(new CTL_ns::TabCtrl_cl(this)) {
    current = this;
    setWindowTitle(DataCore_cl::GetProductName() + QLatin1Char(' ') + DataCore_cl::GetSoftwareVersion());
    MakeMenu();
    setCentralWidget(tabCtrl);
    resize(Width, Height);

    userPage = std::make_unique<WUserManagePage_cl>(tabCtrl);
    userPage->setObjectName(QString::number(IdUserPage));
    recordPage = std::make_unique<WRecordManagePage_cl>(tabCtrl);
    recordPage->setObjectName(QString::number(IdRecordPage));
    connect(this, &WMainWnd_cl::RecordPageToReload, recordPage.get(), &WRecordManagePage_cl::Refresh);
    monthPage = std::make_unique<WMonthCrosstabPage_cl>(tabCtrl);
    monthPage->setObjectName(QString::number(IdMonthPage));
    yearPage = std::make_unique<WYearCrosstabPage_cl>(tabCtrl);
    yearPage->setObjectName(QString::number(IdYearPage));
    recyclePage = std::make_unique<WRecycleBinPage_cl>(tabCtrl);
    recyclePage->setObjectName(QString::number(IdRecyclePage));
    schedulePage = std::make_unique<WSchedulePage_cl>(tabCtrl);
    schedulePage->setObjectName(QString::number(IdSchedulePage));
    // A figure of a statistics page leads to its entries on the record page.
    for (WCrosstabPage_cl* page : std::initializer_list<WCrosstabPage_cl*>{monthPage.get(), yearPage.get()}) {
        connect(page, &WCrosstabPage_cl::EntriesWanted, this,
                [this](const QString& typeName, const Base_ns::DateTime_cl& begin, const Base_ns::DateTime_cl& end,
                       int32_t userMode, const QString& userName, RecordFilter_st::Counted_en counted) {
                    recordPage->ShowEntries(typeName, begin, end, userMode, userName, counted);
                    tabCtrl->SelectPage(recordPage.get());
                });
    }

    budgetPage = std::make_unique<WBudgetPage_cl>(tabCtrl);
    budgetPage->setObjectName(QString::number(IdBudgetPage));
    connect(budgetPage.get(), &WBudgetPage_cl::EntriesWanted, this,
            [this](const QString& typeName, const Base_ns::DateTime_cl& begin, const Base_ns::DateTime_cl& end,
                   int32_t userMode, const QString& userName, RecordFilter_st::Counted_en counted) {
                recordPage->ShowEntries(typeName, begin, end, userMode, userName, counted);
                tabCtrl->SelectPage(recordPage.get());
            });

    // The user page exists for everybody, but only the super administrator sees it.
    userPage->hide();
    if (DataCore().GetUserManage().CanManageUsers()) tabCtrl->AddPage(QStringLiteral("用户管理"), userPage.get());
    tabCtrl->AddPage(QStringLiteral("费用记录管理"), recordPage.get());
    tabCtrl->AddPage(QStringLiteral("月统计"), monthPage.get());
    tabCtrl->AddPage(QStringLiteral("年统计"), yearPage.get());
    tabCtrl->AddPage(QStringLiteral("预算"), budgetPage.get());
    tabCtrl->AddPage(QStringLiteral("定期记录"), schedulePage.get());
    // The bin shows other users' deletions: for those who may change other users' entries.
    recyclePage->hide();
    if (DataCore().GetUserManage().CanAlterOthers()) tabCtrl->AddPage(QStringLiteral("回收站"), recyclePage.get());
    tabCtrl->Select(0);

    tabCtrl->setEnabled(true);
    userPage->EnableControls();
    recordPage->EnableControls();
    monthPage->EnableControls();
    yearPage->EnableControls();
}

WMainWnd_cl::~WMainWnd_cl() = default;

QRect WMainWnd_cl::InitialRect(const QSize& screen) {
    return QRect((screen.width() - 800) / 2, (screen.height() - 600) / 2, Width, Height);
}

void WMainWnd_cl::Create() {
    const QRect rect = InitialRect(QGuiApplication::primaryScreen()->size());
    resize(rect.size());
    show();
    // Once shown the frame is known: its outer corner goes where the rectangle begins,
    // and a screen too small for it gets a smaller window.
    move(rect.topLeft());
    ScreenFit_cl::Fit(this);
}

void WMainWnd_cl::MakeMenu() {
    QMenu* user = menuBar()->addMenu(QStringLiteral("用户(&U)"));
    connect(AddAction(user, IdChangePassword, QStringLiteral("修改密码(&P)")), &QAction::triggered, this,
            &WMainWnd_cl::OnChangePassword);
    user->addSeparator();
    connect(AddAction(user, IdSwitchUser, QStringLiteral("切换用户(&L)")), &QAction::triggered, this,
            &WMainWnd_cl::OnSwitchUser);
    connect(AddAction(user, IdExit, QStringLiteral("退出(&E)")), &QAction::triggered, this, &QWidget::close);
    QMenu* phone = menuBar()->addMenu(QStringLiteral("手机记账(&M)"));
    QAction* serve = AddAction(phone, IdPhoneServe, QStringLiteral("在家庭网络上提供手机记账(&S)"));
    serve->setCheckable(true);
    connect(serve, &QAction::toggled, this, &WMainWnd_cl::OnPhoneServe);
    connect(AddAction(phone, IdPhoneDevices, QStringLiteral("手机设备和配对(&D)…")), &QAction::triggered, this, [this] {
        WPhoneDlg_cl dialog(
            [this](const QString& key) {
                if (phoneServer.IsRunning()) return phoneServer.PairingLink(key);
                const Web_ns::ServeSettings_st saved = WPhoneSettingsDlg_cl::Saved();
                return Web_ns::PairingLink_cl::Make(!saved.certFile.isEmpty(), saved.host, saved.port, key);
            },
            this);
        dialog.exec();
    });
    connect(AddAction(phone, IdPhoneSettings, QStringLiteral("地址和HTTPS证书(&T)…")), &QAction::triggered, this, [this] {
        WPhoneSettingsDlg_cl dialog(this);
        // Serving goes on under the new settings.
        if (dialog.exec() == QDialog::Accepted && phoneServer.IsRunning()) OnPhoneServe(true);
    });
    QMenu* help = menuBar()->addMenu(QStringLiteral("帮助(&H)"));
    QAction* version = AddAction(help, IdVersion, QStringLiteral("版本说明(&V)"));
    version->setShortcut(Qt::Key_F1);
    version->setShortcutContext(Qt::WindowShortcut);
    connect(version, &QAction::triggered, this, [this] { WStartDlg_cl::ShowVersion(this); });
}

QAction* WMainWnd_cl::AddAction(QMenu* menu, int32_t id, const QString& text) {
    QAction* action = menu->addAction(text);
    action->setObjectName(QString::number(id));
    return action;
}

QAction* WMainWnd_cl::GetAction(int32_t id) const { return findChild<QAction*>(QString::number(id)); }

void WMainWnd_cl::PostRecordsChanged() {
    if (current) QMetaObject::invokeMethod(current, &WMainWnd_cl::OnRecordsChanged, Qt::QueuedConnection);
}

void WMainWnd_cl::OnRecordsChanged() {
    if (recordPage->isVisible()) emit RecordPageToReload();
}

void WMainWnd_cl::OnPhoneServe(bool on) {
    if (!on) {
        phoneServer.Stop();
        if (phoneAddress != nullptr) phoneAddress->clear();
        return;
    }
    try {
        const Web_ns::ServeSettings_st settings = WPhoneSettingsDlg_cl::Saved();
        // The kept files may have changed since: a bad one is named before anything is served.
        Web_ns::CertificateFiles_cl::Check(settings.certFile, settings.keyFile);
        phoneServer.Start(DataCore().GetDatabaseManage().GetOpenLink(), settings);
        if (phoneAddress == nullptr) {
            phoneAddress = new QLabel(this);
            phoneAddress->setObjectName(QString::number(IdPhoneAddress));
            phoneAddress->setTextInteractionFlags(Qt::TextSelectableByMouse);
            statusBar()->addPermanentWidget(phoneAddress);
        }
        phoneAddress->setText(QStringLiteral("手机记账：") + phoneServer.Address());
    } catch (const Base_ns::Error_cl& error) {
        phoneServer.Stop();
        if (phoneAddress != nullptr) phoneAddress->clear();
        error.Show(this);
        const QSignalBlocker quiet(GetAction(IdPhoneServe));
        GetAction(IdPhoneServe)->setChecked(false);
    }
}

void WMainWnd_cl::OnChangePassword() {
    try {
        WInputPasswordDlg_cl dialog(this);
        dialog.exec();
    } catch (const Base_ns::Error_cl& error) {
        error.Show(this);
    }
}

void WMainWnd_cl::OnSwitchUser() {
    switchUser = true;
    close();
}

void WMainWnd_cl::closeEvent(QCloseEvent* event) {
    QMainWindow::closeEvent(event);
    if (event->isAccepted()) emit Closed();
}

}  // namespace Vorelle_ns
