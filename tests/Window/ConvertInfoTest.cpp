#include "Window/ConvertInfo.h"

#include "base/SysError.h"

#include <gtest/gtest.h>

using Vorelle_ns::ConvertInfo_cl;

namespace {

// The message of the system error that call raises, or an empty text when it raises none.
template <typename Call>
QString SysMessage(Call call) {
    try {
        call();
    } catch (const Base_ns::SysError_cl& error) {
        EXPECT_EQ(error.ClassName(), QStringLiteral("ConvertInfo_cl"));
        return error.Message();
    }
    return QString();
}

}  // namespace

TEST(ConvertInfo, MoneyDropsTrailingZerosAndThePoint) {
    EXPECT_EQ(ConvertInfo_cl::MoneyToText(1250), QStringLiteral("12.5"));
    EXPECT_EQ(ConvertInfo_cl::MoneyToText(-1250), QStringLiteral("-12.5"));
    EXPECT_EQ(ConvertInfo_cl::MoneyToText(100000), QStringLiteral("1000"));
    EXPECT_EQ(ConvertInfo_cl::MoneyToText(1), QStringLiteral("0.01"));
    EXPECT_EQ(ConvertInfo_cl::MoneyToText(-5), QStringLiteral("-0.05"));
    EXPECT_EQ(ConvertInfo_cl::MoneyToText(0), QStringLiteral("0"));
    EXPECT_EQ(ConvertInfo_cl::MoneyToText(-10), QStringLiteral("-0.1"));
    // Large amounts stay exact where ten decimals of amount / 100.0 would show noise.
    EXPECT_EQ(ConvertInfo_cl::MoneyToText(524362180), QStringLiteral("5243621.8"));
    EXPECT_EQ(ConvertInfo_cl::MoneyToText(123456789), QStringLiteral("1234567.89"));
    EXPECT_EQ(ConvertInfo_cl::MoneyToText(INT32_MAX), QStringLiteral("21474836.47"));
    EXPECT_EQ(ConvertInfo_cl::MoneyToText(INT32_MIN), QStringLiteral("-21474836.48"));
}

TEST(ConvertInfo, MoneyOnScreenHasTwoDecimals) {
    constexpr auto two = ConvertInfo_cl::Decimals_en::Two;
    const std::pair<int64_t, const char*> cases[] = {
        {-2550, "-25.50"}, {800000, "8000.00"}, {0, "0.00"}, {-5, "-0.05"}, {123456789, "1234567.89"}};
    for (const auto& [cents, text] : cases) EXPECT_EQ(ConvertInfo_cl::MoneyToText(cents, two), QString::fromLatin1(text));
}

TEST(ConvertInfo, SizesInTheUnitsAHouseholdReads) {
    const std::pair<int64_t, const char*> cases[] = {{0, "0 字节"},          {1023, "1023 字节"},
                                                     {13312, "13.00 KB"},    {1310720, "1.25 MB"},
                                                     {2147483648, "2.00 GB"}};
    for (const auto& [bytes, text] : cases) EXPECT_EQ(ConvertInfo_cl::SizeToText(bytes), QString::fromUtf8(text));
}

TEST(ConvertInfo, RealKeepsTenRoundedDecimals) {
    EXPECT_EQ(ConvertInfo_cl::RealToText(3.14159265358979), QStringLiteral("3.1415926536"));
    EXPECT_EQ(ConvertInfo_cl::RealToText(10.0), QStringLiteral("10"));
}

TEST(ConvertInfo, PowerNamesAndWrongCodes) {
    EXPECT_EQ(ConvertInfo_cl::PowerToText(0), QStringLiteral("超级管理员"));
    EXPECT_EQ(ConvertInfo_cl::PowerToText(1), QStringLiteral("管理员"));
    EXPECT_EQ(ConvertInfo_cl::PowerToText(2), QStringLiteral("普通"));
    EXPECT_EQ(ConvertInfo_cl::PowerToText(3), QStringLiteral("独立"));
    EXPECT_EQ(SysMessage([] { ConvertInfo_cl::PowerToText(4); }), QStringLiteral("错误的用户权限。"));
    EXPECT_EQ(SysMessage([] { ConvertInfo_cl::PowerToText(-1); }), QStringLiteral("错误的用户权限。"));
}

