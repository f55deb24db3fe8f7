#include "Data/TradeLog.h"

#include "DB/BeginTrans.h"
#include "DB/IDatabase.h"
#include "DB/SimpleOutRecords.h"
#include "Data/Statement.h"
#include "base/Error.h"
#include "platform/ado/Variant.h"

#include <QCryptographicHash>
#include <QSet>
#include <algorithm>

namespace Vorelle_ns {

namespace {

using DB_ns::DB_ALL;
using DB_ns::DB_LOCAL;
using DB_ns::DB_ORACLE;
using DB_ns::DB_POSTGRESQL;
using DB_ns::DB_SQLSERVER;
using Tmpl = DB_ns::SQLTemplate_st;

const Tmpl createTradeTable[] = {
    {DB_LOCAL,
     "create table zorb_trade(sn counter(1,1) primary key,source text(16),trade_id text(255),type_name "
     "text(16),user_sn integer,create_time datetime default date()+time(),amount integer,record_sn integer,import_sn "
     "integer,trade_entry text(2000))"},
    {DB_SQLSERVER,
     "create table zorb_trade(sn integer identity(1,1) primary key,source nvarchar(16),trade_id "
     "nvarchar(255),type_name nvarchar(16),user_sn integer,create_time datetime default getdate(),amount integer,"
     "record_sn integer,import_sn integer,trade_entry nvarchar(2000))"}};
// One row per statement import: the entries it booked are the user's after first_sn up
// to last_sn whose remark is a trade's; undone: '1' once undone.
const Tmpl createImportTable[] = {
    {DB_LOCAL,
     "create table zorb_trade_import(sn counter(1,1) primary key,user_sn integer,source text(16),first_sn integer,"
     "last_sn integer,undone char(1),create_time datetime default date()+time())"},
    {DB_SQLSERVER,
     "create table zorb_trade_import(sn integer identity(1,1) primary key,user_sn integer,source nvarchar(16),"
     "first_sn integer,last_sn integer,undone char(1),create_time datetime default getdate())"}};
const Tmpl createImportIndex[] = {{DB_ALL, "create index zorb_trade_import_sn on zorb_trade(import_sn)"}};
// Two copies importing the same trade at once: the second one's transaction fails here.
const Tmpl createTradeIndex[] = {{DB_ALL, "create unique index zorb_trade_id on zorb_trade(source,trade_id)"}};
// A table of an older copy: ids of 128 characters, no amount. Widening a text column
// keeps its rows and index on every server.
const Tmpl probeColumn[] = {{DB_ALL, "select count(*) from zorb_trade where sn = 0 and ?column? is null"}};
const Tmpl addColumn[] = {{DB_ALL, "alter table zorb_trade add ?column? integer"}};
const Tmpl addEntryColumn[] = {{DB_LOCAL, "alter table zorb_trade add trade_entry text(2000)"},
                               {DB_SQLSERVER, "alter table zorb_trade add trade_entry nvarchar(2000)"}};
const Tmpl selectLink[] = {
    {DB_ALL, "select sn,source,trade_id,type_name,trade_entry from zorb_trade where record_sn = ?record_sn?"}};
const Tmpl updateUnlink[] = {{DB_ALL, "update zorb_trade set record_sn = 0 where sn = ?sn?"}};
const Tmpl widenTradeId[] = {{DB_SQLSERVER, "alter table zorb_trade alter column trade_id nvarchar(255)"},
                             {DB_POSTGRESQL, "alter table zorb_trade alter column trade_id type varchar(255)"}};
const Tmpl lockTrades[] = {
    {DB_LOCAL, "update zorb_trade set user_sn = user_sn where sn = 0"},
    {DB_ORACLE, "lock table zorb_trade in exclusive mode"},
    {DB_SQLSERVER, "select count(*) from zorb_trade with (tablockx, holdlock)"},
    {DB_POSTGRESQL, "lock table zorb_trade in share row exclusive mode"}};
// Both bound: a statement looks up and writes every trade, prepared once.
const QString kSelectTrade = QStringLiteral("select amount from zorb_trade where source = ? and trade_id = ?");
// One look-up by the whole unique key per trade, whatever the server's statistics say
// of the table (a list of ids after "in" is taken for a filter on a table it thinks small).
const QString kSelectTrades = QStringLiteral("select trade_id,amount from zorb_trade where source = ? and trade_id = ?");
const QString kCountTrades = QStringLiteral("select count(*) from zorb_trade where source = ?");
const QString kSelectAllTrades = QStringLiteral("select trade_id,amount from zorb_trade where source = ?");
const QString kInsertTrades =
    QStringLiteral("insert into zorb_trade(source,trade_id,type_name,user_sn,amount,record_sn,import_sn,trade_entry) values");
const QString kTradeValues = QStringLiteral("(?,?,?,?,?,?,?,?)");
constexpr size_t kTradeColumns = 8;
// The entries of a user over a span by the time index, with their categories' kind.
const Tmpl selectSpanEntries[] = {
    {DB_ALL,
     "select zorb_record.sn,zorb_record.record_time,zorb_record.expense,zorb_expense_type.kind,"
     "zorb_expense_type.type_name,zorb_record.expense_name,zorb_record.comment from zorb_record,zorb_expense_type "
     "where zorb_record.record_time >= #?from?# and zorb_record.record_time <= #?to?# and zorb_record.user_sn = "
     "?user_sn? and zorb_record.valid = '1' and zorb_expense_type.sn = zorb_record.type_sn"}};
const Tmpl selectLinked[] = {{DB_ALL, "select record_sn from zorb_trade where user_sn = ?user_sn? and record_sn > 0"}};
const Tmpl selectLastRecord[] = {{DB_ALL, "select max(sn) from zorb_record"}};
const Tmpl insertImport[] = {
    {DB_ALL,
     "insert into zorb_trade_import(user_sn,source,first_sn,last_sn,undone) values(?user_sn?,'?source?',?first?,?first?,'0')"}};
const Tmpl selectNewImport[] = {
    {DB_ALL, "select max(sn) from zorb_trade_import where user_sn = ?user_sn? and first_sn = ?first?"}};
const Tmpl updateImportEnd[] = {{DB_ALL, "update zorb_trade_import set last_sn = ?last? where sn = ?sn?"}};
const Tmpl selectLastImport[] = {
    {DB_ALL,
     "select sn,source,first_sn,last_sn,create_time from zorb_trade_import where user_sn = ?user_sn? and undone = '0' "
     "order by sn desc"}};
const Tmpl selectImportLinks[] = {
    {DB_ALL, "select record_sn from zorb_trade where import_sn = ?import_sn? and record_sn > 0"}};
const Tmpl selectImportEntries[] = {
    {DB_ALL,
     "select sn,comment from zorb_record where sn > ?first? and sn <= ?last? and user_sn = ?user_sn? and valid = '1'"}};
const Tmpl selectSpanOfImport[] = {
    {DB_ALL,
     "select r.sn from zorb_record r, zorb_trade_import i where i.sn = ?import_sn? and r.sn > i.first_sn and "
     "r.sn <= i.last_sn order by r.sn"}};
const Tmpl deleteImportTrades[] = {{DB_ALL, "delete from zorb_trade where import_sn = ?import_sn?"}};
const Tmpl markImportUndone[] = {{DB_ALL, "update zorb_trade_import set undone = '1' where sn = ?sn?"}};
const Tmpl selectOriginalHead[] = {
    {DB_ALL, "select trade_id,type_name from zorb_trade where source = '?source?' and trade_id in ("}};
const Tmpl candidateId[] = {{DB_ALL, "'?trade_id?'"}};
// The entry booked with a trade: its remark begins with the trade's words and id.
const Tmpl selectEntryExpense[] = {
    {DB_LOCAL,
     "select expense from zorb_record where valid = '1' and (comment = '?whole?' or instr(1, comment, '?start?', 1) = 1)"},
    {DB_SQLSERVER,
     "select expense from zorb_record where valid = '1' and (comment = '?whole?' or charindex('?start?', comment) = 1)"}};
// The purchases of a source up to a time whose remark holds one of some goods, latest first.
const Tmpl selectPurchasesHead[] = {
    {DB_LOCAL,
     "select zorb_record.comment,zorb_expense_type.type_name,zorb_record.expense,zorb_record.record_time from "
     "zorb_record,zorb_expense_type where zorb_record.type_sn = zorb_expense_type.sn and zorb_record.valid = '1' and "
     "zorb_record.expense < 0 and zorb_record.record_time <= #?time?# and instr(1, zorb_record.comment, '?start?', 1) = 1 "
     "and ("},
    {DB_SQLSERVER,
     "select zorb_record.comment,zorb_expense_type.type_name,zorb_record.expense,zorb_record.record_time from "
     "zorb_record,zorb_expense_type where zorb_record.type_sn = zorb_expense_type.sn and zorb_record.valid = '1' and "
     "zorb_record.expense < 0 and zorb_record.record_time <= #?time?# and charindex('?start?', zorb_record.comment) = 1 "
     "and ("}};
const Tmpl purchaseGoods[] = {{DB_LOCAL, "instr(1, zorb_record.comment, '?goods?', 1) > 0"},
                              {DB_SQLSERVER, "charindex('?goods?', zorb_record.comment) > 0"}};
const Tmpl purchasesTail[] = {{DB_ALL, ") order by zorb_record.record_time desc"}};
// Goods per scan of the entries: a statement's worth of texts, well within what every engine takes.
constexpr qsizetype kGoodsPerScan = 50;
// Rows per insert: few statements, their values well within what every engine takes.
constexpr int32_t kTradesPerInsert = 100;

// The source and key of a held row, apart from every other.
QString HeldKey(const QString& source, const QString& key) { return source + QChar(0) + key; }

// Original ids are order numbers of a dozen digits and more; shorter beginnings of a
// refund id are never one.
constexpr qsizetype kShortestOriginal = 8;

// Rows of (trade id, amount) into found, as Find tells each amount.
void ReadTrades(DB_ns::SimpleOutRecords_cl& rows, int32_t count, QHash<QString, int64_t>& found) {
    for (int32_t i = 0; i < count; ++i, rows.MoveNext()) {
        QString key;
        Ado_ns::Variant_st value;
        rows.GetString(key);
        rows.GetValue(value);
        int32_t kept = 0;
        found.insert(key, value.ToInt32(kept) ? kept : TradeLog_cl::UnknownAmount);
    }
}

}  // namespace

bool TradeLog_cl::Exists() {
    return database.TableExists(QStringLiteral("zorb_trade")) && database.TableExists(QStringLiteral("zorb_trade_import"));
}

void TradeLog_cl::CreateTable() {
    const int32_t dbType = database.GetType();
    DB_ns::BeginTrans_cl transaction(&database);
    database.ExecuteNoRecords(MakeSQL(dbType, createTradeTable));
    database.ExecuteNoRecords(MakeSQL(dbType, createTradeIndex));
    database.ExecuteNoRecords(MakeSQL(dbType, createImportIndex));
    // Left behind when the trade table was dropped to be made again.
    if (!database.TableExists(QStringLiteral("zorb_trade_import")))
        database.ExecuteNoRecords(MakeSQL(dbType, createImportTable));
    transaction.Commit();
}

bool TradeLog_cl::ExistsAny() { return database.TableExists(QStringLiteral("zorb_trade")); }

bool TradeLog_cl::HasColumn(const char* column) {
    try {
        int32_t count = 0;
        database.QueryCount(MakeSQL(database.GetType(), probeColumn, QString::fromLatin1(column)), count);
        return true;
    } catch (const Base_ns::Error_cl&) {
        return false;
    }
}

bool TradeLog_cl::IsCurrent() {
    return database.TableExists(QStringLiteral("zorb_trade_import")) && HasColumn("amount") && HasColumn("import_sn") &&
           HasColumn("trade_entry");
}

void TradeLog_cl::Widen() {
    const int32_t dbType = database.GetType();
    const bool amount = HasColumn("amount"), links = HasColumn("import_sn"), entries = HasColumn("trade_entry");
    DB_ns::BeginTrans_cl transaction(&database);
    if (!amount) {
        database.ExecuteNoRecords(MakeSQL(dbType, addColumn, QStringLiteral("amount")));
        // The local engine does not hold texts to their declared length.
        if (dbType != DB_LOCAL) database.ExecuteNoRecords(MakeSQL(dbType, widenTradeId));
    }
    if (!links) {
        database.ExecuteNoRecords(MakeSQL(dbType, addColumn, QStringLiteral("record_sn")));
        database.ExecuteNoRecords(MakeSQL(dbType, addColumn, QStringLiteral("import_sn")));
        database.ExecuteNoRecords(MakeSQL(dbType, createImportIndex));
    }
    if (!entries) database.ExecuteNoRecords(MakeSQL(dbType, addEntryColumn));
    if (!database.TableExists(QStringLiteral("zorb_trade_import")))
        database.ExecuteNoRecords(MakeSQL(dbType, createImportTable));
    transaction.Commit();
}

void TradeLog_cl::Prepare() {
    try {
        if (!database.TableExists(QStringLiteral("zorb_trade"))) CreateTable();
        else if (!IsCurrent()) Widen();
    } catch (const Base_ns::Error_cl&) {
        // Another copy made or widened it at the same moment: what matters is that it is done.
        if (!Exists() || !IsCurrent()) throw;
    }
}

QString TradeLog_cl::Key(const QString& tradeId) {
    if (tradeId.size() <= MaxTradeId) return tradeId;
    // Never an order number: no app's ids are this long. Kept apart from every other.
    return QStringLiteral("#sha256:") +
           QString::fromLatin1(QCryptographicHash::hash(tradeId.toUtf8(), QCryptographicHash::Sha256).toHex());
}

bool TradeLog_cl::Find(const QString& source, const QString& tradeId, int64_t& amount) {
    const auto found = held.constFind(HeldKey(source, Key(tradeId)));
    if (found != held.cend()) {
        amount = *found;
        return true;
    }
    DB_ns::BoundSQL_st select{kSelectTrade, {Ado_ns::Variant_st::Text(source), Ado_ns::Variant_st::Text(Key(tradeId))}};
    DB_ns::SimpleOutRecords_cl rows;
    if (database.Query(select, rows) == 0) return false;
    Ado_ns::Variant_st value;
    rows.GetValue(value);
    int32_t kept = 0;
    amount = value.ToInt32(kept) ? kept : UnknownAmount;
    return true;
}

QHash<QString, int64_t> TradeLog_cl::FindMany(const QString& source, const QStringList& tradeIds) {
    QHash<QString, int64_t> found;
    DB_ns::BoundSQL_st select;
    for (const QString& tradeId : tradeIds) {
        const QString key = Key(tradeId);
        const auto kept = held.constFind(HeldKey(source, key));
        if (kept != held.cend()) {
            found.insert(key, *kept);
            continue;
        }
        if (!select.sql.isEmpty()) select.sql += QStringLiteral(" union all ");
        select.sql += kSelectTrades;
        select.parameters.insert(select.parameters.end(), {Ado_ns::Variant_st::Text(source), Ado_ns::Variant_st::Text(key)});
    }
    if (select.sql.isEmpty()) return found;
    // Both engines compare ids exactly (the local one by their bytes, PostgreSQL by a
    // database's collation, which is always deterministic): an id found is one asked.
    DB_ns::SimpleOutRecords_cl rows;
    ReadTrades(rows, database.Query(select, rows), found);
    return found;
}

bool TradeLog_cl::FindAll(const QString& source, int64_t limit, QHash<QString, int64_t>& found) {
    found.clear();
    DB_ns::SimpleOutRecords_cl counted;
    if (database.Query(DB_ns::BoundSQL_st{kCountTrades, {Ado_ns::Variant_st::Text(source)}}, counted) == 0 ||
        counted.GetInteger() > limit)
        return false;
    DB_ns::SimpleOutRecords_cl rows;
    const int32_t count = database.Query(DB_ns::BoundSQL_st{kSelectAllTrades, {Ado_ns::Variant_st::Text(source)}}, rows);
    found.reserve(count);
    ReadTrades(rows, count, found);
    // Those held and not yet written count as well.
    const QString start = HeldKey(source, QString());
    for (auto row = held.cbegin(); row != held.cend(); ++row) {
        if (row.key().startsWith(start)) found.insert(row.key().mid(start.size()), *row);
    }
    return true;
}

QString TradeLog_cl::FindOriginalType(const QString& source, const QString& refundId) {
    if (refundId.size() <= kShortestOriginal || refundId.size() > MaxTradeId) return QString();
    Flush();
    const int32_t dbType = database.GetType();
    // Every beginning is a candidate: one look-up by the unique index in any dialect.
    QString sql = MakeSQL(dbType, selectOriginalHead, source);
    for (qsizetype length = kShortestOriginal; length < refundId.size(); ++length) {
        if (length > kShortestOriginal) sql += u',';
        sql += MakeSQL(dbType, candidateId, refundId.left(length));
    }
    sql += u')';
    DB_ns::SimpleOutRecords_cl rows;
    const int32_t count = database.Query(sql, rows);
    QString best, bestType;
    for (int32_t i = 0; i < count; ++i) {
        QString id, type;
        rows.GetString(id);
        rows.GetString(type);
        if (id.size() > best.size()) {
            best = id;
            bestType = type;
        }
        rows.MoveNext();
    }
    return bestType;
}

bool TradeLog_cl::FindEntryExpense(const QString& remark, int64_t& expense) {
    DB_ns::SimpleOutRecords_cl rows;
    const QString sql = MakeSQL(database.GetType(), selectEntryExpense, remark, remark + u' ');
    if (database.Query(sql, rows) == 0) return false;
    expense = rows.GetInteger();
    return true;
}

QList<BookedPurchase_st> TradeLog_cl::FindPurchases(const QString& start, const QList<SoughtPurchase_st>& sought) {
    QList<BookedPurchase_st> found(sought.size());
    QStringList goods;
    Base_ns::DateTime_cl latest;
    for (const SoughtPurchase_st& one : sought) {
        if (!goods.contains(one.goods)) goods << one.goods;
        if (!latest.IsValid() || latest.IsEarlierThan(one.before)) latest = one.before;
    }
    struct Candidate_st {
        QString remark;
        BookedPurchase_st entry;
        Base_ns::DateTime_cl time;
    };
    QList<Candidate_st> candidates;
    const int32_t dbType = database.GetType();
    for (qsizetype first = 0; first < goods.size(); first += kGoodsPerScan) {
        QString sql = MakeSQL(dbType, selectPurchasesHead, latest, start);
        for (qsizetype i = first; i < std::min(goods.size(), first + kGoodsPerScan); ++i) {
            if (i > first) sql += QStringLiteral(" or ");
            sql += MakeSQL(dbType, purchaseGoods, goods[i]);
        }
        sql += MakeSQL(dbType, purchasesTail);
        DB_ns::SimpleOutRecords_cl rows;
        const int32_t count = database.Query(sql, rows);
        for (int32_t i = 0; i < count; ++i, rows.MoveNext()) {
            Candidate_st candidate;
            rows.GetString(candidate.remark);
            rows.GetString(candidate.entry.typeName);
            candidate.entry.expense = rows.GetInteger();
            candidate.time = rows.GetDateTime();
            candidates.append(candidate);
        }
    }
    std::stable_sort(candidates.begin(), candidates.end(),
                     [](const Candidate_st& a, const Candidate_st& b) { return b.time.IsEarlierThan(a.time); });
    for (qsizetype i = 0; i < sought.size(); ++i) {
        const QString& wanted = sought[i].goods;
        for (const Candidate_st& candidate : std::as_const(candidates)) {
            // The goods end the remark; the trade id stands between.
            if (sought[i].before.IsEarlierThan(candidate.time) || !candidate.remark.endsWith(wanted) ||
                candidate.remark.size() <= start.size() + wanted.size())
                continue;
            found[i] = candidate.entry;
            found[i].tradeId = candidate.remark.mid(start.size(), candidate.remark.size() - start.size() - wanted.size());
            break;
        }
    }
    return found;
}

void TradeLog_cl::Lock() { database.ExecuteNoRecords(MakeSQL(database.GetType(), lockTrades)); }

void TradeLog_cl::Add(const QString& source, const QString& tradeId, const QString& typeName, int32_t userSn,
                      int64_t amount, int32_t recordSn, int32_t importSn, const QString& entry) {
    const QString key = Key(tradeId);
    // Room for a whole insert at once: the values are not moved as the list grows.
    if (pending.parameters.empty()) pending.parameters.reserve(kTradeColumns * kTradesPerInsert);
    pending.parameters.insert(pending.parameters.end(),
                              {Ado_ns::Variant_st::Text(source), Ado_ns::Variant_st::Text(key),
                               Ado_ns::Variant_st::Text(typeName), Ado_ns::Variant_st::Integer(userSn),
                               Ado_ns::Variant_st::Integer(int32_t(amount)), Ado_ns::Variant_st::Integer(recordSn),
                               Ado_ns::Variant_st::Integer(importSn), Ado_ns::Variant_st::Text(entry)});
    held.insert(HeldKey(source, key), amount);
    if (pending.parameters.size() >= kTradeColumns * kTradesPerInsert) Flush();
}

void TradeLog_cl::Flush() {
    if (pending.parameters.empty()) return;
    const qsizetype rows = qsizetype(pending.parameters.size() / kTradeColumns);
    pending.sql = kInsertTrades;
    for (qsizetype i = 0; i < rows; ++i) {
        if (i > 0) pending.sql += u',';
        pending.sql += kTradeValues;
    }
    DB_ns::SimpleOutRecords_cl none;
    // Held no longer, whether written or refused: a refusal spoils the caller's transaction.
    DB_ns::BoundSQL_st written;
    std::swap(written, pending);
    held.clear();
    database.Query(written, none);
}

void TradeLog_cl::Discard() {
    pending = DB_ns::BoundSQL_st();
    held.clear();
}

QString TradeLog_cl::TradeSource(const QString& comment) {
    // "<source> 订单号<id>…": what every statement's entry is booked with.
    const qsizetype space = comment.indexOf(u' ');
    if (space <= 0 || space > 4 || !QStringView(comment).mid(space + 1).startsWith(u"订单号")) return QString();
    return comment.left(space);
}

QList<BookEntry_st> TradeLog_cl::FindOpenEntries(int32_t userSn, const Base_ns::DateTime_cl& from,
                                                     const Base_ns::DateTime_cl& to) {
    const int32_t dbType = database.GetType();
    QSet<int32_t> linked;
    DB_ns::SimpleOutRecords_cl links;
    const int32_t linkCount = database.Query(MakeSQL(dbType, selectLinked, userSn), links);
    for (int32_t i = 0; i < linkCount; ++i, links.MoveNext()) linked.insert(links.GetInteger());
    QList<BookEntry_st> found;
    DB_ns::SimpleOutRecords_cl rows;
    const int32_t count = database.Query(MakeSQL(dbType, selectSpanEntries, from, to, userSn), rows);
    for (int32_t i = 0; i < count; ++i, rows.MoveNext()) {
        BookEntry_st entry;
        entry.sn = rows.GetInteger();
        entry.time = rows.GetDateTime();
        entry.expense = rows.GetInteger();
        QString kind;
        rows.GetString(kind);
        entry.income = kind == u"1";
        rows.GetString(entry.typeName);
        rows.GetString(entry.name);
        rows.GetString(entry.comment);
        if (linked.contains(entry.sn)) continue;
        entry.source = TradeSource(entry.comment);
        found.append(std::move(entry));
    }
    return found;
}

namespace {

int32_t LastRecordSn(DB_ns::IDatabase_cl& database) {
    DB_ns::SimpleOutRecords_cl rows;
    if (database.Query(MakeSQL(database.GetType(), selectLastRecord), rows) == 0) return 0;
    Ado_ns::Variant_st value;
    rows.GetValue(value);
    int32_t sn = 0;
    return value.ToInt32(sn) ? sn : 0;
}

// The serial numbers a query of one column reads.
QList<int32_t> Serials(DB_ns::IDatabase_cl& database, const QString& sql) {
    QList<int32_t> sns;
    DB_ns::SimpleOutRecords_cl rows;
    const int32_t count = database.Query(sql, rows);
    for (int32_t i = 0; i < count; ++i, rows.MoveNext()) sns.append(rows.GetInteger());
    return sns;
}

}  // namespace

int32_t TradeLog_cl::BeginImport(int32_t userSn, const QString& source) {
    const int32_t dbType = database.GetType();
    const int32_t first = LastRecordSn(database);
    database.ExecuteNoRecords(MakeSQL(dbType, insertImport, userSn, source, first, first));
    int32_t sn = 0;
    database.QueryCount(MakeSQL(dbType, selectNewImport, userSn, first), sn);
    return sn;
}

void TradeLog_cl::EndImport(int32_t importSn) {
    database.ExecuteNoRecords(MakeSQL(database.GetType(), updateImportEnd, LastRecordSn(database), importSn));
}

bool TradeLog_cl::LastImport(int32_t userSn, TradeImport_st& found) {
    DB_ns::SimpleOutRecords_cl rows;
    if (database.Query(MakeSQL(database.GetType(), selectLastImport, userSn), rows) == 0) return false;
    found.sn = rows.GetInteger();
    rows.GetString(found.source);
    found.firstSn = rows.GetInteger();
    found.lastSn = rows.GetInteger();
    found.time = rows.GetDateTime();
    return true;
}

QList<int32_t> TradeLog_cl::BookedEntries(const TradeImport_st& import, int32_t userSn) {
    QList<int32_t> sns;
    DB_ns::SimpleOutRecords_cl rows;
    const int32_t count =
        database.Query(MakeSQL(database.GetType(), selectImportEntries, import.firstSn, import.lastSn, userSn), rows);
    // Another copy may have booked entries of the user meanwhile: only the import's trades count.
    for (int32_t i = 0; i < count; ++i, rows.MoveNext()) {
        const int32_t sn = rows.GetInteger();
        QString comment;
        rows.GetString(comment);
        if (TradeSource(comment) == import.source) sns.append(sn);
    }
    return sns;
}

QList<int32_t> TradeLog_cl::ImportedEntries(int32_t importSn) {
    return Serials(database, MakeSQL(database.GetType(), selectSpanOfImport, importSn));
}

QList<int32_t> TradeLog_cl::LinkedEntries(int32_t importSn) {
    return Serials(database, MakeSQL(database.GetType(), selectImportLinks, importSn));
}

bool TradeLog_cl::FindLink(int32_t recordSn, TradeLink_st& found) {
    DB_ns::SimpleOutRecords_cl rows;
    if (recordSn <= 0 || database.Query(MakeSQL(database.GetType(), selectLink, recordSn), rows) == 0) return false;
    found.sn = rows.GetInteger();
    rows.GetString(found.source);
    rows.GetString(found.tradeId);
    rows.GetString(found.typeName);
    rows.GetString(found.entry);
    return true;
}

void TradeLog_cl::Unlink(int32_t tradeSn) {
    database.ExecuteNoRecords(MakeSQL(database.GetType(), updateUnlink, tradeSn));
}

void TradeLog_cl::ForgetImport(int32_t importSn) {
    const int32_t dbType = database.GetType();
    database.ExecuteNoRecords(MakeSQL(dbType, deleteImportTrades, importSn));
    database.ExecuteNoRecords(MakeSQL(dbType, markImportUndone, importSn));
}

}  // namespace Vorelle_ns
