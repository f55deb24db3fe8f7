#include "Data/TradeLog.h"

#include "DB/BeginTrans.h"
#include "DB/IDatabase.h"
#include "DB/SimpleOutRecords.h"
#include "Data/Statement.h"

namespace Vorelle_ns {

namespace {

using DB_ns::DB_ALL;
using DB_ns::DB_LOCAL;
using DB_ns::DB_SQLSERVER;
using Tmpl = DB_ns::SQLTemplate_st;

const Tmpl createTradeTable[] = {
    {DB_LOCAL,
     "create table zorb_trade(sn counter(1,1) primary key,source text(16),trade_id text(128),type_name "
     "text(16),user_sn integer,create_time datetime default date()+time())"},
    {DB_SQLSERVER,
     "create table zorb_trade(sn integer identity(1,1) primary key,source nvarchar(16),trade_id "
     "nvarchar(128),type_name nvarchar(16),user_sn integer,create_time datetime default getdate())"}};
// Two copies importing the same trade at once: the second one's transaction fails here.
const Tmpl createTradeIndex[] = {{DB_ALL, "create unique index zorb_trade_id on zorb_trade(source,trade_id)"}};
const Tmpl selectTrade[] = {
    {DB_ALL, "select sn from zorb_trade where source = '?source?' and trade_id = '?trade_id?'"}};
const Tmpl selectOriginalHead[] = {
    {DB_ALL, "select trade_id,type_name from zorb_trade where source = '?source?' and trade_id in ("}};
const Tmpl candidateId[] = {{DB_ALL, "'?trade_id?'"}};
const Tmpl insertTrade[] = {
    {DB_ALL,
     "insert into zorb_trade(source,trade_id,type_name,user_sn) values('?source?', '?trade_id?', "
     "'?type_name?', ?user_sn?)"}};

// Original ids are order numbers of a dozen digits and more; shorter beginnings of a
// refund id are never one.
constexpr qsizetype kShortestOriginal = 8;

}  // namespace

bool TradeLog_cl::Exists() { return database.TableExists(QStringLiteral("zorb_trade")); }

void TradeLog_cl::CreateTable() {
    const int32_t dbType = database.GetType();
    DB_ns::BeginTrans_cl transaction(&database);
    database.ExecuteNoRecords(MakeSQL(dbType, createTradeTable));
    database.ExecuteNoRecords(MakeSQL(dbType, createTradeIndex));
    transaction.Commit();
}

bool TradeLog_cl::Has(const QString& source, const QString& tradeId) {
    DB_ns::SimpleOutRecords_cl rows;
    return database.Query(MakeSQL(database.GetType(), selectTrade, source, tradeId), rows) != 0;
}

QString TradeLog_cl::FindOriginalType(const QString& source, const QString& refundId) {
    if (refundId.size() <= kShortestOriginal) return QString();
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

void TradeLog_cl::Add(const QString& source, const QString& tradeId, const QString& typeName, int32_t userSn) {
    database.ExecuteNoRecords(MakeSQL(database.GetType(), insertTrade, source, tradeId, typeName, userSn));
}

}  // namespace Vorelle_ns
