#include "WYearCrosstabPage.h"

#include "Control/DataCore.h"

#include <QDate>

namespace Vorelle_ns {

WYearCrosstabPage_cl::WYearCrosstabPage_cl(QWidget* parent) : WCrosstabPage_cl({7, 26, 110, 198}, parent) {
    Handle([this] { Initialise(); });
}

DB_ns::CrossTable_st WYearCrosstabPage_cl::Query(bool allUsers, const QString& userName) {
    return DataCore().GetControlUser().GetYearCrosstab(allUsers, userName);
}

RecordFilter_st::Counted_en WYearCrosstabPage_cl::Counted() const { return RecordFilter_st::Counted_en::InYears; }

QString WYearCrosstabPage_cl::CurrentPeriod() const { return QDate::currentDate().toString(QStringLiteral("yyyy")); }

QString WYearCrosstabPage_cl::RecentListKey() const { return QStringLiteral("年统计检索用户名"); }

}  // namespace Vorelle_ns
