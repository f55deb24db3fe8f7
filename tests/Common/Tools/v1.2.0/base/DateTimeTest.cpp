#include "base/DateTime.h"

#include <QDateTime>
#include <QUtf8StringView>
#include <gtest/gtest.h>

using Base_ns::DateTime_cl;
using Base_ns::DateTimeSpan_cl;

namespace {

QString Text(const DateTime_cl& value) { return value.Format(); }

DateTime_cl At(const char* text) {
    const DateTime_cl value = DateTime_cl::Parse(QString::fromLatin1(text));
    EXPECT_TRUE(value.IsValid()) << text;
    return value;
}

}  // namespace

TEST(DateTime, OleValuesSplitIntoParts) {
    EXPECT_EQ(Text(DateTime_cl(0.0)), QStringLiteral("1899-12-30 00:00:00"));
    EXPECT_EQ(Text(DateTime_cl(39512.379884259)), QStringLiteral("2008-03-05 09:07:02"));
    EXPECT_EQ(DateTime_cl(39512.379884259).FormatDate(), QStringLiteral("2008-03-05"));
    // Below zero the fraction still runs forwards from the day's midnight.
    EXPECT_EQ(Text(DateTime_cl(-1.25)), QStringLiteral("1899-12-29 06:00:00"));
    EXPECT_EQ(Text(DateTime_cl(-0.5)), Text(DateTime_cl(0.5)));
    // Rounded to the nearest second, carrying into the next day.
    EXPECT_EQ(Text(DateTime_cl(1.0 - 0.2 / 86400)), QStringLiteral("1899-12-31 00:00:00"));
    EXPECT_EQ(Text(DateTime_cl(-1.0 - 0.9999999)), QStringLiteral("1899-12-30 00:00:00"));
}

TEST(DateTime, PartsRoundTripThroughOleValues) {
    const DateTime_cl early = DateTime_cl::FromParts(1899, 12, 29, 6, 0, 0);
    EXPECT_DOUBLE_EQ(early.Value(), -1.25);
    const DateTime_cl value = DateTime_cl::FromParts(2008, 3, 5, 9, 7, 2);
    EXPECT_EQ(value.Year(), 2008);
    EXPECT_EQ(value.Month(), 3);
    EXPECT_EQ(value.Day(), 5);
    EXPECT_EQ(value.Hour(), 9);
    EXPECT_EQ(value.Minute(), 7);
    EXPECT_EQ(value.Second(), 2);
    EXPECT_EQ(DateTime_cl(value.Value()), value);
}

TEST(DateTime, OutOfRangePartsAndValuesAreInvalid) {
    EXPECT_FALSE(DateTime_cl::FromParts(2008, 2, 31).IsValid());
    EXPECT_FALSE(DateTime_cl::FromParts(2007, 2, 29).IsValid());
    EXPECT_TRUE(DateTime_cl::FromParts(2008, 2, 29).IsValid());
    EXPECT_TRUE(DateTime_cl::FromParts(2000, 2, 29).IsValid());
    EXPECT_FALSE(DateTime_cl::FromParts(1900, 2, 29).IsValid());
    EXPECT_FALSE(DateTime_cl::FromParts(2008, 13, 1).IsValid());
    EXPECT_FALSE(DateTime_cl::FromParts(2008, 1, 1, 24, 0, 0).IsValid());
    EXPECT_FALSE(DateTime_cl::FromParts(2008, 1, 1, 0, 60, 0).IsValid());
    EXPECT_FALSE(DateTime_cl::FromParts(2008, 1, 1, 0, 0, 60).IsValid());
    EXPECT_FALSE(DateTime_cl::FromParts(99, 12, 31).IsValid());
    EXPECT_FALSE(DateTime_cl::FromParts(10000, 1, 1).IsValid());
    EXPECT_EQ(DateTime_cl::FromParts(2008, 2, 31).Status(), DateTime_cl::Invalid);
    EXPECT_EQ(Text(DateTime_cl::FromParts(100, 1, 1)), QStringLiteral("0100-01-01 00:00:00"));
    EXPECT_EQ(Text(DateTime_cl::FromParts(9999, 12, 31, 23, 59, 59)), QStringLiteral("9999-12-31 23:59:59"));
    EXPECT_FALSE(DateTime_cl(2958466.0).IsValid());
    EXPECT_FALSE(DateTime_cl(-657435.0).IsValid());
    EXPECT_FALSE(DateTime_cl(std::nan("")).IsValid());
    EXPECT_FALSE(DateTime_cl(1e300).IsValid());
}

