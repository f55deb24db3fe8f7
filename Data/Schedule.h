#pragma once

#include <QDate>
#include <QString>
#include <cstdint>

namespace Vorelle_ns {

// How often a schedule comes round.
enum class ScheduleEvery_en : int32_t { Day = 0, Week = 1, Month = 2, Year = 3 };

// A recurring entry: the fields of the entry it books and the rule of its dates. The
// first occurrence is the first date on or after firstDate that the rule gives; for a
// week the day is the weekday (1 Monday .. 7 Sunday), for a month and a year the day of
// the month (31 and any day a month lacks: its last day); a year keeps firstDate's month.
struct Schedule_st {
    int32_t sn = 0;
    QString userName;  // the owner; empty when adding: the logged-in user
    QString typeName;
    QString expenseName;
    int32_t expense = 0;  // hundredths; > 0 income, < 0 expense
    QString comment;
    int32_t statisticsMode = 0;  // 0 monthly, 1 yearly, 2 neither
    ScheduleEvery_en every = ScheduleEvery_en::Month;
    int32_t interval = 1;
    int32_t day = 1;
    QDate firstDate;
    QDate untilDate;  // invalid: no end date
    int32_t count = 0;  // 0: no end by count
    bool paused = false;
};

// One occurrence that has come due and is neither booked nor skipped.
struct DueOccurrence_st {
    int32_t scheduleSn = 0;
    QDate date;     // the rule's date, which identifies the occurrence
    QDate dueDate;  // the day it is booked on: date, or the day it was postponed to
    QString userName;
    QString typeName;
    QString expenseName;
    int32_t expense = 0;
    QString comment;
    int32_t statisticsMode = 0;
};

}  // namespace Vorelle_ns
