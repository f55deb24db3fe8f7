#include "CTL/LengthLimit.h"

#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

// Typing or pasting past the limit keeps whole characters only; an emoji that would be the
// seventeenth unit is kept whole or dropped, never halved.
TEST(LengthLimit, TypedAndPastedTextKeepsWholeCharacters) {
    const struct {
        QString typed;
        QString kept;
    } rows[] = {
        {QString(15, u'长') + QStringLiteral("🎂"), QString(15, u'长') + QStringLiteral("🎂")},
        {QString(16, u'长') + QStringLiteral("🎂"), QString(16, u'长')},
        {QStringLiteral("🎂").repeated(20), QStringLiteral("🎂").repeated(16)},
        {QStringLiteral("a👍🏽").repeated(9), QStringLiteral("a👍🏽").repeated(8)},
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
