#pragma once

#include <QDialog>
#include <QString>
#include <cstdint>

class QLineEdit;

namespace Vorelle_ns {

// Asks for the new balance of the public account or of the logged-in user's personal
// account, starting from the present one. Only reads the amount; the caller sets it.
class WInputAccountDlg_cl : public QDialog {
    Q_OBJECT

public:
    static constexpr int32_t IdAmount = 1067;
    static constexpr int32_t IdOK = 1;
    static constexpr int32_t IdCancel = 2;

    // Reads the present balance: raises what the users layer raises (an independent user
    // may not see the public account).
    explicit WInputAccountDlg_cl(bool isPublic, QWidget* parent = nullptr);

    static QString ClassName() { return QStringLiteral("WInputAccountDlg_cl"); }

    // In cents; meaningful after the dialog ended with OK.
    int32_t GetAmount() const { return amount; }

private:
    void OnOK();
    void Check();

    QLineEdit* amountEdit;
    int32_t amount = 0;
};

}  // namespace Vorelle_ns
