#include "Data/RecycleBin.h"
#include "Data/ScheduleDates.h"
#include "Data/ScheduleManage.h"
#include "FinanceFixture.h"

#include <QStringList>

namespace {

using Vorelle_ns::DueOccurrence_st;
using Vorelle_ns::Schedule_st;
using Vorelle_ns::ScheduleDates_cl;
using Vorelle_ns::ScheduleEvery_en;

QDate Day(const char* text) { return QDate::fromString(QString::fromLatin1(text), Qt::ISODate); }

Schedule_st Rule(ScheduleEvery_en every, int32_t interval, int32_t day, const char* first, const char* until = "",
                 int32_t count = 0) {
    Schedule_st schedule;
    schedule.every = every;
    schedule.interval = interval;
    schedule.day = day;
    schedule.firstDate = Day(first);
    schedule.untilDate = Day(until);
    schedule.count = count;
    schedule.typeName = QStringLiteral("居家");
    schedule.expenseName = QStringLiteral("房租");
    schedule.expense = -300000;
    return schedule;
}

struct RuleCase_st {
    const char* name;
    Schedule_st schedule;
    const char* dates;  // every date over the two years from the first, in order
};

const RuleCase_st ruleCases[] = {
    {"MonthEndsAndALeapFebruary", Rule(ScheduleEvery_en::Month, 1, 31, "2024-01-31", "2024-06-30"),
     "2024-01-31 2024-02-29 2024-03-31 2024-04-30 2024-05-31 2024-06-30"},
    {"The30thInFebruary", Rule(ScheduleEvery_en::Month, 1, 30, "2025-01-15", "2025-03-31"),
     "2025-01-30 2025-02-28 2025-03-30"},
    {"LeapDayYearly", Rule(ScheduleEvery_en::Year, 1, 29, "2024-02-29"), "2024-02-29 2025-02-28"},
    {"YearlyAfterTheDayStartsNextYear", Rule(ScheduleEvery_en::Year, 1, 5, "2024-03-10"), "2025-03-05 2026-03-05"},
    {"EveryOtherMondayAcrossAYearEnd", Rule(ScheduleEvery_en::Week, 2, 1, "2025-12-20", "2026-01-31"),
     "2025-12-22 2026-01-05 2026-01-19"},
    {"SundaysCountedFour", Rule(ScheduleEvery_en::Week, 1, 7, "2025-12-28", "", 4),
     "2025-12-28 2026-01-04 2026-01-11 2026-01-18"},
    {"EveryTenDaysCountedThree", Rule(ScheduleEvery_en::Day, 10, 1, "2026-01-25", "", 3),
     "2026-01-25 2026-02-04 2026-02-14"},
    {"QuarterlyUntilADate", Rule(ScheduleEvery_en::Month, 3, 15, "2025-11-20", "2026-09-14"),
     "2025-12-15 2026-03-15 2026-06-15"},
    {"EndDateBeforeTheFirstOccurrence", Rule(ScheduleEvery_en::Month, 1, 10, "2026-01-11", "2026-02-09"), ""},
};

void PrintTo(const RuleCase_st& ruleCase, std::ostream* out) { *out << ruleCase.name; }

class ScheduleRulesTest : public ::testing::TestWithParam<RuleCase_st> {};

TEST_P(ScheduleRulesTest, GiveTheDatesOfTwoYears) {
    const Schedule_st& schedule = GetParam().schedule;
    QStringList dates;
    ScheduleDates_cl::Each(schedule, schedule.firstDate.addYears(2).addDays(-1), [&](const QDate& date) {
        dates << date.toString(Qt::ISODate);
        return true;
    });
    EXPECT_EQ(dates.join(u' ').toStdString(), GetParam().dates);
}

INSTANTIATE_TEST_SUITE_P(Cases, ScheduleRulesTest, ::testing::ValuesIn(ruleCases),
                         [](const auto& info) { return std::string(info.param.name); });

class ScheduleBookTest : public FinanceTest {
protected:
    Vorelle_ns::ScheduleManage_cl schedules{users, records};

