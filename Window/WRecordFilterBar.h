#pragma once

#include "CTL/ComboBox.h"
#include "Data/RecordFilter.h"
#include "base/DateTime.h"

#include <QStringList>
#include <QWidget>
#include <cstdint>

class QDateEdit;
class QLineEdit;
class QPushButton;

namespace Unique_ns {
class ICustom_cl;
}

namespace Vorelle_ns {

// The filters of the record page: the dates (a mode with its steps, or a range), the
// user, the search text, the category, the amount's bounds and the statistics mode. It
// holds the filter the page shows and tells the page through FilterChanged, once, when
// the user has changed it; never when the page refills its lists or sets it for a
// drill-down. An amount bound is checked when the user is done with it (Enter or leaving
// the box), and a wrong one is said once.
class WRecordFilterBar_cl : public QWidget {
    Q_OBJECT

public:
    // The recent names of 指定用户, shared with the statistics pages as the mode is.
    static inline const QString SearchedNamesKey = QStringLiteral("检索用户名");
    static constexpr int32_t IdDateMode = 1050;
    static constexpr int32_t IdBeginDate = 1051;
    static constexpr int32_t IdEndDate = 1056;
    static constexpr int32_t IdPrevious = 1057;
    static constexpr int32_t IdNext = 1058;
    static constexpr int32_t IdUserMode = 1052;
    static constexpr int32_t IdUserName = 1003;
    static constexpr int32_t IdSearch = 1069;
    static constexpr int32_t IdCategory = 1070;
    static constexpr int32_t IdMinimum = 1071;
    static constexpr int32_t IdMaximum = 1072;
    static constexpr int32_t IdCounted = 1076;

    // Date modes and user modes, as the item data of their lists.
    enum DateMode_en { Today = 0, ThisMonth = 1, LastThirtyDays = 2, Custom = 3 };
    enum UserMode_en { CurrentUser = 0, NamedUser = 1, AllUsers = 2 };

    // The filter as the page queries it.
    struct Filter_st {
        int32_t dateMode = Today;
        Base_ns::DateTime_cl begin;  // the first day at 0:00:00
        Base_ns::DateTime_cl end;    // the last day at 23:59:59
        int32_t userMode = CurrentUser;
        QString userName;  // the named user's; empty in the other modes
        RecordFilter_st filter;

        bool operator==(const Filter_st&) const = default;
    };

    // Placed over the top of the page, its parts at the page's positions in dialog units.
    explicit WRecordFilterBar_cl(QWidget* page);
    ~WRecordFilterBar_cl() override;

    static QString ClassName() { return QStringLiteral("WRecordFilterBar_cl"); }

    // The user modes offered (others' entries only to those who may see them) and the
    // filter the user left last time. Raises.
    void Restore(Unique_ns::ICustom_cl& custom, bool canViewOthers);
    void Store(Unique_ns::ICustom_cl& custom) const;
    // The categories offered, the chosen one kept while it is there (else all).
    void SetCategories(const QStringList& names);
    // Sets the filter of a drill-down: one category (empty: all) in a range, of a user
    // mode and name, with no search or bounds. Says nothing.
    void SetDrillDown(const QString& typeName, const Base_ns::DateTime_cl& begin, const Base_ns::DateTime_cl& end,
                      int32_t userMode, const QString& userName, RecordFilter_st::Counted_en counted);
    // Puts a name searched for at the top of the remembered names.
    void RememberName(const QString& name);

    const Filter_st& Filter() const { return shown; }

signals:
    void FilterChanged();

private:
    void Build();
    void SetDates(const Base_ns::DateTime_cl& begin, const Base_ns::DateTime_cl& end);
    void EnableDates();
    void OnDateMode();
    // The dates of the chosen mode (a custom range stays).
    void ApplyDateMode();
    void Step(int32_t direction);
    // Reads the parts; tells the page when that differs from what it shows.
    void Take();
    // False, after saying so once, when a bound is no amount or the lower one passes the
    // upper.
    bool ReadBounds(RecordFilter_st& filter);
    Filter_st Read() const;
    int32_t Data(const CTL_ns::ComboBox_cl* combo) const;
    template <typename Action>
    void Handle(Action&& action);

    Filter_st shown;
    QString refusedBounds;  // the bounds last said to be wrong

    CTL_ns::ComboBox_cl* dateModeCombo;
    QDateEdit* beginDate;
    QDateEdit* endDate;
    QPushButton* previousButton;
    QPushButton* nextButton;
    CTL_ns::ComboBox_cl* userModeCombo;
    CTL_ns::ComboBox_cl* userNameCombo;
    QLineEdit* searchEdit;
    CTL_ns::ComboBox_cl* categoryCombo;
    QLineEdit* minimumEdit;
    QLineEdit* maximumEdit;
    CTL_ns::ComboBox_cl* countedCombo;
};

}  // namespace Vorelle_ns
