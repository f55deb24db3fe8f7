#pragma once

#include "CTL/ComboBox.h"
#include "SystemInfo/AutoSize.h"

#include <QWidget>
#include <cstdint>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace Vorelle_ns {

// "用户登录": pick a saved database, give a user name and password, log in. Remembers the
// last user names, the last database and, when asked, the last password.
class WLoginPage_cl : public QWidget {
    Q_OBJECT

public:
    static constexpr int32_t IdDatabase = 1002;
    static constexpr int32_t IdUserName = 1003;
    static constexpr int32_t IdPassword = 1004;
    static constexpr int32_t IdRememberName = 1005;
    static constexpr int32_t IdRememberPassword = 1006;
    static constexpr int32_t IdLogin = 1;
    static constexpr int32_t IdExit = 2;
    static constexpr int32_t IdDelete = 1034;
    // The designed size, in dialog units.
    static constexpr int32_t Width = 212;
    static constexpr int32_t Height = 121;

    explicit WLoginPage_cl(QWidget* parent = nullptr);

    static QString ClassName() { return QStringLiteral("WLoginPage_cl"); }

    // "记住密码" is enabled only while "记住用户名" is checked.
    void EnableControls();
    // Refills the database list from the saved links and selects the link at index.
    void ReloadDatabases(int32_t index);
    // Takes a user name set elsewhere: the password box is emptied and gets the focus.
    void SetUserName(const QString& userName);
    // "登录(&L)"; failures are shown over the page.
    void OnLogin();

signals:
    // Queued, so it arrives after the login handler has returned.
    void LoginSucceeded();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void FillDatabases();
    void RestoreSettings();
    void StoreSettings(const QString& userName, const QString& password);
    void Login();
    void OnUserNameChanged();
    void OnDelete();

    SystemInfo_ns::AutoSize_cl autoSize;
    CTL_ns::ComboBox_cl* databaseCombo;
    CTL_ns::ComboBox_cl* userNameCombo;
    QLineEdit* passwordEdit;
    QCheckBox* rememberNameCheck;
    QCheckBox* rememberPasswordCheck;
    QPushButton* loginButton;
    QPushButton* exitButton;
    QPushButton* deleteButton;
    // The name the password box belongs to: a report of the same name again keeps it.
    QString shownName;
};

}  // namespace Vorelle_ns
