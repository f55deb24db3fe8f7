#pragma once

#include <QString>
#include <QStringView>

namespace Ado_ns {

// Calendar parts of an OLE automation date.
struct DateParts_st {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

// OLE automation dates: days since midnight of 1899-12-30; the fraction is the time of
// day, measured forwards from that day's midnight also for negative values.
class OleDate_cl {
public:
    // The parts of value, rounded to the second; false outside the years 100 to 9999.
    static bool Split(double value, DateParts_st& parts);
    // The value of valid parts.
    static double Join(const DateParts_st& parts);
    // Reads "YYYY-MM-DD HH:MM:SS" or "YYYY-MM-DD" exactly; false for anything else.
    static bool Parse(QStringView text, double& value);
    // "%Y-%m-%d %H:%M:%S"; the empty text outside the years 100 to 9999.
    static QString Format(double value);
};

}  // namespace Ado_ns
