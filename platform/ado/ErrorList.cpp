#include "ErrorList.h"

#include "ProviderError.h"

namespace Ado_ns {

void ErrorList_cl::Clear() { records.Clear(); }

int32_t ErrorList_cl::Count() const { return records.Count(); }

ErrorRecord_st ErrorList_cl::Item(int32_t index) const {
    const auto id = records.At(index);
    if (id.IsEmpty())
        throw ProviderError_cl(Result_ns::ItemNotFound, QStringLiteral("Item cannot be found in the collection."));
    return id.Get();
}

void ErrorList_cl::Add(const ErrorRecord_st& record) { records.Append(record); }

}  // namespace Ado_ns
