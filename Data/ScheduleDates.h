#pragma once

#include "Data/Schedule.h"

#include <QDate>
#include <QString>
#include <cstdint>
#include <functional>

namespace Vorelle_ns {

// The dates a schedule's rule gives: no database, no state.
class ScheduleDates_cl {
public:
    static QString ClassName() { return QStringLiteral("ScheduleDates_cl"); }

    // The index-th date (from 0) of the rule, ignoring the end; invalid beyond the
    // calendar.
    [[nodiscard]] static QDate Nth(const Schedule_st& schedule, int64_t index);
    // Calls each with the dates from the first up to until (inclusive) within the
    // schedule's end, in order; each returns false to stop early.
    static void Each(const Schedule_st& schedule, const QDate& until, const std::function<bool(const QDate&)>& each);
    // The rule in words: "每月15日", "每2周的周一", "每年2月29日".
    [[nodiscard]] static QString RuleText(const Schedule_st& schedule);
    // The end in words: "不结束", "至2027-01-01", "共12次".
    [[nodiscard]] static QString EndText(const Schedule_st& schedule);
};

}  // namespace Vorelle_ns
