#include "PostgreSQLDB.h"

#include "base/SysError.h"
#include "base/Text.h"
#include "base/UserError.h"
#include "platform/ado/Connection.h"
#include "platform/ado/ProviderError.h"

#include <iterator>
#include <new>

namespace DB_ns {

namespace {
Base_ns::SysError_cl SysError(int32_t code, int32_t line, const QString& remark = QString()) {
    static const Base_ns::ErrorInfo_st table[] = {{1, "创建数据连接失败。"}, {2, "表名中含非法字符。"}};
    return Base_ns::SysError_cl(line, __FILE__, PostgreSQLDB_cl::ClassName(), code, table, int32_t(std::size(table)), remark);
}

Base_ns::UserError_cl UserError(int32_t code, int32_t line, const QString& remark = QString()) {
    static const Base_ns::ErrorInfo_st table[] = {
        {101, "连接数据库失败。"},
        {102, "数据库名称中含非法字符。"},
        {103, "用户名中含非法字符。"},
        {104, "密码中含非法字符。"},
        {105, "服务器地址中含非法字符。"},
    };
    return Base_ns::UserError_cl(line, __FILE__, PostgreSQLDB_cl::ClassName(), code, table, int32_t(std::size(table)),
                                 remark);
}

// Every value stands between double quotes in the connection string.
bool Unfit(const QString& text) { return Base_ns::HasIllegalQuotedChar(text) || Base_ns::HasIllegalUnquotedChar(text); }
}  // namespace

QString PostgreSQLDB_cl::ConnectionString(const QString& user, const QString& address, const QString& database,
                                          const QString& password) {
    QString text = QStringLiteral("Provider=PostgreSQL;Persist Security Info=false;User ID=\"") + user +
                   QStringLiteral("\";Password=\"") + password + u'"';
    if (!database.isEmpty()) text += QStringLiteral(";Database=\"") + database + u'"';
    return text + QStringLiteral(";Data Source=\"") + address + QStringLiteral("\";");
}

void PostgreSQLDB_cl::Connect(const QString& user, const QString& address, const QString& database,
                              const QString& password) {
    if (Unfit(address)) throw UserError(105, __LINE__, address);
    if (Unfit(database)) throw UserError(102, __LINE__, database);
    if (Base_ns::HasIllegalQuotedChar(user)) throw UserError(103, __LINE__, user);
    if (Base_ns::HasIllegalQuotedChar(password)) throw UserError(104, __LINE__);
    Ado_ns::Connection_cl* fresh = nullptr;
    try {
        fresh = &NewConnection();
    } catch (const std::bad_alloc&) {
        throw SysError(1, __LINE__);
    }
    try {
        fresh->Open(ConnectionString(user, address, database, password));
    } catch (const Ado_ns::ProviderError_cl& error) {
        DropConnection();
        throw UserError(101, __LINE__, WindowsLines(error.Description()));
    }
}

bool PostgreSQLDB_cl::TableExists(const QString& table) {
    if (Base_ns::HasIllegalSqlChar(table)) throw SysError(2, __LINE__, table);
    // The name is looked up along the search path, as a statement naming the table would.
    int32_t found = 0;
    QueryCount(QStringLiteral("select count(to_regclass('%1'))").arg(table), found);
    return found != 0;
}

}  // namespace DB_ns
