#pragma once

#include <QString>
#include <cstdint>

namespace Vorelle_ns {

// A login password kept as a salted slow hash: PBKDF2-HMAC-SHA256, written
// "pbkdf2-sha256$ROUNDS$SALT$HASH" (salt and hash in base64), so that each hash carries
// the cost it was made with and is checked at that cost.
class PasswordHash_cl {
public:
    static QString ClassName() { return QStringLiteral("PasswordHash_cl"); }

    // The rounds every new hash is made with: what guidance asks of PBKDF2-HMAC-SHA256.
    static constexpr int32_t kRounds = 600000;

    // A new hash of password with a fresh random salt, at NewRounds() rounds.
    [[nodiscard]] static QString Make(const QString& password);
    // Whether password is the one stored was made of; false for a text that is no hash.
    // The time taken tells nothing of where a wrong password's hash differs.
    [[nodiscard]] static bool Matches(const QString& password, const QString& stored);
    // The rounds a stored hash was made with; 0 for a text that is no hash.
    [[nodiscard]] static int32_t RoundsOf(const QString& stored);

    // kRounds. The test programs link a cheaper definition of their own (they log in
    // hundreds of times); the programs cannot reach it.
    [[nodiscard]] static int32_t NewRounds();
};

}  // namespace Vorelle_ns
