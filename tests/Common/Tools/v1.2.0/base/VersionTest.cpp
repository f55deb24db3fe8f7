#include "base/SysError.h"
#include "base/Version.h"

#include <gtest/gtest.h>

using Base_ns::Version_st;

namespace {

uint32_t Parsed(const char* text) {
    Version_st version;
    version.Parse(QString::fromUtf8(text));
    return version.value;
}

void ExpectRefused(const char* text) {
    Version_st version(0x01020304);
    try {
        version.Parse(QString::fromUtf8(text));
        ADD_FAILURE() << text;
    } catch (const Base_ns::SysError_cl& error) {
        EXPECT_EQ(error.Message(), QStringLiteral("表示版本号的字符串不正确。")) << text;
        EXPECT_EQ(error.ClassName(), QStringLiteral("Version_st"));
        EXPECT_TRUE(error.Remark().isEmpty());
    }
    EXPECT_EQ(version.value, 0x01020304u) << "a refused text leaves the value alone";
}

}  // namespace

TEST(Version, ParsesAndPrintsBack) {
    EXPECT_EQ(Parsed("1.0.0.0"), 0x01000000u);
    EXPECT_EQ(Version_st(0x01000000).ToString(), QStringLiteral("1.0.0.0"));
    EXPECT_EQ(Parsed("255.255.255.255"), 0xFFFFFFFFu);
    EXPECT_EQ(Version_st(0xFFFFFFFF).ToString(), QStringLiteral("255.255.255.255"));
    EXPECT_EQ(Version_st(0x0A000102).ToString(), QStringLiteral("10.0.1.2"));
    EXPECT_EQ(Parsed("+1.2.3.4"), 0x01020304u);
}

TEST(Version, IgnoresTextAfterTheFourthNumberAndReadsHexDigits) {
    EXPECT_EQ(Parsed("1.2.3.4.5"), 0x01020304u);
    EXPECT_EQ(Parsed("1.2.3.a"), 0x0102030Au);
    EXPECT_EQ(Parsed("1.2.3.ff"), 0x010203FFu);
}

TEST(Version, RefusesWhatIsNotFourNumbersUpTo255) {
    for (const char* text : {"1.2.3", "1.2.256.0", "1.-1.0.0", "", "1.2.3.", "1..2.3", "1.2.3.4x", " 1.2.3.4"})
        ExpectRefused(text);
}

TEST(EnumInteger, FollowsTheDigitRule) {
    int32_t value = 99;
    EXPECT_TRUE(Base_ns::ReadEnumInteger(QStringLiteral("2"), value));
    EXPECT_EQ(value, 2);
    EXPECT_TRUE(Base_ns::ReadEnumInteger(QStringLiteral("-1"), value));
    EXPECT_EQ(value, -1);
    EXPECT_TRUE(Base_ns::ReadEnumInteger(QStringLiteral("1A"), value));  // 1 in base 10, then A in base 16
    EXPECT_EQ(value, 26);
    EXPECT_TRUE(Base_ns::ReadEnumInteger(QStringLiteral("2147483647"), value));
    EXPECT_EQ(value, 2147483647);
    value = 99;
    for (const char* text : {"", "2147483648", " 1", "1 ", "g", "--1"}) {
        EXPECT_FALSE(Base_ns::ReadEnumInteger(QString::fromUtf8(text), value)) << text;
        EXPECT_EQ(value, 99);
    }
}
