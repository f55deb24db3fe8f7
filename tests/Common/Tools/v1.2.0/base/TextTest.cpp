#include "base/Text.h"

#include <gtest/gtest.h>

using namespace Base_ns;

TEST(Text, IntegersInPlainDecimal) {
    EXPECT_EQ(IntToText(0), QStringLiteral("0"));
    EXPECT_EQ(IntToText(-2147483647 - 1), QStringLiteral("-2147483648"));
    EXPECT_EQ(IntToText(1234567), QStringLiteral("1234567"));
}

TEST(Text, ApostropheAnywhereIsIllegalInSql) {
    for (const char* bad : {"'abc", "ab'c", "abc'", "'"}) EXPECT_TRUE(HasIllegalSqlChar(QString::fromUtf8(bad))) << bad;
    for (const char* good : {"", "密码", "a\"b", "a;b", "a`b", "a’b"})
        EXPECT_FALSE(HasIllegalSqlChar(QString::fromUtf8(good))) << good;
}

TEST(Text, ConnectionStringRules) {
    EXPECT_TRUE(HasIllegalQuotedChar(QStringLiteral("/tmp/a\".mdb")));
    EXPECT_FALSE(HasIllegalQuotedChar(QStringLiteral("/tmp/a';b.mdb")));
    EXPECT_TRUE(HasIllegalUnquotedChar(QStringLiteral("host;Database=x")));
    EXPECT_FALSE(HasIllegalUnquotedChar(QStringLiteral("host\"x'")));
}
