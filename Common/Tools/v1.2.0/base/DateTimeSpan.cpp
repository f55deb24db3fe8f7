#include "DateTimeSpan.h"

#include <cmath>

namespace Base_ns {

DateTimeSpan_cl::DateTimeSpan_cl(double days)
    : days(days), status(std::isfinite(days) && std::fabs(days) <= kMaxDays ? Valid : Invalid) {}

DateTimeSpan_cl DateTimeSpan_cl::FromParts(int32_t days, int32_t hours, int32_t minutes, int32_t seconds) {
    return DateTimeSpan_cl(days + (hours * 3600.0 + minutes * 60.0 + seconds) / 86400.0);
}

DateTimeSpan_cl DateTimeSpan_cl::MakeInvalid() { return DateTimeSpan_cl(0, Invalid); }

DateTimeSpan_cl DateTimeSpan_cl::MakeNull() { return DateTimeSpan_cl(0, Null); }

DateTimeSpan_cl DateTimeSpan_cl::operator-() const { return DateTimeSpan_cl(-days, status); }

}  // namespace Base_ns
