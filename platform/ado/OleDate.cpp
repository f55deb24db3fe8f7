#include "OleDate.h"

#include <QDate>
#include <cmath>

namespace Ado_ns {

namespace {

const QDate kEpoch(1899, 12, 30);
constexpr double kFirstDay = -657434.0;  // 0100-01-01
constexpr double kPastLastDay = 2958466.0;  // 10000-01-01

// The digits of text[from, from + count) as a number, or -1 when one is not a digit.
int Digits(QStringView text, qsizetype from, qsizetype count) {
    int value = 0;
    for (qsizetype i = from; i < from + count; ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return -1;
        value = value * 10 + (c - u'0');
    }
    return value;
}

}  // namespace

bool OleDate_cl::Split(double value, DateParts_st& parts) {
    if (!std::isfinite(value) || value < kFirstDay || value >= kPastLastDay)
        return false;
    const double whole = std::trunc(value);
    int64_t seconds = std::llround(std::fabs(value - whole) * 86400.0);
    QDate date = kEpoch.addDays(int64_t(whole));
    if (seconds == 86400) {
        date = date.addDays(1);
        seconds = 0;
    }
    if (date.year() > 9999)
        return false;
    parts = {date.year(), date.month(), date.day(), int(seconds / 3600), int(seconds / 60 % 60), int(seconds % 60)};
    return true;
}

double OleDate_cl::Join(const DateParts_st& parts) {
    const double days = double(kEpoch.daysTo(QDate(parts.year, parts.month, parts.day)));
    const double time = (parts.hour * 3600 + parts.minute * 60 + parts.second) / 86400.0;
    return days >= 0 ? days + time : days - time;
}

bool OleDate_cl::Parse(QStringView text, double& value) {
    if (text.size() != 10 && text.size() != 19)
        return false;
    if (text[4] != u'-' || text[7] != u'-')
        return false;
    DateParts_st parts{Digits(text, 0, 4), Digits(text, 5, 2), Digits(text, 8, 2), 0, 0, 0};
    if (text.size() == 19) {
        if (text[10] != u' ' || text[13] != u':' || text[16] != u':')
            return false;
        parts.hour = Digits(text, 11, 2);
        parts.minute = Digits(text, 14, 2);
        parts.second = Digits(text, 17, 2);
    }
    if (parts.year < 100 || !QDate::isValid(parts.year, parts.month, parts.day))
        return false;
    if (parts.hour < 0 || parts.hour > 23 || parts.minute < 0 || parts.minute > 59 || parts.second < 0 || parts.second > 59)
        return false;
    value = Join(parts);
    return true;
}

QString OleDate_cl::Format(double value) {
    DateParts_st p;
    if (!Split(value, p))
        return QString();
    return QString::asprintf("%04d-%02d-%02d %02d:%02d:%02d", p.year, p.month, p.day, p.hour, p.minute, p.second);
}

}  // namespace Ado_ns