    QStringList DueTexts(const char* until) {
        QStringList texts;
        const auto due = schedules.GetDue(Day(until));
        for (int32_t i = 0; i < due.Count(); ++i)
            texts << QStringLiteral("%1@%2").arg(due[i].expenseName, due[i].dueDate.toString(Qt::ISODate));
        return texts;
    }
};

TEST_F(ScheduleBookTest, CatchesUpFourteenMonthsClosedOnce) {
    const int32_t rent = schedules.Add(Rule(ScheduleEvery_en::Month, 1, 31, "2025-01-01"));
    Schedule_st paused = Rule(ScheduleEvery_en::Day, 1, 1, "2025-01-01");
    paused.expenseName = QStringLiteral("停");
    schedules.SetPaused(schedules.Add(paused), true);

    const auto due = schedules.GetDue(Day("2026-03-15"));
    ASSERT_EQ(due.Count(), 14);
    EXPECT_EQ(due[1].dueDate, Day("2025-02-28"));
    for (int32_t i = 0; i < due.Count(); ++i) EXPECT_TRUE(schedules.Book(rent, due[i].date, due[i].expense));
    EXPECT_EQ(Count(QStringLiteral("zorb_record"), QStringLiteral("valid = '1'")), 14);
    EXPECT_EQ(SingleAccount(users.GetCurrentUser()), -14 * 300000);
    EXPECT_FALSE(schedules.Book(rent, due[0].date, due[0].expense));  // never twice
    EXPECT_EQ(Count(QStringLiteral("zorb_record")), 14);
    EXPECT_TRUE(DueTexts("2026-03-15").isEmpty());
    // What is due is then looked for only after the last of them.
    EXPECT_EQ(Text(QStringLiteral("select settled_until from zorb_schedule where sn = %1").arg(rent)),
              QStringLiteral("2026-02-28"));

    // Changing the schedule leaves what it booked as it was.
    Schedule_st dearer = schedules.Get(rent);
    dearer.expense = -350000;
    schedules.Alter(rent, dearer);
    EXPECT_EQ(Integer(QStringLiteral("select min(expense) from zorb_record")), -300000);
    EXPECT_EQ(schedules.GetDue(Day("2026-03-31"))[0].expense, -350000);
}

TEST_F(ScheduleBookTest, SkippedAndPostponedOccurrences) {
    const int32_t phone = schedules.Add(Rule(ScheduleEvery_en::Month, 1, 5, "2026-01-01", "", 3));
    EXPECT_EQ(DueTexts("2026-12-31").join(u' '), QStringLiteral("房租@2026-01-05 房租@2026-02-05 房租@2026-03-05"));
    EXPECT_TRUE(schedules.Skip(phone, Day("2026-01-05")));
    EXPECT_TRUE(schedules.Postpone(phone, Day("2026-02-05"), Day("2026-03-20")));
    EXPECT_EQ(Raise([&] { (void)schedules.Postpone(phone, Day("2026-02-05"), Day("2026-03-01")); }).remark,
              QStringLiteral("2026-03-01"));
    EXPECT_EQ(DueTexts("2026-03-10").join(u' '), QStringLiteral("房租@2026-03-05"));
    EXPECT_EQ(DueTexts("2026-12-31").join(u' '), QStringLiteral("房租@2026-03-05 房租@2026-03-20"));
    EXPECT_EQ(schedules.GetSchedules()[0].nextDate, Day("2026-03-05"));
    EXPECT_FALSE(schedules.Book(phone, Day("2026-01-05"), -300000));  // skipped
    EXPECT_TRUE(schedules.Book(phone, Day("2026-02-05"), -123456));   // on the day it was moved to
    EXPECT_EQ(Text(QStringLiteral("select record_time from zorb_record where expense = -123456")).left(10),
              QStringLiteral("2026-03-20"));
    EXPECT_FALSE(schedules.Skip(phone, Day("2026-02-05")));
    EXPECT_EQ(Text(QStringLiteral("select settled_until from zorb_schedule where sn = %1").arg(phone)),
              QStringLiteral("2026-02-05"));
    EXPECT_TRUE(Raise([&] { (void)schedules.Book(phone, Day("2026-02-06"), -300000); }).raised);  // not its date
}

// Two schedules due the same day, one postponed: booking what is due books the other
// alone, and the postponed one waits for its new day, in either order of the two.
TEST_F(ScheduleBookTest, APostponedOccurrenceIsThatOfItsOwnSchedule) {
    for (const int32_t postponed : {0, 1}) {
        SCOPED_TRACE(postponed);
        QList<int32_t> sns;
        for (const char* name : {"房租", "网费"}) {
            Schedule_st schedule = Rule(ScheduleEvery_en::Month, 1, 5, "2026-01-01", "", 1);
            schedule.expenseName = QString::fromUtf8(name);
            sns << schedules.Add(schedule);
        }
        const QString moved = postponed == 0 ? QStringLiteral("房租") : QStringLiteral("网费");
        const QString other = postponed == 0 ? QStringLiteral("网费") : QStringLiteral("房租");
        EXPECT_TRUE(schedules.Postpone(sns[postponed], Day("2026-01-05"), Day("2026-01-20")));
        EXPECT_EQ(DueTexts("2026-01-10").join(u' '), other + QStringLiteral("@2026-01-05"));
        EXPECT_EQ(schedules.BookAll(schedules.GetDue(Day("2026-01-10"))), 1);
        EXPECT_EQ(Text(QStringLiteral("select expense_name from zorb_record where valid = '1'")), other);
        EXPECT_EQ(DueTexts("2026-12-31").join(u' '), moved + QStringLiteral("@2026-01-20"));
        for (const int32_t sn : sns) schedules.Delete(sn);
        users.GetDatabase().ExecuteNoRecords(QStringLiteral("delete from zorb_record"));
    }
}

TEST_F(ScheduleBookTest, DeletedToTheRecycleBinAndRestored) {
    const int32_t sn = schedules.Add(Rule(ScheduleEvery_en::Year, 1, 1, "2026-01-01"));
    schedules.Delete(sn);
    EXPECT_EQ(schedules.GetSchedules().Count(), 0);
    EXPECT_EQ(schedules.GetDue(Day("2026-12-31")).Count(), 0);
    Vorelle_ns::RecycleBin_cl bin(users, records);
    const auto deleted = bin.GetDeletions();
    ASSERT_EQ(deleted.Count(), 1);
    EXPECT_EQ(deleted[0].kind, Vorelle_ns::DeletedKind_en::Schedule);
    bin.RestoreSchedule(deleted[0].sn);
    EXPECT_EQ(schedules.GetDue(Day("2026-12-31")).Count(), 1);
}

// Whose schedules a user makes, changes, sees and books: as whose entries he may book.
struct PowerCase_st {
    int32_t power;
    bool forOthers;   // makes, pauses and books another user's schedule
    bool seesOthers;  // lists another user's schedule
};

void PrintTo(const PowerCase_st& powerCase, std::ostream* out) { *out << "power " << powerCase.power; }

class SchedulePowerTest : public ScheduleBookTest, public ::testing::WithParamInterface<PowerCase_st> {};

TEST_P(SchedulePowerTest, FollowWhoMayBookForWhom) {
    AddUser(QStringLiteral("actor"), GetParam().power);
    AddUser(QStringLiteral("other"), 2);
    Schedule_st others = Rule(ScheduleEvery_en::Month, 1, 1, "2026-01-01");
    others.userName = QStringLiteral("other");
    const int32_t otherSn = schedules.Add(others);
    LoginAs(QStringLiteral("actor"));

    const int32_t own = schedules.Add(Rule(ScheduleEvery_en::Month, 1, 1, "2026-01-01"));
    const auto listed = schedules.GetSchedules();
    EXPECT_EQ(listed.Count(), GetParam().seesOthers ? 2 : 1);
    EXPECT_EQ(schedules.GetDue(Day("2026-01-31")).Count(), GetParam().forOthers ? 2 : 1);
    EXPECT_TRUE(schedules.Book(own, Day("2026-01-01"), -1));
    const bool refused = !GetParam().forOthers;
    EXPECT_EQ(Raise([&] { (void)schedules.Add(others); }).raised, refused);
    EXPECT_EQ(Raise([&] { (void)schedules.Book(otherSn, Day("2026-01-01"), -5); }).raised, refused);
    EXPECT_EQ(SingleAccount(users.FindUser(QStringLiteral("other"))), refused ? 0 : -5);
    EXPECT_EQ(Raise([&] { schedules.SetPaused(otherSn, true); }).raised, refused);
    EXPECT_EQ(Raise([&] { schedules.Delete(otherSn); }).raised, refused);
}

INSTANTIATE_TEST_SUITE_P(EachPower, SchedulePowerTest,
                         ::testing::Values(PowerCase_st{0, true, true}, PowerCase_st{1, false, true},
                                           PowerCase_st{2, false, true}, PowerCase_st{3, false, false}));

}  // namespace
