// Date-time texts: any text reads as a valid value or as invalid, and a valid value's
// text reads back as the same second.
#include "Property.h"
#include "base/DateTime.h"

using Base_ns::DateTime_cl;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    for (const DateTime_cl& value : {DateTime_cl::Parse(text), DateTime_cl::ParseFormatted(text)}) {
        if (!value.IsValid()) {
            Fuzz_ns::Require(value.Format().isEmpty(), "an invalid value has no text");
            continue;
        }
        const QString written = value.Format();
        Fuzz_ns::Require(DateTime_cl::Parse(written) == value, "the written text reads back");
        Fuzz_ns::Require(DateTime_cl::ParseFormatted(written) == value, "the written text is the fixed form");
        Fuzz_ns::Require(DateTime_cl::Parse(value.FormatDate()) ==
                             DateTime_cl::FromParts(value.Year(), value.Month(), value.Day()),
                         "the date text reads back as midnight");
    }
    if (size >= sizeof(double)) {
        double days = 0;
        std::memcpy(&days, data, sizeof days);
        const DateTime_cl value(days);
        if (value.IsValid()) Fuzz_ns::Require(DateTime_cl::Parse(value.Format()) == value, "any valid value's text reads back");
    }
    return 0;
}
