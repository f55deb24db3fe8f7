#include "Data/EntryIdentity.h"

#include "DB/BeginTrans.h"
#include "DB/BoundSQL.h"
#include "DB/IDatabase.h"
#include "DB/SimpleOutRecords.h"
#include "Data/Statement.h"
#include "base/Error.h"

#include <QCryptographicHash>

namespace Vorelle_ns {

namespace {

using DB_ns::DB_ALL;
using DB_ns::DB_LOCAL;
using DB_ns::DB_SQLSERVER;
using Tmpl = DB_ns::SQLTemplate_st;

const QString kTable = QStringLiteral("zorb_identity");
const Tmpl createIdentityTable[] = {
    {DB_LOCAL,
     "create table zorb_identity(sn counter(1,1) primary key,user_sn integer,source text(16),identity_key text(255),"
     "fingerprint char(64),record_sn integer,answer text(2000),create_time datetime default date()+time())"},
    {DB_SQLSERVER,
     "create table zorb_identity(sn integer identity(1,1) primary key,user_sn integer,source nvarchar(16),identity_key "
     "nvarchar(255),fingerprint char(64),record_sn integer,answer nvarchar(2000),create_time datetime default "
     "getdate())"}};
const Tmpl createIdentityIndex[] = {
    {DB_ALL, "create unique index zorb_identity_key on zorb_identity(user_sn,source,identity_key)"}};
const QString kSelect = QStringLiteral(
    "select record_sn,fingerprint,answer from zorb_identity where user_sn = ? and source = ? and identity_key = ?");
const QString kInsert = QStringLiteral(
    "insert into zorb_identity(user_sn,source,identity_key,fingerprint,record_sn,answer) values(?,?,?,?,?,?)");

// The prefix is digits and a colon: nothing in it is a pattern.
const QString kSelectBooked = QStringLiteral(
    "select i.record_sn from zorb_identity i, zorb_record r where i.user_sn = ? and i.source = ? and "
    "i.identity_key like ? and r.sn = i.record_sn and r.valid = '1' order by i.record_sn");

}  // namespace

void EntryIdentity_cl::CreateTable() {
    database.ExecuteNoRecords(MakeSQL(database.GetType(), createIdentityTable));
    database.ExecuteNoRecords(MakeSQL(database.GetType(), createIdentityIndex));
}

void EntryIdentity_cl::Prepare() {
    if (database.TableExists(kTable)) return;
    try {
        DB_ns::BeginTrans_cl transaction(&database);
        CreateTable();
        transaction.Commit();
    } catch (const Base_ns::Error_cl&) {
        // Another copy made it at the same moment: what matters is that it is there.
        if (!database.TableExists(kTable)) throw;
    }
}

bool EntryIdentity_cl::Find(int32_t userSn, const QString& source, const QString& identity, KeptIdentity_st& kept) {
    DB_ns::BoundSQL_st select{kSelect, {Ado_ns::Variant_st::Integer(userSn), Ado_ns::Variant_st::Text(source),
                                        Ado_ns::Variant_st::Text(identity)}};
    DB_ns::SimpleOutRecords_cl rows;
    if (database.Query(select, rows) == 0) return false;
    kept.recordSn = rows.GetInteger();
    rows.GetString(kept.fingerprint);
    kept.fingerprint = kept.fingerprint.trimmed();  // a fixed-width column
    rows.GetString(kept.answer);
    return true;
}

void EntryIdentity_cl::Add(int32_t userSn, const QString& source, const QString& identity, const KeptIdentity_st& kept) {
    DB_ns::BoundSQL_st insert{kInsert,
                              {Ado_ns::Variant_st::Integer(userSn), Ado_ns::Variant_st::Text(source),
                               Ado_ns::Variant_st::Text(identity), Ado_ns::Variant_st::Text(kept.fingerprint),
                               Ado_ns::Variant_st::Integer(kept.recordSn), Ado_ns::Variant_st::Text(kept.answer)}};
    DB_ns::SimpleOutRecords_cl none;
    database.Query(insert, none);
}

QList<int32_t> EntryIdentity_cl::BookedEntries(int32_t userSn, const QString& source, const QString& prefix) {
    DB_ns::BoundSQL_st select{kSelectBooked, {Ado_ns::Variant_st::Integer(userSn), Ado_ns::Variant_st::Text(source),
                                              Ado_ns::Variant_st::Text(prefix + u'%')}};
    DB_ns::SimpleOutRecords_cl rows;
    QList<int32_t> sns;
    const int32_t count = database.Query(select, rows);
    for (int32_t i = 0; i < count; ++i, rows.MoveNext()) sns.append(rows.GetInteger());
    return sns;
}

QString EntryIdentity_cl::Fingerprint(const QByteArray& bytes) {
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

}  // namespace Vorelle_ns
