#include "Data/AccountMoves.h"

#include "Data/UserManage.h"

#include <algorithm>
#include <limits>

namespace Vorelle_ns {

AccountMoves_cl::Single_st& AccountMoves_cl::Find(int32_t userSn) {
    for (Single_st& single : singles) {
        if (single.userSn == userSn) return single;
    }
    const UserManage_cl::Balances_st balances = users.ReadBalances(userSn);
    if (!started) publicAccount = balances.publicAccount;
    started = true;
    singles.push_back({userSn, balances.hasSingle, balances.single, 0});
    return singles.back();
}

void AccountMoves_cl::Add(int64_t amount, int32_t userSn) {
    if (amount == 0) return;
    UserManage_cl::CheckAmount(amount);
    Single_st& single = Find(userSn);
    UserManage_cl::CheckAmount(publicAccount + amount);
    if (single.valid) UserManage_cl::CheckAmount(single.balance + amount);
    publicAccount += amount;
    if (single.valid) single.balance += amount;
    single.moved += amount;
}

void AccountMoves_cl::Write() {
    for (const Single_st& single : singles) {
        // Each move is checked afresh against the balances as they are now; a sum beyond
        // 32 bits goes in steps that are not.
        int64_t rest = single.moved;
        while (rest != 0) {
            const int64_t step = std::clamp<int64_t>(rest, std::numeric_limits<int32_t>::min(),
                                                     std::numeric_limits<int32_t>::max());
            users.AddToAccounts(step, single.userSn);
            rest -= step;
        }
    }
}

}  // namespace Vorelle_ns
