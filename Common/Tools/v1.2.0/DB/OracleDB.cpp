#include "OracleDB.h"

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
    static const Base_ns::ErrorInfo_st table[] = {{1, "创建数据连接失败。"}};
    return Base_ns::SysError_cl(line, __FILE__, OracleDB_cl::ClassName(), code, table, int32_t(std::size(table)), remark);
}

Base_ns::UserError_cl UserError(int32_t code, int32_t line, const QString& remark = QString()) {
    static const Base_ns::ErrorInfo_st table[] = {
        {101, "服务名不正确。"},
        {102, "用户名或密码错误。"},
        {103, "网络不通。"},
        {104, "服务名中含非法字符。"},
        {105, "用户名中含非法字符。"},
        {106, "密码中含非法字符。"},
    };
    return Base_ns::UserError_cl(line, __FILE__, OracleDB_cl::ClassName(), code, table, int32_t(std::size(table)), remark);
}
}  // namespace

QString OracleDB_cl::ConnectionString(const QString& user, const QString& service, const QString& password) {
    return QStringLiteral("Provider=Oraoledb.Oracle;Persist Security Info=false;User ID=\"") + user +
           QStringLiteral("\";Password=\"") + password + QStringLiteral("\";Data Source=\"") + service +
           QStringLiteral("\";");
}

void OracleDB_cl::Connect(const QString& user, const QString& service, const QString& password) {
    if (Base_ns::HasIllegalQuotedChar(service)) throw UserError(104, __LINE__, service);
    if (Base_ns::HasIllegalQuotedChar(user)) throw UserError(105, __LINE__, user);
    if (Base_ns::HasIllegalQuotedChar(password)) throw UserError(106, __LINE__);
    Ado_ns::Connection_cl* fresh = nullptr;
    try {
        fresh = &NewConnection();
    } catch (const std::bad_alloc&) {
        throw SysError(1, __LINE__);
    }
    try {
        fresh->Open(ConnectionString(user, service, password));
    } catch (const Ado_ns::ProviderError_cl& error) {
        DropConnection();
        RaiseConnectFailure(error.Description());
    }
}

void OracleDB_cl::RaiseConnectFailure(const QString& providerDescription) {
    const QString description = WindowsLines(providerDescription);
    // The first marker of this order wins when the server reports several.
    if (description.contains(QStringLiteral("ORA-12560"))) throw UserError(103, __LINE__);
    if (description.contains(QStringLiteral("ORA-12154"))) throw UserError(101, __LINE__);
    if (description.contains(QStringLiteral("ORA-01017"))) throw UserError(102, __LINE__);
    throw SysError(1, __LINE__, description);
}

}  // namespace DB_ns
