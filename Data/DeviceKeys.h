#pragma once

#include "base/DateTime.h"
#include "base/Trusteeship.h"

#include <QString>
#include <cstdint>

namespace DB_ns {
class IDatabase_cl;
}

namespace Vorelle_ns {

class UserManage_cl;

// One device key as listed: never the key itself.
struct DeviceKey_st {
    int32_t sn = 0;
    QString userName;
    QString label;
    Base_ns::DateTime_cl createTime;
    Base_ns::DateTime_cl lastUsed;  // null until first used
};

// A key just made: shown once, then only its hash is kept.
struct NewDeviceKey_st {
    int32_t sn = 0;
    QString key;  // URL-safe text
};

// The keys with which a user's phone books without a password. A key is 256 random bits
// from the system's generator; the book keeps only its SHA-256, in a table of its own
// (zorb_device_key), so that the five finance tables stay as older copies of the program
// know them. A key acts with its user's power; a revoked key, or one of a deleted user,
// opens nothing.
class DeviceKeys_cl {
public:
    explicit DeviceKeys_cl(UserManage_cl& userManage) : userManage(userManage) {}

    static QString ClassName() { return QStringLiteral("DeviceKeys_cl"); }
    // Longest label, in characters.
    static constexpr int32_t MaxLabel = 32;

    // Makes the table when the book has none yet (a book made by an older copy), in a
    // transaction of its own. Call outside any transaction.
    void Prepare();
    // Inside the caller's transaction, with the book.
    static void CreateTable(DB_ns::IDatabase_cl& database);

    // A key for userSn (0: the logged-in user); a user makes keys for himself, the super
    // administrator for anyone.
    [[nodiscard]] NewDeviceKey_st Add(const QString& label, int32_t userSn = 0);
    // The valid keys the logged-in user may see: his own; the super administrator's, all.
    // Oldest first.
    [[nodiscard]] Base_ns::Trusteeship_tl<DeviceKey_st> List();
    // Revokes at once; a user his own keys, the super administrator any.
    void Revoke(int32_t keySn);
    // The serial number of the valid user the key belongs to, or 0 for a key that opens
    // nothing. Notes the time of use (once a minute at most, to spare the book writes).
    [[nodiscard]] int32_t Authenticate(const QString& key);
    // Inside the caller's transaction: every key of a user being deleted.
    static void RevokeUserKeys(DB_ns::IDatabase_cl& database, int32_t userSn, int32_t alterSn);

    // The text stored for a key.
    [[nodiscard]] static QString Hash(const QString& key);

private:
    UserManage_cl& userManage;
};

}  // namespace Vorelle_ns
