#pragma once

#include "Container/List.h"
#include "ErrorRecord.h"

namespace Ado_ns {

// The diagnostic records of a connection's last failure.
class ErrorList_cl {
public:
    void Clear();
    int32_t Count() const;
    // The record at index (from 0); ProviderError_cl with ItemNotFound outside the list.
    ErrorRecord_st Item(int32_t index) const;
    void Add(const ErrorRecord_st& record);

private:
    Container_ns::List_tl<ErrorRecord_st> records;
};

}  // namespace Ado_ns
