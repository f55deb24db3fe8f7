#include "Data/ScheduleDates.h"

#include <algorithm>

namespace Vorelle_ns {

namespace {

// Far enough for any household; beyond it a rule gives no more dates.
constexpr int32_t kLastYear = 9999;

// day of year and month, or the month's last day when it has fewer.
QDate Clamped(int64_t year, int32_t month, int32_t day) {
    if (year < 1 || year > kLastYear) return QDate();
    const QDate first(int32_t(year), month, 1);
    return QDate(int32_t(year), month, std::min(day, first.daysInMonth()));
}

const char16_t* const kWeekdays[] = {u"一", u"二", u"三", u"四", u"五", u"六", u"日"};

}  // namespace

QDate ScheduleDates_cl::Nth(const Schedule_st& schedule, int64_t index) {
    const QDate& first = schedule.firstDate;
    if (!first.isValid() || index < 0 || schedule.interval < 1) return QDate();
    const int64_t step = index * schedule.interval;
    switch (schedule.every) {
    case ScheduleEvery_en::Day:
        return first.addDays(step);
    case ScheduleEvery_en::Week: {
        const int32_t offset = (schedule.day - first.dayOfWeek() + 7) % 7;
        return first.addDays(offset + 7 * step);
    }
    case ScheduleEvery_en::Month: {
        int64_t month = int64_t(first.year()) * 12 + first.month() - 1;
        if (Clamped(first.year(), first.month(), schedule.day) < first) ++month;
        month += step;
        return Clamped(month / 12, int32_t(month % 12) + 1, schedule.day);
    }
    case ScheduleEvery_en::Year: {
        int64_t year = first.year();
        if (Clamped(year, first.month(), schedule.day) < first) ++year;
        return Clamped(year + step, first.month(), schedule.day);
    }
    }
    return QDate();
}

void ScheduleDates_cl::Each(const Schedule_st& schedule, const QDate& until,
                            const std::function<bool(const QDate&)>& each) {
    for (int64_t index = 0; schedule.count <= 0 || index < schedule.count; ++index) {
        const QDate date = Nth(schedule, index);
        if (!date.isValid() || date > until) return;
        if (schedule.untilDate.isValid() && date > schedule.untilDate) return;
        if (!each(date)) return;
    }
}

QString ScheduleDates_cl::RuleText(const Schedule_st& schedule) {
    const QString every = schedule.interval == 1 ? QStringLiteral("每") : QStringLiteral("每%1").arg(schedule.interval);
    const QString dayText = schedule.day >= 31 ? QStringLiteral("月末") : QStringLiteral("%1日").arg(schedule.day);
    switch (schedule.every) {
    case ScheduleEvery_en::Day:
        return every + QStringLiteral("天");
    case ScheduleEvery_en::Week: {
        const int32_t weekday = std::clamp(schedule.day, 1, 7);
        return every + QStringLiteral("周的周") + QString::fromUtf16(kWeekdays[weekday - 1]);
    }
    case ScheduleEvery_en::Month:
        return every + (schedule.interval == 1 ? QStringLiteral("月") : QStringLiteral("个月")) + dayText;
    case ScheduleEvery_en::Year:
        return every + QStringLiteral("年%1月").arg(schedule.firstDate.month()) +
               (schedule.day >= 31 ? QStringLiteral("底") : QStringLiteral("%1日").arg(schedule.day));
    }
    return QString();
}

QString ScheduleDates_cl::EndText(const Schedule_st& schedule) {
    if (schedule.count > 0) return QStringLiteral("共%1次").arg(schedule.count);
    if (schedule.untilDate.isValid()) return QStringLiteral("至") + schedule.untilDate.toString(Qt::ISODate);
    return QStringLiteral("不结束");
}

}  // namespace Vorelle_ns
