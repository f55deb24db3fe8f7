#include "ReplayCache.h"

namespace Web_ns {

std::optional<ReplayCache_cl::Answer_st> ReplayCache_cl::Find(int32_t userSn, const std::string& key,
                                                              Clock::time_point now) {
    const auto found = answers.find(Id(userSn, key));
    if (found == answers.end() || found->second.time + kKeep <= now) return std::nullopt;
    return found->second.answer;
}

void ReplayCache_cl::Keep(int32_t userSn, const std::string& key, Answer_st answer, Clock::time_point now) {
    while (!order.empty()) {
        const auto oldest = answers.find(order.front());
        const bool expired = oldest == answers.end() || oldest->second.time + kKeep <= now;
        if (!expired && answers.size() < kCapacity) break;
        if (oldest != answers.end()) answers.erase(oldest);
        order.pop_front();
    }
    const std::string id = Id(userSn, key);
    if (answers.insert_or_assign(id, Kept_st{std::move(answer), now}).second) order.push_back(id);
}

}  // namespace Web_ns
