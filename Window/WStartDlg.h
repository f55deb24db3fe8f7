#pragma once

#include "CTL/TabCtrl.h"
#include "SystemInfo/AutoSize.h"
#include "WCreateDBPage.h"
#include "WLoginPage.h"
#include "WRestoreBackupPage.h"

#include <QDialog>
#include <cstdint>

namespace Vorelle_ns {

// The modal dialog every pass of the program starts with: "用户登录" hosts the login page,
// "创建数据库" the create-database pages. It ends with or without a logged-in user.
class WStartDlg_cl : public QDialog {
    Q_OBJECT

public:
    static constexpr int32_t IdTab = 1013;

    explicit WStartDlg_cl(QWidget* parent = nullptr);

    static QString ClassName() { return QStringLiteral("WStartDlg_cl"); }

    // True only after the login page reported a successful login.
    bool IsLoginSucceeded() const { return loginSucceeded; }

    CTL_ns::TabCtrl_cl& GetTabCtrl() { return tabCtrl; }
    WLoginPage_cl& GetLoginPage() { return loginPage; }
    WCreateDBPage_cl& GetCreateDBPage() { return createDBPage; }
    WRestoreBackupPage_cl& GetRestorePage() { return restorePage; }

    // The version box, owned by owner.
    static void ShowVersion(QWidget* owner);

protected:
    // Enter logs in when the login tab is shown; Escape closes; F1 shows the version.
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void OnDatabaseCreated(int32_t index);
    void OnLoginSucceeded();

    // Declared before the pages it shows, so the pages go first.
    CTL_ns::TabCtrl_cl tabCtrl;
    WLoginPage_cl loginPage;
    WCreateDBPage_cl createDBPage;
    WRestoreBackupPage_cl restorePage;
    SystemInfo_ns::AutoSize_cl autoSize;
    bool loginSucceeded = false;
};

}  // namespace Vorelle_ns
