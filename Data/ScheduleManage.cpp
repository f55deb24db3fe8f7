#include "Data/ScheduleManage.h"

#include "DB/BeginTrans.h"
#include "DB/IDatabase.h"
#include "DB/SimpleOutRecords.h"
#include "Data/RecordFile.h"
#include "Data/RecordManage.h"
#include "Data/ScheduleDates.h"
#include "Data/Statement.h"
#include "Data/UserManage.h"
#include "base/SysError.h"
#include "base/Text.h"
#include "base/UserError.h"

#include <QHash>
#include <QSet>
#include <algorithm>
#include <iterator>
#include <vector>

namespace Vorelle_ns {

namespace {

Base_ns::SysError_cl SysError(int32_t code, int32_t line, const QString& remark = QString()) {
    static const Base_ns::ErrorInfo_st table[] = {{1, "无法取得新增的定期记录。"},
                                                  {2, "数据库中定期记录的规则是错误的值。"}};
    return Base_ns::SysError_cl(line, __FILE__, ScheduleManage_cl::ClassName(), code, table,
                                int32_t(std::size(table)), remark);
}

Base_ns::UserError_cl UserError(int32_t code, int32_t line, const QString& remark = QString()) {
    static const Base_ns::ErrorInfo_st table[] = {
        {101, "该定期记录不存在，它可能已经被删除。"},
        {102, "你没有权限为其他用户设置或记账定期记录。"},
        {103, "该用户名没有注册。"},
        {104, "金额不能为零。"},
        {105, "分类、名称和注释中不能有单引号。"},
        {106, "分类和名称最多16个字，注释最多255个字。"},
        {107, "间隔应为1到1000。"},
        {108, "星期应为1（周一）到7（周日）。"},
        {109, "日期应为1到31（31表示月末）。"},
        {110, "开始日期不正确。"},
        {111, "结束日期不能早于开始日期。"},
        {112, "次数不能为负数。"},
        {113, "统计方式不正确。"},
        {114, "这个日期不是该定期记录的日期，定期记录可能已经被修改。"},
        {115, "该定期记录已经暂停。"},
        {116, "金额的收入/开销与定期记录不一致。"},
        {117, "推迟到的日期应晚于原来的日期。"},
        {118, "没有这个分类，定期记录只能记在已有的同类（收入或开销）分类上。"}};
    return Base_ns::UserError_cl(line, __FILE__, ScheduleManage_cl::ClassName(), code, table,
                                 int32_t(std::size(table)), remark);
}

using DB_ns::DB_ALL;
using DB_ns::DB_LOCAL;
using DB_ns::DB_POSTGRESQL;
using DB_ns::DB_SQLSERVER;
using Tmpl = DB_ns::SQLTemplate_st;

// Dates are kept as "yyyy-MM-dd" texts: the same key on every kind of database.
// settled_until: every date of the rule up to it is booked or skipped, so the look for
// what is due reads only the occurrences after it; a changed rule starts it again.
const Tmpl createScheduleTable[] = {
    {DB_LOCAL,
     "create table zorb_schedule(sn counter(1,1) primary key,user_sn integer,type_name text(16),expense_name "
     "text(16),expense integer,comment text(255),statistics_mode char(1),every char(1),step integer,day_no "
     "integer,first_date text(10),until_date text(10),max_count integer,paused char(1),settled_until text(10),valid "
     "char(1),recycler_sn integer,create_time datetime default date()+time(),alter_time datetime default date()+time(),alter_sn "
     "integer)"},
    {DB_SQLSERVER,
     "create table zorb_schedule(sn integer identity(1,1) primary key,user_sn integer,type_name "
     "nvarchar(16),expense_name nvarchar(16),expense integer,comment nvarchar(255),statistics_mode char(1),every "
     "char(1),step integer,day_no integer,first_date nvarchar(10),until_date nvarchar(10),max_count "
     "integer,paused char(1),settled_until nvarchar(10),valid char(1),recycler_sn integer,create_time datetime "
     "default getdate(),alter_time datetime default getdate(),alter_sn integer)"}};
// state: B booked, S skipped, P postponed to moved_date.
const Tmpl createOccurrenceTable[] = {
    {DB_LOCAL,
     "create table zorb_schedule_occurrence(sn counter(1,1) primary key,schedule_sn integer,occur_date "
     "text(10),state char(1),moved_date text(10),alter_sn integer,alter_time datetime default date()+time())"},
    {DB_SQLSERVER,
     "create table zorb_schedule_occurrence(sn integer identity(1,1) primary key,schedule_sn integer,occur_date "
     "nvarchar(10),state char(1),moved_date nvarchar(10),alter_sn integer,alter_time datetime default "
     "getdate())"}};
// Two copies booking the same occurrence at once: the second one's transaction fails here.
const Tmpl createOccurrenceKey[] = {
    {DB_ALL, "create unique index zorb_schedule_occurrence_key on zorb_schedule_occurrence(schedule_sn,occur_date)"}};

const Tmpl insertSchedule[] = {
    {DB_ALL,
     "insert into zorb_schedule(user_sn,type_name,expense_name,expense,comment,statistics_mode,every,step,day_no,"
     "first_date,until_date,max_count,paused,settled_until,valid,alter_sn) values(?user_sn?, '?type_name?', "
     "'?expense_name?', ?expense?, '?comment?', '?statistics_mode?', '?every?', ?step?, ?day_no?, '?first_date?', "
     "'?until_date?', ?max_count?, '0', '', '1', ?alter_sn?)"}};
// The row this connection just added: another copy may have added a later one meanwhile.
const Tmpl selectNewestSchedule[] = {
    {DB_ALL, "select max(sn) from zorb_schedule"},
    {DB_POSTGRESQL, "select currval(pg_get_serial_sequence('zorb_schedule', 'sn'))"}};
const Tmpl updateSchedule[] = {
    {DB_ALL,
     "update zorb_schedule set user_sn = ?user_sn?, type_name = '?type_name?', expense_name = '?expense_name?', "
     "expense = ?expense?, comment = '?comment?', statistics_mode = '?statistics_mode?', every = '?every?', step "
     "= ?step?, day_no = ?day_no?, first_date = '?first_date?', until_date = '?until_date?', max_count = "
     "?max_count?, settled_until = '', alter_time = CMC_GETDATE, alter_sn = ?alter_sn? where valid = '1' and sn = "
     "?schedule_sn?"}};
const Tmpl updatePaused[] = {
    {DB_ALL,
     "update zorb_schedule set paused = '?paused?', alter_time = CMC_GETDATE, alter_sn = ?alter_sn? where valid = "
     "'1' and sn = ?schedule_sn?"}};
const Tmpl deleteSchedule[] = {
    {DB_ALL,
     "update zorb_schedule set valid = '0', recycler_sn = ?recycler_sn?, alter_time = CMC_GETDATE, alter_sn = "
     "?alter_sn? where valid = '1' and sn = ?schedule_sn?"}};
// Schedules with their owners; a deleted owner's schedules rest until he is restored.
const Tmpl selectSchedules[] = {
    {DB_ALL,
     "select s.sn,u.user_name,s.type_name,s.expense_name,s.expense,s.comment,s.statistics_mode,s.every,s.step,"
     "s.day_no,s.first_date,s.until_date,s.max_count,s.paused,s.user_sn,s.settled_until from zorb_schedule as s,zorb_user as u "
     "where s.valid = '1' and u.valid = '1' and u.sn = s.user_sn"}};
const Tmpl schedulesOfUser[] = {{DB_ALL, " and s.user_sn = ?user_sn?"}};
const Tmpl scheduleBySn[] = {{DB_ALL, " and s.sn = ?schedule_sn?"}};
const Tmpl schedulesOrder[] = {{DB_ALL, " order by s.sn"}};
const Tmpl selectOccurrences[] = {
    {DB_ALL,
     "select o.schedule_sn,o.occur_date,o.state,o.moved_date from zorb_schedule_occurrence as o,zorb_schedule as "
     "s where s.valid = '1' and s.sn = o.schedule_sn and o.occur_date > s.settled_until"}};
const Tmpl selectOccurrence[] = {
    {DB_ALL,
     "select state,moved_date from zorb_schedule_occurrence where schedule_sn = ?schedule_sn? and occur_date = "
     "'?occur_date?'"}};
const Tmpl insertOccurrence[] = {
    {DB_ALL,
     "insert into zorb_schedule_occurrence(schedule_sn,occur_date,state,moved_date,alter_sn) "
     "values(?schedule_sn?, '?occur_date?', '?state?', '?moved_date?', ?alter_sn?)"}};
const Tmpl selectLaterOccurrences[] = {
    {DB_ALL,
     "select occur_date,state from zorb_schedule_occurrence where schedule_sn = ?schedule_sn? and occur_date > "
     "'?occur_date?'"}};
// Only while the rule is the one it was worked out for.
const Tmpl updateSettled[] = {
    {DB_ALL,
     "update zorb_schedule set settled_until = '?settled_until?' where sn = ?schedule_sn? and every = '?every?' and "
     "step = ?step? and day_no = ?day_no? and first_date = '?first_date?' and settled_until < '?settled_until2?'"}};
// Only from postponed: another copy that booked or skipped it first wins.
const Tmpl updateOccurrence[] = {
    {DB_ALL,
     "update zorb_schedule_occurrence set state = '?state?', moved_date = '?moved_date?', alter_sn = ?alter_sn?, "
     "alter_time = CMC_GETDATE where schedule_sn = ?schedule_sn? and occur_date = '?occur_date?' and state = "
     "'P'"}};

constexpr int32_t kMaxInterval = 1000;
// Occurrences booked per transaction: a few hundred statements, well within the time
// another copy waits for the book.
constexpr int32_t kBookBatch = 100;
const QString kDateFormat = QStringLiteral("yyyy-MM-dd");

QString DateText(const QDate& date) { return date.isValid() ? date.toString(kDateFormat) : QString(); }
QDate ReadDate(DB_ns::SimpleOutRecords_cl& records) {
    QString text;
    records.GetString(text);
    return QDate::fromString(text.trimmed(), kDateFormat);
}
QString ReadText(DB_ns::SimpleOutRecords_cl& records) {
    QString text;
    records.GetString(text);
    return text;
}

QString ModeText(int32_t mode) { return QString::number(std::clamp(mode, 0, 2)); }

// Reads the columns of selectSchedules; ownerSn and settledUntil get the last ones.
Schedule_st ReadSchedule(DB_ns::SimpleOutRecords_cl& records, int32_t& ownerSn, QDate& settledUntil) {
    Schedule_st schedule;
    schedule.sn = records.GetInteger();
    records.GetString(schedule.userName);
    records.GetString(schedule.typeName);
    records.GetString(schedule.expenseName);
    schedule.expense = records.GetInteger();
    records.GetString(schedule.comment);
    schedule.statisticsMode = records.GetEnum();
    const int32_t every = records.GetEnum();
    if (every < 0 || every > 3) throw SysError(2, __LINE__, QString::number(every));
    schedule.every = ScheduleEvery_en(every);
    schedule.interval = records.GetInteger();
    schedule.day = records.GetInteger();
    schedule.firstDate = ReadDate(records);
    schedule.untilDate = ReadDate(records);
    schedule.count = records.GetInteger();
    schedule.paused = records.GetEnum() == 1;
    ownerSn = records.GetInteger();
    settledUntil = ReadDate(records);
    return schedule;
}

// The checks that need no database.
void CheckFields(const Schedule_st& schedule) {
    if (schedule.expense == 0) throw UserError(104, __LINE__);
    for (const QString* text : {&schedule.typeName, &schedule.expenseName, &schedule.comment}) {
        if (Base_ns::HasIllegalSqlChar(*text)) throw UserError(105, __LINE__, *text);
    }
    if (Base_ns::CharacterCount(schedule.typeName) > RecordFile_cl::MaxName ||
        Base_ns::CharacterCount(schedule.expenseName) > RecordFile_cl::MaxName ||
        Base_ns::CharacterCount(schedule.comment) > RecordFile_cl::MaxComment)
        throw UserError(106, __LINE__);
    if (schedule.interval < 1 || schedule.interval > kMaxInterval)
        throw UserError(107, __LINE__, QString::number(schedule.interval));
    if (schedule.every == ScheduleEvery_en::Week && (schedule.day < 1 || schedule.day > 7))
        throw UserError(108, __LINE__, QString::number(schedule.day));
    if ((schedule.every == ScheduleEvery_en::Month || schedule.every == ScheduleEvery_en::Year) &&
        (schedule.day < 1 || schedule.day > 31))
        throw UserError(109, __LINE__, QString::number(schedule.day));
    if (!schedule.firstDate.isValid()) throw UserError(110, __LINE__);
    if (schedule.untilDate.isValid() && schedule.untilDate < schedule.firstDate)
        throw UserError(111, __LINE__, DateText(schedule.untilDate));
    if (schedule.count < 0) throw UserError(112, __LINE__, QString::number(schedule.count));
    if (schedule.statisticsMode < 0 || schedule.statisticsMode > 2) throw UserError(113, __LINE__);
}

// An occurrence's key in one number.
quint64 Key(int32_t scheduleSn, const QDate& date) {
    return (quint64(uint32_t(scheduleSn)) << 32) | quint64(uint32_t(date.toJulianDay()));
}

// What the occurrence table says of one occurrence.
struct Mark_st {
    QChar state;
    QDate moved;
};

}  // namespace

ScheduleManage_cl::ScheduleManage_cl(UserManage_cl& userManage, RecordManage_cl& recordManage)
    : userManage(userManage), recordManage(recordManage) {}

void ScheduleManage_cl::CreateTables() {
    DB_ns::IDatabase_cl& database = userManage.GetDatabase();
    const int32_t dbType = database.GetType();
    DB_ns::BeginTrans_cl transaction(&database);
    database.ExecuteNoRecords(MakeSQL(dbType, createScheduleTable));
    database.ExecuteNoRecords(MakeSQL(dbType, createOccurrenceTable));
    database.ExecuteNoRecords(MakeSQL(dbType, createOccurrenceKey));
    transaction.Commit();
}

void ScheduleManage_cl::Prepare() {
    DB_ns::IDatabase_cl& database = userManage.GetDatabase();
    if (database.TableExists(QStringLiteral("zorb_schedule_occurrence"))) return;
    try {
        CreateTables();
    } catch (const Base_ns::Error_cl&) {
        // Another copy made them at the same moment.
        if (!database.TableExists(QStringLiteral("zorb_schedule_occurrence"))) throw;
    }
}

void ScheduleManage_cl::CheckOwner(const QString& userName) {
    const int32_t ownerSn = userName.isEmpty() ? userManage.GetCurrentUser() : userManage.FindUser(userName);
    if (ownerSn == 0) throw UserError(103, __LINE__, userName);
    if (ownerSn != userManage.GetCurrentUser() && !userManage.CanManageUsers()) throw UserError(102, __LINE__);
}

Schedule_st ScheduleManage_cl::Owned(int32_t scheduleSn, QDate* settledUntil) {
    DB_ns::IDatabase_cl& database = userManage.GetDatabase();
    const int32_t dbType = database.GetType();
    DB_ns::SimpleOutRecords_cl records;
    if (database.Query(MakeSQL(dbType, selectSchedules) + MakeSQL(dbType, scheduleBySn, scheduleSn), records) == 0)
        throw UserError(101, __LINE__, QString::number(scheduleSn));
    int32_t ownerSn = 0;
    QDate settled;
    Schedule_st schedule = ReadSchedule(records, ownerSn, settled);
    if (ownerSn != userManage.GetCurrentUser() && !userManage.CanManageUsers()) throw UserError(102, __LINE__);
    if (settledUntil != nullptr) *settledUntil = settled;
    return schedule;
}

void ScheduleManage_cl::CheckType(const Schedule_st& schedule) {
    // A mistyped category would otherwise be made anew at the first occurrence.
    // An empty one stands for 收入 or 开销, made when first needed, as for any entry.
    if (!schedule.typeName.isEmpty() && !recordManage.HasType(schedule.typeName, schedule.expense > 0)) throw UserError(118, __LINE__, schedule.typeName);
}

int32_t ScheduleManage_cl::Add(const Schedule_st& schedule) {
    CheckFields(schedule);
    CheckType(schedule);
    Prepare();
    CheckOwner(schedule.userName);
    DB_ns::IDatabase_cl& database = userManage.GetDatabase();
    const int32_t dbType = database.GetType();
    const int32_t currentSn = userManage.GetCurrentUser();
    const int32_t ownerSn = schedule.userName.isEmpty() ? currentSn : userManage.FindUser(schedule.userName);
    DB_ns::BeginTrans_cl transaction(&database);
    database.ExecuteNoRecords(MakeSQL(dbType, insertSchedule, ownerSn, schedule.typeName, schedule.expenseName,
                                      schedule.expense, schedule.comment, ModeText(schedule.statisticsMode),
                                      QString::number(int32_t(schedule.every)), schedule.interval, schedule.day,
                                      DateText(schedule.firstDate), DateText(schedule.untilDate), schedule.count,
                                      currentSn));
    int32_t sn = 0;
    DB_ns::SimpleOutRecords_cl records;
    if (database.Query(MakeSQL(dbType, selectNewestSchedule), records) == 0 || (sn = records.GetInteger()) == 0)
        throw SysError(1, __LINE__);
    transaction.Commit();
    return sn;
}

void ScheduleManage_cl::Alter(int32_t scheduleSn, const Schedule_st& schedule) {
    CheckFields(schedule);
    CheckType(schedule);
    Prepare();
    const Schedule_st old = Owned(scheduleSn);
    const QString owner = schedule.userName.isEmpty() ? old.userName : schedule.userName;
    CheckOwner(owner);
    DB_ns::IDatabase_cl& database = userManage.GetDatabase();
    if (database.ExecuteNoRecords(MakeSQL(database.GetType(), updateSchedule, userManage.FindUser(owner),
                                          schedule.typeName, schedule.expenseName, schedule.expense, schedule.comment,
                                          ModeText(schedule.statisticsMode), QString::number(int32_t(schedule.every)),
                                          schedule.interval, schedule.day, DateText(schedule.firstDate),
                                          DateText(schedule.untilDate), schedule.count, userManage.GetCurrentUser(),
                                          scheduleSn)) == 0)
        throw UserError(101, __LINE__, QString::number(scheduleSn));
}

void ScheduleManage_cl::SetPaused(int32_t scheduleSn, bool paused) {
    Prepare();
    (void)Owned(scheduleSn);
    DB_ns::IDatabase_cl& database = userManage.GetDatabase();
    if (database.ExecuteNoRecords(MakeSQL(database.GetType(), updatePaused, paused ? QStringLiteral("1") : QStringLiteral("0"),
                                          userManage.GetCurrentUser(), scheduleSn)) == 0)
        throw UserError(101, __LINE__, QString::number(scheduleSn));
}

void ScheduleManage_cl::Delete(int32_t scheduleSn) {
    Prepare();
    const Schedule_st schedule = Owned(scheduleSn);
    DB_ns::IDatabase_cl& database = userManage.GetDatabase();
    DB_ns::BeginTrans_cl transaction(&database);
    const int32_t recyclerSn = recordManage.NewRecycler(QStringLiteral("删除定期记录。"));
    if (database.ExecuteNoRecords(MakeSQL(database.GetType(), deleteSchedule, recyclerSn, userManage.GetCurrentUser(),
                                          scheduleSn)) == 0)
        throw UserError(101, __LINE__, QString::number(scheduleSn));
    transaction.Commit();
}

Schedule_st ScheduleManage_cl::Get(int32_t scheduleSn) {
    Prepare();
    return Owned(scheduleSn);
}

Base_ns::Trusteeship_tl<ScheduleRow_st> ScheduleManage_cl::GetSchedules() {
    Prepare();
    DB_ns::IDatabase_cl& database = userManage.GetDatabase();
    const int32_t dbType = database.GetType();
    const QString mine = userManage.CanViewOthers() ? QString()
                                                    : MakeSQL(dbType, schedulesOfUser, userManage.GetCurrentUser());
    QHash<quint64, Mark_st> marks;
    DB_ns::SimpleOutRecords_cl records;
    int32_t count = database.Query(MakeSQL(dbType, selectOccurrences) + mine, records);
    for (int32_t i = 0; i < count; ++i, records.MoveNext()) {
        const int32_t sn = records.GetInteger();
        const QDate date = ReadDate(records);
        const QString state = ReadText(records);
        marks.insert(Key(sn, date), {state.isEmpty() ? QChar() : state.front(), ReadDate(records)});
    }
    count = database.Query(MakeSQL(dbType, selectSchedules) + mine + MakeSQL(dbType, schedulesOrder), records);
    Base_ns::Trusteeship_tl<ScheduleRow_st> rows;
    rows.Allocate(count);
    for (int32_t i = 0; i < count; ++i, records.MoveNext()) {
        int32_t ownerSn = 0;
        QDate settled;
        ScheduleRow_st& row = rows[i];
        row.schedule = ReadSchedule(records, ownerSn, settled);
        // The first occurrence still to book: a postponed one on the day it was moved to.
        ScheduleDates_cl::Each(row.schedule, QDate(9999, 12, 31), [&](const QDate& date) {
            if (settled.isValid() && date <= settled) return true;
            const auto mark = marks.constFind(Key(row.schedule.sn, date));
            if (mark == marks.cend()) {
                if (!row.nextDate.isValid() || date < row.nextDate) row.nextDate = date;
                return false;
            }
            if (mark->state == u'P' && (!row.nextDate.isValid() || mark->moved < row.nextDate))
                row.nextDate = mark->moved;
            return true;
        });
    }
    return rows;
}

Base_ns::Trusteeship_tl<DueOccurrence_st> ScheduleManage_cl::GetDue(const QDate& until) {
    Prepare();
    DB_ns::IDatabase_cl& database = userManage.GetDatabase();
    const int32_t dbType = database.GetType();
    const QString mine = userManage.CanManageUsers() ? QString()
                                                     : MakeSQL(dbType, schedulesOfUser, userManage.GetCurrentUser());
    QHash<quint64, Mark_st> marks;
    DB_ns::SimpleOutRecords_cl records;
    int32_t count = database.Query(MakeSQL(dbType, selectOccurrences) + mine, records);
    marks.reserve(count);
    for (int32_t i = 0; i < count; ++i, records.MoveNext()) {
        const int32_t sn = records.GetInteger();
        const QDate date = ReadDate(records);
        const QString state = ReadText(records);
        marks.insert(Key(sn, date), {state.isEmpty() ? QChar() : state.front(), ReadDate(records)});
    }
    std::vector<DueOccurrence_st> due;
    count = database.Query(MakeSQL(dbType, selectSchedules) + mine, records);
    for (int32_t i = 0; i < count; ++i, records.MoveNext()) {
        int32_t ownerSn = 0;
        QDate settled;
        const Schedule_st schedule = ReadSchedule(records, ownerSn, settled);
        if (schedule.paused) continue;
        ScheduleDates_cl::Each(schedule, until, [&](const QDate& date) {
            if (settled.isValid() && date <= settled) return true;
            QDate dueDate = date;
            const auto mark = marks.constFind(Key(schedule.sn, date));
            if (mark != marks.cend()) {
                if (mark->state != u'P' || mark->moved > until) return true;
                dueDate = mark->moved;
            }
            due.push_back({schedule.sn, date, dueDate, schedule.userName, schedule.typeName, schedule.expenseName,
                           schedule.expense, schedule.comment, schedule.statisticsMode});
            return true;
        });
    }
    std::sort(due.begin(), due.end(), [](const DueOccurrence_st& a, const DueOccurrence_st& b) {
        if (a.dueDate != b.dueDate) return a.dueDate < b.dueDate;
        if (a.scheduleSn != b.scheduleSn) return a.scheduleSn < b.scheduleSn;
        return a.date < b.date;
    });
    Base_ns::Trusteeship_tl<DueOccurrence_st> result;
    result.Allocate(int32_t(due.size()));
    for (int32_t i = 0; i < int32_t(due.size()); ++i) result[i] = std::move(due[size_t(i)]);
    return result;
}

bool ScheduleManage_cl::Book(int32_t scheduleSn, const QDate& date, int32_t expense) {
    return Mark(Mark_en::Book, scheduleSn, date, expense, QDate());
}

int32_t ScheduleManage_cl::BookAll(const Base_ns::Trusteeship_tl<DueOccurrence_st>& occurrences) {
    Prepare();
    int32_t booked = 0;
    for (int32_t start = 0; start < occurrences.Count(); start += kBookBatch) {
        const int32_t end = std::min(occurrences.Count(), start + kBookBatch);
        try {
            DB_ns::BeginTrans_cl transaction(&userManage.GetDatabase());
            int32_t inBatch = 0;
            for (int32_t i = start; i < end; ++i) {
                const DueOccurrence_st& occurrence = occurrences[i];
                if (MarkOnce(Mark_en::Book, occurrence.scheduleSn, occurrence.date, occurrence.expense, QDate()))
                    ++inBatch;
            }
            transaction.Commit();
            booked += inBatch;
        } catch (const Base_ns::UserError_cl&) {
            throw;
        } catch (const Base_ns::Error_cl&) {
            // Another copy booked one of them between our look and our insert (a server
            // book): the batch is undone, and booked again one at a time.
            for (int32_t i = start; i < end; ++i) {
                const DueOccurrence_st& occurrence = occurrences[i];
                if (Mark(Mark_en::Book, occurrence.scheduleSn, occurrence.date, occurrence.expense, QDate())) ++booked;
            }
        }
    }
    return booked;
}

bool ScheduleManage_cl::Skip(int32_t scheduleSn, const QDate& date) {
    return Mark(Mark_en::Skip, scheduleSn, date, 0, QDate());
}

bool ScheduleManage_cl::Postpone(int32_t scheduleSn, const QDate& date, const QDate& to) {
    return Mark(Mark_en::Postpone, scheduleSn, date, 0, to);
}

bool ScheduleManage_cl::Settled(int32_t scheduleSn, const QDate& date) {
    DB_ns::IDatabase_cl& database = userManage.GetDatabase();
    DB_ns::SimpleOutRecords_cl records;
    if (database.Query(MakeSQL(database.GetType(), selectOccurrence, scheduleSn, DateText(date)), records) == 0)
        return false;
    return ReadText(records).trimmed() != u"P";
}

bool ScheduleManage_cl::Mark(Mark_en mark, int32_t scheduleSn, const QDate& date, int32_t expense, const QDate& to) {
    Prepare();
    try {
        return MarkOnce(mark, scheduleSn, date, expense, to);
    } catch (const Base_ns::UserError_cl&) {
        throw;
    } catch (const Base_ns::Error_cl&) {
        // The unique key refused it: another copy settled the occurrence first.
        if (Settled(scheduleSn, date)) return false;
        throw;
    }
}

bool ScheduleManage_cl::MarkOnce(Mark_en mark, int32_t scheduleSn, const QDate& date, int32_t expense,
                                 const QDate& to) {
    DB_ns::IDatabase_cl& database = userManage.GetDatabase();
    const int32_t dbType = database.GetType();
    const int32_t currentSn = userManage.GetCurrentUser();
    DB_ns::BeginTrans_cl transaction(&database);
    QDate settledUntil;
    const Schedule_st schedule = Owned(scheduleSn, &settledUntil);
    bool ruleDate = false;
    ScheduleDates_cl::Each(schedule, date, [&](const QDate& each) {
        ruleDate = each == date;
        return !ruleDate;
    });
    if (!ruleDate) throw UserError(114, __LINE__, DateText(date));
    if (mark == Mark_en::Book) {
        if (schedule.paused) throw UserError(115, __LINE__);
        if (expense == 0 || (expense > 0) != (schedule.expense > 0)) throw UserError(116, __LINE__);
    }
    DB_ns::SimpleOutRecords_cl records;
    QDate dueDate = date;
    const bool known = database.Query(MakeSQL(dbType, selectOccurrence, scheduleSn, DateText(date)), records) != 0;
    if (known) {
        if (ReadText(records).trimmed() != u"P") return false;
        dueDate = ReadDate(records);
    }
    if (mark == Mark_en::Postpone && !(to > dueDate)) throw UserError(117, __LINE__, DateText(to));
    const QString state = mark == Mark_en::Book ? QStringLiteral("B") : mark == Mark_en::Skip ? QStringLiteral("S")
                                                                                             : QStringLiteral("P");
    const QString moved = mark == Mark_en::Postpone ? DateText(to) : DateText(dueDate);
    if (known) {
        if (database.ExecuteNoRecords(
                MakeSQL(dbType, updateOccurrence, state, moved, currentSn, scheduleSn, DateText(date))) == 0)
            return false;
    } else {
        database.ExecuteNoRecords(MakeSQL(dbType, insertOccurrence, scheduleSn, DateText(date), state, moved, currentSn));
    }
    if (mark == Mark_en::Book) {
        const int32_t ownerSn = userManage.FindUser(schedule.userName);
        recordManage.AddRecord(schedule.typeName, schedule.expenseName, expense, schedule.comment,
                               Base_ns::DateTime_cl::FromParts(dueDate.year(), dueDate.month(), dueDate.day()),
                               schedule.statisticsMode, ownerSn);
    }
    if (mark != Mark_en::Postpone) AdvanceSettled(schedule, settledUntil);
    transaction.Commit();
    return true;
}

void ScheduleManage_cl::AdvanceSettled(const Schedule_st& schedule, const QDate& settledUntil) {
    DB_ns::IDatabase_cl& database = userManage.GetDatabase();
    const int32_t dbType = database.GetType();
    QSet<qint64> settled;
    DB_ns::SimpleOutRecords_cl records;
    const int32_t count =
        database.Query(MakeSQL(dbType, selectLaterOccurrences, schedule.sn, DateText(settledUntil)), records);
    for (int32_t i = 0; i < count; ++i, records.MoveNext()) {
        const QDate date = ReadDate(records);
        if (ReadText(records).trimmed() != u"P") settled.insert(date.toJulianDay());
    }
    QDate last = settledUntil;
    ScheduleDates_cl::Each(schedule, QDate(9999, 12, 31), [&](const QDate& date) {
        if (settledUntil.isValid() && date <= settledUntil) return true;
        if (!settled.contains(date.toJulianDay())) return false;
        last = date;
        return true;
    });
    if (last == settledUntil) return;
    database.ExecuteNoRecords(MakeSQL(dbType, updateSettled, DateText(last), schedule.sn,
                                      QString::number(int32_t(schedule.every)), schedule.interval, schedule.day,
                                      DateText(schedule.firstDate), DateText(last)));
}

}  // namespace Vorelle_ns
