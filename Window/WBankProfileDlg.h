#pragma once

#include <QDialog>
#include <QList>
#include <cstdint>

class QComboBox;
class QLineEdit;

namespace Vorelle_ns {

// Describes the columns of a bank's statement by their header titles, beside the first
// lines of the file, and saves the description under a name for this and later imports.
class WBankProfileDlg_cl : public QDialog {
    Q_OBJECT

public:
    static constexpr int32_t IdName = 1120;
    static constexpr int32_t IdDate = 1121;
    static constexpr int32_t IdDateFormat = 1122;
    static constexpr int32_t IdAmount = 1123;
    static constexpr int32_t IdIncome = 1124;
    static constexpr int32_t IdExpense = 1125;
    static constexpr int32_t IdDescription = 1126;
    static constexpr int32_t IdCounterparty = 1127;
    static constexpr int32_t IdBalance = 1128;
    static constexpr int32_t IdSerial = 1129;
    static constexpr int32_t IdOK = 1;
    static constexpr int32_t IdCancel = 2;

    // path: the statement to describe; raises its I/O errors.
    explicit WBankProfileDlg_cl(const QString& path, QWidget* parent = nullptr);

    static QString ClassName() { return QStringLiteral("WBankProfileDlg_cl"); }

private:
    void OnOK();

    QLineEdit* nameEdit = nullptr;
    QComboBox* dateFormat = nullptr;
    QList<QComboBox*> titles;  // date, amount, income, expense, description, counterparty, balance, serial
};

}  // namespace Vorelle_ns
