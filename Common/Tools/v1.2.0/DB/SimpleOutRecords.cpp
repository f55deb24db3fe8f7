#include "SimpleOutRecords.h"

#include "base/SysError.h"
#include "base/Version.h"
#include "platform/ado/ProviderError.h"

#include <iterator>

namespace DB_ns {

namespace {
Base_ns::SysError_cl SysError(int32_t code, int32_t line, const QString& remark = QString()) {
    static const Base_ns::ErrorInfo_st table[] = {
        {1, "移动记录到头失败。"},
        {2, "没有记录存在。"},
        {3, "没有和索引一致的记录可以输出。"},
        {4, "取得的值类型和预想的不一致。"},
        {5, "取值失败。"},
        {6, "该取值类型不能接受空值。"},
        {7, "向后移动记录失败。"},
        {8, "错误的域索引。"},
        {9, "奇怪的域名。"},
    };
    return Base_ns::SysError_cl(line, __FILE__, SimpleOutRecords_cl::ClassName(), code, table, int32_t(std::size(table)), remark);
}

// Only the ordinary space is trimmed, as stored fixed-width texts are padded with it.
QString TrimSpaces(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == u' ') ++begin;
    while (end > begin && text[end - 1] == u' ') --end;
    return text.mid(begin, end - begin);
}
}  // namespace

void SimpleOutRecords_cl::Attach(std::shared_ptr<Ado_ns::Recordset_cl> rows) {
    rowSet = std::move(rows);
    column = 0;
    rowCount = 0;
    rowSet->MoveFirst();
    while (!rowSet->IsEOF()) {
        ++rowCount;
        rowSet->MoveNext();
    }
    rowSet->MoveFirst();
}

void SimpleOutRecords_cl::Detach() {
    rowSet.reset();
    column = -1;
    rowCount = 0;
}

void SimpleOutRecords_cl::CheckAttached() const {
    if (!rowSet) throw SysError(2, __LINE__);
}

void SimpleOutRecords_cl::MoveFirst() {
    column = 0;
    if (!rowSet) return;
    try {
        rowSet->MoveFirst();
    } catch (const Ado_ns::ProviderError_cl&) {
        throw SysError(1, __LINE__);
    }
}

bool SimpleOutRecords_cl::MoveNext() {
    CheckAttached();
    try {
        rowSet->MoveNext();
    } catch (const Ado_ns::ProviderError_cl& error) {
        throw SysError(7, __LINE__, error.Description());
    }
    column = 0;
    return true;
}

int32_t SimpleOutRecords_cl::GetRowCount() const {
    CheckAttached();
    return rowCount;
}

int32_t SimpleOutRecords_cl::GetFieldCount() const {
    CheckAttached();
    return rowSet->FieldCount();
}

QString SimpleOutRecords_cl::GetFieldName(int32_t index) const {
    CheckAttached();
    try {
        return rowSet->Name(index);
    } catch (const Ado_ns::ProviderError_cl& error) {
        throw SysError(5, __LINE__, error.Description());
    }
}

void SimpleOutRecords_cl::GetValue(Ado_ns::Variant_st& value) {
    CheckAttached();
    if (column == -1) throw SysError(3, __LINE__);
    try {
        value = rowSet->Value(column);
    } catch (const Ado_ns::ProviderError_cl& error) {
        throw SysError(5, __LINE__, error.Description());
    }
    ++column;
}

void SimpleOutRecords_cl::GetString(QString& value) {
    Ado_ns::Variant_st raw;
    GetValue(raw);
    if (raw.type == Ado_ns::VT_NULL) {
        value.clear();
        return;
    }
    if (raw.type != Ado_ns::VT_BSTR && raw.type != Ado_ns::VT_DATE) throw SysError(4, __LINE__, QStringLiteral("String"));
    QString text;
    if (!raw.ToText(text)) throw SysError(5, __LINE__);
    value = TrimSpaces(text);
}

void SimpleOutRecords_cl::GetInteger(int32_t& value) {
    Ado_ns::Variant_st raw;
    GetValue(raw);
    switch (raw.type) {
    case Ado_ns::VT_NULL:
        throw SysError(6, __LINE__, QStringLiteral("Integer"));
    case Ado_ns::VT_I2:
    case Ado_ns::VT_I4:
    case Ado_ns::VT_R8:
    case Ado_ns::VT_BOOL:
    case Ado_ns::VT_DECIMAL:
        // A number beyond 32 bits cannot be read as one.
        if (!raw.ToInt32(value)) throw SysError(5, __LINE__);
        return;
    default:
        throw SysError(4, __LINE__, QStringLiteral("Integer"));
    }
}

int32_t SimpleOutRecords_cl::GetInteger() {
    int32_t value = 0;
    GetInteger(value);
    return value;
}

void SimpleOutRecords_cl::GetDateTime(Base_ns::DateTime_cl& value) {
    Ado_ns::Variant_st raw;
    GetValue(raw);
    if (raw.type == Ado_ns::VT_NULL) {
        value = Base_ns::DateTime_cl::MakeInvalid();
        return;
    }
    if (raw.type != Ado_ns::VT_DATE) throw SysError(4, __LINE__, QStringLiteral("DataTime"));
    value = raw.real == 0.0 ? Base_ns::DateTime_cl() : Base_ns::DateTime_cl(raw.real);
}

Base_ns::DateTime_cl SimpleOutRecords_cl::GetDateTime() {
    Ado_ns::Variant_st raw;
    GetValue(raw);
    if (raw.type == Ado_ns::VT_NULL) return Base_ns::DateTime_cl();
    if (raw.type != Ado_ns::VT_DATE) throw SysError(4, __LINE__, QStringLiteral("DataTime"));
    return raw.real == 0.0 ? Base_ns::DateTime_cl() : Base_ns::DateTime_cl(raw.real);
}

int32_t SimpleOutRecords_cl::GetEnum() {
    Ado_ns::Variant_st raw;
    GetValue(raw);
    if (raw.type == Ado_ns::VT_NULL) throw SysError(6, __LINE__, QStringLiteral("Enum"));
    int32_t value = 0;
    if (raw.type != Ado_ns::VT_BSTR || !Base_ns::ReadEnumInteger(raw.text, value))
        throw SysError(4, __LINE__, QStringLiteral("Enum"));
    return value;
}

CrossTable_st SimpleOutRecords_cl::ReadTable() {
    CrossTable_st table;
    if (!rowSet || rowSet->IsEOF()) return table;
    MoveFirst();
    const int32_t columns = GetFieldCount() - 1;
    const int32_t rows = GetRowCount();
    table.columnCaptions.Allocate(columns);
    for (int32_t j = 0; j < columns; ++j) table.columnCaptions[j] = GetFieldName(j + 1);
    table.rowCaptions.Allocate(rows);
    table.cells.Allocate(columns * rows);
    for (int32_t i = 0; i < rows; ++i) {
        GetString(table.rowCaptions[i]);
        for (int32_t j = 0; j < columns; ++j) table.cells[i * columns + j] = GetInteger();
        MoveNext();
    }
    return table;
}

}  // namespace DB_ns
