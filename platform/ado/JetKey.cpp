#include "JetKey.h"

#include "Pbkdf2.h"

#include <QCryptographicHash>
#include <QFile>
#include <QRandomGenerator>
#include <mutex>
#include <openssl/crypto.h>
#include <vector>

#define SQLITE_HAS_CODEC 1
#include <sqlcipher/sqlite3.h>

namespace Ado_ns {

namespace {

constexpr int kKeySize = 32;   // the engine's cipher key: 256 bits
constexpr size_t kKept = 8;    // a process uses one book, a few with backups and restores

// The rounds of the engine's derivation (PBKDF2 with HMAC-SHA1 and a 32-byte key in its
// version 3 line), or 0 when the engine is another version, whose derivation differs.
int EngineRounds() {
    static const int rounds = [] {
        sqlite3* db = nullptr;
        int found = 0;
        if (sqlite3_open_v2(":memory:", &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK) {
            QByteArray version;
            sqlite3_exec(
                db, "pragma cipher_version",
                [](void* out, int, char** values, char**) {
                    *static_cast<QByteArray*>(out) = values[0] == nullptr ? QByteArray() : QByteArray(values[0]);
                    return 0;
                },
                &version, nullptr);
            if (version.startsWith("3.")) {
                sqlite3_exec(
                    db, "pragma cipher_default_kdf_iter",
                    [](void* out, int, char** values, char**) {
                        *static_cast<int*>(out) = values[0] == nullptr ? 0 : QByteArray(values[0]).toInt();
                        return 0;
                    },
                    &found, nullptr);
            }
        }
        sqlite3_close_v2(db);
        return found;
    }();
    return rounds;
}

struct Derived_st {
    QByteArray tag;  // digest of password and salt: the password itself is not kept here
    QByteArray key;  // "x'<key><salt>'"
};

std::mutex guard;
std::vector<Derived_st> derived;  // most recently used last

}  // namespace

QByteArray JetKey_cl::For(const QString& password, const QByteArray& salt) {
    const QByteArray secret = password.toUtf8();
    const int rounds = EngineRounds();
    if (salt.size() != kSaltSize || rounds <= 0) return secret;
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(salt);
    hash.addData(secret);
    const QByteArray tag = hash.result();
    const std::lock_guard lock(guard);
    for (auto it = derived.begin(); it != derived.end(); ++it) {
        if (it->tag == tag) {
            Derived_st used = std::move(*it);
            derived.erase(it);
            derived.push_back(std::move(used));
            return derived.back().key;
        }
    }
    QByteArray key = Pbkdf2_cl::Derive(Pbkdf2_cl::Digest_en::Sha1, secret, salt, rounds, kKeySize);
    if (key.isEmpty()) return secret;
    const QByteArray rawKey = "x'" + key.toHex() + salt.toHex() + "'";
    OPENSSL_cleanse(key.data(), size_t(key.size()));
    if (derived.size() == kKept) derived.erase(derived.begin());
    derived.push_back({tag, rawKey});
    return rawKey;
}

QByteArray JetKey_cl::SaltOf(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return QByteArray();
    const QByteArray salt = file.read(kSaltSize);
    return salt.size() == kSaltSize ? salt : QByteArray();
}

QByteArray JetKey_cl::NewSalt() {
    QByteArray salt(kSaltSize, Qt::Uninitialized);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32*>(salt.data()), kSaltSize / int(sizeof(quint32)));
    return salt;
}

}  // namespace Ado_ns
