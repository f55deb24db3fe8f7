#include "ErrorList.h"

#include "ProviderError.h"

namespace Ado_ns {

void ErrorList_cl::Clear() { records.clear(); }

int32_t ErrorList_cl::Count() const { return int32_t(records.size()); }

const ErrorRecord_st& ErrorList_cl::Item(int32_t index) const {
    if (index < 0 || index >= Count())
        throw ProviderError_cl(Result_ns::ItemNotFound, QStringLiteral("Item cannot be found in the collection."));
    return records[index];
}

void ErrorList_cl::Add(const ErrorRecord_st& record) { records.append(record); }

}  // namespace Ado_ns
