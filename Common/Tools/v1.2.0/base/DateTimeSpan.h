#pragma once

#include <cstdint>

namespace Base_ns {

// A length of time in days (the fraction is part of a day), with a status like a
// date-time value's. Spans longer than the whole range of date-time values are invalid.
class DateTimeSpan_cl {
public:
    enum Status_en { Valid, Invalid, Null };

    static constexpr double kMaxDays = 3615897.0;

    // A zero span.
    DateTimeSpan_cl() = default;
    explicit DateTimeSpan_cl(double days);
    static DateTimeSpan_cl FromParts(int32_t days, int32_t hours, int32_t minutes, int32_t seconds);
    static DateTimeSpan_cl MakeInvalid();
    static DateTimeSpan_cl MakeNull();

    Status_en Status() const { return status; }
    bool IsValid() const { return status == Valid; }
    double Days() const { return days; }

    DateTimeSpan_cl operator-() const;

private:
    DateTimeSpan_cl(double days, Status_en status) : days(days), status(status) {}

    double days = 0;
    Status_en status = Valid;
};

}  // namespace Base_ns
