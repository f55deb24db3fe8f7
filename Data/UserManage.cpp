#include "Data/UserManage.h"

#include "DB/ADODatabase.h"
#include "DB/BeginTrans.h"
#include "DB/IDatabase.h"
#include "DB/SimpleOutRecords.h"
#include "Data/DatabaseManage.h"
#include "Data/DeviceKeys.h"
#include "Data/EntryIdentity.h"
#include "Data/LoginHashes.h"
#include "Data/PasswordHash.h"
#include "Data/Statement.h"
#include "Data/TradeLog.h"
#include "base/SysError.h"
#include "base/UserError.h"
#include "platform/ado/Variant.h"
#include "settings/Unique.h"

#include <iterator>
#include <limits>

namespace Vorelle_ns {

namespace {

Base_ns::SysError_cl SysError(int32_t code, int32_t line, const QString& remark = QString()) {
    static const Base_ns::ErrorInfo_st table[] = {
        {1, "还没有登录。"}, {2, "无法找到用户。"}, {3, "超级管理员不存在。"}, {5, "删除用户失败。"},
        {6, "没能把用户的密码换成散列值保存，下次登录时再试。"}};
    return Base_ns::SysError_cl(line, __FILE__, UserManage_cl::ClassName(), code, table,
                                int32_t(std::size(table)), remark);
}

Base_ns::UserError_cl UserError(int32_t code, int32_t line, const QString& remark = QString()) {
    static const Base_ns::ErrorInfo_st table[] = {
        {101, "用户名或密码错误。"},   {102, "当前用户没有权限管理用户。"},
        {104, "当前用户没有权限修改公共帐户。"}, {105, "密码不正确。"},
        {106, "不允许删除当前用户。"}, {107, "重复的用户名。"},
        {108, "金额不正确，金额和记入后的余额应在-21474836.48与21474836.47之间。"}};
    return Base_ns::UserError_cl(line, __FILE__, UserManage_cl::ClassName(), code, table,
                                 int32_t(std::size(table)), remark);
}

using DB_ns::DB_ALL;
using DB_ns::DB_LOCAL;
using DB_ns::DB_SQLSERVER;
using Tmpl = DB_ns::SQLTemplate_st;

const Tmpl createUserTable[] = {
    {DB_LOCAL,
     "create table zorb_user(sn counter(1,1) primary key,user_name char(16),power char(1),[password] "
     "char(16),single_account integer,public_account integer,monthly_plan integer,valid char(1),recycler_sn "
     "integer,create_time datetime default date()+time(),alter_time datetime default date()+time(),alter_sn "
     "integer)"},
    {DB_SQLSERVER,
     "create table zorb_user(sn integer identity(1,1) primary key,user_name nchar(16),power char(1),password "
     "char(16),single_account integer,public_account integer,monthly_plan integer,valid char(1),recycler_sn "
     "integer,create_time datetime default getdate(),alter_time datetime default getdate(),alter_sn integer)"}};
// Without a password in the user table: his hash is kept beside it. A server keeps a row's
// earlier versions in its files for a while, so the plain text is never written at all.
const Tmpl insertSuperAdministrator[] = {
    {DB_ALL,
     "insert into zorb_user(user_name,power,[password],single_account,public_account,valid,alter_sn) "
     "values('?user_name?','0',null,0,0,'1',0)"}};
// A password an older copy keeps in plain text, not yet moved to the hashes.
const Tmpl selectPlainPassword[] = {
    {DB_ALL, "select sn from zorb_user where sn = ?user_sn? and [password] = '?password?' and valid = '1'"}};
const Tmpl selectUserByName[] = {{DB_ALL, "select sn from zorb_user where user_name = '?user_name?' and valid = '1'"}};
const Tmpl selectPower[] = {{DB_ALL, "select power from zorb_user where sn = ?user_sn? and valid = '1'"}};
const Tmpl selectUsers[] = {
    {DB_ALL, "select sn,user_name,power,create_time from zorb_user where valid = '1' order by create_time"}};
const Tmpl selectUser[] = {
    {DB_ALL, "select sn,user_name,power,create_time from zorb_user where valid = '1' and sn = ?user_sn?"}};
const Tmpl selectDuplicate[] = {{DB_ALL, "select sn from zorb_user where valid = '1' and user_name = '?user_name?'"}};
const Tmpl insertUser[] = {
    {DB_ALL,
     "insert into zorb_user(user_name,power,[password],single_account,public_account,valid,alter_sn) "
     "values('?user_name?',?power?,'?password?',0,?public_account?,'1',?user_sn?)"}};
const Tmpl insertUserHashed[] = {
    {DB_ALL,
     "insert into zorb_user(user_name,power,[password],single_account,public_account,valid,alter_sn) "
     "values('?user_name?',?power?,null,0,?public_account?,'1',?user_sn?)"}};
const Tmpl deleteUser[] = {
    {DB_ALL,
     "update zorb_user set valid = '0', alter_time = CMC_GETDATE, recycler_sn = ?recycler_sn?, alter_sn = "
     "?alter_sn? where valid = '1' and sn = ?user_sn?"}};
const Tmpl changePlainPassword[] = {
    {DB_ALL, "update zorb_user set [password] = '?password_new?' where valid = '1' and sn = ?user_sn?"}};
const Tmpl selectSingleAccount[] = {
    {DB_ALL, "select single_account from zorb_user where valid = '1' and sn = ?user_sn?"}};
const Tmpl selectPublicAccount[] = {
    {DB_ALL, "select public_account from zorb_user where valid = '1' and power = '0'"}};
const Tmpl setSingleAccount[] = {
    {DB_ALL, "update zorb_user set single_account = ?expense? where valid = '1' and sn = ?user_sn?"}};
const Tmpl setPublicAccount[] = {
    {DB_ALL, "update zorb_user set public_account = ?expense? where valid = '1' and power = '0'"}};
const Tmpl addPublicAccount[] = {
    {DB_ALL, "update zorb_user set public_account = public_account + ?expense? where valid = '1' and power = '0'"}};
const Tmpl addSingleAccount[] = {
    {DB_ALL,
     "update zorb_user set single_account = single_account + ?expense? where valid = '1' and sn = ?user_sn?"}};
const Tmpl selectBalances[] = {
    {DB_ALL,
     "select public_account, (select single_account from zorb_user where valid = '1' and sn = ?user_sn?) from "
     "zorb_user where valid = '1' and power = '0'"}};
const Tmpl copyPublicAccount[] = {
    {DB_ALL, "update zorb_user set public_account = ?public_account? where valid = '1' and power <> '0'"}};

// Names the open database for its per-user settings storage; empty when none is open.
QString Identity(const DatabaseManage_cl& databaseManage) {
    if (!databaseManage.IsOpen()) return QString();
    const auto* connected = dynamic_cast<const DB_ns::ADODatabase_cl*>(&databaseManage.GetDatabase());
    return connected != nullptr ? connected->Identity() : QString();
}

bool FitsAmount(int64_t value) {
    return value >= std::numeric_limits<int32_t>::min() && value <= std::numeric_limits<int32_t>::max();
}

}  // namespace

UserManage_cl::UserManage_cl(DatabaseManage_cl& databaseManage, const QString& productName)
    : databaseManage(databaseManage), productName(productName) {}

DB_ns::IDatabase_cl& UserManage_cl::GetDatabase() const { return databaseManage.GetDatabase(); }

void UserManage_cl::CreateUserTable(const QString& userName, const QString& password) {
    DB_ns::IDatabase_cl& database = GetDatabase();
    // Made first, so that a quote in the name is refused before the table exists.
    const QString insert = MakeSQL(database.GetType(), insertSuperAdministrator, userName);
    LoginHashes_cl hashes(database);
    DB_ns::BeginTrans_cl transaction(&database);
    database.ExecuteNoRecords(MakeSQL(database.GetType(), createUserTable));
    hashes.CreateTable();
    database.ExecuteNoRecords(insert);
    hashes.Store(FindUser(userName), password);
    transaction.Commit();
}

bool UserManage_cl::PasswordMatches(int32_t userSn, const QString& password, bool& hashed) {
    DB_ns::IDatabase_cl& database = GetDatabase();
    QString hash;
    hashed = LoginHashes_cl(database).Find(userSn, hash);
    if (hashed) return PasswordHash_cl::Matches(password, hash);
    DB_ns::SimpleOutRecords_cl records;
    return database.Query(MakeSQL(database.GetType(), selectPlainPassword, userSn, password), records) != 0;
}

void UserManage_cl::Login(const QString& userName, const QString& password) {
    DB_ns::IDatabase_cl& database = GetDatabase();
    if (databaseManage.GetLoginUser() != 0) Unique_ns::CloseDatabaseStorage(Identity(databaseManage));
    const int32_t userSn = FindUser(userName);
    bool hashed = false;
    if (userSn == 0 || !PasswordMatches(userSn, password, hashed)) throw UserError(101, __LINE__);
    if (!hashed) {
        // A password an older copy stored in plain text moves to the hashes now.
        try {
            LoginHashes_cl hashes(database);
            if (hashes.Prepare()) hashes.Store(userSn, password);
        } catch (const Base_ns::Error_cl& error) {
            // A book that cannot be written now keeps it until the next login; the log
            // says why, the user is not troubled with it.
            (void)SysError(6, __LINE__, error.Message() + QStringLiteral("\r\n") + error.Remark()).AppendToLog();
        }
    }
    databaseManage.SetLoginUser(userSn);
    Unique_ns::InitDatabaseStorage(Identity(databaseManage), userName, productName);
    // A book made by an older copy gets the statements' trade table and the bookings'
    // identities now, not in the middle of an import that others may be running too.
    try {
        TradeLog_cl(database).Prepare();
        EntryIdentity_cl(database).Prepare();
    } catch (const Base_ns::Error_cl&) {
        // A login without the right to change tables still works with the book; an import
        // says what is missing when it needs it.
    }
}

void UserManage_cl::Logout() {
    if (databaseManage.GetLoginUser() == 0) throw SysError(1, __LINE__);
    Unique_ns::CloseDatabaseStorage(Identity(databaseManage));
    databaseManage.SetLoginUser(0);
}

int32_t UserManage_cl::GetCurrentUser() const {
    const int32_t userSn = databaseManage.GetLoginUser();
    if (userSn == 0) throw SysError(1, __LINE__);
    return userSn;
}

UserInfo_st UserManage_cl::GetCurrentUserInfo() {
    const int32_t userSn = GetCurrentUser();
    DB_ns::IDatabase_cl& database = GetDatabase();
    DB_ns::SimpleOutRecords_cl records;
    if (database.Query(MakeSQL(database.GetType(), selectUser, userSn), records) == 0) throw SysError(1, __LINE__);
    UserInfo_st user;
    user.sn = records.GetInteger();
    records.GetString(user.userName);
    user.userName = user.userName.trimmed();  // a fixed-width column
    user.power = records.GetEnum();
    user.createTime = records.GetDateTime();
    return user;
}

int32_t UserManage_cl::FindUser(const QString& userName) {
    DB_ns::IDatabase_cl& database = GetDatabase();
    DB_ns::SimpleOutRecords_cl records;
    if (database.Query(MakeSQL(database.GetType(), selectUserByName, userName), records) == 0) return 0;
    return records.GetInteger();
}

int32_t UserManage_cl::ReadPower() {
    const int32_t userSn = GetCurrentUser();
    DB_ns::IDatabase_cl& database = GetDatabase();
    DB_ns::SimpleOutRecords_cl records;
    // The logged-in user may have been deleted from another workstation meanwhile.
    if (database.Query(MakeSQL(database.GetType(), selectPower, userSn), records) == 0)
        throw SysError(1, __LINE__);
    return records.GetEnum();
}

bool UserManage_cl::CanManageUsers() { return ReadPower() == 0; }

bool UserManage_cl::CanAlterOthers() {
    const int32_t power = ReadPower();
    return power == 0 || power == 1;
}

bool UserManage_cl::CanViewOthers() {
    const int32_t power = ReadPower();
    return power == 0 || power == 1 || power == 2;
}

void UserManage_cl::CheckManageUsers() {
    if (!CanManageUsers()) throw UserError(102, __LINE__);
}

Base_ns::Trusteeship_tl<UserInfo_st> UserManage_cl::GetUsers() {
    CheckManageUsers();
    DB_ns::IDatabase_cl& database = GetDatabase();
    DB_ns::SimpleOutRecords_cl records;
    const int32_t count = database.Query(MakeSQL(database.GetType(), selectUsers), records);
    Base_ns::Trusteeship_tl<UserInfo_st> users;
    users.Allocate(count);
    for (int32_t i = 0; i < count; ++i) {
        UserInfo_st& user = users[i];
        user.sn = records.GetInteger();
        records.GetString(user.userName);
        user.power = records.GetEnum();
        user.createTime = records.GetDateTime();
        records.MoveNext();
    }
    return users;
}

void UserManage_cl::AddUser(const QString& userName, int32_t power, const QString& password) {
    CheckManageUsers();
    const int32_t userSn = GetCurrentUser();
    DB_ns::IDatabase_cl& database = GetDatabase();
    const int32_t dbType = database.GetType();
    DB_ns::SimpleOutRecords_cl records;
    if (database.Query(MakeSQL(dbType, selectDuplicate, userName), records) != 0) throw UserError(107, __LINE__);
    const int32_t publicAccount = GetPublicAccount();
    LoginHashes_cl hashes(database);
    const bool hashed = hashes.Prepare();
    if (!hashed) {
        // A book whose login may not make the hashes' table keeps passwords as it did.
        database.ExecuteNoRecords(MakeSQL(dbType, insertUser, userName, power, password, publicAccount, userSn));
        return;
    }
    DB_ns::BeginTrans_cl transaction(&database);
    database.ExecuteNoRecords(MakeSQL(dbType, insertUserHashed, userName, power, publicAccount, userSn));
    hashes.Store(FindUser(userName), password);
    transaction.Commit();
}

void UserManage_cl::RemoveUser(int32_t userSn, int32_t recyclerSn) {
    const int32_t currentSn = GetCurrentUser();
    CheckManageUsers();
    if (userSn == currentSn) throw UserError(106, __LINE__);
    DB_ns::IDatabase_cl& database = GetDatabase();
    if (database.ExecuteNoRecords(MakeSQL(database.GetType(), deleteUser, recyclerSn, currentSn, userSn)) == 0)
        throw SysError(5, __LINE__);
    // His phones stop booking with him.
    DeviceKeys_cl::RevokeUserKeys(database, userSn, currentSn);
}

void UserManage_cl::ChangePassword(const QString& oldPassword, const QString& newPassword) {
    const int32_t userSn = GetCurrentUser();
    bool hashed = false;
    if (!PasswordMatches(userSn, oldPassword, hashed)) throw UserError(105, __LINE__);
    DB_ns::IDatabase_cl& database = GetDatabase();
    LoginHashes_cl hashes(database);
    if (hashes.Prepare()) {
        hashes.Store(userSn, newPassword);
        return;
    }
    // A book whose login may not make the hashes' table keeps passwords as it did.
    const QString sql = MakeSQL(database.GetType(), changePlainPassword, newPassword, userSn);
    if (database.ExecuteNoRecords(sql) == 0) throw UserError(105, __LINE__);
}

int32_t UserManage_cl::GetSingleAccount() {
    const int32_t userSn = GetCurrentUser();
    DB_ns::IDatabase_cl& database = GetDatabase();
    DB_ns::SimpleOutRecords_cl records;
    if (database.Query(MakeSQL(database.GetType(), selectSingleAccount, userSn), records) == 0)
        throw SysError(2, __LINE__);
    return records.GetInteger();
}

int32_t UserManage_cl::GetPublicAccount() {
    DB_ns::IDatabase_cl& database = GetDatabase();
    DB_ns::SimpleOutRecords_cl records;
    if (database.Query(MakeSQL(database.GetType(), selectPublicAccount), records) == 0) throw SysError(3, __LINE__);
    return records.GetInteger();
}

void UserManage_cl::SetSingleAccount(int32_t amount) {
    const int32_t userSn = GetCurrentUser();
    DB_ns::IDatabase_cl& database = GetDatabase();
    database.ExecuteNoRecords(MakeSQL(database.GetType(), setSingleAccount, amount, userSn));
}

void UserManage_cl::SetPublicAccount(int32_t amount) {
    if (!CanManageUsers()) throw UserError(104, __LINE__);
    DB_ns::IDatabase_cl& database = GetDatabase();
    database.ExecuteNoRecords(MakeSQL(database.GetType(), setPublicAccount, amount));
}

void UserManage_cl::CheckAmount(int64_t amount) {
    if (!FitsAmount(amount)) throw UserError(108, __LINE__);
}

UserManage_cl::Balances_st UserManage_cl::ReadBalances(int32_t userSn) {
    DB_ns::IDatabase_cl& database = GetDatabase();
    DB_ns::SimpleOutRecords_cl records;
    if (database.Query(MakeSQL(database.GetType(), selectBalances, userSn), records) == 0) throw SysError(3, __LINE__);
    Balances_st balances;
    balances.publicAccount = records.GetInteger();
    Ado_ns::Variant_st single;  // null when the user has no valid row
    records.GetValue(single);
    balances.hasSingle = single.type != Ado_ns::VT_NULL;
    balances.single = balances.hasSingle ? single.integer : 0;
    return balances;
}

void UserManage_cl::AddToAccounts(int64_t amount, int32_t userSn) {
    if (amount == 0) return;
    // Balances are 32-bit: refuse what would wrap instead of storing it.
    if (!FitsAmount(amount)) throw UserError(108, __LINE__);
    if (userSn == 0) userSn = GetCurrentUser();
    DB_ns::IDatabase_cl& database = GetDatabase();
    const int32_t dbType = database.GetType();
    DB_ns::BeginTrans_cl transaction(&database);
    // Read inside the transaction, so that the check and the change see the same balances.
    DB_ns::SimpleOutRecords_cl records;
    if (database.Query(MakeSQL(dbType, selectBalances, userSn), records) == 0) throw SysError(3, __LINE__);
    const int64_t publicAccount = records.GetInteger();
    Ado_ns::Variant_st singleAccount;  // null when the user has no valid row
    records.GetValue(singleAccount);
    if (!FitsAmount(publicAccount + amount) ||
        (singleAccount.type != Ado_ns::VT_NULL && !FitsAmount(singleAccount.integer + amount)))
        throw UserError(108, __LINE__);
    const int32_t change = int32_t(amount);
    database.ExecuteNoRecords(MakeSQL(dbType, addPublicAccount, change));
    database.ExecuteNoRecords(MakeSQL(dbType, addSingleAccount, change, userSn));
    database.ExecuteNoRecords(MakeSQL(dbType, copyPublicAccount, GetPublicAccount()));
    transaction.Commit();
}

}  // namespace Vorelle_ns
