#pragma once

#include "base/UserError.h"

namespace IO_ns {

// A failure of file input or output; shown like a user error.
class IOError_cl : public Base_ns::UserError_cl {
public:
    using Base_ns::UserError_cl::UserError_cl;
};

}  // namespace IO_ns
