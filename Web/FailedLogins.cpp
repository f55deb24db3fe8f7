#include "FailedLogins.h"

namespace Web_ns {

namespace {

constexpr size_t kPruneAbove = 4096;

}  // namespace

bool FailedLogins_cl::Blocked(const std::string& address, Clock::time_point now) {
    std::lock_guard<std::mutex> hold(lock);
    const auto found = addresses.find(address);
    return found != addresses.end() && now < found->second.blockedUntil;
}

void FailedLogins_cl::Fail(const std::string& address, Clock::time_point now) {
    std::lock_guard<std::mutex> hold(lock);
    if (addresses.size() > kPruneAbove) Prune(now);
    Address_st& entry = addresses[address];
    while (!entry.failures.empty() && entry.failures.front() <= now - kWindow) entry.failures.pop_front();
    entry.failures.push_back(now);
    if (int(entry.failures.size()) >= kAllowed) {
        entry.blockedUntil = now + kWindow;
        entry.failures.clear();
    }
}

void FailedLogins_cl::Prune(Clock::time_point now) {
    for (auto it = addresses.begin(); it != addresses.end();) {
        const Address_st& entry = it->second;
        const bool stale = now >= entry.blockedUntil && (entry.failures.empty() || entry.failures.back() <= now - kWindow);
        it = stale ? addresses.erase(it) : std::next(it);
    }
}

}  // namespace Web_ns
