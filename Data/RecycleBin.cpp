#include "Data/RecycleBin.h"
#include "Data/TradeLog.h"

#include "DB/BeginTrans.h"
#include "DB/IDatabase.h"
#include "DB/SimpleOutRecords.h"
#include "Data/RecordManage.h"
#include "Data/Statement.h"
#include "Data/UserManage.h"
#include "base/SysError.h"
#include "base/UserError.h"

#include <algorithm>
#include <iterator>
#include <vector>

namespace Vorelle_ns {

namespace {

Base_ns::SysError_cl SysError(int32_t code, int32_t line, const QString& remark = QString()) {
    static const Base_ns::ErrorInfo_st table[] = {{1, "恢复记录失败。"}, {2, "恢复用户失败。"}};
    return Base_ns::SysError_cl(line, __FILE__, RecycleBin_cl::ClassName(), code, table, int32_t(std::size(table)),
                                remark);
}

Base_ns::UserError_cl UserError(int32_t code, int32_t line, const QString& remark = QString()) {
    static const Base_ns::ErrorInfo_st table[] = {
        {101, "回收站中没有这条记录，它可能已经被恢复。"},
        {102, "你没有权限恢复其它用户的记录。"},
        {103, "该记录的所有者已经被删除，请先恢复该用户。"},
        {104, "你没有权限恢复用户。"},
        {105, "已经有同名的用户，无法恢复该用户。"},
        {106, "回收站中没有这个用户，他可能已经被恢复。"},
        {107, "回收站中没有这个费用模板，它可能已经被恢复。"},
        {108, "回收站中没有这个定期记录，它可能已经被恢复。"},
        {109, "这条记录是撤销账单导入时移入回收站的，它的交易已从账本中去掉：恢复后再导入那份账单会重复记账。需要它时请重新导入那份账单。"}};
    return Base_ns::UserError_cl(line, __FILE__, RecycleBin_cl::ClassName(), code, table, int32_t(std::size(table)),
                                 remark);
}

using DB_ns::DB_ALL;
using Tmpl = DB_ns::SQLTemplate_st;

// Deleted entries with their deletion, deleter, category and owner (owners and
// categories may be deleted themselves).
const Tmpl selectDeletedRecords[] = {
    {DB_ALL,
     "select r.sn,c.sn,c.create_time,d.user_name,c.info,r.record_time,t.type_name,r.expense_name,r.expense,"
     "o.user_name from zorb_record as r,zorb_recycler as c,zorb_user as d,zorb_expense_type as t,zorb_user as o "
     "where r.valid = '0' and c.sn = r.recycler_sn and d.sn = c.user_sn and t.sn = r.type_sn and o.sn = "
     "r.user_sn"}};
const Tmpl selectDeletedTemplates[] = {
    {DB_ALL,
     "select r.sn,c.sn,c.create_time,d.user_name,c.info,r.type_name,r.expense_name,r.expense,o.user_name from "
     "zorb_record_template as r,zorb_recycler as c,zorb_user as d,zorb_user as o where r.valid = '0' and c.sn = "
     "r.recycler_sn and d.sn = c.user_sn and o.sn = r.user_sn"}};
// Recurring entries: in a table older books lack until it is first used.
const Tmpl selectDeletedSchedules[] = {
    {DB_ALL,
     "select r.sn,c.sn,c.create_time,d.user_name,c.info,r.type_name,r.expense_name,r.expense,o.user_name from "
     "zorb_schedule as r,zorb_recycler as c,zorb_user as d,zorb_user as o where r.valid = '0' and c.sn = "
     "r.recycler_sn and d.sn = c.user_sn and o.sn = r.user_sn"}};
const Tmpl selectScheduleOwner[] = {
    {DB_ALL, "select user_sn from zorb_schedule where valid = '0' and sn = ?schedule_sn?"}};
const Tmpl reviveSchedule[] = {
    {DB_ALL,
     "update zorb_schedule set valid = '1', recycler_sn = ?recycler_sn?, alter_time = CMC_GETDATE, alter_sn = "
     "?alter_sn? where valid = '0' and sn = ?schedule_sn?"}};
const Tmpl ownedOnly[] = {{DB_ALL, " and r.user_sn = ?user_sn?"}};
const Tmpl selectDeletedUsers[] = {
    {DB_ALL,
     "select r.sn,c.sn,c.create_time,d.user_name,c.info,r.user_name from zorb_user as r,zorb_recycler as "
     "c,zorb_user as d where r.valid = '0' and c.sn = r.recycler_sn and d.sn = c.user_sn"}};

const Tmpl selectRecord[] = {
    {DB_ALL, "select user_sn, expense, type_sn from zorb_record where valid = '0' and sn = ?record_sn?"}};
const Tmpl selectDeletion[] = {
    {DB_ALL, "select c.info from zorb_record as r,zorb_recycler as c where r.sn = ?record_sn? and c.sn = r.recycler_sn"}};
const Tmpl selectValidUser[] = {{DB_ALL, "select sn from zorb_user where valid = '1' and sn = ?user_sn?"}};
const Tmpl selectType[] = {{DB_ALL, "select valid, type_name, kind from zorb_expense_type where sn = ?type_sn?"}};
const Tmpl selectValidType[] = {
    {DB_ALL, "select sn from zorb_expense_type where valid = '1' and type_name = '?type_name?' and kind = '?kind?'"}};
const Tmpl reviveType[] = {
    {DB_ALL,
     "update zorb_expense_type set valid = '1', alter_time = CMC_GETDATE, alter_sn = ?alter_sn? where sn = "
     "?type_sn?"}};
const Tmpl reviveRecord[] = {
    {DB_ALL,
     "update zorb_record set valid = '1', type_sn = ?type_sn?, recycler_sn = ?recycler_sn?, alter_time = "
     "CMC_GETDATE, alter_sn = ?alter_sn? where valid = '0' and sn = ?record_sn?"}};
const Tmpl selectTemplateOwner[] = {
    {DB_ALL, "select user_sn from zorb_record_template where valid = '0' and sn = ?template_sn?"}};
const Tmpl reviveTemplate[] = {
    {DB_ALL,
     "update zorb_record_template set valid = '1', recycler_sn = ?recycler_sn?, alter_time = CMC_GETDATE, "
     "alter_sn = ?alter_sn? where valid = '0' and sn = ?template_sn?"}};
const Tmpl selectUserName[] = {{DB_ALL, "select user_name from zorb_user where valid = '0' and sn = ?user_sn?"}};
const Tmpl selectNamesake[] = {
    {DB_ALL, "select sn from zorb_user where valid = '1' and user_name = '?user_name?'"}};
// The public balance every user row carries moved on while the user was deleted.
const Tmpl reviveUser[] = {
    {DB_ALL,
     "update zorb_user set valid = '1', public_account = ?public_account?, recycler_sn = ?recycler_sn?, "
     "alter_time = CMC_GETDATE, alter_sn = ?alter_sn? where valid = '0' and sn = ?user_sn?"}};

QString ReadText(DB_ns::SimpleOutRecords_cl& records) {
    QString text;
    records.GetString(text);
    return text;
}

// The columns every kind starts with: item, deletion, when, by whom, what.
void ReadDeletion(DB_ns::SimpleOutRecords_cl& records, DeletedRow_st& row) {
    row.sn = records.GetInteger();
    row.recyclerSn = records.GetInteger();
    row.deletedAt = records.GetDateTime();
    records.GetString(row.deletedBy);
    records.GetString(row.action);
}

}  // namespace

RecycleBin_cl::RecycleBin_cl(UserManage_cl& userManage, RecordManage_cl& recordManage)
    : userManage(userManage), recordManage(recordManage) {}

Base_ns::Trusteeship_tl<DeletedRow_st> RecycleBin_cl::GetDeletions() {
    const int32_t currentSn = userManage.GetCurrentUser();
    const bool everybody = userManage.CanAlterOthers();
    DB_ns::IDatabase_cl& database = userManage.GetDatabase();
    const int32_t dbType = database.GetType();
    const QString filter = everybody ? QString() : MakeSQL(dbType, ownedOnly, currentSn);
    std::vector<DeletedRow_st> rows;
    DB_ns::SimpleOutRecords_cl records;
    if (everybody) {
        const int32_t count = database.Query(MakeSQL(dbType, selectDeletedUsers), records);
        for (int32_t i = 0; i < count; ++i, records.MoveNext()) {
            DeletedRow_st& row = rows.emplace_back();
            row.kind = DeletedKind_en::User;
            ReadDeletion(records, row);
            records.GetString(row.ownerName);
        }
    }
    int32_t count = database.TableExists(QStringLiteral("zorb_schedule"))
                        ? database.Query(MakeSQL(dbType, selectDeletedSchedules) + filter, records)
                        : 0;
    for (int32_t i = 0; i < count; ++i, records.MoveNext()) {
        DeletedRow_st& row = rows.emplace_back();
        row.kind = DeletedKind_en::Schedule;
        ReadDeletion(records, row);
        records.GetString(row.typeName);
        records.GetString(row.expenseName);
        row.expense = records.GetInteger();
        records.GetString(row.ownerName);
    }
    count = database.Query(MakeSQL(dbType, selectDeletedTemplates) + filter, records);
    for (int32_t i = 0; i < count; ++i, records.MoveNext()) {
        DeletedRow_st& row = rows.emplace_back();
        row.kind = DeletedKind_en::Template;
        ReadDeletion(records, row);
        records.GetString(row.typeName);
        records.GetString(row.expenseName);
        row.expense = records.GetInteger();
        records.GetString(row.ownerName);
    }
    count = database.Query(MakeSQL(dbType, selectDeletedRecords) + filter, records);
    rows.reserve(rows.size() + size_t(count));
    for (int32_t i = 0; i < count; ++i, records.MoveNext()) {
        DeletedRow_st& row = rows.emplace_back();
        ReadDeletion(records, row);
        row.recordTime = records.GetDateTime();
        records.GetString(row.typeName);
        records.GetString(row.expenseName);
        row.expense = records.GetInteger();
        records.GetString(row.ownerName);
    }
    // Serial numbers of the recycler grow with time: the newest deletion first.
    std::stable_sort(rows.begin(), rows.end(), [](const DeletedRow_st& a, const DeletedRow_st& b) {
        if (a.recyclerSn != b.recyclerSn) return a.recyclerSn > b.recyclerSn;
        if (a.kind != b.kind) return a.kind > b.kind;
        return a.sn < b.sn;
    });
    Base_ns::Trusteeship_tl<DeletedRow_st> result;
    result.Allocate(int32_t(rows.size()));
    for (int32_t i = 0; i < int32_t(rows.size()); ++i) result[i] = std::move(rows[size_t(i)]);
    return result;
}

void RecycleBin_cl::RestoreRecords(const Container_ns::List_tl<int32_t>& recordSns) {
    DB_ns::BeginTrans_cl transaction(&userManage.GetDatabase());
    const int32_t recyclerSn = recordManage.NewRecycler(QStringLiteral("恢复费用记录。"));
    for (auto id = recordSns.First(); !id.IsEmpty(); id.Next()) RestoreRecord(id.Get(), recyclerSn);
    transaction.Commit();
}

void RecycleBin_cl::RestoreRecord(int32_t recordSn, int32_t recyclerSn) {
    DB_ns::IDatabase_cl& database = userManage.GetDatabase();
    const int32_t dbType = database.GetType();
    const int32_t currentSn = userManage.GetCurrentUser();
    DB_ns::SimpleOutRecords_cl records;
    if (database.Query(MakeSQL(dbType, selectRecord, recordSn), records) == 0) throw UserError(101, __LINE__);
    const int32_t owner = records.GetInteger();
    const int32_t expense = records.GetInteger();
    int32_t typeSn = records.GetInteger();
    if (owner != currentSn && !userManage.CanAlterOthers()) throw UserError(102, __LINE__);
    // Its trade was forgotten with the import: the statement would book it again.
    if (database.Query(MakeSQL(dbType, selectDeletion, recordSn), records) != 0 &&
        ReadText(records).trimmed() == TradeLog_cl::UndoneImportInfo())
        throw UserError(109, __LINE__, QString::number(recordSn));
    if (database.Query(MakeSQL(dbType, selectValidUser, owner), records) == 0) throw UserError(103, __LINE__);

    if (database.Query(MakeSQL(dbType, selectType, typeSn), records) != 0 && ReadText(records) != u"1") {
        const QString typeName = ReadText(records);
        const QString kind = ReadText(records);
        // A category of that name made since takes the entry; otherwise the old one returns.
        if (database.Query(MakeSQL(dbType, selectValidType, typeName, kind), records) != 0)
            typeSn = records.GetInteger();
        else
            database.ExecuteNoRecords(MakeSQL(dbType, reviveType, currentSn, typeSn));
    }
    if (database.ExecuteNoRecords(MakeSQL(dbType, reviveRecord, typeSn, recyclerSn, currentSn, recordSn)) == 0)
        throw SysError(1, __LINE__, QString::number(recordSn));
    userManage.AddToAccounts(expense, owner);
}

void RecycleBin_cl::RestoreTemplate(int32_t templateSn) {
    DB_ns::IDatabase_cl& database = userManage.GetDatabase();
    const int32_t dbType = database.GetType();
    const int32_t currentSn = userManage.GetCurrentUser();
    DB_ns::SimpleOutRecords_cl records;
    if (database.Query(MakeSQL(dbType, selectTemplateOwner, templateSn), records) == 0)
        throw UserError(107, __LINE__);
    const int32_t owner = records.GetInteger();
    if (owner != currentSn && !userManage.CanAlterOthers()) throw UserError(102, __LINE__);
    if (database.Query(MakeSQL(dbType, selectValidUser, owner), records) == 0) throw UserError(103, __LINE__);
    DB_ns::BeginTrans_cl transaction(&database);
    const int32_t recyclerSn = recordManage.NewRecycler(QStringLiteral("恢复费用模板。"));
    if (database.ExecuteNoRecords(MakeSQL(dbType, reviveTemplate, recyclerSn, currentSn, templateSn)) == 0)
        throw UserError(107, __LINE__);
    transaction.Commit();
}

void RecycleBin_cl::RestoreSchedule(int32_t scheduleSn) {
    DB_ns::IDatabase_cl& database = userManage.GetDatabase();
    const int32_t dbType = database.GetType();
    const int32_t currentSn = userManage.GetCurrentUser();
    DB_ns::SimpleOutRecords_cl records;
    if (!database.TableExists(QStringLiteral("zorb_schedule")) ||
        database.Query(MakeSQL(dbType, selectScheduleOwner, scheduleSn), records) == 0)
        throw UserError(108, __LINE__);
    const int32_t owner = records.GetInteger();
    if (owner != currentSn && !userManage.CanAlterOthers()) throw UserError(102, __LINE__);
    if (database.Query(MakeSQL(dbType, selectValidUser, owner), records) == 0) throw UserError(103, __LINE__);
    DB_ns::BeginTrans_cl transaction(&database);
    const int32_t recyclerSn = recordManage.NewRecycler(QStringLiteral("恢复定期记录。"));
    if (database.ExecuteNoRecords(MakeSQL(dbType, reviveSchedule, recyclerSn, currentSn, scheduleSn)) == 0)
        throw UserError(108, __LINE__);
    transaction.Commit();
}

void RecycleBin_cl::RestoreUser(int32_t userSn) {
    if (!userManage.CanManageUsers()) throw UserError(104, __LINE__);
    DB_ns::IDatabase_cl& database = userManage.GetDatabase();
    const int32_t dbType = database.GetType();
    const int32_t currentSn = userManage.GetCurrentUser();
    DB_ns::BeginTrans_cl transaction(&database);
    DB_ns::SimpleOutRecords_cl records;
    if (database.Query(MakeSQL(dbType, selectUserName, userSn), records) == 0) throw UserError(106, __LINE__);
    const QString name = ReadText(records);
    if (database.Query(MakeSQL(dbType, selectNamesake, name), records) != 0) throw UserError(105, __LINE__, name);
    const int32_t recyclerSn = recordManage.NewRecycler(QStringLiteral("恢复用户。"));
    if (database.ExecuteNoRecords(
            MakeSQL(dbType, reviveUser, userManage.GetPublicAccount(), recyclerSn, currentSn, userSn)) == 0)
        throw SysError(2, __LINE__, name);
    transaction.Commit();
}

}  // namespace Vorelle_ns
