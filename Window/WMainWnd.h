#pragma once

#include "CTL/TabCtrl.h"
#include "WBudgetPage.h"
#include "WMonthCrosstabPage.h"
#include "WRecordManagePage.h"
#include "WRecycleBinPage.h"
#include "WSchedulePage.h"
#include "WUserManagePage.h"
#include "WYearCrosstabPage.h"
#include "Web/PhoneServer.h"

#include <QMainWindow>
#include <QPointer>
#include <cstdint>
#include <memory>

class QAction;
class QLabel;

namespace Vorelle_ns {

// The window a successful login opens: the menu, and a tab control over the whole client
// area with the work pages the logged-in user may use. Closing it, by "退出(&E)", the close
// box or "切换用户(&L)", ends its pass of the login loop; the switch-user flag tells which.
class WMainWnd_cl : public QMainWindow {
    Q_OBJECT

public:
    static constexpr int32_t IdChangePassword = 32772;
    static constexpr int32_t IdSwitchUser = 32771;
    static constexpr int32_t IdExit = 32773;
    static constexpr int32_t IdVersion = 32787;
    static constexpr int32_t IdPhoneServe = 32800;
    static constexpr int32_t IdPhoneDevices = 32801;
    static constexpr int32_t IdPhoneSettings = 32802;
    static constexpr int32_t IdPhoneAddress = 32803;
    static constexpr int32_t IdUserPage = 142;
    static constexpr int32_t IdRecordPage = 143;
    static constexpr int32_t IdMonthPage = 154;
    static constexpr int32_t IdYearPage = 155;
    static constexpr int32_t IdRecyclePage = 156;
    static constexpr int32_t IdBudgetPage = 157;
    static constexpr int32_t IdSchedulePage = 158;
    static constexpr int32_t Width = 799;
    static constexpr int32_t Height = 599;

    // Builds the pages and the tabs for the logged-in user; raises what the users layer
    // raises.
    WMainWnd_cl();
    ~WMainWnd_cl() override;

    static QString ClassName() { return QStringLiteral("WMainWnd_cl"); }

    // Shows the window centred on the primary screen.
    void Create();
    // The window's rectangle on a screen of that size: 799 x 599, centred.
    static QRect InitialRect(const QSize& screen);
    // True only when the window was left through "切换用户(&L)".
    bool IsSwitchUser() const { return switchUser; }

    // Queues the records-changed notification to the main window, if one exists: the
    // record page reloads if it is visible when the notification is handled.
    static void PostRecordsChanged();

    CTL_ns::TabCtrl_cl& GetTabCtrl() { return *tabCtrl; }
    WUserManagePage_cl& GetUserPage() { return *userPage; }
    WRecordManagePage_cl& GetRecordPage() { return *recordPage; }
    WMonthCrosstabPage_cl& GetMonthPage() { return *monthPage; }
    WYearCrosstabPage_cl& GetYearPage() { return *yearPage; }
    WRecycleBinPage_cl& GetRecyclePage() { return *recyclePage; }
    WBudgetPage_cl& GetBudgetPage() { return *budgetPage; }
    WSchedulePage_cl& GetSchedulePage() { return *schedulePage; }
    QAction* GetAction(int32_t id) const;

signals:
    // The window was closed; IsSwitchUser() tells how.
    void Closed();
    // Records were saved while the record page was visible: it is to reload.
    void RecordPageToReload();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void MakeMenu();
    QAction* AddAction(QMenu* menu, int32_t id, const QString& text);
    void OnChangePassword();
    void OnSwitchUser();
    void OnRecordsChanged();
    // "手机记账": serves the phone page while the window is open, off by default.
    void OnPhoneServe(bool on);

    std::unique_ptr<WUserManagePage_cl> userPage;
    std::unique_ptr<WRecordManagePage_cl> recordPage;
    std::unique_ptr<WMonthCrosstabPage_cl> monthPage;
    std::unique_ptr<WYearCrosstabPage_cl> yearPage;
    std::unique_ptr<WRecycleBinPage_cl> recyclePage;
    std::unique_ptr<WBudgetPage_cl> budgetPage;
    std::unique_ptr<WSchedulePage_cl> schedulePage;
    CTL_ns::TabCtrl_cl* tabCtrl;
    bool switchUser = false;
    Web_ns::PhoneServer_cl phoneServer;
    QLabel* phoneAddress = nullptr;

    static QPointer<WMainWnd_cl> current;
};

}  // namespace Vorelle_ns
