#include "Data/DeviceKeys.h"

#include "DB/BeginTrans.h"
#include "DB/IDatabase.h"
#include "DB/SimpleOutRecords.h"
#include "Data/Statement.h"
#include "Data/UserManage.h"
#include "base/SysError.h"
#include "base/Text.h"
#include "base/UserError.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <cerrno>
#include <iterator>
#include <sys/random.h>

namespace Vorelle_ns {

namespace {

Base_ns::SysError_cl SysError(int32_t code, int32_t line, const QString& remark = QString()) {
    static const Base_ns::ErrorInfo_st table[] = {{1, "无法从系统取得随机数。"}, {2, "无法取得新设备的编号。"}};
    return Base_ns::SysError_cl(line, __FILE__, DeviceKeys_cl::ClassName(), code, table, int32_t(std::size(table)),
                                remark);
}

Base_ns::UserError_cl UserError(int32_t code, int32_t line, const QString& remark = QString()) {
    static const Base_ns::ErrorInfo_st table[] = {{101, "请输入设备名称。"},
                                                  {102, "设备名称太长，最多32个字。"},
                                                  {103, "设备名称中有非法字符。"},
                                                  {104, "只有超级管理员才能为其他用户添加设备。"},
                                                  {105, "该用户名没有注册。"},
                                                  {106, "没有这个设备，或你没有权限撤销它。"}};
    return Base_ns::UserError_cl(line, __FILE__, DeviceKeys_cl::ClassName(), code, table, int32_t(std::size(table)),
                                 remark);
}

using DB_ns::DB_ALL;
using DB_ns::DB_LOCAL;
using DB_ns::DB_SQLSERVER;
using Tmpl = DB_ns::SQLTemplate_st;

const Tmpl createKeyTable[] = {
    {DB_LOCAL,
     "create table zorb_device_key(sn counter(1,1) primary key,user_sn integer,label text(32),key_hash char(64),"
     "valid char(1),last_used datetime,create_time datetime default date()+time(),alter_time datetime default "
     "date()+time(),alter_sn integer)"},
    {DB_SQLSERVER,
     "create table zorb_device_key(sn integer identity(1,1) primary key,user_sn integer,label nvarchar(32),key_hash "
     "char(64),valid char(1),last_used datetime,create_time datetime default getdate(),alter_time datetime default "
     "getdate(),alter_sn integer)"}};
const Tmpl createKeyIndex[] = {{DB_ALL, "create unique index zorb_device_key_hash on zorb_device_key(key_hash)"}};
const Tmpl insertKey[] = {
    {DB_ALL,
     "insert into zorb_device_key(user_sn,label,key_hash,valid,alter_sn) values(?user_sn?, '?label?', '?key_hash?', "
     "'1', ?alter_sn?)"}};
const Tmpl selectNewKey[] = {{DB_ALL, "select sn from zorb_device_key where key_hash = '?key_hash?'"}};
const Tmpl selectKeys[] = {
    {DB_ALL,
     "select zorb_device_key.sn,zorb_user.user_name,zorb_device_key.label,zorb_device_key.create_time,"
     "zorb_device_key.last_used from zorb_device_key,zorb_user where zorb_device_key.valid = '1' and zorb_user.valid "
     "= '1' and zorb_user.sn = zorb_device_key.user_sn"}};
const Tmpl keysOfUser[] = {{DB_ALL, " and zorb_device_key.user_sn = ?user_sn?"}};
const Tmpl keysOrder[] = {{DB_ALL, " order by zorb_device_key.sn"}};
const Tmpl revokeKey[] = {
    {DB_ALL,
     "update zorb_device_key set valid = '0', alter_time = CMC_GETDATE, alter_sn = ?alter_sn? where valid = '1' and "
     "sn = ?key_sn?"}};
const Tmpl ownKey[] = {{DB_ALL, " and user_sn = ?user_sn?"}};
const Tmpl revokeUserKeys[] = {
    {DB_ALL,
     "update zorb_device_key set valid = '0', alter_time = CMC_GETDATE, alter_sn = ?alter_sn? where valid = '1' and "
     "user_sn = ?user_sn?"}};
const Tmpl selectValidKeys[] = {
    {DB_ALL,
     "select zorb_device_key.sn,zorb_device_key.user_sn,zorb_device_key.key_hash,zorb_device_key.last_used from "
     "zorb_device_key,zorb_user where zorb_device_key.valid = '1' and zorb_user.valid = '1' and zorb_user.sn = "
     "zorb_device_key.user_sn"}};
const Tmpl selectValidUser[] = {{DB_ALL, "select sn from zorb_user where valid = '1' and sn = ?user_sn?"}};
const Tmpl touchKey[] = {{DB_ALL, "update zorb_device_key set last_used = '?last_used?' where sn = ?key_sn?"}};

constexpr int32_t kKeyBytes = 32;
// What a key's text may be at most: longer texts are not hashed at all.
constexpr qsizetype kMaxKeyText = 64;
// The time of use is written again only when older than this, in days.
constexpr double kTouchEvery = 60.0 / 86400.0;

QByteArray RandomBytes(int32_t count) {
    QByteArray bytes(count, Qt::Uninitialized);
    qsizetype filled = 0;
    while (filled < bytes.size()) {
        const ssize_t got = getrandom(bytes.data() + filled, size_t(bytes.size() - filled), 0);
        if (got < 0) {
            if (errno == EINTR) continue;
            throw SysError(1, __LINE__, QString::number(errno));
        }
        filled += got;
    }
    return bytes;
}

// Equal texts of equal length, looked at whole whatever differs: the time taken tells
// nothing of where they differ.
bool SameInConstantTime(const QByteArray& a, const QByteArray& b) {
    if (a.size() != b.size()) return false;
    unsigned char difference = 0;
    for (qsizetype i = 0; i < a.size(); ++i) difference |= static_cast<unsigned char>(a[i] ^ b[i]);
    return difference == 0;
}

bool IsKeyText(const QString& key) {
    if (key.isEmpty() || key.size() > kMaxKeyText) return false;
    for (const QChar c : key) {
        const char16_t u = c.unicode();
        const bool ok = (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '-' ||
                        u == '_';
        if (!ok) return false;
    }
    return true;
}

}  // namespace

QString DeviceKeys_cl::Hash(const QString& key) {
    return QString::fromLatin1(QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha256).toHex());
}

void DeviceKeys_cl::CreateTable(DB_ns::IDatabase_cl& database) {
    database.ExecuteNoRecords(MakeSQL(database.GetType(), createKeyTable));
    database.ExecuteNoRecords(MakeSQL(database.GetType(), createKeyIndex));
}

void DeviceKeys_cl::Prepare() {
    DB_ns::IDatabase_cl& database = userManage.GetDatabase();
    if (database.TableExists(QStringLiteral("zorb_device_key"))) return;
    DB_ns::BeginTrans_cl transaction(&database);
    CreateTable(database);
    transaction.Commit();
}

NewDeviceKey_st DeviceKeys_cl::Add(const QString& label, int32_t userSn) {
    const QString trimmed = label.trimmed();
    if (trimmed.isEmpty()) throw UserError(101, __LINE__);
    if (Base_ns::CharacterCount(trimmed) > MaxLabel) throw UserError(102, __LINE__);
    if (Base_ns::HasIllegalSqlChar(trimmed)) throw UserError(103, __LINE__);
    const int32_t currentSn = userManage.GetCurrentUser();
    if (userSn == 0) userSn = currentSn;
    if (userSn != currentSn && !userManage.CanManageUsers()) throw UserError(104, __LINE__);
    DB_ns::IDatabase_cl& database = userManage.GetDatabase();
    const int32_t dbType = database.GetType();
    NewDeviceKey_st made;
    made.key = QString::fromLatin1(
        RandomBytes(kKeyBytes).toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals));
    const QString hash = Hash(made.key);
    DB_ns::BeginTrans_cl transaction(&database);
    // The user is read inside the transaction, so that a key is never made for a user
    // deleted meanwhile.
    DB_ns::SimpleOutRecords_cl rows;
    if (userSn != currentSn && database.Query(MakeSQL(dbType, selectValidUser, userSn), rows) == 0)
        throw UserError(105, __LINE__);
    database.ExecuteNoRecords(MakeSQL(dbType, insertKey, userSn, trimmed, hash, currentSn));
    if (database.Query(MakeSQL(dbType, selectNewKey, hash), rows) != 1) throw SysError(2, __LINE__);
    made.sn = rows.GetInteger();
    transaction.Commit();
    return made;
}