TEST(DateTime, NullAndInvalidValuesFormatEmptyAndHaveNoParts) {
    const DateTime_cl null;
    EXPECT_EQ(DateTime_cl::MakeInvalid().Parts().year, -1);
    EXPECT_EQ(null.Parts().second, -1);
    EXPECT_TRUE(null.IsNull());
    EXPECT_EQ(null.Status(), DateTime_cl::Null);
    EXPECT_TRUE(null.Format().isEmpty());
    EXPECT_TRUE(null.FormatDate().isEmpty());
    EXPECT_EQ(null.Year(), -1);
    EXPECT_TRUE(DateTime_cl::MakeInvalid().Format().isEmpty());
    EXPECT_FALSE(null.ToQDateTime().isValid());
}

TEST(DateTime, ParserReadsBothSeparatorsWithOptionalTime) {
    EXPECT_EQ(Text(At("2008-03-05 09:07:02")), QStringLiteral("2008-03-05 09:07:02"));
    EXPECT_EQ(Text(At("2008-03-05")), QStringLiteral("2008-03-05 00:00:00"));
    EXPECT_EQ(Text(At("2008/3/5")), QStringLiteral("2008-03-05 00:00:00"));
    EXPECT_EQ(Text(At("2008/03/05 9:07")), QStringLiteral("2008-03-05 09:07:00"));
    EXPECT_EQ(Text(At("2008-03-05 23:59")), QStringLiteral("2008-03-05 23:59:00"));
    EXPECT_EQ(Text(At("2008/12/31 23:59:59")), QStringLiteral("2008-12-31 23:59:59"));
    EXPECT_EQ(Text(At(" 2008-03-05 ")), QStringLiteral("2008-03-05 00:00:00"));
    for (const char* bad : {"", "2008", "2008-03", "2008-02-31", "2008-03/05", "2008-03-05 25:00",
                            "2008-03-05 10", "2008-03-05T10:00:00", "08-03-05", "2008-03-05 10:00:00 x",
                            "abc"}) {
        const DateTime_cl value = DateTime_cl::Parse(QString::fromLatin1(bad));
        EXPECT_EQ(value.Status(), DateTime_cl::Invalid) << bad;
    }
}

// The calendar is computed in integers: every day of the range must agree with Qt's
// Gregorian calendar, both ways.
TEST(DateTime, EveryDayOfTheRangeMatchesTheGregorianCalendar) {
    constexpr int64_t kJulianDayOfZero = 2415019;  // 1899-12-30
    const QDate last(9999, 12, 31);
    for (QDate day(100, 1, 1); day <= last; day = day.addDays(1)) {
        const DateTime_cl value = DateTime_cl::FromParts(day.year(), day.month(), day.day(), 12, 0, 0);
        ASSERT_TRUE(value.IsValid()) << day.toString().toStdString();
        const int64_t number = day.toJulianDay() - kJulianDayOfZero;
        ASSERT_EQ(value.Value(), double(number) + (number < 0 ? -0.5 : 0.5))
            << day.toString().toStdString();
        const DateTime_cl::Parts_st parts = value.Parts();
        ASSERT_EQ(QDate(parts.year, parts.month, parts.day), day);
        ASSERT_EQ(parts.hour, 12);
    }
}

