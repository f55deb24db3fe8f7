#include "platform/ado/Variant.h"

#include <gtest/gtest.h>

using namespace Ado_ns;

TEST(Variant, IntegersBeyond32BitsAreDecimal) {
    EXPECT_EQ(Variant_st::Integer(2147483647).type, VT_I4);
    EXPECT_EQ(Variant_st::Integer(-2147483648LL).type, VT_I4);
    EXPECT_EQ(Variant_st::Integer(2147483648LL).type, VT_DECIMAL);
    EXPECT_EQ(Variant_st::Integer(-2147483649LL).type, VT_DECIMAL);
}

TEST(Variant, ToInt32RoundsHalvesToEven) {
    int32_t out = 99;
    const struct { double in; int32_t want; } cases[] = {{0.5, 0}, {1.5, 2}, {2.5, 2}, {-0.5, 0}, {-1.5, -2}, {2.4999, 2}, {2.5001, 3}};
    for (const auto& c : cases) {
        ASSERT_TRUE(Variant_st::Real(c.in).ToInt32(out)) << c.in;
        EXPECT_EQ(out, c.want) << c.in;
    }
    ASSERT_TRUE(Variant_st::Decimal(25, 1).ToInt32(out));  // 2.5
    EXPECT_EQ(out, 2);
    ASSERT_TRUE(Variant_st::Decimal(-35, 1).ToInt32(out));  // -3.5
    EXPECT_EQ(out, -4);
    ASSERT_TRUE(Variant_st::Decimal(12346, 3).ToInt32(out));  // 12.346
    EXPECT_EQ(out, 12);
    ASSERT_TRUE(Variant_st::Bool(true).ToInt32(out));
    EXPECT_EQ(out, -1);
}

TEST(Variant, ToInt32ReportsFailures) {
    int32_t out = 7;
    EXPECT_FALSE(Variant_st::Null().ToInt32(out));
    EXPECT_FALSE(Variant_st::Integer(2147483648LL).ToInt32(out));
    EXPECT_FALSE(Variant_st::Real(2147483647.5).ToInt32(out));  // rounds to 2^31
    EXPECT_FALSE(Variant_st::Text(QStringLiteral("abc")).ToInt32(out));
    EXPECT_EQ(out, 7);
    EXPECT_TRUE(Variant_st::Real(-2147483648.5).ToInt32(out));  // even neighbour is in range
    EXPECT_EQ(out, -2147483648);
}

TEST(Variant, ToTextFormatsEveryType) {
    QString out;
    ASSERT_TRUE(Variant_st::Date(39512.37988425926).ToText(out));
    EXPECT_EQ(out, QStringLiteral("2008-03-05 09:07:02"));
    ASSERT_TRUE(Variant_st::Decimal(-5, 2).ToText(out));
    EXPECT_EQ(out, QStringLiteral("-0.05"));
    ASSERT_TRUE(Variant_st::Integer(-12).ToText(out));
    EXPECT_EQ(out, QStringLiteral("-12"));
    ASSERT_TRUE(Variant_st::Text(QStringLiteral("饮食")).ToText(out));
    EXPECT_EQ(out, QStringLiteral("饮食"));
    EXPECT_FALSE(Variant_st::Null().ToText(out));
    EXPECT_FALSE(Variant_st::Date(1e9).ToText(out));
}
