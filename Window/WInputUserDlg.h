#pragma once

#include "CTL/ComboBox.h"

#include <QDialog>
#include <QString>
#include <cstdint>

class QLineEdit;

namespace Vorelle_ns {

// Creates a user of the open database: name, password with its confirmation, and one of
// the powers below the super administrator.
class WInputUserDlg_cl : public QDialog {
    Q_OBJECT

public:
    static constexpr int32_t IdUserName = 1003;
    static constexpr int32_t IdPassword = 1004;
    static constexpr int32_t IdConfirm = 1014;
    static constexpr int32_t IdPower = 1050;
    static constexpr int32_t IdExplain = 1057;
    static constexpr int32_t IdOK = 1;
    static constexpr int32_t IdCancel = 2;
    static constexpr int32_t MaxLength = 16;

    explicit WInputUserDlg_cl(QWidget* parent = nullptr);

    static QString ClassName() { return QStringLiteral("WInputUserDlg_cl"); }

private:
    // Ends with OK once the user was created; otherwise shows why and stays open.
    void OnFinish();
    void Check(const QString& userName, const QString& password, const QString& confirm);
    void OnExplain();

    QLineEdit* userNameEdit;
    QLineEdit* passwordEdit;
    QLineEdit* confirmEdit;
    CTL_ns::ComboBox_cl* powerCombo;
};

}  // namespace Vorelle_ns