TEST(DateTime, FixedFormsReadLikeTheGeneralParser) {
    // The forms the program writes are read without the general parser; surrounding blanks
    // send the same texts through it, and both must agree.
    for (const char* text : {"2008-03-05 09:07:02", "2008-03-05", "0100-01-01 00:00:00", "9999-12-31 23:59:59",
                             "2000-02-29 12:30:00", "1899-12-29 06:00:00"}) {
        const DateTime_cl fixed = At(text);
        EXPECT_EQ(DateTime_cl::Parse(u' ' + QString::fromLatin1(text) + u' '), fixed) << text;
        EXPECT_EQ(DateTime_cl::Parse(QUtf8StringView(text)), fixed) << text;
        EXPECT_EQ(DateTime_cl::Parse(QLatin1StringView(text)), fixed) << text;
    }
    for (const char* bad : {"2007-02-29 00:00:00", "2008-13-01", "2008-01-01 24:00:00", "0099-12-31",
                            "2008-01-01 00:60:00", "2008-01-01 00:00:60", "2008-00-10", "2008-01-00"}) {
        EXPECT_EQ(DateTime_cl::Parse(QString::fromLatin1(bad)).Status(), DateTime_cl::Invalid) << bad;
        EXPECT_EQ(DateTime_cl::Parse(QUtf8StringView(bad)).Status(), DateTime_cl::Invalid) << bad;
    }
    // Digits other than ASCII are no digits, in UTF-8 and UTF-16 alike.
    EXPECT_FALSE(DateTime_cl::Parse(QStringLiteral("２００８-03-05")).IsValid());
    EXPECT_FALSE(DateTime_cl::Parse(QUtf8StringView("２００８-03-05")).IsValid());
    EXPECT_FALSE(DateTime_cl::Parse(QUtf8StringView("2008-03-0\xd9\xa5")).IsValid());
}

TEST(DateTime, FormattedTextIsReadOnlyInItsExactForm) {
    DateTime_cl::Parts_st parts{};
    ASSERT_TRUE(DateTime_cl::ReadFormatted(QUtf8StringView("2024-02-29 23:59:58"), parts));
    EXPECT_EQ(parts.year, 2024);
    EXPECT_EQ(parts.month, 2);
    EXPECT_EQ(parts.day, 29);
    EXPECT_EQ(parts.hour, 23);
    EXPECT_EQ(parts.minute, 59);
    EXPECT_EQ(parts.second, 58);
    EXPECT_EQ(DateTime_cl::ParseFormatted(QStringLiteral("2024-02-29 23:59:58")), At("2024-02-29 23:59:58"));
    for (const char* other : {"2024-02-29", " 2024-02-29 23:59:58", "2024-02-29 23:59:58 ", "2024/02/29 23:59:58",
                              "2024-2-29 23:59:58", "2023-02-29 23:59:58", "2024-02-29T23:59:58", ""}) {
        EXPECT_FALSE(DateTime_cl::ReadFormatted(QUtf8StringView(other), parts)) << other;
        EXPECT_EQ(DateTime_cl::ParseFormatted(QUtf8StringView(other)).Status(), DateTime_cl::Invalid) << other;
    }
    // Whatever Format() writes reads back to the same second.
    for (const double value : {0.0, -1.25, 39512.379884259, -657434.0, 2958465.99998}) {
        const DateTime_cl date(value);
        EXPECT_EQ(DateTime_cl::ParseFormatted(date.Format()), date) << value;
    }
}

