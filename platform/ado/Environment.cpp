#include "Environment.h"

namespace Ado_ns {

void Environment_cl::Startup() {}

void Environment_cl::Shutdown() {}

}  // namespace Ado_ns
