#include "WCreateSQLServerDBPage.h"

#include "Control/DataCore.h"
#include "DialogBuilder.h"
#include "base/UserError.h"

#include <QLineEdit>
#include <QPushButton>

namespace Vorelle_ns {

namespace {

Base_ns::UserError_cl UserError(int32_t code, int32_t line, const QString& remark = QString()) {
    static const Base_ns::ErrorInfo_st table[] = {
        {101, "请输入用户名。"},       {102, "请输入密码。"},       {105, "用户名中有非法字符。"},
        {106, "密码中有非法字符。"},   {107, "请输入数据库名。"},   {108, "请输入服务器地址。"},
        {109, "服务器地址中有非法字符。"}};
    return Base_ns::UserError_cl(line, __FILE__, WCreateSQLServerDBPage_cl::ClassName(), code, table,
                                 int32_t(std::size(table)), remark);
}

Base_ns::UserError_cl Refuse(QLineEdit* edit, int32_t code, int32_t line) {
    edit->setFocus();
    return UserError(code, line);
}

}  // namespace

WCreateSQLServerDBPage_cl::WCreateSQLServerDBPage_cl(QWidget* parent) : WCreatePageBase_cl(parent) {
    DialogBuilder_cl build(this);
    build.Label(QStringLiteral("数据库名称"), 20, 8, 41, 9);
    nameEdit = build.Edit(IdName, 62, 7, 110, 12);
    build.Label(QStringLiteral("服务器地址"), 20, 25, 41, 9);
    serverEdit = build.Edit(IdServer, 62, 24, 110, 12);
    build.Label(QStringLiteral("用户名"), 19, 42, 41, 9);
    userEdit = build.Edit(IdUser, 61, 41, 110, 12);
    build.Label(QStringLiteral("密　码"), 19, 60, 41, 9);
    passwordEdit = build.PasswordEdit(IdPassword, 62, 58, 110, 12);
    createButton = build.Button(IdCreate, QStringLiteral("创建数据库(&C)"), 27, 81, 65, 14);
    exitButton = build.Button(IdExit, QStringLiteral("退出(&E)"), 111, 81, 65, 14);
    build.Size(Width, Height);

    RegisterButtons(createButton, exitButton);
    connect(createButton, &QPushButton::clicked, this, &WCreateSQLServerDBPage_cl::OnCreate);
}

void WCreateSQLServerDBPage_cl::EnableControls() {
    for (QWidget* control :
         std::initializer_list<QWidget*>{nameEdit, serverEdit, userEdit, passwordEdit, createButton, exitButton})
        control->setEnabled(true);
}

void WCreateSQLServerDBPage_cl::OnCreate() {
    try {
        Create();
    } catch (const Base_ns::Error_cl& error) {
        error.Show(this);
    }
}

void WCreateSQLServerDBPage_cl::Create() {
    const QString name = nameEdit->text();
    const QString server = serverEdit->text();
    const QString user = userEdit->text();
    const QString password = passwordEdit->text();
    if (name.isEmpty()) throw Refuse(nameEdit, 107, __LINE__);
    if (server.isEmpty()) throw Refuse(serverEdit, 108, __LINE__);
    if (user.isEmpty()) throw Refuse(userEdit, 101, __LINE__);
    if (password.isEmpty()) throw Refuse(passwordEdit, 102, __LINE__);
    if (server.contains(u'"')) throw Refuse(serverEdit, 109, __LINE__);
    if (user.contains(u'"')) throw Refuse(userEdit, 105, __LINE__);
    if (password.contains(u'"')) throw Refuse(passwordEdit, 106, __LINE__);

    const bool initialised = DataCore().AttachSQLServerDatabase(server, name, user, password);
    Finish(initialised);
}

void WCreateSQLServerDBPage_cl::Reset() {
    for (QLineEdit* edit : {nameEdit, serverEdit, userEdit, passwordEdit}) edit->clear();
}

}  // namespace Vorelle_ns
