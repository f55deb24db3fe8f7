#include "ComplexCommand.h"

#include "IDatabase.h"
#include "base/DateTime.h"
#include "base/SysError.h"

#include <iterator>

namespace DB_ns {

namespace {
Base_ns::SysError_cl SysError(int32_t code, int32_t line, const QString& remark = QString()) {
    static const Base_ns::ErrorInfo_st table[] = {
        {1, "还没有设置模板SQL语句。"},
        {2, "模板SQL语句的参数未设置完。"},
        {3, "模板SQL语句参数格式不正确，问号必须成对出现。"},
        {4, "参数值中不能有非法字符。"},
        {5, "参数名不正确。"},
        {6, "参数索引不正确。"},
        {7, "空指针。"},
        {8, "SQL语句数量不正确。"},
        {9, "没有一条SQL语句与当前数据库匹配。"},
        {10, "有多条SQL语句与当前数据库匹配。"},
        {11, "模板SQL语句有绑定的参数，不能只取语句文本。"},
    };
    return Base_ns::SysError_cl(line, __FILE__, ComplexCommand_cl::ClassName(), code, table, int32_t(std::size(table)), remark);
}
}  // namespace

ComplexCommand_cl::ComplexCommand_cl(int32_t dbType) : dbType(dbType), pendingCount(-1) {}

void ComplexCommand_cl::SetTemplates(const SQLTemplate_st* table, int32_t count) {
    if (table == nullptr) throw SysError(7, __LINE__);
    int32_t selector = dbType;
    if (dbType == DB_POSTGRESQL) {
        bool own = false;
        for (int32_t i = 0; i < count; ++i) own = own || (table[i].mask & DB_POSTGRESQL) != 0;
        if (!own) selector = DB_SQLSERVER;
    }
    int32_t matches = 0;
    for (int32_t i = 0; i < count; ++i) {
        if ((table[i].mask & selector) == 0) continue;
        ChooseText(QString::fromUtf8(table[i].text));
        ++matches;
    }
    if (matches > 1) throw SysError(10, __LINE__);
    if (matches == 0) throw SysError(9, __LINE__);
}

void ComplexCommand_cl::ChooseText(const QString& text) {
    if (pendingCount != -1) params.Clear();
    sql = text;
    if (dbType == DB_LOCAL) {
        sql.replace(QStringLiteral("CMC_GETDATE"), QStringLiteral("date()+time()"));
    } else if (dbType == DB_SQLSERVER || dbType == DB_POSTGRESQL) {
        sql.replace(QStringLiteral("CMC_GETDATE"), QStringLiteral("getdate()"));
        sql.replace(u'#', u'\'');
    }
    pendingCount = 0;
    qsizetype open = sql.indexOf(u'?');
    qsizetype previousClose = 0;
    while (open >= 0) {
        const qsizetype close = sql.indexOf(u'?', open + 1);
        if (close < 0) throw SysError(3, __LINE__);
        params.Append({sql.mid(open + 1, close - open - 1), QString(), int32_t(open - previousClose),
                       int32_t(close - open + 1), true, false, {}});
        ++pendingCount;
        previousClose = close;
        open = sql.indexOf(u'?', close + 1);
    }
}

void ComplexCommand_cl::SetParam(int32_t index, const QString& text) {
    // An apostrophe would end the quoted text and a NUL the whole statement: neither is
    // ever pasted.
    if (text.contains(u'\'') || text.contains(QChar(0))) throw SysError(4, __LINE__, text);
    Fill(index, text);
}

void ComplexCommand_cl::SetParam(int32_t index, int32_t number) {
    Fill(index, QString::number(number));
}

void ComplexCommand_cl::SetParam(int32_t index, const Base_ns::DateTime_cl& time) {
    Fill(index, time.Format());
}

void ComplexCommand_cl::SetParam(int32_t index, const Ado_ns::Variant_st& bound) {
    Fill(index, QStringLiteral("?"));
    ParamInfo_st& param = Param(index);
    param.bound = true;
    param.boundValue = bound;
}

ParamInfo_st& ComplexCommand_cl::Param(int32_t index) {
    if (index < 0 || index >= params.Count()) throw SysError(6, __LINE__);
    return params.At(index).Get();
}

void ComplexCommand_cl::Fill(int32_t index, const QString& text) {
    if (index < 0 || index >= params.Count()) throw SysError(6, __LINE__);
    auto entry = params.First();
    qsizetype position = 0;
    for (int32_t i = 0;; ++i, entry.Next()) {
        position += entry.Get().gap;
        if (i == index) break;
        position += entry.Get().length - 1;
    }
    ParamInfo_st& param = entry.Get();
    param.bound = false;
    if (!param.unset && param.value == text) return;
    sql.replace(position, param.length, text);
    param.value = text;
    param.length = int32_t(text.size());
    if (param.unset) {
        param.unset = false;
        --pendingCount;
    }
}

QString ComplexCommand_cl::GetSQL() const {
    if (pendingCount == -1) throw SysError(1, __LINE__);
    if (pendingCount > 0) throw SysError(2, __LINE__);
    for (auto entry = params.First(); !entry.IsEmpty(); entry.Next()) {
        if (entry.Get().bound) throw SysError(11, __LINE__);
    }
    return sql;
}

BoundSQL_st ComplexCommand_cl::GetStatement() const {
    if (pendingCount == -1) throw SysError(1, __LINE__);
    if (pendingCount > 0) throw SysError(2, __LINE__);
    BoundSQL_st statement{sql, {}};
    for (auto entry = params.First(); !entry.IsEmpty(); entry.Next()) {
        if (entry.Get().bound) statement.parameters.push_back(entry.Get().boundValue);
    }
    return statement;
}

}  // namespace DB_ns