Base_ns::Trusteeship_tl<DeviceKey_st> DeviceKeys_cl::List() {
    const int32_t currentSn = userManage.GetCurrentUser();
    DB_ns::IDatabase_cl& database = userManage.GetDatabase();
    const int32_t dbType = database.GetType();
    QString sql = MakeSQL(dbType, selectKeys);
    if (!userManage.CanManageUsers()) sql += MakeSQL(dbType, keysOfUser, currentSn);
    sql += MakeSQL(dbType, keysOrder);
    DB_ns::SimpleOutRecords_cl rows;
    const int32_t count = database.Query(sql, rows);
    Base_ns::Trusteeship_tl<DeviceKey_st> keys;
    keys.Allocate(count);
    for (int32_t i = 0; i < count; ++i) {
        DeviceKey_st& key = keys[i];
        key.sn = rows.GetInteger();
        rows.GetString(key.userName);
        key.userName = key.userName.trimmed();  // a fixed-width column on some books
        rows.GetString(key.label);
        key.createTime = rows.GetDateTime();
        key.lastUsed = rows.GetDateTime();
        rows.MoveNext();
    }
    return keys;
}

void DeviceKeys_cl::Revoke(int32_t keySn) {
    const int32_t currentSn = userManage.GetCurrentUser();
    DB_ns::IDatabase_cl& database = userManage.GetDatabase();
    const int32_t dbType = database.GetType();
    QString sql = MakeSQL(dbType, revokeKey, currentSn, keySn);
    if (!userManage.CanManageUsers()) sql += MakeSQL(dbType, ownKey, currentSn);
    if (database.ExecuteNoRecords(sql) == 0) throw UserError(106, __LINE__, QString::number(keySn));
}

