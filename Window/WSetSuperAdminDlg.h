#pragma once

#include <QDialog>
#include <QString>
#include <cstdint>

class QLineEdit;

namespace Vorelle_ns {

// Asks for the first user of a new database, its super administrator. Only collects and
// checks the two values; the caller initialises the database with them.
class WSetSuperAdminDlg_cl : public QDialog {
    Q_OBJECT

public:
    static constexpr int32_t IdUserName = 1003;
    static constexpr int32_t IdPassword = 1004;
    static constexpr int32_t IdConfirm = 1014;
    static constexpr int32_t IdOK = 1;
    static constexpr int32_t IdCancel = 2;
    // The width of the user name and password columns of the user table.
    static constexpr int32_t MaxLength = 16;

    explicit WSetSuperAdminDlg_cl(QWidget* parent = nullptr);

    static QString ClassName() { return QStringLiteral("WSetSuperAdminDlg_cl"); }

    // As typed; meaningful after the dialog ended with OK.
    QString GetUserName() const { return userName; }
    QString GetPassword() const { return password; }

private:
    // Ends with OK when the checks pass; otherwise shows the failure and stays open.
    void OnFinish();
    void Check();

    QLineEdit* userNameEdit;
    QLineEdit* passwordEdit;
    QLineEdit* confirmEdit;
    QString userName;
    QString password;
    QString confirm;
};

}  // namespace Vorelle_ns
