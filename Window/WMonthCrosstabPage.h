#pragma once

#include "WCrosstabPage.h"

class QDateEdit;

namespace Vorelle_ns {

// The "月统计" tab: one column per calendar month from the begin date to the end date,
// counting the entries booked as monthly. The begin date is remembered; the end date
// starts at today.
class WMonthCrosstabPage_cl : public WCrosstabPage_cl {
    Q_OBJECT

public:
    static constexpr int32_t IdBeginDate = 1051;
    static constexpr int32_t IdEndDate = 1056;

    // Needs a logged-in user: the offered user modes follow his power, and the page's
    // remembered settings are his.
    explicit WMonthCrosstabPage_cl(QWidget* parent = nullptr);
    // Remembers the begin date.
    ~WMonthCrosstabPage_cl() override;

    static QString ClassName() { return QStringLiteral("WMonthCrosstabPage_cl"); }

    void EnableControls() override;

protected:
    void Initialise() override;
    // From the begin date's first second to the end date's last.
    DB_ns::CrossTable_st Query(bool allUsers, const QString& userName) override;
    QString RecentListKey() const override;
    QString CurrentPeriod() const override;
    RecordFilter_st::Counted_en Counted() const override;
    std::vector<std::pair<QString, int32_t>> Plans() override;
    // Within the begin and end dates.
    void ClampSpan(Base_ns::DateTime_cl& begin, Base_ns::DateTime_cl& end) const override;

private:
    QDateEdit* beginDate;
    QDateEdit* endDate;
};

}  // namespace Vorelle_ns
