#pragma once

#include <QString>
#include <cstdint>
#include <optional>

namespace Vorelle_ns {

// What an entry list and its sums are narrowed to beyond the dates and the user. The
// default lets every entry through.
struct RecordFilter_st {
    // Found in the entry name, the category, the comment or the owner's name, letters of
    // any script without regard to case; empty: no search.
    QString text;
    // The category's name; empty: all categories.
    QString typeName;
    // Bounds of the amount's size in hundredths (an expense of 12.00 and an income of
    // 12.00 both have the size 1200), each included; none: unbounded.
    std::optional<int32_t> minimum;
    std::optional<int32_t> maximum;
    // The entries a statistics page counts: all of them, the month page's (booked as
    // monthly) or the year page's (monthly or yearly).
    enum class Counted_en { All = 0, InMonths = 1, InYears = 2 };
    Counted_en counted = Counted_en::All;

    bool operator==(const RecordFilter_st&) const = default;
};

}  // namespace Vorelle_ns
