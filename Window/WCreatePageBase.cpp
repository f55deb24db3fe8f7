#include "WCreatePageBase.h"

#include "Control/DataCore.h"
#include "WSetSuperAdminDlg.h"
#include "base/Error.h"

#include <QPushButton>

namespace Vorelle_ns {

WCreatePageBase_cl::WCreatePageBase_cl(QWidget* parent) : QWidget(parent) {}

void WCreatePageBase_cl::RegisterButtons(QPushButton* create, QPushButton* exit) {
    autoSize.Register(this);
    autoSize.AddChildAligned(create, 0, 2, 0, 0);
    autoSize.AddChildAligned(exit, 0, 2, 0, 0);
    connect(exit, &QPushButton::clicked, this, [this] { window()->close(); });
}

void WCreatePageBase_cl::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    try {
        autoSize.Resize();
    } catch (const Base_ns::Error_cl& error) {
        error.Show(this);
    }
}

void WCreatePageBase_cl::Finish(bool initialised) {
    const int32_t index = DataCore().GetDatabaseManage().GetCount() - 1;
    if (!initialised && !SetUpNewDatabase(index)) return;
    HandOver();
}

void WCreatePageBase_cl::HandOver() {
    const int32_t index = DataCore().GetDatabaseManage().GetCount() - 1;
    QMetaObject::invokeMethod(this, [this, index] { emit DatabaseCreated(index); }, Qt::QueuedConnection);
    Reset();
}

bool WCreatePageBase_cl::AskSuperAdmin(QString& userName, QString& password) {
    WSetSuperAdminDlg_cl dialog(this);
    if (dialog.exec() != QDialog::Accepted) return false;
    userName = dialog.GetUserName();
    password = dialog.GetPassword();
    return true;
}

bool WCreatePageBase_cl::SetUpNewDatabase(int32_t index) {
    QString userName;
    QString password;
    if (!AskSuperAdmin(userName, password)) {
        DataCore().GetDatabaseManage().RemoveLink(index, false);
        return false;
    }
    try {
        DataCore().InitDatabase(index, userName, password);
    } catch (const Base_ns::Error_cl&) {
        DataCore().GetDatabaseManage().RemoveLink(index, false);
        throw;
    }
    emit UserNameSet(userName);
    return true;
}

}  // namespace Vorelle_ns
