#include "WCreateLocalDBPage.h"

#include "Control/DataCore.h"
#include "Control/LocalBookMaker.h"
#include "DialogBuilder.h"
#include "SystemInfo/Path.h"
#include "base/UserError.h"
#include "platform/prompt/Prompt.h"

#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>

namespace Vorelle_ns {

namespace {

Base_ns::UserError_cl UserError(int32_t code, int32_t line, const QString& remark = QString()) {
    static const Base_ns::ErrorInfo_st table[] = {{102, "请输入密码。"},         {103, "请输入密码确认。"},
                                                  {104, "两次密码不一致。"},     {106, "密码中有非法字符。"},
                                                  {107, "请输入数据库名。"},     {108, "请输入数据库文件路径。"},
                                                  {109, "这个文件不是本程序的账本，没有改动。请换一个文件名。"}};
    return Base_ns::UserError_cl(line, __FILE__, WCreateLocalDBPage_cl::ClassName(), code, table,
                                 int32_t(std::size(table)), remark);
}

Base_ns::UserError_cl Refuse(QLineEdit* edit, int32_t code, int32_t line) {
    edit->setFocus();
    return UserError(code, line);
}

const char* const kFilter = "数据库文件 (*.mdb)|*.mdb|";

}  // namespace

WCreateLocalDBPage_cl::WCreateLocalDBPage_cl(QWidget* parent) : WCreatePageBase_cl(parent) {
    DialogBuilder_cl build(this);
    const Qt::Alignment centred = Qt::AlignHCenter;
    build.Label(QStringLiteral("数据库名称"), 20, 8, 41, 9, centred);
    nameEdit = build.Edit(IdName, 62, 7, 110, 12);
    build.Label(QStringLiteral("文件路径"), 20, 27, 41, 9, centred);
    pathEdit = build.Edit(IdPath, 62, 26, 98, 12);
    browseButton = build.Button(IdBrowse, QStringLiteral("..."), 158, 25, 15, 14);
    build.Label(QStringLiteral("数据库密码"), 19, 47, 41, 9, centred);
    passwordEdit = build.PasswordEdit(IdPassword, 62, 45, 110, 12);
    build.Label(QStringLiteral("密码确认"), 19, 66, 41, 9, centred);
    confirmEdit = build.PasswordEdit(IdConfirm, 62, 64, 110, 12);
    createButton = build.Button(IdCreate, QStringLiteral("创建数据库(&C)"), 27, 81, 65, 14);
    exitButton = build.Button(IdExit, QStringLiteral("退出(&E)"), 111, 81, 65, 14);
    build.Size(Width, Height);

    RegisterButtons(createButton, exitButton);
    connect(nameEdit, &QLineEdit::textChanged, this, &WCreateLocalDBPage_cl::OnNameChanged);
    connect(browseButton, &QPushButton::clicked, this, &WCreateLocalDBPage_cl::OnBrowse);
    connect(createButton, &QPushButton::clicked, this, &WCreateLocalDBPage_cl::OnCreate);
}

void WCreateLocalDBPage_cl::EnableControls() {
    for (QWidget* control : std::initializer_list<QWidget*>{nameEdit, pathEdit, browseButton, passwordEdit,
                                                            confirmEdit, createButton, exitButton})
        control->setEnabled(true);
}

void WCreateLocalDBPage_cl::OnNameChanged(const QString& name) {
    if (!pathFollowsName) return;
    pathEdit->setText(name.isEmpty() ? QString() : QStringLiteral("本地库/") + name + QStringLiteral(".mdb"));
}

QString WCreateLocalDBPage_cl::BrowseFolder() const {
    const QString folder = SystemInfo_ns::GetApplicationFolder();
    return SystemInfo_ns::GetParentFolder(SystemInfo_ns::ResolvePath(folder, pathEdit->text()));
}

void WCreateLocalDBPage_cl::OnBrowse() {
    const QString chosen = Platform_ns::Prompt().SaveFile(this, QString::fromUtf8(kFilter), BrowseFolder(), QString());
    if (chosen.isEmpty()) return;
    pathEdit->setText(SystemInfo_ns::MakeRelativePath(SystemInfo_ns::GetApplicationFolder(), chosen));
    pathFollowsName = false;
}

void WCreateLocalDBPage_cl::OnCreate() {
    try {
        Create();
    } catch (const Base_ns::Error_cl& error) {
        error.Show(this);
    }
}

void WCreateLocalDBPage_cl::Create() {
    const QString name = nameEdit->text();
    const QString path = pathEdit->text();
    const QString password = passwordEdit->text();
    const QString confirm = confirmEdit->text();
    if (name.isEmpty()) throw Refuse(nameEdit, 107, __LINE__);
    if (path.isEmpty()) throw Refuse(pathEdit, 108, __LINE__);
    const QString resolved = SystemInfo_ns::ResolvePath(SystemInfo_ns::GetApplicationFolder(), path);
    if (password.isEmpty()) throw Refuse(passwordEdit, 102, __LINE__);
    if (confirm.isEmpty()) throw Refuse(confirmEdit, 103, __LINE__);
    if (confirm != password) throw Refuse(passwordEdit, 104, __LINE__);
    if (password.contains(u'"')) throw Refuse(passwordEdit, 106, __LINE__);

    DataCore_cl& core = DataCore();
    core.GetDatabaseManage().CheckNewName(name);
    if (QFileInfo::exists(resolved)) {
        TakeExisting(resolved, name, password);
        return;
    }
    QString adminName;
    QString adminPassword;
    if (!AskSuperAdmin(adminName, adminPassword)) return;
    // Built beside the target and renamed when whole: a failure or a kill leaves no file.
    LocalBookMaker_cl::Make(core, resolved, password, adminName, adminPassword);
    try {
        if (!core.AttachLocalDatabase(resolved, name, password)) throw UserError(109, __LINE__, resolved);
    } catch (...) {
        QFile::remove(resolved);
        throw;
    }
    emit UserNameSet(adminName);
    HandOver();
}

void WCreateLocalDBPage_cl::TakeExisting(const QString& path, const QString& name, const QString& password) {
    // A file that is no book belongs to the user: it is named and left as it is.
    if (LocalBookMaker_cl::IsHalfMade(path, password)) LocalBookMaker_cl::RefuseHalfMade(path);
    DataCore_cl& core = DataCore();
    if (!core.AttachLocalDatabase(path, name, password)) {
        core.GetDatabaseManage().RemoveLink(core.GetDatabaseManage().GetCount() - 1, false);
        throw UserError(109, __LINE__, path);
    }
    HandOver();
}

void WCreateLocalDBPage_cl::Reset() {
    pathFollowsName = true;
    for (QLineEdit* edit : {nameEdit, pathEdit, passwordEdit, confirmEdit}) edit->clear();
}

}  // namespace Vorelle_ns
