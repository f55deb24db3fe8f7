#include "WSetSuperAdminDlg.h"

#include "DialogBuilder.h"
#include "Data/UserInput.h"
#include "base/Error.h"
#include "CTL/LengthLimit.h"

#include <QLineEdit>
#include <QPushButton>

namespace Vorelle_ns {

WSetSuperAdminDlg_cl::WSetSuperAdminDlg_cl(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("超级管理员设置"));
    DialogBuilder_cl build(this);
    build.Label(QStringLiteral("该数据库首次使用，请设置超级管理员："), 19, 9, 155, 9);
    build.Label(QStringLiteral("用户名"), 19, 24, 41, 9);
    userNameEdit = build.Edit(IdUserName, 61, 23, 110, 12);
    build.Label(QStringLiteral("密　码"), 19, 44, 41, 9);
    passwordEdit = build.PasswordEdit(IdPassword, 62, 42, 110, 12);
    build.Label(QStringLiteral("密码确认"), 19, 63, 41, 9);
    confirmEdit = build.PasswordEdit(IdConfirm, 62, 61, 110, 12);
    QPushButton* finish = build.Button(IdOK, QStringLiteral("完成(&F)"), 27, 85, 65, 14);
    QPushButton* cancel = build.Button(IdCancel, QStringLiteral("取消(&E)"), 111, 85, 65, 14);
    build.Size(210, 106);
    setFixedSize(size());

    for (QLineEdit* edit : {userNameEdit, passwordEdit, confirmEdit}) CTL_ns::LengthLimit_cl::Apply(edit, MaxLength);
    finish->setDefault(true);
    connect(finish, &QPushButton::clicked, this, &WSetSuperAdminDlg_cl::OnFinish);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    userNameEdit->setFocus();
}

void WSetSuperAdminDlg_cl::OnFinish() {
    try {
        Check();
        accept();
    } catch (const Base_ns::Error_cl& error) {
        error.Show(this);
    }
}

void WSetSuperAdminDlg_cl::Check() {
    userName = userNameEdit->text();
    password = passwordEdit->text();
    confirm = confirmEdit->text();
    using Field_en = UserInput_cl::Field_en;
    UserInput_cl::CheckNewAccount(userName, password, confirm, [this](Field_en field) {
        (field == Field_en::Name ? userNameEdit : field == Field_en::Password ? passwordEdit : confirmEdit)->setFocus();
    });
}

}  // namespace Vorelle_ns
