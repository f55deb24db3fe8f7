#pragma once

#include "base/DateTime.h"
#include "base/Trusteeship.h"

#include <QString>
#include <cstdint>

namespace DB_ns {
class IDatabase_cl;
}

namespace Vorelle_ns {

class DatabaseManage_cl;

// One row of the user list.
struct UserInfo_st {
    int32_t sn = 0;
    QString userName;
    int32_t power = 0;  // 0 super administrator, 1 administrator, 2 normal, 3 independent
    Base_ns::DateTime_cl createTime;
};

// Logs users in and out of the open database, manages its users, answers the power
// checks (read from the database every time) and keeps the personal and public balances.
class UserManage_cl {
public:
    // productName names the program to the per-database settings storage opened at login.
    UserManage_cl(DatabaseManage_cl& databaseManage, const QString& productName);
    UserManage_cl(const UserManage_cl&) = delete;
    UserManage_cl& operator=(const UserManage_cl&) = delete;

    static QString ClassName() { return QStringLiteral("UserManage_cl"); }

    // The open database; raises the saved-links manager's error when none is open.
    DB_ns::IDatabase_cl& GetDatabase() const;

    // The user table and its super administrator, under one transaction.
    void CreateUserTable(const QString& userName, const QString& password);

    // On success the user is logged in and the database's settings storage opened.
    void Login(const QString& userName, const QString& password);
    void Logout();
    // The logged-in user's serial number; raises "还没有登录。" when nobody is.
    int32_t GetCurrentUser() const;
    // The logged-in user's row, read afresh; raises "还没有登录。" when he was deleted meanwhile.
    UserInfo_st GetCurrentUserInfo();
    // The serial number of the valid user of that name, or 0.
    int32_t FindUser(const QString& userName);

    // Oldest user first. Only for a user who may manage users.
    Base_ns::Trusteeship_tl<UserInfo_st> GetUsers();
    // Only for a user who may manage users; power 0 to 3.
    void AddUser(const QString& userName, int32_t power, const QString& password);
    // Marks the user deleted under the recycler row; never the logged-in user. Only for a
    // user who may manage users.
    void RemoveUser(int32_t userSn, int32_t recyclerSn);
    void ChangePassword(const QString& oldPassword, const QString& newPassword);

    bool CanManageUsers();
    bool CanAlterOthers();
    bool CanViewOthers();
    // Raises "当前用户没有权限管理用户。" unless CanManageUsers.
    void CheckManageUsers();

    int32_t GetSingleAccount();
    int32_t GetPublicAccount();
    void SetSingleAccount(int32_t amount);
    void SetPublicAccount(int32_t amount);
    // Moves the public balance and the personal balance of the user (0: the logged-in
    // one) by amount, in one transaction. An amount or a balance that would leave 32 bits
    // is refused ("金额不正确，…") before anything changes.
    void AddToAccounts(int64_t amount, int32_t userSn = 0);

    // The balances a move of userSn's starts from: the public one and, when the user has
    // a valid row, his own.
    struct Balances_st {
        int64_t publicAccount = 0;
        bool hasSingle = false;
        int64_t single = 0;
    };
    Balances_st ReadBalances(int32_t userSn);
    // Raises "金额不正确，…" for an amount or balance beyond 32 bits.
    static void CheckAmount(int64_t amount);

private:
    // Whether password is the user's: against his hash, or the plain text an older copy
    // stored while he has none; hashed tells which.
    [[nodiscard]] bool PasswordMatches(int32_t userSn, const QString& password, bool& hashed);
    // The logged-in user's power code, read afresh.
    int32_t ReadPower();

    DatabaseManage_cl& databaseManage;
    const QString productName;
};

}  // namespace Vorelle_ns
