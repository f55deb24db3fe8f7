#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <unordered_map>

namespace Web_ns {

// The answers to POSTs that carried an Idempotency-Key, per user and key, so that a phone
// resending after a lost answer gets the first answer again and books nothing. Held for a
// day, at most the newest kCapacity. Not locked: used while the book is held.
class ReplayCache_cl {
public:
    struct Answer_st {
        int status = 0;
        std::string body;
    };
    static constexpr size_t kCapacity = 20000;
    static constexpr std::chrono::hours kKeep{24};
    using Clock = std::chrono::steady_clock;

    [[nodiscard]] std::optional<Answer_st> Find(int32_t userSn, const std::string& key, Clock::time_point now = Clock::now());
    void Keep(int32_t userSn, const std::string& key, Answer_st answer, Clock::time_point now = Clock::now());

private:
    struct Kept_st {
        Answer_st answer;
        Clock::time_point time;
    };
    static std::string Id(int32_t userSn, const std::string& key) { return std::to_string(userSn) + ' ' + key; }

    std::unordered_map<std::string, Kept_st> answers;
    std::deque<std::string> order;  // oldest first
};

}  // namespace Web_ns
