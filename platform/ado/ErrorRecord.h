#pragma once

#include <QString>
#include <cstdint>

namespace Ado_ns {

// One diagnostic record of a connection's error list.
struct ErrorRecord_st {
    int32_t number = 0;  // the result code, as a signed 32-bit value
    QString description;
    int32_t nativeError = 0;
    QString sqlState;
    QString source;
};

}  // namespace Ado_ns
