#include "Data/RecordManage.h"

#include "DB/BeginTrans.h"
#include "DB/BoundSQL.h"
#include "Data/AccountMoves.h"
#include "Data/RecordList.h"
#include "DB/IDatabase.h"
#include "Data/Statement.h"
#include "Data/EntryIdentity.h"
#include "Data/TradeLog.h"
#include "Data/UserManage.h"
#include "IO/CSVStream.h"
#include "base/SysError.h"
#include "base/UserError.h"
#include "platform/ado/Variant.h"

#include <QHash>
#include <QSet>
#include <QStringList>
#include <iterator>
#include <algorithm>
#include <unordered_map>
#include <vector>

namespace Vorelle_ns {

namespace {

Base_ns::SysError_cl SysError(int32_t code, int32_t line, const QString& remark = QString()) {
    static const Base_ns::ErrorInfo_st table[] = {{1, "新增分类失败。"},
                                                  {2, "数据库中的统计方式是错误的值。"},
                                                  {3, "删除费用模板失败。"},
                                                  {4, "费用模板中开销/收入信息与金额不一致。"},
                                                  {5, "无法取得回收站表中最新记录。"},
                                                  {6, "删除记录失败。"},
                                                  {7, "删除指定用户的费用记录失败。"},
                                                  {8, "不允许修改费用记录的收入/开销。"},
                                                  {9, "无法取得新增费用记录的编号。"},
                                                  {10, "没能给费用记录建立统计用的索引，账本照常使用，统计会慢一些。"},
                                                  {11, "分段读取费用记录时每段的行数必须大于零。"}};
    return Base_ns::SysError_cl(line, __FILE__, RecordManage_cl::ClassName(), code, table,
                                int32_t(std::size(table)), remark);
}

Base_ns::UserError_cl UserError(int32_t code, int32_t line, const QString& remark = QString()) {
    static const Base_ns::ErrorInfo_st table[] = {
        {101, "该用户没有权限查看其它用户的费用记录。"},
        {102, "金额不能为零。"},
        {103, "费用产生时间不能为空。"},
        {104, "你没有权限删除其它用户的记录。"},
        {105, "该记录已经被删除。"},
        {106, "该用户已经被删除。"},
        {107, "你没有权限修改其它用户的记录。"},
        {108, "该用户名没有注册。"},
        {109, "只有超级管理员才能导入其它用户的费用记录，你只能导入自己的费用记录。"}};
    return Base_ns::UserError_cl(line, __FILE__, RecordManage_cl::ClassName(), code, table,
                                 int32_t(std::size(table)), remark);
}

using DB_ns::DB_ALL;
using DB_ns::DB_LOCAL;
using DB_ns::DB_ORACLE;
using DB_ns::DB_POSTGRESQL;
using DB_ns::DB_SQLSERVER;
using Tmpl = DB_ns::SQLTemplate_st;

// Table definitions, in the order they are created.
const Tmpl createRecordTable[] = {
    {DB_LOCAL,
     "create table zorb_record(sn counter(1,1) primary key,user_sn integer,type_sn integer,expense_name "
     "text(16),expense integer,comment text(255),statistics_mode char(1),record_time datetime,valid "
     "char(1),recycler_sn integer,create_time datetime default date()+time(),alter_time datetime default "
     "date()+time(),alter_sn integer)"},
    {DB_SQLSERVER,
     "create table zorb_record(sn integer identity(1,1) primary key,user_sn integer,type_sn "
     "integer,expense_name nvarchar(16),expense integer,comment nvarchar(255),statistics_mode "
     "char(1),record_time datetime,valid char(1),recycler_sn integer,create_time datetime default "
     "getdate(),alter_time datetime default getdate(),alter_sn integer)"}};
const Tmpl createTypeTable[] = {
    {DB_LOCAL,
     "create table zorb_expense_type(sn counter(1,1) primary key,type_name text(16),kind char(1),monthly_plan "
     "integer,valid char(1),create_time datetime default date()+time(),alter_time datetime default "
     "date()+time(),alter_sn integer)"},
    {DB_SQLSERVER,
     "create table zorb_expense_type(sn integer identity(1,1) primary key,type_name nvarchar(16),kind "
     "char(1),monthly_plan integer,valid char(1),create_time datetime default getdate(),alter_time datetime "
     "default getdate(),alter_sn integer)"}};
const Tmpl createTemplateTable[] = {
    {DB_LOCAL,
     "create table zorb_record_template(sn counter(1,1) primary key,kind char(1),type_name "
     "text(16),expense_name text(16),expense integer,comment text(255),statistics_mode char(1),user_sn "
     "integer,valid char(1),recycler_sn integer,create_time datetime default date()+time(),alter_time datetime "
     "default date()+time(),alter_sn integer)"},
    {DB_SQLSERVER,
     "create table zorb_record_template(sn integer identity(1,1) primary key,kind char(1),type_name "
     "nvarchar(16),expense_name nvarchar(16),expense integer,comment nvarchar(255),statistics_mode "
     "char(1),user_sn integer,valid char(1),recycler_sn integer,create_time datetime default "
     "getdate(),alter_time datetime default getdate(),alter_sn integer)"}};
const Tmpl createRecyclerTable[] = {
    {DB_LOCAL,
     "create table zorb_recycler(sn counter(1,1) primary key,info text(255),user_sn integer,create_time "
     "datetime default date()+time(),alter_time datetime default date()+time(),alter_sn integer)"},
    {DB_SQLSERVER,
     "create table zorb_recycler(sn integer identity(1,1) primary key,info nvarchar(255),user_sn "
     "integer,create_time datetime default getdate(),alter_time datetime default getdate(),alter_sn integer)"}};
// Lists, sums and month crosstabs select a span of record times; without this index
// each of them reads the whole entry table. Databases made without it work as before.
const Tmpl createRecordTimeIndex[] = {{DB_ALL, "create index zorb_record_time on zorb_record(record_time desc,user_sn,type_sn)"}};
// Crosstabs and sums need only these columns of a span of times: read from the index
// alone they cost no lookup of each entry's row. A local book and a PostgreSQL one get
// it on opening a book made before it.
const Tmpl createRecordSumsIndex[] = {
    {DB_ALL, "create index zorb_record_sums on zorb_record(record_time,valid,statistics_mode,type_sn,user_sn,expense)"}};
const Tmpl addRecordSumsIndex[] = {
    {DB_LOCAL | DB_POSTGRESQL,
     "create index if not exists zorb_record_sums on "
     "zorb_record(record_time,valid,statistics_mode,type_sn,user_sn,expense)"}};
const Tmpl countRecordSumsIndex[] = {{DB_POSTGRESQL, "select count(to_regclass('zorb_record_sums'))"}};
// Two copies opening an older book at once would both build the index and one fail at
// the end: this lock, which conflicts with itself, makes the later one wait and then
// find it. Creating the index blocks writers for as long anyway.
const Tmpl lockRecordsForIndex[] = {{DB_POSTGRESQL, "lock table zorb_record in share row exclusive mode"}};

// Categories.
const Tmpl selectType[] = {
    {DB_ALL, "select sn from zorb_expense_type where type_name = '?type_name?' and kind = '?kind?' and valid = '1'"}};
const Tmpl insertType[] = {
    {DB_ALL,
     "insert into zorb_expense_type(type_name,kind,valid,alter_sn) values('?type_name?','?kind?', '1', "
     "?user_sn?)"}};
// Held until the transaction ends, so that two copies of the program adding the same
// category one after the other find it instead of adding it twice. Readers are not held up.
const Tmpl lockTypes[] = {
    {DB_LOCAL, "update zorb_expense_type set alter_sn = alter_sn where sn = 0"},
    {DB_ORACLE, "lock table zorb_expense_type in exclusive mode"},
    {DB_SQLSERVER, "select count(*) from zorb_expense_type with (tablockx, holdlock)"},
    {DB_POSTGRESQL, "lock table zorb_expense_type in share row exclusive mode"}};
// Walks the time index from since on, so a large book answers as fast as a small one.
const Tmpl selectTypeUse[] = {
    {DB_ALL,
     "select zorb_expense_type.type_name,count(*) from zorb_record,zorb_expense_type where zorb_record.valid = '1' "
     "and zorb_expense_type.valid = '1' and zorb_expense_type.sn = zorb_record.type_sn and zorb_expense_type.kind = "
     "'?kind?' and zorb_record.user_sn = ?user_sn? and zorb_record.record_time >= #?since?# group by "
     "zorb_expense_type.type_name order by count(*) desc,zorb_expense_type.type_name"}};
const Tmpl selectTypeNames[] = {{DB_ALL, "select type_name from zorb_expense_type where kind = '?kind?' and valid = '1'"}};
// The categories a user made or booked under: all that a user who sees only his own
// entries may know of.
const Tmpl selectOwnTypeNames[] = {
    {DB_ALL,
     "select type_name from zorb_expense_type where kind = '?kind?' and valid = '1' and (alter_sn = ?user_sn? or sn "
     "in (select type_sn from zorb_record where user_sn = ?user_sn2?))"}};

// Entries.
const Tmpl insertRecord[] = {
    {DB_ALL,
     "insert into "
     "zorb_record(user_sn,type_sn,expense_name,expense,comment,statistics_mode,valid,record_time,alter_sn) "
     "values(?user_sn?, ?type_sn?, '?expense_name?', ?expense?, '?comment?', '?statistics_mode?', '1', "
     "'?record_time?', ?alter_sn?)"}};
const Tmpl selectOwnerAndAmount[] = {
    {DB_ALL,
     "select zorb_record.user_sn, zorb_record.expense, zorb_expense_type.kind from zorb_record, zorb_expense_type "
     "where zorb_record.valid = '1' and zorb_expense_type.sn = zorb_record.type_sn and zorb_record.sn = ?record_sn?"}};
const Tmpl updateRecord[] = {
    {DB_ALL,
     "update zorb_record set type_sn = ?type_sn?, expense_name = '?expense_name?', expense = ?expense?, "
     "comment = '?comment?', statistics_mode = '?statistics_mode?', record_time = '?record_time?', alter_sn = "
     "?alter_sn?, alter_time = CMC_GETDATE where valid = '1' and sn = ?record_sn?"}};
const Tmpl selectRecord[] = {
    {DB_ALL,
     "select "
     "zorb_record.record_time,zorb_expense_type.type_name,zorb_record.expense_name,zorb_record.expense,zorb_"
     "record.statistics_mode,zorb_record.comment,zorb_user.user_name,zorb_record.user_sn,zorb_expense_type.kind from "
     "zorb_record,zorb_user,zorb_expense_type where zorb_user.valid = '1' and zorb_record.valid = '1' and "
     "zorb_expense_type.valid = '1' and zorb_user.sn = zorb_record.user_sn and zorb_expense_type.sn = "
     "zorb_record.type_sn and zorb_record.sn = ?record_sn?"}};
const Tmpl selectDeletable[] = {
    {DB_ALL,
     "select sn from zorb_record where sn = ?record_sn? and valid = '1' and (user_sn = ?user_sn? or '0' = "
     "(select power from zorb_user where valid = '1' and sn = ?user_sn2?) or '1' = (select power from "
     "zorb_user where valid = '1' and sn = ?user_sn3?))"}};
const Tmpl deleteRecord[] = {
    {DB_ALL,
     "update zorb_record set valid = '0', alter_time = CMC_GETDATE, recycler_sn = ?recycler_sn?, alter_sn = "
     "?user_sn? where sn = ?record_sn? and valid = '1'"}};
// Entry lists and sums: a head selecting the date span, the pieces of the user filter and
// of the search, then the order. What a user typed is bound, never pasted.
#define RECORDS_COLUMNS                                                                                          \
    "zorb_record.sn,zorb_record.record_time,zorb_expense_type.type_name,zorb_record.expense_name,zorb_record."  \
    "expense,zorb_user.user_name,zorb_record.statistics_mode,zorb_record.comment,zorb_expense_type.kind from "  \
    "zorb_record,zorb_user,zorb_expense_type where zorb_user.valid = '1' and zorb_record.valid = '1' and "      \
    "zorb_expense_type.valid = '1' and zorb_user.sn = zorb_record.user_sn and zorb_expense_type.sn = "          \
    "zorb_record.type_sn and zorb_record.record_time >= #?begin_time?# and zorb_record.record_time <= "         \
    "#?end_time?#"
// The serial number last makes the order whole (the time index ends with it), so that a
// list read in pieces goes on exactly where the last piece stopped.
#define RECORDS_ORDER " order by zorb_record.record_time desc,zorb_record.user_sn,zorb_record.type_sn,zorb_record.sn"
const Tmpl recordsHead[] = {{DB_ALL, "select " RECORDS_COLUMNS}};
const Tmpl recordsTail[] = {{DB_ALL, RECORDS_ORDER}};
// The owner is joined only for the search by his name: every entry's owner row exists,
// deleted or not, so the sums stay what they were. The entries are summed by category
// number and the sums joined to their categories after, as the crosstabs are: the
// engine then sorts a number per entry, not the category's name and kind as well.
const Tmpl typeSumsHead[] = {
    {DB_ALL,
     "select zorb_expense_type.sn,zorb_expense_type.type_name,zorb_expense_type.kind,type_totals.total from (select "
     "zorb_record.type_sn,sum(zorb_record.expense) as total from zorb_record,zorb_user,zorb_expense_type where "
     "zorb_record.valid = '1' and zorb_expense_type.valid = '1' and zorb_expense_type.sn = zorb_record.type_sn and "
     "zorb_user.sn = zorb_record.user_sn and zorb_record.record_time >= #?begin_time?# and zorb_record.record_time <= "
     "#?end_time?#"}};
const Tmpl typeSumsTail[] = {
    {DB_ALL,
     " group by zorb_record.type_sn) type_totals,zorb_expense_type where zorb_expense_type.sn = type_totals.type_sn "
     "order by zorb_expense_type.kind,zorb_expense_type.sn"}};
const Tmpl recordsOfUser[] = {{DB_ALL, " and zorb_record.user_sn = ?user_sn?"}};
// The local engine's instr with compare 1 ignores case in every script; a server
// compares by its collation, which ignores case unless it was set up otherwise.
const Tmpl recordsWithText[] = {
    {DB_LOCAL,
     " and (instr(1, zorb_record.expense_name, ?name?, 1) > 0 or instr(1, zorb_expense_type.type_name, ?type?, 1) > 0 "
     "or instr(1, zorb_record.comment, ?comment?, 1) > 0 or instr(1, zorb_user.user_name, ?user?, 1) > 0)"},
    {DB_SQLSERVER,
     " and (charindex(?name?, zorb_record.expense_name) > 0 or charindex(?type?, zorb_expense_type.type_name) > 0 "
     "or charindex(?comment?, zorb_record.comment) > 0 or charindex(?user?, zorb_user.user_name) > 0)"}};
const Tmpl recordsOfType[] = {{DB_ALL, " and zorb_expense_type.type_name = ?type_name?"}};
const Tmpl recordsFromAmount[] = {{DB_ALL, " and abs(zorb_record.expense) >= ?minimum?"}};
const Tmpl recordsToAmount[] = {{DB_ALL, " and abs(zorb_record.expense) <= ?maximum?"}};
const Tmpl recordsInMonths[] = {{DB_ALL, " and zorb_record.statistics_mode = '0'"}};
const Tmpl recordsInYears[] = {{DB_ALL, " and zorb_record.statistics_mode in ('0','1')"}};

// Templates.
const Tmpl selectSameTemplate[] = {
    {DB_ALL,
     "select sn from zorb_record_template where kind = '?kind?' and user_sn = ?user_sn? and type_name = "
     "'?type_name?' and expense_name = '?expense_name?' and expense = ?expense? and comment = '?comment?' and "
     "statistics_mode = '?statistics_mode?' and valid = '1'"}};
const Tmpl insertTemplate[] = {
    {DB_ALL,
     "insert into "
     "zorb_record_template(kind,user_sn,type_name,expense_name,expense,comment,statistics_mode,valid,alter_sn) "
     "values('?kind?', ?user_sn?, '?type_name?', '?expense_name?', ?expense?, '?comment?', "
     "'?statistics_mode?', '1', ?user_sn2?)"}};
const Tmpl deleteTemplate[] = {
    {DB_ALL,
     "update zorb_record_template set valid = '0', alter_time = CMC_GETDATE, recycler_sn = ?recycler_sn?, "
     "alter_sn = ?user_sn? where sn = ?template_sn? and valid = '1' and user_sn = ?user_sn2?"}};
const Tmpl selectTemplates[] = {
    {DB_ALL,
     "select sn,type_name,expense_name,expense,statistics_mode,comment from zorb_record_template where valid = "
     "'1' and user_sn = ?user_sn? and kind = '?kind?' order by sn"}};

// Recycler and the removal of a user's data.
const Tmpl insertRecycler[] = {
    {DB_ALL, "insert into zorb_recycler(info,user_sn,alter_sn) values('?info?', ?user_sn?, ?user_sn2?)"}};
// The row this connection just added: on a server another copy of the program may have
// added a later one meanwhile.
const Tmpl selectNewestRecycler[] = {
    {DB_ALL, "select max(sn) from zorb_recycler"},
    {DB_POSTGRESQL, "select currval(pg_get_serial_sequence('zorb_recycler', 'sn'))"}};
// The entry this connection just booked, inside its transaction (see the recycler's).
const Tmpl selectNewestRecord[] = {
    {DB_ALL, "select max(sn) from zorb_record"},
    {DB_POSTGRESQL, "select currval(pg_get_serial_sequence('zorb_record', 'sn'))"}};
const Tmpl countUserRecords[] = {
    {DB_ALL, "select count(*) from zorb_record where valid = '1' and user_sn = ?user_sn?"}};
const Tmpl deleteUserTemplates[] = {
    {DB_ALL,
     "update zorb_record_template set valid = '0', alter_time = CMC_GETDATE, recycler_sn = ?recycler_sn?, "
     "alter_sn = ?alter_sn? where valid = '1' and user_sn = ?user_sn?"}};
const Tmpl sumUserRecords[] = {
    {DB_ALL, "select sum(expense) from zorb_record where valid = '1' and user_sn = ?user_sn?"}};
const Tmpl deleteUserRecords[] = {
    {DB_ALL,
     "update zorb_record set valid = '0', alter_time = CMC_GETDATE, recycler_sn = ?recycler_sn?, alter_sn = "
     "?alter_sn? where valid = '1' and user_sn = ?user_sn?"}};

// Crosstabs: a grouped scan per period gives each category's sum in it, which is laid out
// in the period's column, and the categories are read once and joined to the sums after.
// Sorting a period's entries by category number costs less than sorting all of them by
// category and a period text made for every entry (ten years of a million entries: 0.50 s
// against 0.82 s in the engine), and no dialect's date functions are needed.
const Tmpl crosstabMonth[] = {
    {DB_ALL,
     "select type_sn,sum(expense) from zorb_record where valid = '1' and statistics_mode = '0' and "
     "record_time >= #?begin_time?# and record_time <= #?end_time?#"}};
const Tmpl crosstabYear[] = {
    {DB_ALL,
     "select type_sn,sum(expense) from zorb_record where valid = '1' and statistics_mode <> '2' and "
     "record_time >= #?begin_time?# and record_time <= #?end_time?#"}};
const Tmpl crosstabUser[] = {{DB_ALL, " and user_sn = ?user_sn?"}};
const Tmpl crosstabTail[] = {{DB_ALL, " group by type_sn"}};
const Tmpl crosstabTypes[] = {{DB_ALL, "select sn,type_name,kind from zorb_expense_type where valid = '1' order by kind,sn"}};
// Each end on its own, so that the engines walk the time index from that end instead of
// scanning every entry for both.
const Tmpl recordSpan[] = {
    {DB_ALL,
     "select (select min(record_time) from zorb_record where valid = '1'),(select max(record_time) from zorb_record "
     "where valid = '1')"}};
const Tmpl userRecordSpan[] = {
    {DB_ALL,
     "select (select min(record_time) from zorb_record where valid = '1' and user_sn = ?user_sn?),(select "
     "max(record_time) from zorb_record where valid = '1' and user_sn = ?user_sn?)"}};

// The default categories of a new database: expenses, then the one income.
const char* const defaultExpenseTypes[] = {"饮食", "娱乐", "交通", "通讯", "社交",
                                           "亲情", "居家", "保健", "学习", "恋爱"};
const char* const defaultIncomeType = "工资";

QString KindText(bool income) { return income ? QStringLiteral("1") : QStringLiteral("0"); }

QString ModeText(int32_t statisticsMode) {
    if (statisticsMode == 0) return QStringLiteral("0");
    if (statisticsMode == 1) return QStringLiteral("1");
    return QStringLiteral("2");
}

int32_t ReadMode(DB_ns::SimpleOutRecords_cl& records) {
    const int32_t mode = records.GetEnum();
    if (mode < 0 || mode > 2) throw SysError(2, __LINE__, QString::number(mode));
    return mode;
}

QString ReadString(DB_ns::SimpleOutRecords_cl& records) {
    QString text;
    records.GetString(text);
    return text;
}

// A sum of 32-bit amounts, which may itself leave 32 bits; no rows sum to 0.
int64_t ReadSum(DB_ns::SimpleOutRecords_cl& records) {
    Ado_ns::Variant_st value;
    records.GetValue(value);
    if (value.type == Ado_ns::VT_NULL) return 0;
    if ((value.type == Ado_ns::VT_DECIMAL && value.scale == 0) || value.type == Ado_ns::VT_I4 ||
        value.type == Ado_ns::VT_I2)
        return value.integer;
    int32_t sum = 0;
    if (!value.ToInt32(sum)) throw SysError(7, __LINE__);
    return sum;
}

// A serial number found for a name.
struct KnownSn_st {
    QString name;
    int32_t sn = 0;
};

// The serial number known for name, or 0.
int32_t Known(const Container_ns::List_tl<KnownSn_st>& known, const QString& name) {
    for (auto id = known.First(); !id.IsEmpty(); id.Next()) {
        if (id.Get().name == name) return id.Get().sn;
    }
    return 0;
}

// One period of a crosstab: its column's caption and the entries' times it takes in.
struct Period_st {
    QString caption;
    Base_ns::DateTime_cl first, last;
};

// Each category's sums in periods as a crosstab, one column per period: a category has a
// row when some entry of it counts in some period (its sum may be 0), kinds then category
// numbers order the rows. monthly: entries counted monthly only; else monthly and yearly.
// Without periods, the categories of the entries within whole have rows without cells.
// No rows give the empty table.
DB_ns::CrossTable_st Crosstab(DB_ns::IDatabase_cl& database, const std::vector<Period_st>& periods,
                              const Period_st& whole, bool monthly, bool allUsers, int32_t user) {
    const int32_t dbType = database.GetType();
    const size_t columns = periods.size();
    std::unordered_map<int32_t, std::vector<int32_t>> sums;  // by category number
    DB_ns::SimpleOutRecords_cl records;
    for (size_t j = 0; j < std::max<size_t>(columns, 1); ++j) {
        const Period_st& period = columns == 0 ? whole : periods[j];
        QString sql = monthly ? MakeSQL(dbType, crosstabMonth, period.first, period.last)
                              : MakeSQL(dbType, crosstabYear, period.first, period.last);
        if (!allUsers) sql += MakeSQL(dbType, crosstabUser, user);
        sql += MakeSQL(dbType, crosstabTail);
        const int32_t count = database.Query(sql, records);
        for (int32_t i = 0; i < count; ++i) {
            const int32_t sn = records.GetInteger();
            std::vector<int32_t>& row = sums[sn];
            row.resize(columns, 0);
            if (columns != 0) row[j] = records.GetInteger();
            records.MoveNext();
        }
    }
    DB_ns::CrossTable_st table;
    if (sums.empty()) return table;
    std::vector<QString> names;
    std::vector<bool> incomes;
    std::vector<int32_t> cells;
    const int32_t count = database.Query(MakeSQL(dbType, crosstabTypes), records);
    for (int32_t i = 0; i < count; ++i) {
        const auto row = sums.find(records.GetInteger());
        if (row != sums.end()) {
            names.emplace_back();
            records.GetString(names.back());
            incomes.push_back(ReadString(records) == KindText(true));
            cells.insert(cells.end(), row->second.begin(), row->second.end());
        }
        records.MoveNext();
    }
    if (names.empty()) return table;  // entries of deleted categories only
    table.columnCaptions.Allocate(int32_t(columns));
    for (size_t j = 0; j < columns; ++j) table.columnCaptions[int32_t(j)] = periods[j].caption;
    table.rowCaptions.Allocate(int32_t(names.size()));
    for (size_t i = 0; i < names.size(); ++i) table.rowCaptions[int32_t(i)] = names[i];
    table.incomeRows.Allocate(int32_t(incomes.size()));
    for (size_t i = 0; i < incomes.size(); ++i) table.incomeRows[int32_t(i)] = incomes[i];
    table.cells.Allocate(int32_t(cells.size()));
    for (size_t i = 0; i < cells.size(); ++i) table.cells[int32_t(i)] = cells[i];
    return table;
}

// A server plans the next reports for the rows now there only once its statistics are
// fresh, which it sees to by itself only some time later: after a large import they are
// refreshed at once, those of the categories and users the entries are joined with too
// (an import makes most categories). The local engine's plans do not depend on them.
const Tmpl refreshStatistics[] = {
    {DB_SQLSERVER, "update statistics zorb_record;update statistics zorb_expense_type;update statistics zorb_user"},
    {DB_POSTGRESQL, "analyze zorb_record,zorb_expense_type,zorb_user"}};
constexpr int32_t kStatisticsAfter = 1000;

// Entries an import writes per statement: few statements to translate and prepare, and
// their eight values each within the 999 the local engine takes in one statement. A
// PostgreSQL book gets such an insert as one insert from eight arrays, however many
// rows: there fewer, longer statements spare the server setting up each one.
constexpr int32_t kInsertBatch = 120;
constexpr int32_t kArrayInsertBatch = 1000;

// The local engine puts each entry into the two time indexes at its place: when a file's
// entries are not in time order and the indexes outgrow the page cache, every entry reads
// and writes pages of them, each decrypted and encrypted again. An import that grows large
// beside the book drops them, and makes them again in one sorted pass before it commits,
// inside its own transaction: a refused import leaves them as they were.
constexpr int32_t kRebuildAfter = 20000;
const Tmpl selectLastRecordSn[] = {{DB_LOCAL, "select coalesce(max(sn),0) from zorb_record"}};
const Tmpl selectTimeIndexes[] = {
    {DB_LOCAL, "select name from sqlite_master where type = 'index' and name in ('zorb_record_time','zorb_record_sums')"}};
const Tmpl dropTimeIndex[] = {{DB_LOCAL, "drop index zorb_record_time"}};
const Tmpl dropSumsIndex[] = {{DB_LOCAL, "drop index zorb_record_sums"}};
const Tmpl releaseCache[] = {{DB_LOCAL, "pragma shrink_memory"}};

// Drops the time indexes the book has; returns their names.
QStringList DropTimeIndexes(DB_ns::IDatabase_cl& database) {
    QStringList names;
    DB_ns::SimpleOutRecords_cl records;
    const int32_t count = database.Query(MakeSQL(DB_LOCAL, selectTimeIndexes), records);
    for (int32_t i = 0; i < count; ++i) {
        names << ReadString(records);
        records.MoveNext();
    }
    for (const QString& name : names)
        database.ExecuteNoRecords(MakeSQL(DB_LOCAL, name == u"zorb_record_time" ? dropTimeIndex : dropSumsIndex));
    return names;
}

void MakeTimeIndexes(DB_ns::IDatabase_cl& database, const QStringList& names) {
    for (const QString& name : names) {
        database.ExecuteNoRecords(
            MakeSQL(DB_LOCAL, name == u"zorb_record_time" ? createRecordTimeIndex : createRecordSumsIndex));
    }
}

// The insert of rows entries, eight values each, in the order AppendRecordValues gives.
QString InsertRecordsText(int32_t rows) {
    QString sql = QStringLiteral(
        "insert into zorb_record(user_sn,type_sn,expense_name,expense,comment,statistics_mode,valid,record_time,"
        "alter_sn) values");
    for (int32_t i = 0; i < rows; ++i) sql += i == 0 ? QStringLiteral("(?,?,?,?,?,?,'1',?,?)") : QStringLiteral(",(?,?,?,?,?,?,'1',?,?)");
    return sql;
}

// The values of one entry as insertRecord writes them: the time as the same text.
void AppendRecordValues(Ado_ns::VariantList_tl& values, int32_t owner, int32_t typeSn, const RecordInfo_st& record,
                        int32_t alterSn) {
    values.push_back(Ado_ns::Variant_st::Integer(owner));
    values.push_back(Ado_ns::Variant_st::Integer(typeSn));
    values.push_back(Ado_ns::Variant_st::Text(record.expenseName));
    values.push_back(Ado_ns::Variant_st::Integer(record.expense));
    values.push_back(Ado_ns::Variant_st::Text(record.comment));
    values.push_back(Ado_ns::Variant_st::Text(ModeText(record.statisticsMode)));
    values.push_back(Ado_ns::Variant_st::Text(record.recordTime.Format()));
    values.push_back(Ado_ns::Variant_st::Integer(alterSn));
}

// Replaces text by the copy already in seen, or adds it there: repeated texts then share
// one buffer. New texts stop being added once seen is large (comments rarely repeat).
void ShareText(QSet<QString>& seen, QString& text) {
    if (text.isEmpty()) return;
    const auto found = seen.constFind(text);
    if (found != seen.cend()) {
        text = *found;
    } else if (seen.size() < 4096) {
        seen.insert(text);
    }
}

// The checks of an entry that need no database.
void CheckRecord(int32_t expense, const Base_ns::DateTime_cl& recordTime) {
    if (expense == 0) throw UserError(102, __LINE__);
    // An invalid time would be written as an empty text: refuse it like a missing one.
    if (!recordTime.IsValid()) throw UserError(103, __LINE__);
}

// One row of the entry list's statement (its columns in order) into row.
void ReadRow(DB_ns::SimpleOutRecords_cl& records, RecordRow_st& row) {
    row.sn = records.GetInteger();
    row.recordTime = records.GetDateTime();
    records.GetString(row.typeName);
    records.GetString(row.expenseName);
    row.expense = records.GetInteger();
    records.GetString(row.userName);
    row.statisticsMode = ReadMode(records);
    records.GetString(row.comment);
    row.refund = row.expense > 0 && ReadString(records) == KindText(false);
}

}  // namespace

RecordManage_cl::RecordManage_cl(UserManage_cl& userManage) : userManage(userManage) {}

bool RecordManage_cl::HasType(const QString& typeName, bool income) {
    DB_ns::IDatabase_cl& database = userManage.GetDatabase();
    DB_ns::SimpleOutRecords_cl records;
    return database.Query(MakeSQL(database.GetType(), selectType, typeName, KindText(income)), records) != 0;
}

int32_t RecordManage_cl::FindOrAddType(const QString& typeName, bool income, int32_t alterSn) {
    DB_ns::IDatabase_cl& database = userManage.GetDatabase();
    const int32_t dbType = database.GetType();
    const QString kind = KindText(income);
    const QString select = MakeSQL(dbType, selectType, typeName, kind);
    DB_ns::SimpleOutRecords_cl records;
    if (database.Query(select, records) != 0) return records.GetInteger();
    DB_ns::BeginTrans_cl transaction(&database);
    database.ExecuteNoRecords(MakeSQL(dbType, lockTypes));
    if (database.Query(select, records) == 0) {  // nobody added it while we waited
        database.ExecuteNoRecords(MakeSQL(dbType, insertType, typeName, kind, alterSn));
        if (database.Query(select, records) == 0) throw SysError(1, __LINE__, typeName);
    }
    const int32_t typeSn = records.GetInteger();
    transaction.Commit();
    return typeSn;
}

void RecordManage_cl::CreateTables() {
    DB_ns::IDatabase_cl& database = userManage.GetDatabase();
    const int32_t dbType = database.GetType();
    DB_ns::BeginTrans_cl transaction(&database);
    database.ExecuteNoRecords(MakeSQL(dbType, createRecordTable));
    database.ExecuteNoRecords(MakeSQL(dbType, createTypeTable));
    database.ExecuteNoRecords(MakeSQL(dbType, createTemplateTable));
    database.ExecuteNoRecords(MakeSQL(dbType, createRecyclerTable));
    database.ExecuteNoRecords(MakeSQL(dbType, createRecordTimeIndex));
    database.ExecuteNoRecords(MakeSQL(dbType, createRecordSumsIndex));
    TradeLog_cl(database).CreateTable();
    EntryIdentity_cl(database).CreateTable();
    for (const char* name : defaultExpenseTypes) FindOrAddType(QString::fromUtf8(name), false, 0);
    FindOrAddType(QString::fromUtf8(defaultIncomeType), true, 0);
    transaction.Commit();
}

void RecordManage_cl::AddMissingIndexes() {
    DB_ns::IDatabase_cl& database = userManage.GetDatabase();
    const int32_t dbType = database.GetType();
    if (dbType != DB_LOCAL && dbType != DB_POSTGRESQL) return;
    try {
        if (dbType == DB_LOCAL) {
            database.ExecuteNoRecords(MakeSQL(dbType, addRecordSumsIndex));
            return;
        }
        int32_t found = 0;
        database.QueryCount(MakeSQL(dbType, countRecordSumsIndex), found);
        if (found != 0) return;
        DB_ns::BeginTrans_cl transaction(&database);
        database.ExecuteNoRecords(MakeSQL(dbType, lockRecordsForIndex));
        database.ExecuteNoRecords(MakeSQL(dbType, addRecordSumsIndex));
        transaction.Commit();
    } catch (const Base_ns::Error_cl& error) {
        // A book that cannot be changed now (a read-only file, another copy writing long,
        // a server login that may not make indexes) is read as before, only slower: the
        // log says why, the user is not troubled with it.
        (void)SysError(10, __LINE__, error.Message() + QStringLiteral("\r\n") + error.Remark()).AppendToLog();
    }
}

int32_t RecordManage_cl::GetTypeSn(const QString& typeName, bool income) {
    QString name = typeName;
    if (name.isEmpty()) name = income ? QStringLiteral("收入") : QStringLiteral("开销");
    return FindOrAddType(name, income, userManage.GetCurrentUser());
}

int32_t RecordManage_cl::AddRecord(const QString& typeName, const QString& expenseName, int32_t expense,
                                   const QString& comment, const Base_ns::DateTime_cl& recordTime,
                                   int32_t statisticsMode, int32_t ownerSn) {
    CheckRecord(expense, recordTime);
    const int32_t currentSn = userManage.GetCurrentUser();
    // Booking for someone else moves his balance: only the super administrator may.
    if (ownerSn != 0 && ownerSn != currentSn && !userManage.CanManageUsers()) throw UserError(109, __LINE__);
    DB_ns::BeginTrans_cl transaction(&userManage.GetDatabase());
    BookRecord(GetTypeSn(typeName, expense > 0), expenseName, expense, comment, recordTime, statisticsMode,
               ownerSn != 0 ? ownerSn : currentSn);
    DB_ns::IDatabase_cl& database = userManage.GetDatabase();
    DB_ns::SimpleOutRecords_cl records;
    if (database.Query(MakeSQL(database.GetType(), selectNewestRecord), records) != 1) throw SysError(9, __LINE__);
    const int32_t recordSn = records.GetInteger();
    transaction.Commit();
    return recordSn;
}

void RecordManage_cl::BookRecord(int32_t typeSn, const QString& expenseName, int32_t expense, const QString& comment,
                                 const Base_ns::DateTime_cl& recordTime, int32_t statisticsMode, int32_t ownerSn) {
    DB_ns::IDatabase_cl& database = userManage.GetDatabase();
    database.ExecuteNoRecords(MakeSQL(database.GetType(), insertRecord, ownerSn, typeSn, expenseName, expense, comment,
                                      ModeText(statisticsMode), recordTime, userManage.GetCurrentUser()));
    userManage.AddToAccounts(expense, ownerSn);
}

void RecordManage_cl::AlterRecord(int32_t recordSn, const QString& typeName, const QString& expenseName,
                                  int32_t expense, const QString& comment, const Base_ns::DateTime_cl& recordTime,
                                  int32_t statisticsMode) {
    CheckRecord(expense, recordTime);
    DB_ns::IDatabase_cl& database = userManage.GetDatabase();
    const int32_t dbType = database.GetType();
    DB_ns::SimpleOutRecords_cl records;
    if (database.Query(MakeSQL(dbType, selectOwnerAndAmount, recordSn), records) == 0)
        throw UserError(105, __LINE__);
    const int32_t owner = records.GetInteger();
    const int32_t oldExpense = records.GetInteger();
    // A refund stays money back in an expense category.
    const bool income = ReadString(records) == KindText(true);
    const int32_t currentSn = userManage.GetCurrentUser();
    if (owner != currentSn && !userManage.CanAlterOthers()) throw UserError(107, __LINE__);
    if ((oldExpense > 0) != (expense > 0)) throw SysError(8, __LINE__);

    DB_ns::BeginTrans_cl transaction(&database);
    const int32_t typeSn = GetTypeSn(typeName, income);
    // Deleted from another workstation since it was read: its amount must not move the balances.
    if (database.ExecuteNoRecords(MakeSQL(dbType, updateRecord, typeSn, expenseName, expense, comment,
                                          ModeText(statisticsMode), recordTime, currentSn, recordSn)) == 0)
        throw UserError(105, __LINE__);
    userManage.AddToAccounts(int64_t(expense) - oldExpense, owner);
    transaction.Commit();
}

RecordDetail_st RecordManage_cl::GetRecord(int32_t recordSn) {
    DB_ns::IDatabase_cl& database = userManage.GetDatabase();
    DB_ns::SimpleOutRecords_cl records;
    if (database.Query(MakeSQL(database.GetType(), selectRecord, recordSn), records) == 0)
        throw UserError(105, __LINE__);
    RecordDetail_st detail;
    detail.recordTime = records.GetDateTime();
    detail.typeName = ReadString(records);
    detail.expenseName = ReadString(records);
    detail.expense = records.GetInteger();
    detail.statisticsMode = ReadMode(records);
    detail.comment = ReadString(records);
    ReadString(records);  // the owner's name is not handed out
    const int32_t owner = records.GetInteger();
    detail.refund = detail.expense > 0 && ReadString(records) == KindText(false);
    const int32_t currentSn = userManage.GetCurrentUser();
    // Seeing another user's entry needs the same right as listing it.
    if (owner != currentSn && !userManage.CanViewOthers()) throw UserError(101, __LINE__);
    detail.mayAlter = owner == currentSn || userManage.CanAlterOthers();
    return detail;
}

void RecordManage_cl::CheckDeletable(const Container_ns::List_tl<int32_t>& recordSns) {
    DB_ns::IDatabase_cl& database = userManage.GetDatabase();
    const int32_t dbType = database.GetType();
    const int32_t currentSn = userManage.GetCurrentUser();
    DB_ns::SimpleOutRecords_cl records;
    for (auto id = recordSns.First(); !id.IsEmpty(); id.Next()) {
        if (database.Query(MakeSQL(dbType, selectDeletable, id.Get(), currentSn, currentSn, currentSn), records) == 0)
            throw UserError(104, __LINE__);
    }
}

void RecordManage_cl::DeleteRecords(const Container_ns::List_tl<int32_t>& recordSns, const QString& info) {
    DB_ns::IDatabase_cl& database = userManage.GetDatabase();
    const int32_t dbType = database.GetType();
    const int32_t currentSn = userManage.GetCurrentUser();
    DB_ns::BeginTrans_cl transaction(&database);
    CheckDeletable(recordSns);
    DB_ns::SimpleOutRecords_cl records;
    const int32_t recyclerSn = NewRecycler(info);
    for (auto id = recordSns.First(); !id.IsEmpty(); id.Next()) {
        const int32_t recordSn = id.Get();
        if (database.Query(MakeSQL(dbType, selectOwnerAndAmount, recordSn), records) != 1)
            throw UserError(105, __LINE__);
        const int32_t owner = records.GetInteger();
        const int32_t expense = records.GetInteger();
        userManage.AddToAccounts(-int64_t(expense), owner);
        if (database.ExecuteNoRecords(MakeSQL(dbType, deleteRecord, recyclerSn, currentSn, recordSn)) == 0)
            throw SysError(6, __LINE__);
    }
    transaction.Commit();
}

void RecordManage_cl::ImportRecords(const Container_ns::List_tl<RecordInfo_st>& records) {
    auto id = records.First();
    ImportRecords([&id](RecordInfo_st& record) {
        if (id.IsEmpty()) return false;
        record = id.Get();
        id.Next();
        return true;
    });
}

void RecordManage_cl::ImportRecords(const std::function<bool(RecordInfo_st&)>& next) {
    // One transaction makes the import all or nothing; the elements need none of their own.
    DB_ns::IDatabase_cl& database = userManage.GetDatabase();
    DB_ns::BeginTrans_cl transaction(&database);
    const bool canManageUsers = userManage.CanManageUsers();
    const int32_t currentSn = userManage.GetCurrentUser();
    // An import names few users and categories many times: look each up once.
    Container_ns::List_tl<KnownSn_st> owners, types[2];  // types: of expenses, of income
    // The balances move as entry after entry would move them, written once at the end.
    AccountMoves_cl moves(userManage);
    DB_ns::BoundSQL_st batch;
    const int32_t perInsert = database.GetType() == DB_POSTGRESQL ? kArrayInsertBatch : kInsertBatch;
    int32_t batched = 0, imported = 0;
    const bool local = database.GetType() == DB_LOCAL;
    int32_t booked = 0;  // entries the book has, or had: the last serial number
    if (local) {
        DB_ns::SimpleOutRecords_cl records;
        if (database.Query(MakeSQL(DB_LOCAL, selectLastRecordSn), records) != 0) booked = records.GetInteger();
    }
    QStringList dropped;
    bool rebuilding = false;
    const QString fullInsert = InsertRecordsText(perInsert);
    const auto flush = [&] {
        if (batched == 0) return;
        batch.sql = batched == perInsert ? fullInsert : InsertRecordsText(batched);
        DB_ns::SimpleOutRecords_cl none;
        database.Query(batch, none);
        batch.parameters.clear();
        batched = 0;
        if (local && !rebuilding && imported >= kRebuildAfter && imported >= booked / 4) {
            dropped = DropTimeIndexes(database);
            rebuilding = true;
        }
    };
    RecordInfo_st record;
    while (next(record)) {
        int32_t owner = 0, typeSn = 0;
        try {
            owner = Known(owners, record.userName);
            if (owner == 0) {
                owner = userManage.FindUser(record.userName);
                if (owner == 0) throw UserError(108, __LINE__, record.userName);
                owners.Append({record.userName, owner});
            }
            if (owner != currentSn && !canManageUsers) throw UserError(109, __LINE__, record.userName);
            CheckRecord(record.expense, record.recordTime);
            const bool income = record.expense > 0 && !record.refund;
            typeSn = Known(types[income], record.typeName);
            if (typeSn == 0) {
                typeSn = GetTypeSn(record.typeName, income);
                types[income].Append({record.typeName, typeSn});
            }
            moves.Add(record.expense, owner);
        } catch (const Base_ns::UserError_cl& error) {
            // A refusal (an unknown owner, a balance beyond its limit) names the line of
            // the file the entry came from, after what it names itself.
            if (record.line > 0) throw error.At(IO_ns::CSVStream_cl::LineRemark(record.line));
            throw;
        }
        AppendRecordValues(batch.parameters, owner, typeSn, record, currentSn);
        ++imported;
        if (++batched == perInsert) flush();
    }
    flush();
    MakeTimeIndexes(database, dropped);
    moves.Write();
    transaction.Commit();
    const int32_t dbType = database.GetType();
    if (imported >= kStatisticsAfter && (dbType == DB_SQLSERVER || dbType == DB_POSTGRESQL)) {
        try {
            (void)database.ExecuteNoRecords(MakeSQL(dbType, refreshStatistics));
        } catch (const Base_ns::Error_cl&) {
            // The entries are booked: stale statistics only make reports slower until the
            // server refreshes them itself, which is no reason to say the import failed.
        }
    }
}

Base_ns::Trusteeship_tl<QString> RecordManage_cl::GetTypeNames(bool income) {
    DB_ns::IDatabase_cl& database = userManage.GetDatabase();
    DB_ns::SimpleOutRecords_cl records;
    const int32_t count = database.Query(MakeSQL(database.GetType(), selectTypeNames, KindText(income)), records);
    Base_ns::Trusteeship_tl<QString> names;
    names.Allocate(count);
    for (int32_t i = 0; i < count; ++i) {
        records.GetString(names[i]);
        records.MoveNext();
    }
    return names;
}

Base_ns::Trusteeship_tl<QString> RecordManage_cl::GetTypeNamesByUse(bool income, const Base_ns::DateTime_cl& since) {
    DB_ns::IDatabase_cl& database = userManage.GetDatabase();
    DB_ns::SimpleOutRecords_cl records;
    const int32_t used = database.Query(
        MakeSQL(database.GetType(), selectTypeUse, KindText(income), userManage.GetCurrentUser(), since), records);
    QStringList names;
    for (int32_t i = 0; i < used; ++i) {
        names.append(ReadString(records));
        records.MoveNext();
    }
    const Base_ns::Trusteeship_tl<QString> all = GetTypeNames(income);
    for (int32_t i = 0; i < all.Count(); ++i) {
        if (!names.contains(all[i])) names.append(all[i]);
    }
    Base_ns::Trusteeship_tl<QString> ordered;
    ordered.Allocate(int32_t(names.size()));
    for (int32_t i = 0; i < int32_t(names.size()); ++i) ordered[i] = names[i];
    return ordered;
}

Base_ns::Trusteeship_tl<QString> RecordManage_cl::GetFilterTypeNames(bool income) {
    if (userManage.CanViewOthers()) return GetTypeNames(income);
    DB_ns::IDatabase_cl& database = userManage.GetDatabase();
    DB_ns::SimpleOutRecords_cl records;
    const int32_t userSn = userManage.GetCurrentUser();
    const int32_t count =
        database.Query(MakeSQL(database.GetType(), selectOwnTypeNames, KindText(income), userSn, userSn), records);
    Base_ns::Trusteeship_tl<QString> names;
    names.Allocate(count);
    for (int32_t i = 0; i < count; ++i) {
        records.GetString(names[i]);
        records.MoveNext();
    }
    return names;
}

int32_t RecordManage_cl::CheckViewUser(bool allUsers, const QString& userName) {
    if (allUsers) {
        if (!userManage.CanViewOthers()) throw UserError(101, __LINE__);
        return 0;
    }
    if (userName.isEmpty()) return 0;
    const int32_t userSn = userManage.FindUser(userName);
    if (userSn != userManage.GetCurrentUser() && !userManage.CanViewOthers()) throw UserError(101, __LINE__);
    return userSn;
}

int32_t RecordManage_cl::FilterUser(bool allUsers, const QString& userName) {
    const int32_t filter = CheckViewUser(allUsers, userName);
    if (!allUsers && userName.isEmpty()) return userManage.GetCurrentUser();
    return filter;
}

template <std::size_t Head, std::size_t Tail>
DB_ns::BoundSQL_st RecordManage_cl::FilteredStatement(const DB_ns::SQLTemplate_st (&head)[Head],
                                                     const DB_ns::SQLTemplate_st (&tail)[Tail], bool allUsers,
                                                     const QString& userName, const Base_ns::DateTime_cl& begin,
                                                     const Base_ns::DateTime_cl& end, const RecordFilter_st& filter) {
    const int32_t user = FilterUser(allUsers, userName);
    const int32_t dbType = userManage.GetDatabase().GetType();
    DB_ns::BoundSQL_st statement = MakeStatement(dbType, head, begin, end);
    if (!allUsers) statement.Append(MakeStatement(dbType, recordsOfUser, user));
    if (!filter.text.isEmpty()) {
        const Ado_ns::Variant_st text = Ado_ns::Variant_st::Text(filter.text);
        statement.Append(MakeStatement(dbType, recordsWithText, text, text, text, text));
    }
    if (!filter.typeName.isEmpty()) {
        statement.Append(MakeStatement(dbType, recordsOfType, Ado_ns::Variant_st::Text(filter.typeName)));
    }
    if (filter.minimum) {
        statement.Append(MakeStatement(dbType, recordsFromAmount, Ado_ns::Variant_st::Integer(*filter.minimum)));
    }
    if (filter.maximum) {
        statement.Append(MakeStatement(dbType, recordsToAmount, Ado_ns::Variant_st::Integer(*filter.maximum)));
    }
    if (filter.counted == RecordFilter_st::Counted_en::InMonths) statement.Append(MakeStatement(dbType, recordsInMonths));
    if (filter.counted == RecordFilter_st::Counted_en::InYears) statement.Append(MakeStatement(dbType, recordsInYears));
    statement.Append(MakeStatement(dbType, tail));
    return statement;
}

Base_ns::Trusteeship_tl<RecordRow_st> RecordManage_cl::GetRecords(bool allUsers, const QString& userName,
                                                                  const Base_ns::DateTime_cl& begin,
                                                                  const Base_ns::DateTime_cl& end,
                                                                  const RecordFilter_st& filter) {
    const DB_ns::BoundSQL_st statement =
        FilteredStatement(recordsHead, recordsTail, allUsers, userName, begin, end, filter);
    DB_ns::SimpleOutRecords_cl records;
    const int32_t count = userManage.GetDatabase().Query(statement, records);
    Base_ns::Trusteeship_tl<RecordRow_st> rows;
    rows.Allocate(count);
    // Categories, names, owners and comments repeat: a long list holds each text once.
    QSet<QString> texts;
    for (int32_t i = 0; i < count; ++i) {
        RecordRow_st& row = rows[i];
        ReadRow(records, row);
        for (QString* text : {&row.typeName, &row.expenseName, &row.userName, &row.comment}) ShareText(texts, *text);
        records.MoveNext();
    }
    return rows;
}

RecordList_cl RecordManage_cl::GetRecordList(bool allUsers, const QString& userName, const Base_ns::DateTime_cl& begin,
                                             const Base_ns::DateTime_cl& end, const RecordFilter_st& filter,
                                             int32_t piece) {
    RecordList_cl list;
    EachRecord(allUsers, userName, begin, end, filter, [&list](const RecordRow_st& row) { list.Append(row); }, piece);
    list.Finish();
    return list;
}

int32_t RecordManage_cl::EachRecord(bool allUsers, const QString& userName, const Base_ns::DateTime_cl& begin,
                                    const Base_ns::DateTime_cl& end, const RecordFilter_st& filter,
                                    const std::function<void(const RecordRow_st&)>& take, int32_t piece) {
    if (piece < 1) throw SysError(11, __LINE__, QString::number(piece));
    // Read in pieces, newest first, each from the second where the last one stopped: the
    // engine hands a whole result over at once, at many times what the list keeps of it.
    int32_t taken = 0;
    DB_ns::IDatabase_cl& database = userManage.GetDatabase();
    const bool local = database.GetType() == DB_LOCAL;
    Base_ns::DateTime_cl until = end;
    QSet<int32_t> again;  // the last piece's rows of its final second, which the next one reads again
    for (int32_t limit = piece;;) {
        const QByteArray top = "select top " + QByteArray::number(limit) + " " RECORDS_COLUMNS;
        const QByteArray bounded = RECORDS_ORDER " limit " + QByteArray::number(limit);
        const Tmpl head[] = {{DB_LOCAL, "select " RECORDS_COLUMNS}, {DB_SQLSERVER, top.constData()}};
        const Tmpl tail[] = {{DB_LOCAL, bounded.constData()}, {DB_SQLSERVER, RECORDS_ORDER}};
        DB_ns::SimpleOutRecords_cl records;
        const int32_t count = database.Query(FilteredStatement(head, tail, allUsers, userName, begin, until, filter), records);
        QSet<int32_t> last;
        RecordRow_st row;
        for (int32_t i = 0; i < count; ++i) {
            ReadRow(records, row);
            if (!(row.recordTime == until)) last.clear();
            until = row.recordTime;
            last.insert(row.sn);
            if (!again.contains(row.sn)) {
                take(row);
                ++taken;
            }
            records.MoveNext();
        }
        // A long read passes page after page of its own stretch of time through the
        // engine's cache, which no later piece or statement wants: they are given back
        // after each piece rather than held, tens of megabytes, beside the growing list.
        if (local && taken >= piece) database.ExecuteNoRecords(MakeSQL(DB_LOCAL, releaseCache));
        if (count < limit) break;
        // A piece of one second only would be read again whole: take more at once.
        if (last.size() == count) limit *= 2;
        again = std::move(last);
    }
    return taken;
}

Base_ns::Trusteeship_tl<TypeSum_st> RecordManage_cl::GetTypeSums(bool allUsers, const QString& userName,
                                                                const Base_ns::DateTime_cl& begin,
                                                                const Base_ns::DateTime_cl& end,
                                                                const RecordFilter_st& filter) {
    const DB_ns::BoundSQL_st statement =
        FilteredStatement(typeSumsHead, typeSumsTail, allUsers, userName, begin, end, filter);
    DB_ns::SimpleOutRecords_cl records;
    const int32_t count = userManage.GetDatabase().Query(statement, records);
    Base_ns::Trusteeship_tl<TypeSum_st> sums;
    sums.Allocate(count);
    for (int32_t i = 0; i < count; ++i) {
        TypeSum_st& sum = sums[i];
        sum.sn = records.GetInteger();
        records.GetString(sum.typeName);
        sum.income = ReadString(records) == KindText(true);
        sum.sum = records.GetInteger();
        records.MoveNext();
    }
    return sums;
}

SumTotals_st RecordManage_cl::Totals(const Base_ns::Trusteeship_tl<TypeSum_st>& sums) {
    SumTotals_st totals;
    for (int32_t i = 0; i < sums.Count(); ++i) {
        (sums[i].income ? totals.income : totals.expense) += sums[i].sum;
        (sums[i].income ? totals.anyIncome : totals.anyExpense) = true;
    }
    return totals;
}

DB_ns::CrossTable_st RecordManage_cl::GetMonthCrosstab(bool allUsers, const QString& userName,
                                                     const Base_ns::DateTime_cl& begin,
                                                     const Base_ns::DateTime_cl& end) {
    const int32_t filter = FilterUser(allUsers, userName);
    std::vector<Period_st> months;
    const Base_ns::DateTimeSpan_cl oneSecond = Base_ns::DateTimeSpan_cl::FromParts(0, 0, 0, 1);
    for (Base_ns::DateTime_cl month = begin; end.IsLaterThan(month); month = month.EndOfMonth() + oneSecond) {
        const Base_ns::DateTime_cl last = month.EndOfMonth();
        months.push_back({QString::asprintf("%04d-%02d", month.Year(), month.Month()), month,
                          end.IsLaterThan(last) ? last : end});
    }
    return Crosstab(userManage.GetDatabase(), months, {QString(), begin, end}, true, allUsers, filter);
}

DB_ns::CrossTable_st RecordManage_cl::GetYearCrosstab(bool allUsers, const QString& userName) {
    const int32_t filter = FilterUser(allUsers, userName);
    DB_ns::IDatabase_cl& database = userManage.GetDatabase();
    const int32_t dbType = database.GetType();
    QString sql = allUsers ? MakeSQL(dbType, recordSpan) : MakeSQL(dbType, userRecordSpan, filter, filter);
    DB_ns::SimpleOutRecords_cl records;
    if (database.Query(sql, records) == 0) return DB_ns::CrossTable_st();
    Base_ns::DateTime_cl begin = records.GetDateTime();
    Base_ns::DateTime_cl end = records.GetDateTime();
    if (begin.IsNull()) return DB_ns::CrossTable_st();
    begin.SetTime(0, 0, 0);
    end.SetTime(23, 59, 59);

    std::vector<Period_st> years;
    for (Base_ns::DateTime_cl year = begin; end.IsLaterThan(year);
         year = Base_ns::DateTime_cl::FromParts(year.Year() + 1, 1, 1)) {
        const Base_ns::DateTime_cl last = Base_ns::DateTime_cl::FromParts(year.Year(), 12, 31, 23, 59, 59);
        years.push_back({QString::number(year.Year()), year, end.IsLaterThan(last) ? last : end});
    }
    return Crosstab(database, years, {QString(), begin, end}, false, allUsers, filter);
}

void RecordManage_cl::AddTemplate(bool income, const QString& typeName, const QString& expenseName, int32_t expense,
                                  const QString& comment, int32_t statisticsMode) {
    if ((!income && expense > 0) || (income && expense < 0)) throw SysError(4, __LINE__);
    const int32_t currentSn = userManage.GetCurrentUser();
    DB_ns::IDatabase_cl& database = userManage.GetDatabase();
    const int32_t dbType = database.GetType();
    const QString kind = KindText(income);
    const QString mode = ModeText(statisticsMode);
    DB_ns::SimpleOutRecords_cl records;
    if (database.Query(MakeSQL(dbType, selectSameTemplate, kind, currentSn, typeName, expenseName, expense, comment,
                               mode),
                       records) != 0)
        return;
    database.ExecuteNoRecords(
        MakeSQL(dbType, insertTemplate, kind, currentSn, typeName, expenseName, expense, comment, mode, currentSn));
}

void RecordManage_cl::DeleteTemplate(int32_t templateSn) {
    const int32_t currentSn = userManage.GetCurrentUser();
    DB_ns::IDatabase_cl& database = userManage.GetDatabase();
    DB_ns::BeginTrans_cl transaction(&database);
    const int32_t recyclerSn = NewRecycler(QStringLiteral("删除费用模板。"));
    if (database.ExecuteNoRecords(
            MakeSQL(database.GetType(), deleteTemplate, recyclerSn, currentSn, templateSn, currentSn)) == 0)
        throw SysError(3, __LINE__);
    transaction.Commit();
}

Base_ns::Trusteeship_tl<TemplateRow_st> RecordManage_cl::GetTemplates(bool income) {
    const int32_t currentSn = userManage.GetCurrentUser();
    DB_ns::IDatabase_cl& database = userManage.GetDatabase();
    DB_ns::SimpleOutRecords_cl records;
    const int32_t count =
        database.Query(MakeSQL(database.GetType(), selectTemplates, currentSn, KindText(income)), records);
    Base_ns::Trusteeship_tl<TemplateRow_st> rows;
    rows.Allocate(count);
    for (int32_t i = 0; i < count; ++i) {
        TemplateRow_st& row = rows[i];
        row.sn = records.GetInteger();
        records.GetString(row.typeName);
        records.GetString(row.expenseName);
        row.expense = records.GetInteger();
        row.statisticsMode = ReadMode(records);
        records.GetString(row.comment);
        records.MoveNext();
    }
    return rows;
}

int32_t RecordManage_cl::NewRecycler(const QString& info) {
    const int32_t currentSn = userManage.GetCurrentUser();
    DB_ns::IDatabase_cl& database = userManage.GetDatabase();
    const int32_t dbType = database.GetType();
    database.ExecuteNoRecords(MakeSQL(dbType, insertRecycler, info, currentSn, currentSn));
    DB_ns::SimpleOutRecords_cl records;
    if (database.Query(MakeSQL(dbType, selectNewestRecycler), records) == 0) throw SysError(5, __LINE__);
    return records.GetInteger();
}

int32_t RecordManage_cl::CountUserRecords(int32_t userSn) {
    DB_ns::IDatabase_cl& database = userManage.GetDatabase();
    DB_ns::SimpleOutRecords_cl records;
    if (database.Query(MakeSQL(database.GetType(), countUserRecords, userSn), records) == 0)
        throw UserError(106, __LINE__);
    return records.GetInteger();
}

void RecordManage_cl::DeleteUserTemplates(int32_t userSn, int32_t recyclerSn) {
    userManage.CheckManageUsers();
    DB_ns::IDatabase_cl& database = userManage.GetDatabase();
    database.ExecuteNoRecords(
        MakeSQL(database.GetType(), deleteUserTemplates, recyclerSn, userManage.GetCurrentUser(), userSn));
}

void RecordManage_cl::DeleteUserRecords(int32_t userSn, int32_t recyclerSn) {
    userManage.CheckManageUsers();
    DB_ns::IDatabase_cl& database = userManage.GetDatabase();
    const int32_t dbType = database.GetType();
    DB_ns::BeginTrans_cl transaction(&database);
    DB_ns::SimpleOutRecords_cl records;
    database.Query(MakeSQL(dbType, sumUserRecords, userSn), records);
    userManage.AddToAccounts(-ReadSum(records), userSn);
    if (database.ExecuteNoRecords(
            MakeSQL(dbType, deleteUserRecords, recyclerSn, userManage.GetCurrentUser(), userSn)) == 0)
        throw SysError(7, __LINE__);
    transaction.Commit();
}

}  // namespace Vorelle_ns
