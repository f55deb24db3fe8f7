#include "CTL/LengthLimit.h"

#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

// Typing or pasting past the limit keeps what fits the column whole: an emoji that would
// pass the sixteenth character is dropped whole, never halved.
TEST(LengthLimit, TypedAndPastedTextKeepsWholeCharacters) {
    const struct {
        QString typed;
        QString kept;
    } rows[] = {
        {QString(15, u'长') + QStringLiteral("🎂"), QString(15, u'长') + QStringLiteral("🎂")},
        {QString(16, u'长') + QStringLiteral("🎂"), QString(16, u'长')},
        {QStringLiteral("🎂").repeated(20), QStringLiteral("🎂").repeated(16)},
        {QStringLiteral("a👍🏽").repeated(9), QStringLiteral("a👍🏽").repeated(5) + u'a'},  // 👍🏽 is two characters
        {QStringLiteral("ab") + QString::fromUtf8("👨‍👩‍👧‍👦").repeated(3),
         QStringLiteral("ab") + QString::fromUtf8("👨‍👩‍👧‍👦").repeated(2)},  // seven each
    };
    for (const auto& row : rows) {
        QLineEdit edit;
        CTL_ns::LengthLimit_cl::Apply(&edit, 16);
        edit.insert(row.typed);
        EXPECT_EQ(edit.text(), row.kept) << row.typed.toStdString();
        QTest::keyClicks(&edit, QStringLiteral("x"));
        EXPECT_EQ(edit.text(), row.kept) << "a further key changes nothing";
    }
}