TEST(DateTime, EndOfMonthFollowsTheCalendar) {
    for (int32_t day = 1; day <= 29; ++day)
        EXPECT_EQ(Text(DateTime_cl::FromParts(2008, 2, day, 13, 5, 6).EndOfMonth()), QStringLiteral("2008-02-29 23:59:59"));
    for (int32_t day = 1; day <= 31; ++day)
        EXPECT_EQ(Text(DateTime_cl::FromParts(2008, 12, day).EndOfMonth()), QStringLiteral("2008-12-31 23:59:59"));
    EXPECT_EQ(Text(At("2007-02-10").EndOfMonth()), QStringLiteral("2007-02-28 23:59:59"));
    EXPECT_EQ(Text(At("1900-02-10").EndOfMonth()), QStringLiteral("1900-02-28 23:59:59"));
    EXPECT_EQ(Text(At("2008-04-30 23:59:59").EndOfMonth()), QStringLiteral("2008-04-30 23:59:59"));
    EXPECT_EQ(Text(At("1899-12-01").EndOfMonth()), QStringLiteral("1899-12-31 23:59:59"));
    EXPECT_EQ(Text(At("1899-11-15").EndOfMonth()), QStringLiteral("1899-11-30 23:59:59"));
    EXPECT_FALSE(At("9999-12-01").EndOfMonth().IsValid());  // the next month lies past the range
    EXPECT_FALSE(DateTime_cl().EndOfMonth().IsValid());
}

TEST(DateTime, SetTimeKeepsTheDate) {
    DateTime_cl value = At("2008-02-29 13:14:15");
    value.SetTime(0, 0, 0);
    EXPECT_EQ(Text(value), QStringLiteral("2008-02-29 00:00:00"));
    value.SetTime(23, 59, 59);
    EXPECT_EQ(Text(value), QStringLiteral("2008-02-29 23:59:59"));
    value.SetTime(24, 0, 0);
    EXPECT_EQ(value.Status(), DateTime_cl::Invalid);
    DateTime_cl null;
    null.SetTime(1, 2, 3);
    EXPECT_EQ(null.Status(), DateTime_cl::Invalid);
    DateTime_cl early = At("1899-12-29 06:00:00");
    early.SetTime(18, 0, 0);
    EXPECT_EQ(Text(early), QStringLiteral("1899-12-29 18:00:00"));
}

TEST(DateTime, SpansShiftAcrossMonthYearAndLeapDays) {
    const DateTimeSpan_cl day = DateTimeSpan_cl::FromParts(1, 0, 0, 0);
    const DateTimeSpan_cl second = DateTimeSpan_cl::FromParts(0, 0, 0, 1);
    EXPECT_EQ(Text(At("2008-02-28") + day), QStringLiteral("2008-02-29 00:00:00"));
    EXPECT_EQ(Text(At("2007-02-28") + day), QStringLiteral("2007-03-01 00:00:00"));
    EXPECT_EQ(Text(At("2008-12-31 23:59:59") + second), QStringLiteral("2009-01-01 00:00:00"));
    EXPECT_EQ(Text(At("2009-01-01") - second), QStringLiteral("2008-12-31 23:59:59"));
    EXPECT_EQ(Text(At("2008-03-01") - DateTimeSpan_cl::FromParts(30, 0, 0, 0)), QStringLiteral("2008-01-31 00:00:00"));
    // Across day 0, where the OLE value changes its sign.
    EXPECT_EQ(Text(At("1899-12-30 03:00:00") - DateTimeSpan_cl::FromParts(0, 6, 0, 0)), QStringLiteral("1899-12-29 21:00:00"));
    EXPECT_EQ(Text(At("1899-12-29 21:00:00") + DateTimeSpan_cl::FromParts(1, 6, 0, 0)), QStringLiteral("1899-12-31 03:00:00"));
    DateTime_cl moving = At("2008-01-31");
    moving += day;
    moving -= second;
    EXPECT_EQ(Text(moving), QStringLiteral("2008-01-31 23:59:59"));
}

TEST(DateTime, DifferencesAreSpans) {
    const DateTimeSpan_cl leap = At("2008-03-01") - At("2008-02-01");
    EXPECT_TRUE(leap.IsValid());
    EXPECT_DOUBLE_EQ(leap.Days(), 29.0);
    EXPECT_DOUBLE_EQ((At("1899-12-30 06:00:00") - At("1899-12-29 18:00:00")).Days(), 0.5);
    EXPECT_DOUBLE_EQ((At("2008-01-01") - At("2009-01-01")).Days(), -366.0);
    EXPECT_EQ((At("2008-01-01") - DateTime_cl()).Status(), DateTimeSpan_cl::Null);
    EXPECT_EQ((At("2008-01-01") - DateTime_cl::MakeInvalid()).Status(), DateTimeSpan_cl::Invalid);
}

