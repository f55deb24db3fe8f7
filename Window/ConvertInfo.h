#pragma once

#include "base/DateTime.h"

#include <QString>
#include <cstdint>

namespace Vorelle_ns {

// Turns the stored codes and amounts of the finance data into the texts the windows
// show, and the category texts back into codes. No state: plain functions.
class ConvertInfo_cl {
public:
    static QString ClassName();

    // Ten decimals, rounded, with trailing zeros (and a bare decimal point) dropped.
    static QString RealToText(double value);
    // How many decimals an amount is written with: as few as it needs (files, the command
    // line) or always two (the screen, where a column of figures lines up; sentences; what
    // is exchanged with other programs).
    enum class Decimals_en { Needed, Two };
    // An amount in hundredths as decimal text, exact: 1250 gives "12.5", or "12.50" with
    // two decimals.
    static QString MoneyToText(int64_t amount, Decimals_en decimals = Decimals_en::Needed);
    // The one money parser: reads [+|-]digits[.digits] (at least one digit) exactly.
    // False for any other text, for amounts beyond 32 bits of cents, and for a digit past
    // the cents other than 0: an amount is taken as typed or stated, never rounded.
    [[nodiscard]] static bool TextToMoney(const QString& text, int32_t& cents);
    // Whether TextToMoney refuses text only for its size: a refusal then says the amount
    // is too large (beyond MoneyToText(INT32_MAX)) rather than not a number.
    [[nodiscard]] static bool IsMoneyTooLarge(const QString& text);
    // The span an entry's time may take, wherever it is typed or sent: the entry dialog's
    // range and the phone API's (a year 9999 would give the year table 8,000 columns).
    static Base_ns::DateTime_cl EarliestEntryTime();
    static Base_ns::DateTime_cl LatestEntryTime();
    // A file's size as a household reads it: "800 字节", "13.00 KB", "1.25 MB", "2.00 GB".
    static QString SizeToText(int64_t bytes);
    static QString PowerToText(int32_t power);
    // kind 0 expense, 1 income; mode 0 monthly, 1 yearly, 2 neither.
    static QString StatisticsToText(int32_t kind, int32_t mode);
    // Exact comparison with the six category texts; false (and nothing set) when none matches.
    static bool TextToStatistics(const QString& text, int32_t& mode, int32_t& kind);
};

}  // namespace Vorelle_ns
