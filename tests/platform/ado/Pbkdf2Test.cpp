// The fast derivation gives the crypto library's bytes for every shape of input that a
// book key or a login hash can have: secrets empty, short, one block long and longer
// (keyed by their digest), outputs shorter and longer than one digest, one round and many.
#include "platform/ado/Pbkdf2.h"

#include <gtest/gtest.h>
#include <openssl/evp.h>

using Ado_ns::Pbkdf2_cl;

namespace {

struct Shape_st {
    const char* title;
    Pbkdf2_cl::Digest_en digest;
    int secretSize;
    int rounds;
    int length;
};

void PrintTo(const Shape_st& shape, std::ostream* out) { *out << shape.title; }

QByteArray Library(const Shape_st& shape, const QByteArray& secret, const QByteArray& salt) {
    QByteArray out(shape.length, Qt::Uninitialized);
    const EVP_MD* md = shape.digest == Pbkdf2_cl::Digest_en::Sha1 ? EVP_sha1() : EVP_sha256();
    EXPECT_EQ(PKCS5_PBKDF2_HMAC(secret.constData(), int(secret.size()), reinterpret_cast<const unsigned char*>(salt.constData()),
                                int(salt.size()), shape.rounds, md, shape.length, reinterpret_cast<unsigned char*>(out.data())),
              1);
    return out;
}

class Pbkdf2Test : public ::testing::TestWithParam<Shape_st> {};

TEST_P(Pbkdf2Test, GivesTheLibrarysBytes) {
    const Shape_st& shape = GetParam();
    QByteArray secret;
    for (int i = 0; i < shape.secretSize; ++i) secret.append(char(0x61 + i * 7 % 26));
    const QByteArray salt = QByteArray::fromHex("00ff10e5a7c3b2910877665544332211");
    EXPECT_EQ(Pbkdf2_cl::Derive(shape.digest, secret, salt, shape.rounds, shape.length).toHex(),
              Library(shape, secret, salt).toHex());
}

using D = Pbkdf2_cl::Digest_en;
INSTANTIATE_TEST_SUITE_P(
    Shapes, Pbkdf2Test,
    ::testing::Values(Shape_st{"sha1_book_key", D::Sha1, 10, 4000, 32}, Shape_st{"sha1_one_round", D::Sha1, 10, 1, 32},
                      Shape_st{"sha1_two_rounds", D::Sha1, 10, 2, 20}, Shape_st{"sha1_empty_secret", D::Sha1, 0, 50, 32},
                      Shape_st{"sha1_block_secret", D::Sha1, 64, 50, 32}, Shape_st{"sha1_long_secret", D::Sha1, 65, 50, 32},
                      Shape_st{"sha1_three_blocks", D::Sha1, 10, 50, 41}, Shape_st{"sha256_login", D::Sha256, 12, 3000, 32},
                      Shape_st{"sha256_one_round", D::Sha256, 12, 1, 32}, Shape_st{"sha256_short_out", D::Sha256, 12, 9, 7},
                      Shape_st{"sha256_long_secret", D::Sha256, 200, 50, 32},
                      Shape_st{"sha256_two_blocks", D::Sha256, 12, 50, 64}),
    [](const ::testing::TestParamInfo<Shape_st>& info) { return std::string(info.param.title); });

// Published vectors, so that the library and this agree with the standard too.
TEST(Pbkdf2, PublishedVectors) {
    EXPECT_EQ(Pbkdf2_cl::Derive(D::Sha1, "password", "salt", 4096, 20).toHex(),
              QByteArray("4b007901b765489abead49d926f721d065a429c1"));
    EXPECT_EQ(Pbkdf2_cl::Derive(D::Sha256, "passwd", "salt", 1, 16).toHex(), QByteArray("55ac046e56e3089fec1691c22544b605"));
}

TEST(Pbkdf2, RefusesNoRoundsAndNoLength) {
    EXPECT_TRUE(Pbkdf2_cl::Derive(D::Sha1, "pw", "salt", 0, 32).isEmpty());
    EXPECT_TRUE(Pbkdf2_cl::Derive(D::Sha256, "pw", "salt", 10, 0).isEmpty());
}

}  // namespace
