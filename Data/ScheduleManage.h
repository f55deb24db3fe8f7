#pragma once

#include "Data/Schedule.h"
#include "base/Trusteeship.h"

#include <QDate>
#include <QString>
#include <cstdint>

namespace Vorelle_ns {

class RecordManage_cl;
class UserManage_cl;

// One schedule of the list, with the next date it will come due.
struct ScheduleRow_st {
    Schedule_st schedule;
    QDate nextDate;  // invalid: it has ended
};

// Keeps the recurring entries and books what has come due. The schedules are in a table
// of their own (zorb_schedule), each occurrence booked, skipped or postponed in another
// (zorb_schedule_occurrence) under a unique key of schedule and date, written in the same
// transaction as the entry: two copies of the program never book one occurrence twice.
// Older copies of the program know neither table; both are made with a new book and when
// an older book is first used here. Making, changing and booking a schedule of another
// user needs the power to book for him.
class ScheduleManage_cl {
public:
    ScheduleManage_cl(UserManage_cl& userManage, RecordManage_cl& recordManage);
    ScheduleManage_cl(const ScheduleManage_cl&) = delete;
    ScheduleManage_cl& operator=(const ScheduleManage_cl&) = delete;

    static QString ClassName() { return QStringLiteral("ScheduleManage_cl"); }

    // Both tables, inside the caller's transaction (a new book).
    void CreateTables();

    // Returns the new schedule's serial number.
    int32_t Add(const Schedule_st& schedule);
    // Changes the schedule; what it booked stays as it was.
    void Alter(int32_t scheduleSn, const Schedule_st& schedule);
    void SetPaused(int32_t scheduleSn, bool paused);
    // To the recycle bin.
    void Delete(int32_t scheduleSn);
    [[nodiscard]] Schedule_st Get(int32_t scheduleSn);
    // The schedules the logged-in user may see, by serial number.
    [[nodiscard]] Base_ns::Trusteeship_tl<ScheduleRow_st> GetSchedules();

    // The occurrences up to until (inclusive) of the valid, running schedules the user may
    // book, neither booked nor skipped; by due date, then schedule.
    [[nodiscard]] Base_ns::Trusteeship_tl<DueOccurrence_st> GetDue(const QDate& until);
    // Books the occurrence as an entry of the schedule's owner on its due date, with the
    // amount given (hundredths, signed like the schedule's). False when it was booked or
    // skipped already, here or by another copy of the program.
    [[nodiscard]] bool Book(int32_t scheduleSn, const QDate& date, int32_t expense);
    // Books each occurrence with its own expense, many in one transaction, and returns how
    // many it booked: those another copy of the program booked or skipped meanwhile are
    // left out. A copy booking at the same time waits for a few transactions, not for
    // each occurrence of a long catch-up.
    [[nodiscard]] int32_t BookAll(const Base_ns::Trusteeship_tl<DueOccurrence_st>& occurrences);
    // False when it was booked or skipped already.
    [[nodiscard]] bool Skip(int32_t scheduleSn, const QDate& date);
    // Moves the occurrence to a later day than the one it is due on now.
    [[nodiscard]] bool Postpone(int32_t scheduleSn, const QDate& date, const QDate& to);

private:
    // Makes the tables of an older book.
    void Prepare();
    // The schedule, refused when it is deleted, or when it is another user's and the
    // logged-in user may not book for him.
    Schedule_st Owned(int32_t scheduleSn, QDate* settledUntil = nullptr);
    void CheckOwner(const QString& userName);
    // Raises unless the schedule's category is there, of its kind.
    void CheckType(const Schedule_st& schedule);
    enum class Mark_en { Book, Skip, Postpone };
    bool Mark(Mark_en mark, int32_t scheduleSn, const QDate& date, int32_t expense, const QDate& to);
    bool MarkOnce(Mark_en mark, int32_t scheduleSn, const QDate& date, int32_t expense, const QDate& to);
    // Moves the schedule's settled_until over the dates after it now booked or skipped.
    void AdvanceSettled(const Schedule_st& schedule, const QDate& settledUntil);
    // Whether the occurrence is booked or skipped.
    bool Settled(int32_t scheduleSn, const QDate& date);

    UserManage_cl& userManage;
    RecordManage_cl& recordManage;
};

}  // namespace Vorelle_ns
