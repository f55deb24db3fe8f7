#include "WLoginPage.h"

#include "Control/DataCore.h"
#include "Data/UserInput.h"
#include "DialogBuilder.h"
#include "base/UserError.h"
#include "settings/Unique.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

namespace Vorelle_ns {

namespace {

Base_ns::UserError_cl UserError(int32_t code, int32_t line, const QString& remark = QString()) {
    static const Base_ns::ErrorInfo_st table[] = {
        {101, "请选择数据库。"}};
    return Base_ns::UserError_cl(line, __FILE__, WLoginPage_cl::ClassName(), code, table, int32_t(std::size(table)),
                                 remark);
}

Base_ns::UserError_cl Refuse(QWidget* control, int32_t code, int32_t line) {
    control->setFocus();
    return UserError(code, line);
}

// Remembered values of the file storage.
const QString kRememberName = QStringLiteral("记住用户名");
const QString kRememberPassword = QStringLiteral("记住密码");
const QString kUserNames = QStringLiteral("用户名");
const QString kDatabase = QStringLiteral("数据库");
const QString kLastPassword = QStringLiteral("上次密码");

}  // namespace

WLoginPage_cl::WLoginPage_cl(QWidget* parent) : QWidget(parent) {
    using Style_en = CTL_ns::ComboBox_cl::Style_en;
    DialogBuilder_cl build(this);
    build.Label(QStringLiteral("数据库"), 20, 11, 25, 9);
    databaseCombo = build.ComboBox(IdDatabase, Style_en::DropDownList, 47, 10, 125, 143);
    build.Label(QStringLiteral("用户名"), 20, 33, 25, 9);
    userNameCombo = build.ComboBox(IdUserName, Style_en::DropDown, 47, 32, 125, 143);
    userNameCombo->SetField(QStringLiteral("用户名"));
    build.Label(QStringLiteral("密　码"), 19, 56, 25, 9);
    passwordEdit = build.PasswordEdit(IdPassword, 47, 54, 125, 12);
    rememberNameCheck = build.CheckBox(IdRememberName, QStringLiteral("记住用户名(&N)"), 40, 77, 60, 10);
    rememberPasswordCheck = build.CheckBox(IdRememberPassword, QStringLiteral("记住密码(&P)"), 119, 77, 52, 10);
    loginButton = build.Button(IdLogin, QStringLiteral("登录(&L)"), 28, 100, 50, 14);
    exitButton = build.Button(IdExit, QStringLiteral("退出(&E)"), 127, 100, 50, 14);
    deleteButton = build.Button(IdDelete, QStringLiteral("删除"), 173, 9, 24, 16);
    build.Size(Width, Height);
    loginButton->setDefault(true);

    autoSize.Register(this);
    autoSize.AddChildAligned(loginButton, 0, 2, 0, 0);
    autoSize.AddChildAligned(exitButton, 0, 2, 0, 0);

    connect(userNameCombo, &CTL_ns::ComboBox_cl::SelectionChanged, this, &WLoginPage_cl::OnUserNameChanged);
    connect(userNameCombo, &CTL_ns::ComboBox_cl::EditChanged, this, &WLoginPage_cl::OnUserNameChanged);
    connect(rememberNameCheck, &QCheckBox::clicked, this, &WLoginPage_cl::EnableControls);
    connect(loginButton, &QPushButton::clicked, this, &WLoginPage_cl::OnLogin);
    connect(exitButton, &QPushButton::clicked, this, [this] { window()->close(); });
    connect(deleteButton, &QPushButton::clicked, this, &WLoginPage_cl::OnDelete);

    FillDatabases();
    RestoreSettings();
    // With a remembered name only the password is left to type.
    if (userNameCombo->currentText().isEmpty()) {
        userNameCombo->setFocus();
    } else {
        passwordEdit->setFocus();
    }
}

void WLoginPage_cl::EnableControls() {
    for (QWidget* control : std::initializer_list<QWidget*>{databaseCombo, userNameCombo, passwordEdit,
                                                            rememberNameCheck, loginButton, exitButton})
        control->setEnabled(true);
    rememberPasswordCheck->setEnabled(rememberNameCheck->isChecked());
}

void WLoginPage_cl::FillDatabases() {
    databaseCombo->clear();
    const DatabaseManage_cl& links = DataCore().GetDatabaseManage();
    for (int32_t i = 0; i < links.GetCount(); ++i) databaseCombo->AddItem(links.GetLink(i).name, i);
}

void WLoginPage_cl::RestoreSettings() {
    Unique_ns::ICustom_cl& custom = Unique_ns::GetCustomFromFile();
    rememberNameCheck->setChecked(custom.ReadBoolean(kRememberName, false));
    rememberPasswordCheck->setChecked(custom.ReadBoolean(kRememberPassword, false));
    userNameCombo->Fill(Unique_ns::GetRecentRecordFromFile().List(kUserNames));
    // Filling selects the first name and reports it later like a choice of the user's:
    // only a name other than the one shown is a change.
    shownName = userNameCombo->currentText();
    // The book of the last login, named exactly.
    databaseCombo->SelectByText(custom.ReadString(kDatabase, QStringLiteral("默认")));
    passwordEdit->setText(custom.ReadString(kLastPassword, QString()));
}

void WLoginPage_cl::ReloadDatabases(int32_t index) {
    FillDatabases();
    databaseCombo->Select(index);
}

void WLoginPage_cl::SetUserName(const QString& userName) {
    userNameCombo->setCurrentIndex(-1);
    userNameCombo->setEditText(userName);
    shownName = userName;
    passwordEdit->clear();
    passwordEdit->setFocus();
}

void WLoginPage_cl::OnUserNameChanged() {
    // The box also reports its own choices late (a typed name that matches a remembered
    // one is selected when the box is left): the password typed meanwhile stays.
    const QString name = userNameCombo->currentText();
    if (name == shownName) return;
    shownName = name;
    passwordEdit->clear();
}

void WLoginPage_cl::OnDelete() {
    try {
        const int32_t selected = databaseCombo->currentIndex();
        if (selected < 0) return;
        DataCore().RemoveDatabase(databaseCombo->ItemData(selected), this);
        FillDatabases();
        userNameCombo->setCurrentIndex(-1);
        userNameCombo->clearEditText();
        passwordEdit->clear();
    } catch (const Base_ns::Error_cl& error) {
        error.Show(this);
    }
}

void WLoginPage_cl::OnLogin() {
    try {
        Login();
    } catch (const Base_ns::Error_cl& error) {
        error.Show(this);
    }
}

void WLoginPage_cl::Login() {
    const int32_t selected = databaseCombo->currentIndex();
    if (selected < 0) throw Refuse(databaseCombo, 101, __LINE__);
    const QString userName = userNameCombo->ValidatedText(QStringLiteral("'"), false);
    const QString password = passwordEdit->text();
    UserInput_cl::CheckPassword(password, [this](UserInput_cl::Field_en) { passwordEdit->setFocus(); });

    DataCore().Login(databaseCombo->ItemData(selected), userName, password);
    StoreSettings(userName, password);
    QMetaObject::invokeMethod(this, [this] { emit LoginSucceeded(); }, Qt::QueuedConnection);
}

void WLoginPage_cl::StoreSettings(const QString& userName, const QString& password) {
    Unique_ns::ICustom_cl& custom = Unique_ns::GetCustomFromFile();
    const bool rememberName = rememberNameCheck->isChecked();
    custom.WriteBoolean(kRememberName, rememberName);
    custom.WriteBoolean(kRememberPassword, rememberPasswordCheck->isChecked());
    // The book is no secret: the next start offers it again whether or not names are kept.
    custom.WriteString(kDatabase, databaseCombo->currentText());
    if (rememberName) {
        Unique_ns::GetRecentRecordFromFile().Add(kUserNames, userName);
        custom.WriteString(kLastPassword, rememberPasswordCheck->isChecked() ? password : QString());
    } else {
        custom.WriteString(kLastPassword, QString());
    }
}

void WLoginPage_cl::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    try {
        autoSize.Resize();
    } catch (const Base_ns::Error_cl& error) {
        error.Show(this);
    }
}

}  // namespace Vorelle_ns
