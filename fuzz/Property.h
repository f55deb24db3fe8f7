#pragma once

#include <QString>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace Fuzz_ns {

// Stops the run with the property that failed, so that the fuzzer keeps the input.
inline void Require(bool holds, const char* property) {
    if (holds) return;
    std::fprintf(stderr, "property failed: %s\n", property);
    std::abort();
}

// The input as UTF-16 units, so that lone surrogates and every other unit are reached.
inline QString Units(const uint8_t* data, size_t size) {
    return QString(reinterpret_cast<const QChar*>(data), qsizetype(size / 2));
}

}  // namespace Fuzz_ns
