#pragma once

#include <QByteArray>

namespace Ado_ns {

// PBKDF2 with HMAC-SHA1 or HMAC-SHA256, the same bytes as the crypto library's, made about
// twice as fast: the library sets up, copies and frees a digest context (and allocates) in
// every round, while here the two pads' states are worked out once and each round is two
// block transforms on a copy of them. Book keys and login hashes are derived in hundreds of
// thousands of rounds, which is most of what a short command costs.
class Pbkdf2_cl {
public:
    enum class Digest_en { Sha1, Sha256 };

    // length bytes derived from secret and salt in rounds rounds; empty when the crypto
    // library refuses (no memory) or rounds < 1 or length < 1.
    [[nodiscard]] static QByteArray Derive(Digest_en digest, const QByteArray& secret, const QByteArray& salt,
                                           int rounds, int length);
};

}  // namespace Ado_ns
