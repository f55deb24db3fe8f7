#pragma once

#include "IContainer.h"

namespace IO_ns {

// Base of the typed streams: the container they read and write through (not owned).
class Stream_cl {
public:
    explicit Stream_cl(IContainer_cl& container) : container(&container) {}

    IContainer_cl& Container() const { return *container; }

protected:
    IContainer_cl* container;
};

}  // namespace IO_ns
