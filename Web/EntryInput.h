#pragma once

#include "base/DateTime.h"

#include <QByteArray>
#include <QString>
#include <cstdint>

namespace Web_ns {

// An entry as a phone sends it, checked: what the data layer books.
struct EntryInput_st {
    bool income = false;
    int32_t cents = 0;  // > 0; an expense is booked negative
    QString category;
    QString name;  // the category when not given
    QString comment;
    Base_ns::DateTime_cl time;  // now when not given
    int32_t statisticsMode = 0;  // 0 month, 1 year, 2 none
};

// Reads the JSON body of a new entry. Every fault raises a user error of this class whose
// remark names the field at fault (empty: the body as a whole).
class EntryInput_cl {
public:
    static QString ClassName() { return QStringLiteral("EntryInput_cl"); }
    // Longest texts, in characters, as the book's columns hold them.
    static constexpr int32_t MaxCategory = 16;
    static constexpr int32_t MaxName = 16;
    static constexpr int32_t MaxComment = 255;

    [[nodiscard]] static EntryInput_st Read(const QByteArray& body);
    // "expense"/"income" and "month"/"year"/"none", as the API writes them.
    static QString KindText(bool income);
    static QString StatisticsText(int32_t mode);
};

}  // namespace Web_ns
