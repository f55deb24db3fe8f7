#include "LocalDB.h"

#include "base/SysError.h"
#include "base/Text.h"
#include "base/UserError.h"
#include "platform/ado/Catalog.h"
#include "platform/ado/Connection.h"
#include "platform/ado/ProviderError.h"

#include <QFileInfo>
#include <iterator>
#include <new>

namespace DB_ns {

namespace {
Base_ns::SysError_cl SysError(int32_t code, int32_t line, const QString& remark = QString()) {
    static const Base_ns::ErrorInfo_st table[] = {
        {1, "创建数据库失败。"},
        {2, "创建数据连接失败。"},
        {3, "打开数据库文件失败。"},
        {4, "数据库还没有打开，无法备份。"},
    };
    return Base_ns::SysError_cl(line, __FILE__, LocalDB_cl::ClassName(), code, table, int32_t(std::size(table)), remark);
}

Base_ns::UserError_cl UserError(int32_t code, int32_t line, const QString& remark = QString()) {
    static const Base_ns::ErrorInfo_st table[] = {
        {101, "创建数据库文件失败，已经有文件存在。"},
        {102, "打开数据库文件失败，文件已损坏或密码错误。"},
        {103, "打开数据库文件失败，数据库文件不存在。"},
        {104, "数据库文件路径中有非法字符。"},
        {105, "密码中有非法字符。"},
        {106, "备份失败，已经有同名的文件存在。"},
        {107, "备份失败，无法写入备份文件。"},
        {108, "数据库文件路径是一个文件夹。"},
        {109, "备份失败，要备份的账本文件已损坏，读不出完整的账本。"},
        {110, "备份失败，备份文件所在的文件夹不允许写入。"},
        {111, "备份失败，备份文件所在的磁盘空间已满。"},
    };
    return Base_ns::UserError_cl(line, __FILE__, LocalDB_cl::ClassName(), code, table, int32_t(std::size(table)), remark);
}

// Interface codes of the local provider.
constexpr int32_t kAuthenticationFailed = 3149;  // 0x80040E4D
constexpr int32_t kDataSourceExists = 3095;      // 0x80040E17

// The password never goes into a remark.
void CheckArguments(const QString& password, const QString& path) {
    if (Base_ns::HasIllegalQuotedChar(path)) throw UserError(104, __LINE__, path);
    if (Base_ns::HasIllegalQuotedChar(password)) throw UserError(105, __LINE__);
}
}  // namespace

QString LocalDB_cl::ConnectionString(const QString& password, const QString& path) {
    return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Jet OLEDB:Database Password=\"") + password +
           QStringLiteral("\";Data Source=\"") + path + QStringLiteral("\";");
}

void LocalDB_cl::Open(const QString& password, const QString& path) {
    CheckArguments(password, path);
    const QFileInfo file(path);
    if (file.isDir()) throw UserError(108, __LINE__, path);
    if (!file.exists()) throw UserError(103, __LINE__, path);
    Ado_ns::Connection_cl* fresh = nullptr;
    try {
        fresh = &NewConnection();
    } catch (const std::bad_alloc&) {
        throw SysError(2, __LINE__);
    }
    try {
        fresh->Open(ConnectionString(password, path));
    } catch (const Ado_ns::ProviderError_cl& error) {
        DropConnection();
        // An encrypted file whose first page cannot be read is either.
        if (InterfaceCode(error) == kAuthenticationFailed) throw UserError(102, __LINE__, path);
        RaiseUserCause(error, path);
        throw SysError(3, __LINE__, path + QStringLiteral("\r\n") + WindowsLines(error.Description()));
    }
}

void LocalDB_cl::CreateDatabaseFile(const QString& password, const QString& path) {
    CheckArguments(password, path);
    if (QFileInfo(path).isDir()) throw UserError(108, __LINE__, path);
    try {
        Ado_ns::Catalog_cl::Create(ConnectionString(password, path));
    } catch (const Ado_ns::ProviderError_cl& error) {
        if (InterfaceCode(error) == kDataSourceExists) throw UserError(101, __LINE__, path);
        throw SysError(1, __LINE__, path + QStringLiteral("\r\n") + WindowsLines(error.Description()));
    }
}

void LocalDB_cl::Backup(const QString& destination) {
    if (!connection || !connection->IsOpen()) throw SysError(4, __LINE__);
    try {
        connection->Backup(destination);
    } catch (const Ado_ns::ProviderError_cl& error) {
        switch (error.Result()) {
        case Ado_ns::Result_ns::DataSourceExists:
            throw UserError(106, __LINE__, destination);
        case Ado_ns::Result_ns::Damaged:
            throw UserError(109, __LINE__, Identity());
        case Ado_ns::Result_ns::ReadOnly:
            throw UserError(110, __LINE__, destination);
        case Ado_ns::Result_ns::DiskFull:
            throw UserError(111, __LINE__, destination);
        default:
            throw UserError(107, __LINE__, destination + QStringLiteral("\r\n") + WindowsLines(error.Description()));
        }
    }
}

}  // namespace DB_ns
