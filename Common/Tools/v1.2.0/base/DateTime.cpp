#include "DateTime.h"

#include <QDate>
#include <QDateTime>
#include <QRegularExpression>
#include <cmath>

namespace Base_ns {

namespace {

constexpr int64_t kSecondsPerDay = 86400;
// Days from 0000-03-01 of the proleptic Gregorian calendar to 1899-12-30, day 0 of the
// OLE calendar. Counting years from March puts the leap day at the end of a year.
constexpr int64_t kMarchDaysOfZero = 693899;
constexpr int64_t kDaysPer400Years = 146097;
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

bool IsLeapYear(int32_t year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int32_t DaysInMonth(int32_t year, int32_t month) {
    static const int32_t days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

// The OLE day number of a date of the years 100 to 9999; the calendar is done in integers
// because it runs for every date cell a query reads.
int64_t DayNumber(int32_t year, int32_t month, int32_t day) {
    const int64_t y = month <= 2 ? year - 1 : year;
    const int64_t era = y / 400;
    const int64_t yearOfEra = y - era * 400;
    const int64_t dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    return era * kDaysPer400Years + yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear - kMarchDaysOfZero;
}

// The date of an OLE day number within the years 100 to 9999.
void SplitDayNumber(int64_t number, int32_t& year, int32_t& month, int32_t& day) {
    const int64_t days = number + kMarchDaysOfZero;
    const int64_t era = days / kDaysPer400Years;
    const int64_t dayOfEra = days - era * kDaysPer400Years;
    const int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int64_t shifted = (5 * dayOfYear + 2) / 153;  // months counted from March
    day = int32_t(dayOfYear - (153 * shifted + 2) / 5 + 1);
    month = int32_t(shifted < 10 ? shifted + 3 : shifted - 9);
    year = int32_t(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
}

const char16_t* Units(QStringView view) { return view.utf16(); }
template <typename View>
const char* Units(View view) { return view.data(); }

// Size ASCII digits; the size is fixed so that the loop unrolls.
template <int Size, typename Unit>
bool ReadNumber(const Unit* text, int32_t& value) {
    value = 0;
    for (int i = 0; i < Size; ++i) {
        const uint32_t digit = uint32_t(text[i]) - uint32_t('0');  // anything else wraps above 9
        if (digit > 9) return false;
        value = value * 10 + int32_t(digit);
    }
    return true;
}

// Reads exactly "%Y-%m-%d", or with withTime "%Y-%m-%d %H:%M:%S", with two-digit parts;
// the time stays zero without it. Ranges are not checked.
template <typename Unit>
bool ReadFixed(const Unit* t, qsizetype size, bool withTime, DateTime_cl::Parts_st& parts) {
    parts = {0, 0, 0, 0, 0, 0};
    if (size != (withTime ? 19 : 10) || t[4] != Unit('-') || t[7] != Unit('-') ||
        !ReadNumber<4>(t, parts.year) || !ReadNumber<2>(t + 5, parts.month) || !ReadNumber<2>(t + 8, parts.day))
        return false;
    return !withTime || (t[10] == Unit(' ') && t[13] == Unit(':') && t[16] == Unit(':') &&
                         ReadNumber<2>(t + 11, parts.hour) && ReadNumber<2>(t + 14, parts.minute) &&
                         ReadNumber<2>(t + 17, parts.second));
}

bool ReadFixed(QAnyStringView text, bool withTime, DateTime_cl::Parts_st& parts) {
    return text.visit([&](auto view) { return ReadFixed(Units(view), view.size(), withTime, parts); });
}

bool PartsInRange(const DateTime_cl::Parts_st& p) {
    return p.year >= 100 && p.year <= 9999 && p.month >= 1 && p.month <= 12 && p.day >= 1 &&
           p.day <= DaysInMonth(p.year, p.month) && p.hour >= 0 && p.hour <= 23 && p.minute >= 0 && p.minute <= 59 &&
           p.second >= 0 && p.second <= 59;
}

void PutDigits(char* out, int32_t value, int width) {
    for (int i = width - 1; i >= 0; --i, value /= 10) out[i] = char('0' + value % 10);
}

}  // namespace

DateTime_cl::DateTime_cl(double oleDays)
    : value(oleDays), status(InRange(ToLinear(oleDays)) ? Valid : Invalid) {}

DateTime_cl DateTime_cl::FromParts(int32_t year, int32_t month, int32_t day, int32_t hour,
                                   int32_t minute, int32_t second) {
    if (!PartsInRange(Parts_st{year, month, day, hour, minute, second})) return MakeInvalid();
    return FromSeconds(DayNumber(year, month, day) * kSecondsPerDay + hour * 3600 + minute * 60 + second);
}

DateTime_cl DateTime_cl::Now() { return FromQDateTime(QDateTime::currentDateTime()); }

DateTime_cl DateTime_cl::Parse(QAnyStringView text) {
    // The forms the program writes itself come by the thousand from queries: read them
    // without the regular expression, which would find the same parts.
    Parts_st p;
    if (ReadFixed(text, true, p) || ReadFixed(text, false, p))
        return FromParts(p.year, p.month, p.day, p.hour, p.minute, p.second);
    static const QRegularExpression form(QStringLiteral(
        "^\\s*(\\d{4})([-/])(\\d{1,2})\\2(\\d{1,2})(?:\\s+(\\d{1,2}):(\\d{1,2})(?::(\\d{1,2}))?)?\\s*$"));
    const QRegularExpressionMatch match = form.match(text.toString());
    if (!match.hasMatch()) return MakeInvalid();
    auto part = [&match](int index) { return match.captured(index).toInt(); };
    return FromParts(part(1), part(3), part(4), part(5), part(6), part(7));
}

DateTime_cl DateTime_cl::ParseFormatted(QAnyStringView text) {
    Parts_st p;
    if (!ReadFormatted(text, p)) return MakeInvalid();
    return FromParts(p.year, p.month, p.day, p.hour, p.minute, p.second);
}

bool DateTime_cl::ReadFormatted(QAnyStringView text, Parts_st& parts) {
    return ReadFixed(text, true, parts) && PartsInRange(parts);
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
    return DateTime_cl(day >= 0 ? day + fraction : day - fraction, Valid);
}

DateTime_cl::Parts_st DateTime_cl::Parts() const {
    if (!IsValid()) return {-1, -1, -1, -1, -1, -1};
    const int64_t seconds = Seconds();
    const int64_t day = FloorDiv(seconds, kSecondsPerDay);
    const int32_t time = int32_t(seconds - day * kSecondsPerDay);
    Parts_st parts{0, 0, 0, time / 3600, time / 60 % 60, time % 60};
    SplitDayNumber(day, parts.year, parts.month, parts.day);
    return parts;
}

int32_t DateTime_cl::Year() const { return Parts().year; }
int32_t DateTime_cl::Month() const { return Parts().month; }
int32_t DateTime_cl::Day() const { return Parts().day; }
int32_t DateTime_cl::Hour() const { return Parts().hour; }
int32_t DateTime_cl::Minute() const { return Parts().minute; }
int32_t DateTime_cl::Second() const { return Parts().second; }

QString DateTime_cl::Format() const { return Written(19); }

QString DateTime_cl::FormatDate() const { return Written(10); }

QString DateTime_cl::Written(qsizetype length) const {
    if (!IsValid()) return QString();
    const Parts_st p = Parts();
    char text[] = "0000-00-00 00:00:00";
    PutDigits(text, p.year, 4);
    PutDigits(text + 5, p.month, 2);
    PutDigits(text + 8, p.day, 2);
    PutDigits(text + 11, p.hour, 2);
    PutDigits(text + 14, p.minute, 2);
    PutDigits(text + 17, p.second, 2);
    return QString::fromLatin1(text, length);
}

QDateTime DateTime_cl::ToQDateTime() const {
    if (!IsValid()) return QDateTime();
    const Parts_st p = Parts();
    return QDateTime(QDate(p.year, p.month, p.day), QTime(p.hour, p.minute, p.second));
}

void DateTime_cl::SetTime(int32_t hour, int32_t minute, int32_t second) {
    const Parts_st p = Parts();
    *this = FromParts(p.year, p.month, p.day, hour, minute, second);
}

DateTime_cl DateTime_cl::EndOfMonth() const {
    const Parts_st p = Parts();
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
