#include "ADODatabase.h"

#include "BoundSQL.h"
#include "SimpleOutRecords.h"
#include "base/SysError.h"
#include "base/UserError.h"
#include "platform/ado/Connection.h"
#include "platform/ado/ConnectionString.h"
#include "platform/ado/ProviderError.h"

#include <QFileInfo>
#include <atomic>
#include <iterator>

namespace DB_ns {

namespace {
// The class name is the concrete database's, so a logged error names LocalDB_cl etc.
Base_ns::SysError_cl SysError(const ADODatabase_cl* self, int32_t code, int32_t line, const QString& remark = QString()) {
    static const Base_ns::ErrorInfo_st table[] = {
        {1, "错误的SQL语句。"},
        {2, "启用事务失败。"},
        {3, "保存事务失败。"},
        {4, "取消事务失败。"},
        {5, "没有链接数据库。"},
        {6, "该接口只能用于取得数量。"},
        {7, "模拟嵌套事务不能使用取消内层事务。"},
        {8, "登录数据库的用户没有使用账本中的表的权限，请服务器的管理员给它授权。"},
    };
    return Base_ns::SysError_cl(line, __FILE__, self->GetClassName(), code, table, int32_t(std::size(table)), remark);
}

Base_ns::UserError_cl UserError(const ADODatabase_cl* self, int32_t code, int32_t line, const QString& remark) {
    static const Base_ns::ErrorInfo_st table[] = {
        {101, "数据库正被其他用户使用，等待超时，本次操作没有保存。请稍后再试。"},
        {102, "数据库文件是只读的，或所在文件夹不允许写入，本次操作没有保存。"},
        {103, "磁盘空间已满，本次操作没有保存。"},
        {104, "数据库文件已损坏，或不是本软件的数据库文件。"},
        {105, "无法读写数据库文件。"},
        {106, "与服务器的连接已断开，这次修改没有保存。请检查服务器后重试，如仍失败请重新登录。"},
    };
    return Base_ns::UserError_cl(line, __FILE__, self->GetClassName(), code, table, int32_t(std::size(table)), remark);
}

// The OLE DB status that announces errors without being one.
constexpr int32_t kErrorsOccurred = 0x00040EDA;

QString StatementRemark(const QString& sql, const Ado_ns::ProviderError_cl& error) {
    return sql + QStringLiteral("\r\n") + WindowsLines(error.Description());
}
std::atomic<int64_t> statementsRun{0};
QStringList* recorded = nullptr;

void Sent(const QString& sql) {
    ++statementsRun;
    if (recorded != nullptr) recorded->append(sql);
}

}  // namespace

int64_t ADODatabase_cl::StatementsRun() { return statementsRun.load(); }

void ADODatabase_cl::RecordStatements(QStringList* into) { recorded = into; }

int32_t InterfaceCode(const Ado_ns::ProviderError_cl& error) {
    const uint32_t result = error.Result();
    return result >= 0x80040200u && result <= 0x8004FFFFu ? int32_t(result - 0x80040200u) : 0;
}

QString WindowsLines(const QString& text) {
    QString lines = text;
    return lines.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
}

ADODatabase_cl::ADODatabase_cl(bool simulateNesting) : simulateNesting(simulateNesting) {}

ADODatabase_cl::~ADODatabase_cl() = default;

Ado_ns::Connection_cl& ADODatabase_cl::NewConnection() {
    connection.reset();
    connection = std::make_unique<Ado_ns::Connection_cl>();
    return *connection;
}

void ADODatabase_cl::DropConnection() { connection.reset(); }

void ADODatabase_cl::RaiseUserCause(const Ado_ns::ProviderError_cl& error, const QString& place) const {
    switch (error.Result()) {
    case Ado_ns::Result_ns::Busy:
        throw UserError(this, 101, __LINE__, place);
    case Ado_ns::Result_ns::ReadOnly:
        throw UserError(this, 102, __LINE__, place);
    case Ado_ns::Result_ns::DiskFull:
        throw UserError(this, 103, __LINE__, place);
    case Ado_ns::Result_ns::Damaged:
        throw UserError(this, 104, __LINE__, place);
    case Ado_ns::Result_ns::ConnectionLost:
        // The next action connects again; the driver's words say why it dropped.
        throw UserError(this, 106, __LINE__, WindowsLines(error.Description()));
    case Ado_ns::Result_ns::FileAccess:
        throw UserError(this, 105, __LINE__, place + QStringLiteral("\r\n") + WindowsLines(error.Description()));
    default:
        return;
    }
}

QString ADODatabase_cl::Place() const {
    if (!connection) return QString();
    return Ado_ns::ConnectionString_cl(connection->ConnectionString()).Value(QStringLiteral("Data Source"));
}

void ADODatabase_cl::Fail(const Ado_ns::ProviderError_cl& error, int32_t code, int32_t line, const QString& remark) const {
    RaiseUserCause(error, Place());
    // Said as what it is; the log keeps the statement and the driver's words.
    if (error.Result() == Ado_ns::Result_ns::NoRights) throw SysError(this, 8, line, remark);
    throw SysError(this, code, line, remark);
}

Ado_ns::Connection_cl& ADODatabase_cl::Connected() {
    if (!connection) throw SysError(this, 5, __LINE__);
    return *connection;
}

void ADODatabase_cl::BeginTrans() {
    Ado_ns::Connection_cl& open = Connected();
    if (simulateNesting && ++nestCount > 1) return;
    try {
        open.BeginTrans();
    } catch (const Ado_ns::ProviderError_cl& error) {
        // Nothing was begun: a count left raised would make every later transaction an
        // inner one that never reaches the provider.
        if (simulateNesting) --nestCount;
        Fail(error, 2, __LINE__, error.Description());
    }
}

void ADODatabase_cl::CommitTrans() {
    Ado_ns::Connection_cl& open = Connected();
    // A commit without a begin goes to the provider, which refuses it, but must not
    // push the count below zero and so spoil every later transaction.
    if (simulateNesting && nestCount > 0 && --nestCount > 0) return;
    try {
        open.CommitTrans();
    } catch (const Ado_ns::ProviderError_cl& error) {
        Fail(error, 3, __LINE__, error.Description());
    }
}

void ADODatabase_cl::RollbackTrans() {
    Ado_ns::Connection_cl& open = Connected();
    if (simulateNesting && nestCount > 0 && --nestCount > 0) throw SysError(this, 7, __LINE__);
    try {
        open.RollbackTrans();
    } catch (const Ado_ns::ProviderError_cl& error) {
        Fail(error, 4, __LINE__, error.Description());
    }
}

int32_t ADODatabase_cl::QueryCount(const QString& sql, int32_t& count) {
    Ado_ns::Connection_cl& open = Connected();
    open.Errors().Clear();
    int32_t affected = 0;
    std::shared_ptr<Ado_ns::Recordset_cl> rows;
    Sent(sql);
    try {
        rows = open.Execute(sql, affected, Ado_ns::adCmdText);
    } catch (const Ado_ns::ProviderError_cl& error) {
        Fail(error, 1, __LINE__, StatementRemark(sql, error));
    }
    CheckErrors(sql);
    // Anything but one row of one integer column, a statement without rows included,
    // is not a count.
    try {
        if (!rows || rows->IsEOF() || rows->FieldCount() != 1) throw SysError(this, 6, __LINE__);
        const Ado_ns::Variant_st value = rows->Value(0);
        if (value.type != Ado_ns::VT_I4 && value.type != Ado_ns::VT_DECIMAL) throw SysError(this, 6, __LINE__);
        if (!value.ToInt32(count)) throw SysError(this, 6, __LINE__);
    } catch (const Ado_ns::ProviderError_cl&) {
        throw SysError(this, 6, __LINE__);
    }
    return affected;
}

int32_t ADODatabase_cl::ExecuteNoRecords(const QString& sql) {
    Ado_ns::Connection_cl& open = Connected();
    open.Errors().Clear();
    int32_t affected = 0;
    Sent(sql);
    try {
        open.Execute(sql, affected, Ado_ns::adCmdText | Ado_ns::adExecuteNoRecords);
    } catch (const Ado_ns::ProviderError_cl& error) {
        Fail(error, 1, __LINE__, StatementRemark(sql, error));
    }
    CheckErrors(sql);
    return affected;
}

int32_t ADODatabase_cl::Query(const QString& sql, SimpleOutRecords_cl& records) {
    return Query(BoundSQL_st{sql, {}}, records);
}

int32_t ADODatabase_cl::Query(const BoundSQL_st& statement, SimpleOutRecords_cl& records) {
    const QString& sql = statement.sql;
    Ado_ns::Connection_cl& open = Connected();
    open.Errors().Clear();
    int32_t affected = 0;
    std::shared_ptr<Ado_ns::Recordset_cl> rows;
    Sent(sql);
    try {
        rows = open.Execute(sql, statement.parameters, affected, Ado_ns::adCmdText);
    } catch (const Ado_ns::ProviderError_cl& error) {
        // A failing statement is an error whatever its code; only the row set's refusal
        // to move below means "no rows".
        Fail(error, 1, __LINE__, StatementRemark(sql, error));
    }
    // No rows, as the row set would say by refusing to move, but without raising: an
    // import runs such statements (inserts, look-ups finding nothing) by the thousand.
    if (rows->HasNoRows()) {
        records.Detach();
        return 0;
    }
    try {
        records.Attach(rows);
    } catch (const Ado_ns::ProviderError_cl& error) {
        if (InterfaceCode(error) != 0) Fail(error, 1, __LINE__, StatementRemark(sql, error));
        records.Detach();
        return 0;
    }
    CheckErrors(sql);
    return records.GetRowCount();
}

bool ADODatabase_cl::TableExists(const QString& table) {
    Ado_ns::Connection_cl& open = Connected();
    // Asks for no row: counting them would read the whole table, and some hold a million.
    const QString sql = QStringLiteral("select 1 from ") + table + QStringLiteral(" where 1 = 0");
    Sent(sql);
    open.Errors().Clear();
    int32_t affected = 0;
    try {
        open.Execute(sql, affected, Ado_ns::adCmdText | Ado_ns::adExecuteNoRecords);
    } catch (const Ado_ns::ProviderError_cl& error) {
        if (error.Result() == Ado_ns::Result_ns::ConnectionLost) RaiseUserCause(error, Place());
        return false;
    }
    CheckErrors(sql);
    return true;
}

void ADODatabase_cl::CheckErrors(const QString& sql) {
    Ado_ns::ErrorList_cl& errors = connection->Errors();
    if (errors.Count() == 0) return;
    QString message;
    for (int32_t i = 0; i < errors.Count(); ++i) {
        const Ado_ns::ErrorRecord_st item = errors.Item(i);
        if (item.number == kErrorsOccurred) return;
        if (item.number != 0) message += QStringLiteral("\r\n[ErrorNumber]") + QString::number(item.number);
        if (!item.description.isEmpty()) message += QStringLiteral("\r\n[Description]") + WindowsLines(item.description);
        if (item.nativeError != 0) message += QStringLiteral("\r\n[NativeError]") + QString::number(item.nativeError);
        if (!item.sqlState.isEmpty()) message += QStringLiteral("\r\n[SQLState   ]") + item.sqlState;
        if (!item.source.isEmpty()) message += QStringLiteral("\r\n[Source     ]") + item.source;
    }
    throw SysError(this, 1, __LINE__, sql + message);
}

QString ADODatabase_cl::Identity() const {
    if (!connection) return QString();
    const Ado_ns::ConnectionString_cl settings(connection->ConnectionString());
    const QString provider = settings.Value(QStringLiteral("Provider"));
    const QString source = settings.Value(QStringLiteral("Data Source"));
    if (GetType() == DB_LOCAL) {
        // The same file reached by another spelling of its path is the same database.
        const QFileInfo file(source);
        const QString canonical = file.canonicalFilePath();
        return canonical.isEmpty() ? file.absoluteFilePath() : canonical;
    }
    return provider + u';' + source + u';' + settings.Value(QStringLiteral("User ID"));
}

}  // namespace DB_ns
