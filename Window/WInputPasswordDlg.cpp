#include "WInputPasswordDlg.h"

#include "Control/DataCore.h"
#include "DialogBuilder.h"
#include "base/UserError.h"
#include "CTL/LengthLimit.h"

#include <QLineEdit>
#include <QPushButton>

namespace Vorelle_ns {

namespace {

Base_ns::UserError_cl UserError(int32_t code, int32_t line, const QString& remark = QString()) {
    static const Base_ns::ErrorInfo_st table[] = {{101, "请输入旧密码。"},       {102, "请输入新密码。"},
                                                  {103, "请输入密码确认。"},     {104, "两次密码不一致。"},
                                                  {105, "旧密码中有非法字符。"}, {106, "新密码中有非法字符。"}};
    return Base_ns::UserError_cl(line, __FILE__, WInputPasswordDlg_cl::ClassName(), code, table,
                                 int32_t(std::size(table)), remark);
}

}  // namespace

WInputPasswordDlg_cl::WInputPasswordDlg_cl(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("设置密码"));
    DialogBuilder_cl build(this);
    build.Label(QStringLiteral("旧密码"), 13, 9, 41, 9);
    oldEdit = build.PasswordEdit(IdOldPassword, 56, 7, 110, 12);
    build.Label(QStringLiteral("新密码"), 13, 29, 41, 9);
    newEdit = build.PasswordEdit(IdNewPassword, 56, 27, 110, 12);
    build.Label(QStringLiteral("密码确认"), 13, 48, 41, 9);
    confirmEdit = build.PasswordEdit(IdConfirm, 56, 46, 110, 12);
    QPushButton* finish = build.Button(IdOK, QStringLiteral("完成(&F)"), 27, 68, 65, 14);
    QPushButton* cancel = build.Button(IdCancel, QStringLiteral("取消(&E)"), 111, 68, 65, 14);
    build.Size(187, 89);
    setFixedSize(size());

    for (QLineEdit* edit : {oldEdit, newEdit, confirmEdit}) CTL_ns::LengthLimit_cl::Apply(edit, MaxLength);
    finish->setDefault(true);
    connect(finish, &QPushButton::clicked, this, &WInputPasswordDlg_cl::OnFinish);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(newEdit, &QLineEdit::textChanged, this, &WInputPasswordDlg_cl::OnNewPasswordChanged);
    oldEdit->setFocus();
}

void WInputPasswordDlg_cl::OnNewPasswordChanged() {
    if (!confirmEdit->text().isEmpty()) confirmEdit->clear();
}

void WInputPasswordDlg_cl::OnFinish() {
    try {
        const QString oldPassword = oldEdit->text();
        const QString newPassword = newEdit->text();
        Check(oldPassword, newPassword, confirmEdit->text());
        DataCore().GetUserManage().ChangePassword(oldPassword, newPassword);
        accept();
    } catch (const Base_ns::Error_cl& error) {
        error.Show(this);
    }
}

void WInputPasswordDlg_cl::Check(const QString& oldPassword, const QString& newPassword, const QString& confirm) {
    if (oldPassword.isEmpty()) {
        oldEdit->setFocus();
        throw UserError(101, __LINE__);
    }
    if (newPassword.isEmpty()) {
        newEdit->setFocus();
        throw UserError(102, __LINE__);
    }
    if (confirm.isEmpty()) {
        confirmEdit->setFocus();
        throw UserError(103, __LINE__);
    }
    if (confirm != newPassword) {
        newEdit->setFocus();
        throw UserError(104, __LINE__);
    }
    if (oldPassword.contains(u'\'')) {
        oldEdit->setFocus();
        throw UserError(105, __LINE__);
    }
    if (newPassword.contains(u'\'')) {
        newEdit->setFocus();
        throw UserError(106, __LINE__);
    }
}

}  // namespace Vorelle_ns
