#include "VersionRecord.h"

#include "BeginTrans.h"
#include "ComplexCommand.h"
#include "IDatabase.h"
#include "SimpleOutRecords.h"
#include "base/SysError.h"
#include "base/Text.h"

#include <iterator>

namespace DB_ns {

namespace {
Base_ns::SysError_cl SysError(int32_t code, int32_t line, const QString& remark = QString()) {
    static const Base_ns::ErrorInfo_st table[] = {
        {1, "空指针。"},
        {2, "模块名称为空。"},
        {3, "模块名称中有非法字符。"},
        {4, "无法取得版本。"},
        {5, "模块名称太长。"},
    };
    return Base_ns::SysError_cl(line, __FILE__, VersionRecord_cl::ClassName(), code, table, int32_t(std::size(table)), remark);
}

const SQLTemplate_st kRead[] = {
    {DB_ALL, "select version from module_version where module_name='?module_name?'"},
};
const SQLTemplate_st kCreate[] = {
    {DB_LOCAL, "create table module_version(module_name text(32) primary key,version varchar(16),update_time datetime,create_time date default date())"},
    {DB_ORACLE, "create table module_version(module_name nvarchar2(32) primary key,version varchar(16),update_time date,create_time date default sysdate)"},
    {DB_SQLSERVER, "create table module_version(module_name nvarchar(32) primary key,version varchar(16),update_time datetime,create_time datetime default getdate())"},
};
const SQLTemplate_st kUpdate[] = {
    {DB_LOCAL, "update module_version set update_time = date(),version = '?version?' where module_name='?module_name?'"},
    {DB_ORACLE, "update module_version set update_time = sysdate,version = '?version?' where module_name='?module_name?'"},
    {DB_SQLSERVER, "update module_version set update_time = getdate(),version = '?version?' where module_name='?module_name?'"},
};
const SQLTemplate_st kInsert[] = {
    {DB_LOCAL, "insert into module_version(version,module_name,update_time) values('?version?','?module_name?',date())"},
    {DB_ORACLE, "insert into module_version(version,module_name,update_time) values('?version?','?module_name?',sysdate)"},
    {DB_SQLSERVER, "insert into module_version(version,module_name,update_time) values('?version?','?module_name?',getdate())"},
};

constexpr qsizetype kMaxNameLength = 32;  // the width of module_name
}  // namespace

const QString VersionRecord_cl::kTableName = QStringLiteral("module_version");

VersionRecord_cl::VersionRecord_cl(IDatabase_cl* database, const QString& moduleName)
    : database(database), moduleName(moduleName) {
    if (database == nullptr) throw SysError(1, __LINE__);
    if (moduleName.isEmpty()) throw SysError(2, __LINE__);
    if (Base_ns::HasIllegalSqlChar(moduleName)) throw SysError(3, __LINE__);
    if (moduleName.size() > kMaxNameLength) throw SysError(5, __LINE__);
    if (!database->TableExists(kTableName)) return;
    tableExists = true;
    ComplexCommand_cl command(database->GetType());
    command.SetTemplates(kRead, int32_t(std::size(kRead)));
    command.SetParam(0, moduleName);
    SimpleOutRecords_cl records;
    if (database->Query(command.GetSQL(), records) == 0) return;
    QString text;
    records.GetString(text);
    version.Parse(text);
    recordExists = true;
}

Base_ns::Version_st VersionRecord_cl::GetVersion() const {
    if (!recordExists) throw SysError(4, __LINE__);
    return version;
}

void VersionRecord_cl::SetVersion(const Base_ns::Version_st& newVersion) {
    BeginTrans_cl guard(database);
    if (!tableExists) {
        ComplexCommand_cl create(database->GetType());
        create.SetTemplates(kCreate, int32_t(std::size(kCreate)));
        database->ExecuteNoRecords(create.GetSQL());
    }
    ComplexCommand_cl write(database->GetType());
    if (recordExists)
        write.SetTemplates(kUpdate, int32_t(std::size(kUpdate)));
    else
        write.SetTemplates(kInsert, int32_t(std::size(kInsert)));
    write.SetParam(0, newVersion.ToString());
    write.SetParam(1, moduleName);
    database->ExecuteNoRecords(write.GetSQL());
    guard.Commit();
}

}  // namespace DB_ns
