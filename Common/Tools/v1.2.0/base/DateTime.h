#pragma once

#include "DateTimeSpan.h"

#include <QAnyStringView>
#include <QString>
#include <cstdint>

class QDateTime;

namespace Base_ns {

// A point in time as an OLE automation date: days since midnight of 1899-12-30, the
// fraction being the time of day. For negative values the fraction still measures forwards
// from that day's midnight (-1.25 is 1899-12-29 06:00). Valid values lie between
// 0100-01-01 00:00:00 and 9999-12-31 23:59:59; splitting into parts rounds to the
// nearest second.
class DateTime_cl {
public:
    enum Status_en { Valid, Invalid, Null };
    struct Parts_st {
        int32_t year, month, day, hour, minute, second;
    };

    // A null value.
    DateTime_cl() = default;
    explicit DateTime_cl(double oleDays);
    // Invalid unless every part is in range (31 February is invalid, not 3 March).
    static DateTime_cl FromParts(int32_t year, int32_t month, int32_t day, int32_t hour = 0,
                                 int32_t minute = 0, int32_t second = 0);
    // The current local time, to the second.
    static DateTime_cl Now();
    // Reads "%Y-%m-%d" or "%Y/%m/%d", each optionally followed by "%H:%M" or "%H:%M:%S";
    // invalid when the text cannot be read.
    static DateTime_cl Parse(QAnyStringView text);
    // Reads only what Format() writes, "%Y-%m-%d %H:%M:%S" with nothing around it;
    // invalid for any other text.
    static DateTime_cl ParseFormatted(QAnyStringView text);
    // The same reading straight into parts, for callers that need no value; false for any
    // other text or for parts FromParts would refuse.
    static bool ReadFormatted(QAnyStringView text, Parts_st& parts);
    static DateTime_cl MakeInvalid();
    // A local QDateTime; an invalid one gives an invalid value, milliseconds are dropped.
    static DateTime_cl FromQDateTime(const QDateTime& time);

    Status_en Status() const { return status; }
    bool IsValid() const { return status == Valid; }
    bool IsNull() const { return status == Null; }
    double Value() const { return value; }

    // The parts of a valid value, rounded to the second; -1 for any other.
    Parts_st Parts() const;
    int32_t Year() const;
    int32_t Month() const;
    int32_t Day() const;
    int32_t Hour() const;
    int32_t Minute() const;
    int32_t Second() const;

    // "%Y-%m-%d %H:%M:%S" and "%Y-%m-%d"; the empty text unless the value is valid.
    QString Format() const;
    QString FormatDate() const;
    // The local QDateTime; an invalid QDateTime unless the value is valid.
    QDateTime ToQDateTime() const;

    // Keeps the date and sets the time of day; the result is invalid if the value was not
    // valid or the time is out of range.
    void SetTime(int32_t hour, int32_t minute, int32_t second);
    // 23:59:59 on the last day of the value's month.
    DateTime_cl EndOfMonth() const;

    // Shifting: null with a null operand, otherwise invalid with an invalid operand or a
    // result out of range.
    DateTime_cl operator+(const DateTimeSpan_cl& span) const;
    DateTime_cl operator-(const DateTimeSpan_cl& span) const;
    DateTime_cl& operator+=(const DateTimeSpan_cl& span);
    DateTime_cl& operator-=(const DateTimeSpan_cl& span);
    // The span from other to this value, with the same status rules.
    DateTimeSpan_cl operator-(const DateTime_cl& other) const;

    // Both false when either value is not valid.
    bool IsEarlierThan(const DateTime_cl& other) const;
    bool IsLaterThan(const DateTime_cl& other) const;
    // The same status and, when valid, the same second.
    bool operator==(const DateTime_cl& other) const;

private:
    DateTime_cl(double value, Status_en status) : value(value), status(status) {}
    // Seconds since 1899-12-30 00:00:00 on a straight time line.
    int64_t Seconds() const;
    // The first length characters of "%Y-%m-%d %H:%M:%S"; empty unless valid.
    QString Written(qsizetype length) const;
    // A second known to lie within the valid range.
    static DateTime_cl FromSeconds(int64_t seconds);

    double value = 0;
    Status_en status = Null;
};

}  // namespace Base_ns