int32_t DeviceKeys_cl::Authenticate(const QString& key) {
    if (!IsKeyText(key)) return 0;
    const QByteArray hash = Hash(key).toLatin1();
    DB_ns::IDatabase_cl& database = userManage.GetDatabase();
    const int32_t dbType = database.GetType();
    // The book is not searched for the hash: every valid key (a household has a few) is
    // compared with it in full, so the time taken tells nothing of the key given.
    DB_ns::SimpleOutRecords_cl rows;
    const int32_t count = database.Query(MakeSQL(dbType, selectValidKeys), rows);
    int32_t keySn = 0, userSn = 0;
    Base_ns::DateTime_cl lastUsed;
    for (int32_t i = 0; i < count; ++i) {
        const int32_t sn = rows.GetInteger();
        const int32_t owner = rows.GetInteger();
        QString stored;
        rows.GetString(stored);
        const Base_ns::DateTime_cl used = rows.GetDateTime();
        if (SameInConstantTime(stored.trimmed().toLatin1(), hash)) {
            keySn = sn;
            userSn = owner;
            lastUsed = used;
        }
        rows.MoveNext();
    }
    if (keySn == 0) return 0;
    const Base_ns::DateTime_cl now = Base_ns::DateTime_cl::Now();
    if (!lastUsed.IsValid() || (lastUsed + Base_ns::DateTimeSpan_cl(kTouchEvery)).IsEarlierThan(now))
        database.ExecuteNoRecords(MakeSQL(dbType, touchKey, now, keySn));
    return userSn;
}

void DeviceKeys_cl::RevokeUserKeys(DB_ns::IDatabase_cl& database, int32_t userSn, int32_t alterSn) {
    if (!database.TableExists(QStringLiteral("zorb_device_key"))) return;
    database.ExecuteNoRecords(MakeSQL(database.GetType(), revokeUserKeys, alterSn, userSn));
}

}  // namespace Vorelle_ns