TEST(ConvertInfo, StatisticsTextsRoundTripForEveryKindAndMode) {
    const char16_t* expected[2][3] = {{u"月开销", u"年开销", u"开销"}, {u"月收入", u"年收入", u"收入"}};
    for (int32_t kind = 0; kind < 2; ++kind) {
        for (int32_t mode = 0; mode < 3; ++mode) {
            const QString text = ConvertInfo_cl::StatisticsToText(kind, mode);
            EXPECT_EQ(text, QString::fromUtf16(expected[kind][mode]));
            int32_t readMode = -1, readKind = -1;
            ASSERT_TRUE(ConvertInfo_cl::TextToStatistics(text, readMode, readKind));
            EXPECT_EQ(readMode, mode);
            EXPECT_EQ(readKind, kind);
        }
    }
}

TEST(ConvertInfo, WrongStatisticsRaiseOrAreNotFound) {
    EXPECT_EQ(SysMessage([] { ConvertInfo_cl::StatisticsToText(1, 3); }), QStringLiteral("错误的统计方式。"));
    EXPECT_EQ(SysMessage([] { ConvertInfo_cl::StatisticsToText(2, 0); }), QStringLiteral("错误的统计方式。"));

    int32_t mode = 7, kind = 7;
    EXPECT_FALSE(ConvertInfo_cl::TextToStatistics(QStringLiteral(" 年收入"), mode, kind));
    EXPECT_FALSE(ConvertInfo_cl::TextToStatistics(QString(), mode, kind));
    EXPECT_FALSE(ConvertInfo_cl::TextToStatistics(QStringLiteral("年收入 "), mode, kind));
    EXPECT_EQ(mode, 7);
    EXPECT_EQ(kind, 7);
}

namespace {

struct MoneyText_st {
    const char* text;  // UTF-8
    bool read;
    int32_t cents;
};

class MoneyTextTest : public testing::TestWithParam<MoneyText_st> {};

TEST_P(MoneyTextTest, ReadsExactDigitsWithin32Bits) {
    int32_t cents = 0;
    EXPECT_EQ(ConvertInfo_cl::TextToMoney(QString::fromUtf8(GetParam().text), cents), GetParam().read);
    if (GetParam().read) {
        EXPECT_EQ(cents, GetParam().cents);
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, MoneyTextTest,
                         testing::Values(MoneyText_st{"12.5", true, 1250}, MoneyText_st{"-1.5", true, -150},
                                         MoneyText_st{"+3", true, 300}, MoneyText_st{"12.3400", true, 1234},
                                         // a digit past the cents is refused, never rounded
                                         MoneyText_st{"12.345", false, 0}, MoneyText_st{"0.126", false, 0},
                                         MoneyText_st{"-0.125", false, 0}, MoneyText_st{"1.005", false, 0},
                                         MoneyText_st{"0.1201", false, 0}, MoneyText_st{"-2.3449", false, 0},
                                         MoneyText_st{"0", true, 0}, MoneyText_st{"5.", true, 500},
                                         MoneyText_st{".5", true, 50}, MoneyText_st{"21474836.47", true, INT32_MAX},
                                         MoneyText_st{"-21474836.48", true, INT32_MIN},
                                         MoneyText_st{"21474836.48", false, 0}, MoneyText_st{"-21474836.49", false, 0},
                                         MoneyText_st{"99999999999999999999", false, 0},
                                         MoneyText_st{"12,5", false, 0}, MoneyText_st{" 5", false, 0},
                                         MoneyText_st{"5 ", false, 0}, MoneyText_st{"1e3", false, 0},
                                         MoneyText_st{"-", false, 0}, MoneyText_st{".", false, 0},
                                         MoneyText_st{"1.2.3", false, 0}, MoneyText_st{"１２", false, 0}));

TEST(ConvertInfo, TooLargeIsToldApartFromNotANumber) {
    const struct {
        const char* text;
        bool tooLarge;
    } cases[] = {{"99999999.99", true}, {"21474836.48", true}, {"-21474836.49", true}, {"99999999999999999999", true},
                 {"21474836.47", false}, {"12.345", false}, {"99999999.995", false}, {"abc", false}, {"1e99", false}, {"", false}, {"-", false}};
    for (const auto& c : cases) EXPECT_EQ(ConvertInfo_cl::IsMoneyTooLarge(QString::fromUtf8(c.text)), c.tooLarge) << c.text;
}

}  // namespace
