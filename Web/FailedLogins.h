#pragma once

#include <chrono>
#include <deque>
#include <mutex>
#include <string>
#include <unordered_map>

namespace Web_ns {

// Failed authentications per address: the fifth within a minute shuts the address out for
// a minute, so that keys cannot be guessed from the network. Safe for several threads.
class FailedLogins_cl {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr int kAllowed = 5;
    static constexpr std::chrono::seconds kWindow{60};

    // Whether the address is shut out now.
    [[nodiscard]] bool Blocked(const std::string& address, Clock::time_point now = Clock::now());
    void Fail(const std::string& address, Clock::time_point now = Clock::now());

private:
    struct Address_st {
        std::deque<Clock::time_point> failures;  // within the last window
        Clock::time_point blockedUntil{};
    };
    // Forgets addresses with nothing left to remember once the table grows, so that
    // many addresses cannot fill the memory.
    void Prune(Clock::time_point now);

    std::mutex lock;
    std::unordered_map<std::string, Address_st> addresses;
};

}  // namespace Web_ns
