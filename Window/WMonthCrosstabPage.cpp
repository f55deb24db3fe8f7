#include "WMonthCrosstabPage.h"

#include "Control/DataCore.h"
#include "Data/Budget.h"
#include "DateTyping.h"
#include "DialogBuilder.h"
#include "base/DateTime.h"
#include "platform/widgets/DialogUnits.h"
#include "settings/Unique.h"

#include <QDateEdit>
#include <QSignalBlocker>

namespace Vorelle_ns {

namespace {

const QString kBeginDateKey = QStringLiteral("月统计起始日期");

QDateEdit* MakePicker(QWidget* page, int32_t id, int32_t x) {
    auto* picker = new QDateEdit(page);
    picker->setObjectName(QString::number(id));
    picker->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    picker->setCalendarPopup(true);
    DateTyping_cl::Install(picker);
    Platform_ns::DialogUnits_cl().Place(picker, x, 9, 69, 15);
    return picker;
}

Base_ns::DateTime_cl At(const QDate& date, int32_t hour, int32_t minute, int32_t second) {
    return Base_ns::DateTime_cl::FromParts(date.year(), date.month(), date.day(), hour, minute, second);
}

}  // namespace

WMonthCrosstabPage_cl::WMonthCrosstabPage_cl(QWidget* parent)
    : WCrosstabPage_cl({226, 245, 329, 417}, parent) {
    DialogBuilder_cl build(this);
    build.Label(QStringLiteral("起始日期"), 9, 9, 32, 15);
    beginDate = MakePicker(this, IdBeginDate, 44);
    build.Label(QStringLiteral("终止日期"), 116, 9, 32, 15);
    endDate = MakePicker(this, IdEndDate, 152);
    PutFirstInTabOrder({beginDate, endDate});
    for (QDateEdit* picker : {beginDate, endDate}) {
        connect(picker, &QDateEdit::dateChanged, this, &WMonthCrosstabPage_cl::Refresh);
    }
    Handle([this] { Initialise(); });
}

WMonthCrosstabPage_cl::~WMonthCrosstabPage_cl() {
    try {
        Unique_ns::GetCustomFromDatabase().WriteString(kBeginDateKey, At(beginDate->date(), 0, 0, 0).FormatDate());
    } catch (const Base_ns::Error_cl& error) {
        error.Show(nullptr);
    }
}

void WMonthCrosstabPage_cl::Initialise() {
    const Base_ns::DateTime_cl newYear = Base_ns::DateTime_cl::FromParts(QDate::currentDate().year(), 1, 1);
    Base_ns::DateTime_cl begin =
        Base_ns::DateTime_cl::Parse(Unique_ns::GetCustomFromDatabase().ReadString(kBeginDateKey, newYear.Format()));
    // A remembered text that no longer reads as a date gives the default back.
    if (!begin.IsValid()) begin = newYear;
    {
        // Setting the dates is no pick of the user's: nothing is queried yet.
        const QSignalBlocker beginBlocker(beginDate);
        const QSignalBlocker endBlocker(endDate);
        beginDate->setDate(QDate(begin.Year(), begin.Month(), begin.Day()));
        endDate->setDate(QDate::currentDate());
    }
    WCrosstabPage_cl::Initialise();
}

void WMonthCrosstabPage_cl::EnableControls() {
    WCrosstabPage_cl::EnableControls();
    beginDate->setEnabled(true);
    endDate->setEnabled(true);
}

DB_ns::CrossTable_st WMonthCrosstabPage_cl::Query(bool allUsers, const QString& userName) {
    return DataCore().GetControlUser().GetMonthCrosstab(allUsers, userName, At(beginDate->date(), 0, 0, 0),
                                                        At(endDate->date(), 23, 59, 59));
}

void WMonthCrosstabPage_cl::ClampSpan(Base_ns::DateTime_cl& begin, Base_ns::DateTime_cl& end) const {
    const Base_ns::DateTime_cl first = At(beginDate->date(), 0, 0, 0);
    const Base_ns::DateTime_cl last = At(endDate->date(), 23, 59, 59);
    if (first.IsLaterThan(begin)) begin = first;
    if (end.IsLaterThan(last)) end = last;
}

RecordFilter_st::Counted_en WMonthCrosstabPage_cl::Counted() const { return RecordFilter_st::Counted_en::InMonths; }

QString WMonthCrosstabPage_cl::CurrentPeriod() const { return QDate::currentDate().toString(QStringLiteral("yyyy-MM")); }

QString WMonthCrosstabPage_cl::RecentListKey() const { return QStringLiteral("月统计检索用户名"); }

std::vector<std::pair<QString, int32_t>> WMonthCrosstabPage_cl::Plans() {
    return Budget_cl(DataCore().GetUserManage()).GetExpensePlans();
}

}  // namespace Vorelle_ns
