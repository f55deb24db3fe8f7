#pragma once

#include "Container/List.h"
#include "base/String.h"

#include <QString>

namespace Unique_ns {

// Lists of recently used texts of one storage, by key: most recent first, each text
// once, at most RecentLimit of them.
class IRecentRecord_cl {
public:
    static constexpr int32_t RecentLimit = 20;

    // Puts value at the front, dropping an earlier copy and the oldest beyond the limit.
    // An empty value is not remembered.
    virtual void Add(const QString& key, const QString& value) = 0;
    // The texts, most recent first; empty for a key never added to.
    virtual Container_ns::List_tl<Base_ns::String_cl> List(const QString& key) = 0;
    virtual ~IRecentRecord_cl() = default;
};

}  // namespace Unique_ns
