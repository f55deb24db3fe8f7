#include "WInputUserDlg.h"

#include "Control/DataCore.h"
#include "DialogBuilder.h"
#include "CTL/LengthLimit.h"
#include "Window/ConvertInfo.h"
#include "Data/UserInput.h"
#include "platform/prompt/Prompt.h"

#include <QLineEdit>
#include <QPushButton>

namespace Vorelle_ns {

WInputUserDlg_cl::WInputUserDlg_cl(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("用户设置"));
    DialogBuilder_cl build(this);
    build.Label(QStringLiteral("用户名"), 13, 9, 41, 9);
    userNameEdit = build.Edit(IdUserName, 55, 8, 110, 12);
    build.Label(QStringLiteral("密　码"), 13, 29, 41, 9);
    passwordEdit = build.PasswordEdit(IdPassword, 56, 27, 110, 12);
    build.Label(QStringLiteral("密码确认"), 13, 48, 41, 9);
    confirmEdit = build.PasswordEdit(IdConfirm, 56, 46, 110, 12);
    build.Label(QStringLiteral("权　限"), 14, 67, 41, 9);
    powerCombo = build.ComboBox(IdPower, CTL_ns::ComboBox_cl::Style_en::DropDownList, 56, 66, 110, 30);
    QPushButton* explain = build.Button(IdExplain, QStringLiteral("?"), 165, 65, 15, 14);
    QPushButton* finish = build.Button(IdOK, QStringLiteral("完成(&F)"), 27, 92, 65, 14);
    QPushButton* cancel = build.Button(IdCancel, QStringLiteral("取消(&E)"), 111, 92, 65, 14);
    build.Size(187, 113);
    setFixedSize(size());

    // The super administrator is made with the database; here only the lower powers.
    for (int32_t power = 1; power <= 3; ++power) powerCombo->AddItem(ConvertInfo_cl::PowerToText(power), power);
    powerCombo->SelectDefault();
    for (QLineEdit* edit : {userNameEdit, passwordEdit, confirmEdit}) CTL_ns::LengthLimit_cl::Apply(edit, MaxLength);
    explain->setAutoDefault(false);
    finish->setDefault(true);
    connect(explain, &QPushButton::clicked, this, &WInputUserDlg_cl::OnExplain);
    connect(finish, &QPushButton::clicked, this, &WInputUserDlg_cl::OnFinish);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    userNameEdit->setFocus();
}

void WInputUserDlg_cl::OnExplain() {
    Platform_ns::Prompt().Message(
        this,
        QStringLiteral("超级管理员，可创建和删除用户，还可以查看修改删除所有用户的费用记录，以及修改公共帐户\r\n"
                       "管理员，可以查看修改删除所有用户的费用记录\r\n"
                       "普通，可以查看所有用户的费用记录，只能修改删除自己的费用记录\r\n"
                       "独立，只能查看修改删除自己的费用记录\r\n"),
        QStringLiteral("用户权限说明"), Platform_ns::Buttons_en::OK);
}

void WInputUserDlg_cl::OnFinish() {
    try {
        const QString userName = userNameEdit->text();
        const QString password = passwordEdit->text();
        Check(userName, password, confirmEdit->text());
        DataCore().GetUserManage().AddUser(userName, powerCombo->ItemData(powerCombo->CurrentSelection()), password);
        accept();
    } catch (const Base_ns::Error_cl& error) {
        error.Show(this);
    }
}

void WInputUserDlg_cl::Check(const QString& userName, const QString& password, const QString& confirm) {
    using Field_en = UserInput_cl::Field_en;
    UserInput_cl::CheckNewAccount(userName, password, confirm, [this](Field_en field) {
        (field == Field_en::Name ? userNameEdit : field == Field_en::Password ? passwordEdit : confirmEdit)->setFocus();
    });
}

}  // namespace Vorelle_ns
