// Money texts: any text reads as cents or is refused, and the printed form of any amount
// reads back as the same cents.
#include "Property.h"
#include "Window/ConvertInfo.h"

#include <cstring>

using Vorelle_ns::ConvertInfo_cl;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    int32_t cents = 0;
    if (ConvertInfo_cl::TextToMoney(text, cents)) {
        int32_t again = 0;
        Fuzz_ns::Require(ConvertInfo_cl::TextToMoney(ConvertInfo_cl::MoneyToText(cents), again) && again == cents,
                         "the printed amount reads back");
    }
    if (size >= sizeof(int32_t)) {
        int32_t amount = 0;
        std::memcpy(&amount, data, sizeof amount);
        int32_t again = 0;
        Fuzz_ns::Require(ConvertInfo_cl::TextToMoney(ConvertInfo_cl::MoneyToText(amount), again) && again == amount,
                         "every amount prints and reads back");
    }
    return 0;
}
