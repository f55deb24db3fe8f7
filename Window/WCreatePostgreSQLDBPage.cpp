#include "WCreatePostgreSQLDBPage.h"

#include "Control/DataCore.h"
#include "Data/DatabaseManage.h"
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
        {109, "服务器地址中有非法字符。"}, {110, "端口必须是1到65535之间的数字。"},
        {111, "数据库中有非法字符。"}};
    return Base_ns::UserError_cl(line, __FILE__, WCreatePostgreSQLDBPage_cl::ClassName(), code, table,
                                 int32_t(std::size(table)), remark);
}

Base_ns::UserError_cl Refuse(QLineEdit* edit, int32_t code, int32_t line) {
    edit->setFocus();
    return UserError(code, line);
}

// Characters the connection cannot carry in an address, a database or a login.
bool Unfit(const QString& text) { return text.contains(u'"') || text.contains(u';') || text.contains(u'/'); }

}  // namespace

WCreatePostgreSQLDBPage_cl::WCreatePostgreSQLDBPage_cl(QWidget* parent) : WCreatePageBase_cl(parent) {
    DialogBuilder_cl build(this);
    build.Label(QStringLiteral("数据库名称"), 20, 8, 41, 9);
    nameEdit = build.Edit(IdName, 62, 7, 110, 12);
    build.Label(QStringLiteral("服务器地址"), 20, 23, 41, 9);
    serverEdit = build.Edit(IdServer, 62, 22, 62, 12);
    build.Label(QStringLiteral("端口"), 128, 23, 18, 9);
    portEdit = build.Edit(IdPort, 146, 22, 26, 12);
    build.Label(QStringLiteral("数据库"), 20, 38, 41, 9);
    databaseEdit = build.Edit(IdDatabase, 62, 37, 110, 12);
    build.Label(QStringLiteral("用户名"), 20, 53, 41, 9);
    userEdit = build.Edit(IdUser, 62, 52, 110, 12);
    build.Label(QStringLiteral("密　码"), 20, 68, 41, 9);
    passwordEdit = build.PasswordEdit(IdPassword, 62, 67, 110, 12);
    createButton = build.Button(IdCreate, QStringLiteral("创建数据库(&C)"), 27, 84, 65, 14);
    exitButton = build.Button(IdExit, QStringLiteral("退出(&E)"), 111, 84, 65, 14);
    build.Size(Width, Height);
    portEdit->setPlaceholderText(QStringLiteral("5432"));
    databaseEdit->setPlaceholderText(QStringLiteral("同用户名"));

    RegisterButtons(createButton, exitButton);
    connect(createButton, &QPushButton::clicked, this, &WCreatePostgreSQLDBPage_cl::OnCreate);
}

void WCreatePostgreSQLDBPage_cl::EnableControls() {
    for (QWidget* control : std::initializer_list<QWidget*>{nameEdit, serverEdit, portEdit, databaseEdit, userEdit,
                                                            passwordEdit, createButton, exitButton})
        control->setEnabled(true);
}

void WCreatePostgreSQLDBPage_cl::OnCreate() {
    try {
        Create();
    } catch (const Base_ns::Error_cl& error) {
        error.Show(this);
    }
}

void WCreatePostgreSQLDBPage_cl::Create() {
    const QString name = nameEdit->text();
    const QString server = serverEdit->text().trimmed();
    const QString port = portEdit->text().trimmed();
    const QString database = databaseEdit->text().trimmed();
    const QString user = userEdit->text();
    const QString password = passwordEdit->text();
    if (name.isEmpty()) throw Refuse(nameEdit, 107, __LINE__);
    if (server.isEmpty()) throw Refuse(serverEdit, 108, __LINE__);
    if (user.isEmpty()) throw Refuse(userEdit, 101, __LINE__);
    if (password.isEmpty()) throw Refuse(passwordEdit, 102, __LINE__);
    if (Unfit(server) || server.contains(u':')) throw Refuse(serverEdit, 109, __LINE__);
    bool number = true;
    if (!port.isEmpty() && (port.toUShort(&number) == 0 || !number)) throw Refuse(portEdit, 110, __LINE__);
    if (database.contains(u'"') || database.contains(u';')) throw Refuse(databaseEdit, 111, __LINE__);
    if (Unfit(user)) throw Refuse(userEdit, 105, __LINE__);
    if (password.contains(u'"')) {
        passwordEdit->setFocus();
        throw UserError(106, __LINE__);  // the password is never shown
    }

    const QString address = port.isEmpty() ? server : server + u':' + port;
    const bool initialised = DataCore().AttachPostgreSQLDatabase(address, database, name, user, password);
    Finish(initialised);
}

void WCreatePostgreSQLDBPage_cl::Reset() {
    for (QLineEdit* edit : {nameEdit, serverEdit, portEdit, databaseEdit, userEdit, passwordEdit}) edit->clear();
}

}  // namespace Vorelle_ns
