#include "Pbkdf2.h"

// The block transforms are the library's low-level interface, which it keeps but marks as
// deprecated in favour of the context-per-call one that is the slow part here.
#define OPENSSL_SUPPRESS_DEPRECATED
#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/sha.h>

#include <QtEndian>
#include <array>
#include <cstdint>
#include <cstring>

namespace Ado_ns {

namespace {

constexpr int kBlock = 64;  // the input block of both digests

struct Sha1_st {
    using Context = SHA_CTX;
    static constexpr int kSize = SHA_DIGEST_LENGTH;
    static int First(const QByteArray& secret, const QByteArray& salt, QByteArray& out) {
        return PKCS5_PBKDF2_HMAC_SHA1(secret.constData(), int(secret.size()),
                                      reinterpret_cast<const unsigned char*>(salt.constData()), int(salt.size()), 1,
                                      int(out.size()), reinterpret_cast<unsigned char*>(out.data()));
    }
    static void Init(Context& c) { SHA1_Init(&c); }
    static void Update(Context& c, const unsigned char* data, size_t size) { SHA1_Update(&c, data, size); }
    static void Transform(Context& c, const unsigned char* block) { SHA1_Transform(&c, block); }
    static void Final(unsigned char* digest, Context& c) { SHA1_Final(digest, &c); }
    static std::array<uint32_t, 5> State(const Context& c) { return {c.h0, c.h1, c.h2, c.h3, c.h4}; }
};

struct Sha256_st {
    using Context = SHA256_CTX;
    static constexpr int kSize = SHA256_DIGEST_LENGTH;
    static int First(const QByteArray& secret, const QByteArray& salt, QByteArray& out) {
        return PKCS5_PBKDF2_HMAC(secret.constData(), int(secret.size()),
                                 reinterpret_cast<const unsigned char*>(salt.constData()), int(salt.size()), 1,
                                 EVP_sha256(), int(out.size()), reinterpret_cast<unsigned char*>(out.data()));
    }
    static void Init(Context& c) { SHA256_Init(&c); }
    static void Update(Context& c, const unsigned char* data, size_t size) { SHA256_Update(&c, data, size); }
    static void Transform(Context& c, const unsigned char* block) { SHA256_Transform(&c, block); }
    static void Final(unsigned char* digest, Context& c) { SHA256_Final(digest, &c); }
    static std::array<uint32_t, 8> State(const Context& c) {
        std::array<uint32_t, 8> h{};
        std::memcpy(h.data(), c.h, sizeof c.h);
        return h;
    }
};

// The state after a block of the key xor'ed with pad.
template <typename Sha>
typename Sha::Context PadState(const unsigned char* key, unsigned char pad) {
    unsigned char block[kBlock];
    for (int i = 0; i < kBlock; ++i) block[i] = key[i] ^ pad;
    typename Sha::Context context;
    Sha::Init(context);
    Sha::Update(context, block, kBlock);
    OPENSSL_cleanse(block, sizeof block);
    return context;
}

// One more digest of a state over the message in block (a digest, already padded), made in
// work: the new digest is written back into block's front, big-endian as digests are.
template <typename Sha>
void Step(const typename Sha::Context& from, typename Sha::Context& work, unsigned char* block) {
    work = from;
    Sha::Transform(work, block);
    for (const uint32_t word : Sha::State(work)) {
        const uint32_t big = qToBigEndian(word);
        std::memcpy(block, &big, sizeof big);
        block += sizeof big;
    }
}

template <typename Sha>
QByteArray Run(const QByteArray& secret, const QByteArray& salt, int rounds, int length) {
    constexpr int kSize = Sha::kSize;
    const int blocks = (length + kSize - 1) / kSize;
    // The first round of every block from the library itself: it is the one that reads
    // the salt and the block's number, and a test tool counts derivations by it.
    QByteArray first(blocks * kSize, Qt::Uninitialized);
    if (Sha::First(secret, salt, first) != 1) return QByteArray();
    unsigned char key[kBlock] = {};
    if (secret.size() > kBlock) {
        typename Sha::Context context;
        Sha::Init(context);
        Sha::Update(context, reinterpret_cast<const unsigned char*>(secret.constData()), size_t(secret.size()));
        Sha::Final(key, context);  // a key longer than a block is keyed by its digest
    } else {
        std::memcpy(key, secret.constData(), size_t(secret.size()));
    }
    const typename Sha::Context inner = PadState<Sha>(key, 0x36);
    const typename Sha::Context outer = PadState<Sha>(key, 0x5c);
    OPENSSL_cleanse(key, sizeof key);

    // A digest padded as the second block after a pad: the 0x80 mark and the bit length.
    unsigned char block[kBlock] = {};
    block[kSize] = 0x80;
    const uint32_t bits = uint32_t(kBlock + kSize) * 8;
    block[kBlock - 2] = static_cast<unsigned char>(bits >> 8);
    block[kBlock - 1] = static_cast<unsigned char>(bits);
    typename Sha::Context work;
    for (int b = 0; b < blocks; ++b) {
        unsigned char* sum = reinterpret_cast<unsigned char*>(first.data()) + b * kSize;
        std::memcpy(block, sum, kSize);
        for (int round = 1; round < rounds; ++round) {
            Step<Sha>(inner, work, block);
            Step<Sha>(outer, work, block);
            for (int i = 0; i < kSize; ++i) sum[i] ^= block[i];
        }
    }
    OPENSSL_cleanse(block, sizeof block);
    OPENSSL_cleanse(&work, sizeof work);
    const QByteArray out = first.left(length);
    OPENSSL_cleanse(first.data(), size_t(first.size()));
    return out;
}

}  // namespace

QByteArray Pbkdf2_cl::Derive(Digest_en digest, const QByteArray& secret, const QByteArray& salt, int rounds,
                             int length) {
    if (rounds < 1 || length < 1) return QByteArray();
    return digest == Digest_en::Sha1 ? Run<Sha1_st>(secret, salt, rounds, length)
                                     : Run<Sha256_st>(secret, salt, rounds, length);
}

}  // namespace Ado_ns
