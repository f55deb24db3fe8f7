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

// Limits count characters as a server's column does, and never cut what a person sees as
// one character in half.
TEST(Text, CharactersAsAColumnCountsThem) {
    const QString family = QString::fromUtf8("👨‍👩‍👧‍👦");  // seven characters
    const struct {
        QString text;
        int32_t count;
        QString firstTwo;
    } rows[] = {
        {QStringLiteral("ab"), 2, QStringLiteral("ab")},
        {QStringLiteral("生日🎂快乐"), 5, QStringLiteral("生日")},
        {QStringLiteral("🎂🎂🎂"), 3, QStringLiteral("🎂🎂")},
        {QStringLiteral("a👍🏽b"), 4, QStringLiteral("a")},
        {QStringLiteral("e\u0301\u0301x"), 4, QString()},
        {family + u'x', 8, QString()},
        {QString(), 0, QString()},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(Base_ns::CharacterCount(row.text), row.count) << row.text.toStdString();
        EXPECT_EQ(Base_ns::LeftCharacters(row.text, 2), row.firstTwo) << row.text.toStdString();
    }
    EXPECT_EQ(Base_ns::CharacterCount(QString(15, u'长') + QStringLiteral("🎂")), 16);
    EXPECT_EQ(Base_ns::LeftCharacters(family + family + u'x', 15), family + family + u'x');
    EXPECT_EQ(Base_ns::LeftCharacters(family + family + u'x', 14), family + family);
}

