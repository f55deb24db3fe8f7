#include "ProviderError.h"

namespace Ado_ns {

ProviderError_cl::ProviderError_cl(uint32_t result, const QString& description)
    : result(result), description(description) {}

}  // namespace Ado_ns
