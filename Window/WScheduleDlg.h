#pragma once

#include "Data/Schedule.h"

#include <QDialog>
#include <cstdint>

class QComboBox;
class QDateEdit;
class QLineEdit;
class QSpinBox;

namespace Vorelle_ns {

// Adds a recurring entry (scheduleSn 0) or changes one: the entry's fields, how often it
// comes, from when and until when. Saved by "确定(&O)"; a refused one keeps the dialog open.
class WScheduleDlg_cl : public QDialog {
    Q_OBJECT

public:
    static constexpr int32_t IdUser = 2201;
    static constexpr int32_t IdKind = 2202;
    static constexpr int32_t IdType = 2203;
    static constexpr int32_t IdName = 2204;
    static constexpr int32_t IdAmount = 2205;
    static constexpr int32_t IdStatistics = 2206;
    static constexpr int32_t IdEvery = 2207;
    static constexpr int32_t IdInterval = 2208;
    static constexpr int32_t IdDay = 2209;
    static constexpr int32_t IdFrom = 2210;
    static constexpr int32_t IdEnd = 2211;
    static constexpr int32_t IdUntil = 2212;
    static constexpr int32_t IdCount = 2213;
    static constexpr int32_t IdComment = 2214;
    static constexpr int32_t IdOK = 2215;
    static constexpr int32_t Width = 260;
    static constexpr int32_t Height = 230;

    // Reads the schedule to change; raises what the data layer raises.
    explicit WScheduleDlg_cl(int32_t scheduleSn, QWidget* parent = nullptr);

    static QString ClassName() { return QStringLiteral("WScheduleDlg_cl"); }

    // Saves what the fields say and closes; shows a refusal and stays open.
    void Save();

private:
    void Fill(const Schedule_st& schedule);
    Schedule_st Read() const;
    void LoadTypes();
    // The day field's range and meaning follow the unit.
    void FollowEvery();

    int32_t scheduleSn;
    QComboBox* userCombo;
    QComboBox* kindCombo;
    QComboBox* typeCombo;
    QLineEdit* nameEdit;
    QLineEdit* amountEdit;
    QComboBox* statisticsCombo;
    QComboBox* everyCombo;
    QSpinBox* intervalSpin;
    QSpinBox* daySpin;
    QDateEdit* fromDate;
    QComboBox* endCombo;
    QDateEdit* untilDate;
    QSpinBox* countSpin;
    QLineEdit* commentEdit;
};

}  // namespace Vorelle_ns
