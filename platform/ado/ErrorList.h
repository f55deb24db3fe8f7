#pragma once

#include "ErrorRecord.h"

#include <QList>

namespace Ado_ns {

// The diagnostic records of a connection's last statement or call.
class ErrorList_cl {
public:
    void Clear();
    int32_t Count() const;
    // The record at index (from 0); ProviderError_cl with ItemNotFound outside the list.
    const ErrorRecord_st& Item(int32_t index) const;
    void Add(const ErrorRecord_st& record);

private:
    QList<ErrorRecord_st> records;
};

}  // namespace Ado_ns
