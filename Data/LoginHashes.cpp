#include "Data/LoginHashes.h"

#include "DB/BeginTrans.h"
#include "DB/BoundSQL.h"
#include "DB/IDatabase.h"
#include "DB/SimpleOutRecords.h"
#include "Data/PasswordHash.h"
#include "Data/Statement.h"
#include "base/Error.h"

namespace Vorelle_ns {

namespace {

using DB_ns::DB_ALL;
using DB_ns::DB_LOCAL;
using DB_ns::DB_SQLSERVER;
using Tmpl = DB_ns::SQLTemplate_st;

const QString kTable = QStringLiteral("zorb_login");
const Tmpl createLoginTable[] = {
    {DB_LOCAL,
     "create table zorb_login(user_sn integer primary key,password_hash text(255),alter_time datetime default "
     "date()+time())"},
    {DB_SQLSERVER,
     "create table zorb_login(user_sn integer primary key,password_hash varchar(255),alter_time datetime default "
     "getdate())"}};
const QString kSelectHash = QStringLiteral("select password_hash from zorb_login where user_sn = ?");
const QString kDeleteHash = QStringLiteral("delete from zorb_login where user_sn = ?");
const QString kInsertHash = QStringLiteral("insert into zorb_login(user_sn,password_hash) values(?,?)");
// Null, not empty: an older copy compares the column with what is typed, and no typed
// text equals null.
const QString kClearPlain = QStringLiteral("update zorb_user set password = null where sn = ?");

}  // namespace

void LoginHashes_cl::CreateTable() { database.ExecuteNoRecords(MakeSQL(database.GetType(), createLoginTable)); }

bool LoginHashes_cl::Prepare() {
    if (database.TableExists(kTable)) return true;
    try {
        DB_ns::BeginTrans_cl transaction(&database);
        CreateTable();
        transaction.Commit();
    } catch (const Base_ns::Error_cl&) {
        // Another copy made it at the same moment, or this login may not make tables.
    }
    return database.TableExists(kTable);
}

bool LoginHashes_cl::Find(int32_t userSn, QString& hash) {
    if (!database.TableExists(kTable)) return false;
    DB_ns::SimpleOutRecords_cl rows;
    if (database.Query(DB_ns::BoundSQL_st{kSelectHash, {Ado_ns::Variant_st::Integer(userSn)}}, rows) == 0)
        return false;
    rows.GetString(hash);
    return true;
}

void LoginHashes_cl::Store(int32_t userSn, const QString& password) {
    // Made before the transaction: it takes a moment, and the book is not held meanwhile.
    const QString hash = PasswordHash_cl::Make(password);
    const Ado_ns::Variant_st user = Ado_ns::Variant_st::Integer(userSn);
    DB_ns::SimpleOutRecords_cl none;
    DB_ns::BeginTrans_cl transaction(&database);
    database.Query(DB_ns::BoundSQL_st{kDeleteHash, {user}}, none);
    database.Query(DB_ns::BoundSQL_st{kInsertHash, {user, Ado_ns::Variant_st::Text(hash)}}, none);
    database.Query(DB_ns::BoundSQL_st{kClearPlain, {user}}, none);
    transaction.Commit();
}

}  // namespace Vorelle_ns
