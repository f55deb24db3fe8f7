#include "WSetSuperAdminDlg.h"

#include "DialogBuilder.h"
#include "base/UserError.h"

#include <QLineEdit>
#include <QPushButton>

namespace Vorelle_ns {

namespace {

Base_ns::UserError_cl UserError(int32_t code, int32_t line, const QString& remark = QString()) {
    static const Base_ns::ErrorInfo_st table[] = {{101, "请输入用户名。"},     {102, "请输入密码。"},
                                                  {103, "请输入密码确认。"},   {104, "两次密码不一致。"},
                                                  {105, "用户名中有非法字符。"}, {106, "密码中有非法字符。"}};
    return Base_ns::UserError_cl(line, __FILE__, WSetSuperAdminDlg_cl::ClassName(), code, table,
                                 int32_t(std::size(table)), remark);
}

// Moves the focus to the offending box before the error is raised.
Base_ns::UserError_cl Refuse(QLineEdit* edit, int32_t code, int32_t line) {
    edit->setFocus();
    return UserError(code, line);
}

}  // namespace

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

    for (QLineEdit* edit : {userNameEdit, passwordEdit, confirmEdit}) edit->setMaxLength(MaxLength);
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
    if (userName.isEmpty()) throw Refuse(userNameEdit, 101, __LINE__);
    if (password.isEmpty()) throw Refuse(passwordEdit, 102, __LINE__);
    if (confirm.isEmpty()) throw Refuse(confirmEdit, 103, __LINE__);
    if (confirm != password) throw Refuse(passwordEdit, 104, __LINE__);
    if (userName.contains(u'\'')) throw Refuse(userNameEdit, 105, __LINE__);
    if (password.contains(u'\'')) throw Refuse(passwordEdit, 106, __LINE__);
}

}  // namespace Vorelle_ns
