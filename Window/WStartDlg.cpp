#include "WStartDlg.h"

#include "Control/DataCore.h"
#include "DialogBuilder.h"
#include "base/Error.h"
#include "platform/prompt/Prompt.h"

#include <QApplication>
#include <QKeyEvent>

namespace Vorelle_ns {

WStartDlg_cl::WStartDlg_cl(QWidget* parent)
    : QDialog(parent), tabCtrl(this), loginPage(&tabCtrl), createDBPage(&tabCtrl), restorePage(&tabCtrl) {
    setWindowIcon(QApplication::windowIcon());
    setWindowTitle(DataCore_cl::GetProductName() + QLatin1Char(' ') + DataCore_cl::GetSoftwareVersion());

    DialogBuilder_cl build(this);
    // Wide enough for the create page's three kinds of database side by side.
    build.Size(266, 155);
    setFixedSize(size());
    tabCtrl.setObjectName(QString::number(IdTab));
    tabCtrl.setGeometry(Platform_ns::DialogUnits_cl().Rect(7, 7, 252, 141));

    tabCtrl.AddPage(QStringLiteral("用户登录"), &loginPage);
    tabCtrl.AddPage(QStringLiteral("创建数据库"), &createDBPage);
    tabCtrl.AddPage(QStringLiteral("恢复备份"), &restorePage);
    // A first run, with no database known yet, starts with creating one.
    tabCtrl.Select(DataCore().GetDatabaseManage().GetCount() == 0 ? 1 : 0);
    autoSize.Register(this);
    autoSize.AddChildAligned(&tabCtrl, 0, 0, 1, 1);

    tabCtrl.setEnabled(true);
    loginPage.EnableControls();
    createDBPage.EnableControls();

    connect(&loginPage, &WLoginPage_cl::LoginSucceeded, this, &WStartDlg_cl::OnLoginSucceeded);
    connect(&createDBPage, &WCreateDBPage_cl::UserNameSet, &loginPage, &WLoginPage_cl::SetUserName);
    connect(&createDBPage, &WCreateDBPage_cl::DatabaseCreated, this, &WStartDlg_cl::OnDatabaseCreated);
    connect(&restorePage, &WRestoreBackupPage_cl::BookRestored, this, &WStartDlg_cl::OnDatabaseCreated);
}

void WStartDlg_cl::ShowVersion(QWidget* owner) {
    const QString product = DataCore_cl::GetProductName();
    Platform_ns::Prompt().Message(owner, product + QStringLiteral("\r\n\r\n") + DataCore_cl::GetSoftwareVersion(),
                                  product, Platform_ns::Buttons_en::OK);
}

void WStartDlg_cl::OnDatabaseCreated(int32_t index) {
    try {
        tabCtrl.SelectPage(&loginPage);
        loginPage.ReloadDatabases(index);
    } catch (const Base_ns::Error_cl& error) {
        error.Show(this);
    }
}

void WStartDlg_cl::OnLoginSucceeded() {
    loginSucceeded = true;
    accept();
}

void WStartDlg_cl::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // Only the login page has an OK command; on the create pages Enter does nothing.
        if (loginPage.isVisible()) loginPage.OnLogin();
        return;
    case Qt::Key_F1:
        ShowVersion(this);
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

void WStartDlg_cl::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    try {
        autoSize.Resize();
    } catch (const Base_ns::Error_cl& error) {
        error.Show(this);
    }
}

}  // namespace Vorelle_ns
