#pragma once

#include "WCrosstabPage.h"

namespace Vorelle_ns {

// The "年统计" tab: one column per calendar year from the earliest entry to the latest,
// counting the entries booked as monthly or yearly.
class WYearCrosstabPage_cl : public WCrosstabPage_cl {
    Q_OBJECT

public:
    // Needs a logged-in user: the offered user modes follow his power, and the page's
    // remembered settings are his.
    explicit WYearCrosstabPage_cl(QWidget* parent = nullptr);

    static QString ClassName() { return QStringLiteral("WYearCrosstabPage_cl"); }

protected:
    DB_ns::CrossTable_st Query(bool allUsers, const QString& userName) override;
    QString RecentListKey() const override;
    QString CurrentPeriod() const override;
    RecordFilter_st::Counted_en Counted() const override;
};

}  // namespace Vorelle_ns
