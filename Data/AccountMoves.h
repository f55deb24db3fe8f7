#pragma once

#include <cstdint>
#include <vector>

namespace Vorelle_ns {

class UserManage_cl;

// The balance moves of many entries booked in one transaction (an import): each move is
// checked as UserManage_cl::AddToAccounts checks it entry after entry (the amount and every
// balance it passes through stay within 32 bits), but the balances are read once and
// written once, when Write is called.
class AccountMoves_cl {
public:
    explicit AccountMoves_cl(UserManage_cl& users) : users(users) {}

    // Moves the public balance and userSn's own by amount; nothing is written yet.
    void Add(int64_t amount, int32_t userSn);
    // Moves each user's balances by the sum of his moves; nothing when no move was added.
    void Write();

private:
    struct Single_st {
        int32_t userSn;
        bool valid;  // the user has a valid row: his balance moves
        int64_t balance;
        int64_t moved;  // the sum of his moves, to write
    };
    Single_st& Find(int32_t userSn);

    UserManage_cl& users;
    bool started = false;
    int64_t publicAccount = 0;
    std::vector<Single_st> singles;  // few users: a list is enough
};

}  // namespace Vorelle_ns
