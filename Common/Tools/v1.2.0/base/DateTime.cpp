#include "DateTime.h"

#include <QDate>
#include <QDateTime>
#include <QRegularExpression>
#include <cmath>

namespace Base_ns {

namespace {

constexpr int64_t kSecondsPerDay = 86400;
// Julian day number of 1899-12-30, day 0 of the OLE calendar.
constexpr int64_t kJulianDayOfZero = 2415019;
// 0100-01-01 00:00:00 and 9999-12-31 23:59:59.
constexpr int64_t kFirstSecond = -657434 * kSecondsPerDay;
constexpr int64_t kLastSecond = 2958466 * kSecondsPerDay - 1;
// Beyond this no value can be valid; keeps the conversion to seconds from overflowing.
constexpr double kOuterDays = 4.0e6;

// Days on a straight time line: OLE values below zero count their fraction forwards.
double ToLinear(double ole) {
    if (ole >= 0) return ole;
    const double day = std::ceil(ole);
    return day + (day - ole);
}

double FromLinear(double linear) {
    if (linear >= 0) return linear;
    const double day = std::floor(linear);
    return day + (day - linear);
}

bool InRange(double linear) {
    if (!std::isfinite(linear) || std::fabs(linear) > kOuterDays) return false;
    const int64_t seconds = std::llround(linear * kSecondsPerDay);
    return seconds >= kFirstSecond && seconds <= kLastSecond;
}

int64_t FloorDiv(int64_t a, int64_t b) { return a / b - (a % b != 0 && (a < 0) != (b < 0)); }

QString TwoDigits(int32_t n) { return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')); }

}  // namespace

DateTime_cl::DateTime_cl(double oleDays)
    : value(oleDays), status(InRange(ToLinear(oleDays)) ? Valid : Invalid) {}

DateTime_cl DateTime_cl::FromParts(int32_t year, int32_t month, int32_t day, int32_t hour,
                                   int32_t minute, int32_t second) {
    if (year < 100 || year > 9999 || !QDate::isValid(year, month, day) || hour < 0 || hour > 23 ||
        minute < 0 || minute > 59 || second < 0 || second > 59) {
        return MakeInvalid();
    }
    const int64_t days = QDate(year, month, day).toJulianDay() - kJulianDayOfZero;
    return FromSeconds(days * kSecondsPerDay + hour * 3600 + minute * 60 + second);
}

DateTime_cl DateTime_cl::Now() { return FromQDateTime(QDateTime::currentDateTime()); }

DateTime_cl DateTime_cl::Parse(const QString& text) {
    static const QRegularExpression form(QStringLiteral(
        "^\\s*(\\d{4})([-/])(\\d{1,2})\\2(\\d{1,2})(?:\\s+(\\d{1,2}):(\\d{1,2})(?::(\\d{1,2}))?)?\\s*$"));
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch()) return MakeInvalid();
    auto part = [&match](int index) { return match.captured(index).toInt(); };
    return FromParts(part(1), part(3), part(4), part(5), part(6), part(7));
}

DateTime_cl DateTime_cl::MakeInvalid() { return DateTime_cl(0, Invalid); }

DateTime_cl DateTime_cl::FromQDateTime(const QDateTime& time) {
    if (!time.isValid()) return MakeInvalid();
    const QDateTime local = time.toLocalTime();
    const QDate d = local.date();
    const QTime t = local.time();
    return FromParts(d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second());
}

int64_t DateTime_cl::Seconds() const { return std::llround(ToLinear(value) * kSecondsPerDay); }

DateTime_cl DateTime_cl::FromSeconds(int64_t seconds) {
    const int64_t day = FloorDiv(seconds, kSecondsPerDay);
    const double fraction = double(seconds - day * kSecondsPerDay) / kSecondsPerDay;
    return DateTime_cl(day >= 0 ? day + fraction : day - fraction);
}

DateTime_cl::Parts_st DateTime_cl::Split() const {
    if (!IsValid()) return {-1, -1, -1, -1, -1, -1};
    const int64_t seconds = Seconds();
    const int64_t day = FloorDiv(seconds, kSecondsPerDay);
    const int32_t time = int32_t(seconds - day * kSecondsPerDay);
    const QDate date = QDate::fromJulianDay(kJulianDayOfZero + day);
    return {date.year(), date.month(), date.day(), time / 3600, time / 60 % 60, time % 60};
}

int32_t DateTime_cl::Year() const { return Split().year; }
int32_t DateTime_cl::Month() const { return Split().month; }
int32_t DateTime_cl::Day() const { return Split().day; }
int32_t DateTime_cl::Hour() const { return Split().hour; }
int32_t DateTime_cl::Minute() const { return Split().minute; }
int32_t DateTime_cl::Second() const { return Split().second; }

QString DateTime_cl::Format() const {
    if (!IsValid()) return QString();
    const Parts_st p = Split();
    return FormatDate() + u' ' + TwoDigits(p.hour) + u':' + TwoDigits(p.minute) + u':' + TwoDigits(p.second);
}

QString DateTime_cl::FormatDate() const {
    if (!IsValid()) return QString();
    const Parts_st p = Split();
    return QStringLiteral("%1").arg(p.year, 4, 10, QLatin1Char('0')) + u'-' + TwoDigits(p.month) + u'-' +
           TwoDigits(p.day);
}

QDateTime DateTime_cl::ToQDateTime() const {
    if (!IsValid()) return QDateTime();
    const Parts_st p = Split();
    return QDateTime(QDate(p.year, p.month, p.day), QTime(p.hour, p.minute, p.second));
}

void DateTime_cl::SetTime(int32_t hour, int32_t minute, int32_t second) {
    const Parts_st p = Split();
    *this = FromParts(p.year, p.month, p.day, hour, minute, second);
}

DateTime_cl DateTime_cl::EndOfMonth() const {
    const Parts_st p = Split();
    const DateTime_cl next = p.month == 12 ? FromParts(p.year + 1, 1, 1) : FromParts(p.year, p.month + 1, 1);
    return next - DateTimeSpan_cl::FromParts(0, 0, 0, 1);
}

DateTime_cl DateTime_cl::operator+(const DateTimeSpan_cl& span) const {
    if (IsNull() || span.Status() == DateTimeSpan_cl::Null) return DateTime_cl();
    if (!IsValid() || !span.IsValid()) return MakeInvalid();
    const double linear = ToLinear(value) + span.Days();
    return InRange(linear) ? DateTime_cl(FromLinear(linear)) : MakeInvalid();
}

DateTime_cl DateTime_cl::operator-(const DateTimeSpan_cl& span) const { return *this + -span; }

DateTime_cl& DateTime_cl::operator+=(const DateTimeSpan_cl& span) { return *this = *this + span; }

DateTime_cl& DateTime_cl::operator-=(const DateTimeSpan_cl& span) { return *this = *this - span; }

DateTimeSpan_cl DateTime_cl::operator-(const DateTime_cl& other) const {
    if (IsNull() || other.IsNull()) return DateTimeSpan_cl::MakeNull();
    if (!IsValid() || !other.IsValid()) return DateTimeSpan_cl::MakeInvalid();
    return DateTimeSpan_cl(ToLinear(value) - ToLinear(other.value));
}

bool DateTime_cl::IsEarlierThan(const DateTime_cl& other) const {
    return IsValid() && other.IsValid() && Seconds() < other.Seconds();
}

bool DateTime_cl::IsLaterThan(const DateTime_cl& other) const { return other.IsEarlierThan(*this); }

bool DateTime_cl::operator==(const DateTime_cl& other) const {
    return status == other.status && (!IsValid() || Seconds() == other.Seconds());
}

}  // namespace Base_ns