TEST(DateTime, ShiftingNonValidOrOutOfRangeValues) {
    const DateTimeSpan_cl day = DateTimeSpan_cl::FromParts(1, 0, 0, 0);
    EXPECT_TRUE((DateTime_cl() + day).IsNull());
    EXPECT_EQ((DateTime_cl::MakeInvalid() + day).Status(), DateTime_cl::Invalid);
    EXPECT_EQ((At("2008-01-01") + DateTimeSpan_cl(4e6)).Status(), DateTime_cl::Invalid);
    EXPECT_EQ((At("9999-12-31") + day).Status(), DateTime_cl::Invalid);
    EXPECT_EQ((At("0100-01-01") - DateTimeSpan_cl::FromParts(0, 0, 0, 1)).Status(), DateTime_cl::Invalid);
}

TEST(DateTime, SpanLimits) {
    EXPECT_TRUE(DateTimeSpan_cl(3615897.0).IsValid());
    EXPECT_TRUE(DateTimeSpan_cl(-3615897.0).IsValid());
    EXPECT_FALSE(DateTimeSpan_cl(3615897.5).IsValid());
    EXPECT_FALSE(DateTimeSpan_cl(-3615898.0).IsValid());
    EXPECT_DOUBLE_EQ(DateTimeSpan_cl::FromParts(1, 12, 0, 0).Days(), 1.5);
    EXPECT_DOUBLE_EQ(DateTimeSpan_cl::FromParts(0, 0, 1, 30).Days(), 90.0 / 86400);
}

TEST(DateTime, ComparisonsNeedValidOperands) {
    const DateTime_cl a = At("2008-12-31 23:59:59");
    const DateTime_cl b = At("2009-01-01");
    EXPECT_TRUE(a.IsEarlierThan(b));
    EXPECT_FALSE(b.IsEarlierThan(a));
    EXPECT_TRUE(b.IsLaterThan(a));
    EXPECT_FALSE(a.IsEarlierThan(a));
    EXPECT_TRUE(At("1899-12-29 23:00:00").IsEarlierThan(At("1899-12-29 23:30:00")));  // negative values
    for (const DateTime_cl& other : {DateTime_cl(), DateTime_cl::MakeInvalid()}) {
        EXPECT_FALSE(a.IsEarlierThan(other));
        EXPECT_FALSE(a.IsLaterThan(other));
        EXPECT_FALSE(other.IsEarlierThan(a));
        EXPECT_FALSE(other.IsLaterThan(a));
    }
    EXPECT_TRUE(DateTime_cl(-0.5) == DateTime_cl(0.5));
    EXPECT_FALSE(a == b);
    EXPECT_FALSE(DateTime_cl() == DateTime_cl::MakeInvalid());
}

TEST(DateTime, ConvertsToAndFromQDateTime) {
    const QDateTime qt(QDate(2008, 2, 29), QTime(23, 59, 59, 500));
    const DateTime_cl value = DateTime_cl::FromQDateTime(qt);
    EXPECT_EQ(Text(value), QStringLiteral("2008-02-29 23:59:59"));
    EXPECT_EQ(value.ToQDateTime(), QDateTime(QDate(2008, 2, 29), QTime(23, 59, 59)));
    EXPECT_EQ(DateTime_cl::FromQDateTime(QDateTime()).Status(), DateTime_cl::Invalid);
    const DateTime_cl now = DateTime_cl::Now();
    EXPECT_TRUE(now.IsValid());
    EXPECT_LE(std::abs((now - DateTime_cl::FromQDateTime(QDateTime::currentDateTime())).Days()), 2.0 / 86400);
}
