#pragma once

#include <QDialog>
#include <QString>
#include <cstdint>

class QLineEdit;

namespace Vorelle_ns {

// Changes the logged-in user's password: the old one, the new one and its confirmation.
class WInputPasswordDlg_cl : public QDialog {
    Q_OBJECT

public:
    static constexpr int32_t IdOldPassword = 1005;
    static constexpr int32_t IdNewPassword = 1004;
    static constexpr int32_t IdConfirm = 1014;
    static constexpr int32_t IdOK = 1;
    static constexpr int32_t IdCancel = 2;
    static constexpr int32_t MaxLength = 16;

    explicit WInputPasswordDlg_cl(QWidget* parent = nullptr);

    static QString ClassName() { return QStringLiteral("WInputPasswordDlg_cl"); }

private:
    // Ends with OK once the password was changed; otherwise shows why and stays open.
    void OnFinish();
    void Check(const QString& oldPassword, const QString& newPassword, const QString& confirm);
    // A confirmation typed for another new password no longer confirms anything.
    void OnNewPasswordChanged();

    QLineEdit* oldEdit;
    QLineEdit* newEdit;
    QLineEdit* confirmEdit;
};

}  // namespace Vorelle_ns
