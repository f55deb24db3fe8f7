#include "RecordFileReader.h"

#include "Data/RecordFile.h"
#include "Window/ConvertInfo.h"
#include "base/Text.h"
#include "base/UserError.h"

#include <QFileInfo>
#include <iterator>

namespace Vorelle_ns {

namespace {

Base_ns::UserError_cl UserError(int32_t code, int32_t line, const QString& remark = QString()) {
    static const Base_ns::ErrorInfo_st table[] = {{102, "CSV文件内容不正确，列数不一致。"},
                                                  {103, "CSV文件内容不正确，列头信息有误。"},
                                                  {104, "CSV文件内容不正确，金额应该为数字。"},
                                                  {105, "CSV文件内容不正确，统计方式不正确。"},
                                                  {106, "CSV文件内容不正确，分类过长，最多16个字（组合成的表情按其中的每个字计算）。"},
                                                  {107, "CSV文件内容不正确，费用名称过长，最多16个字（组合成的表情按其中的每个字计算）。"},
                                                  {108, "CSV文件内容不正确，注释过长，最多255个字（组合成的表情按其中的每个字计算）。"},
                                                  {109, "CSV文件内容不正确，日期不正确。"},
                                                  {110, "CSV文件内容不正确，金额不能为零。"},
                                                  {111, "CSV文件内容不正确，金额与类别不一致。"},
                                                  {112, "CSV文件内容不正确，有非法字符。"},
                                                  {113, "CSV文件内容不正确，金额太大，最多为21474836.47。"}};
    return Base_ns::UserError_cl(line, __FILE__, RecordFileReader_cl::ClassName(), code, table,
                                 int32_t(std::size(table)), remark);
}

}  // namespace

RecordFileReader_cl::RecordFileReader_cl(const QString& path) : size(QFileInfo(path).size()) {
    stream.OpenForRead(path);
    if (stream.ColumnCount() != RecordFile_cl::ColumnCount) throw UserError(102, __LINE__);
    for (int32_t column = 0; column < RecordFile_cl::ColumnCount; ++column) {
        if (stream.ReadCell() != RecordFile_cl::ColumnTitle(column)) throw UserError(103, __LINE__);
    }
}

bool RecordFileReader_cl::Next(RecordInfo_st& record) {
    constexpr int32_t columns = RecordFile_cl::ColumnCount;
    QString cells[columns];
    if (!stream.TryReadCell(cells[0])) {
        stream.Close();
        return false;
    }
    // The stream refuses a line with too few or too many cells, naming it.
    for (int32_t i = 1; i < columns; ++i) cells[i] = stream.ReadCell();
    const QString remark = IO_ns::CSVStream_cl::LineRemark(stream.Line());
    record = RecordInfo_st();
    record.line = stream.Line();
    record.recordTime = Base_ns::DateTime_cl::Parse(cells[0]);
    if (!record.recordTime.IsValid()) throw UserError(109, __LINE__, remark);
    record.typeName = cells[1];
    record.expenseName = cells[2];
    // Read like a typed balance: an amount beyond 32 bits of cents is refused, never
    // wrapped.
    int32_t cents = 0;
    if (!ConvertInfo_cl::TextToMoney(cells[3], cents))
        throw UserError(ConvertInfo_cl::IsMoneyTooLarge(cells[3]) ? 113 : 104, __LINE__, remark);
    if (cents == 0) throw UserError(110, __LINE__, remark);
    record.expense = cents;
    record.userName = cells[4];
    int32_t kind = 0;
    if (!ConvertInfo_cl::TextToStatistics(cells[5], record.statisticsMode, kind)) throw UserError(105, __LINE__, remark);
    // A positive amount marked as an expense is a refund; income is never negative.
    if (kind == 1 && cents < 0) throw UserError(111, __LINE__, remark);
    record.refund = kind == 0 && cents > 0;
    record.comment = cells[6];
    if (Base_ns::CharacterCount(record.typeName) > RecordFile_cl::MaxName) throw UserError(106, __LINE__, remark);
    if (Base_ns::CharacterCount(record.expenseName) > RecordFile_cl::MaxName) throw UserError(107, __LINE__, remark);
    if (Base_ns::CharacterCount(record.comment) > RecordFile_cl::MaxComment) throw UserError(108, __LINE__, remark);
    // Texts go into SQL between single quotes: an apostrophe is refused here, with its
    // line, rather than as a fault of the database layer.
    for (int32_t i : {1, 2, 4, 6}) {
        if (Base_ns::HasIllegalSqlChar(cells[i])) throw UserError(112, __LINE__, remark);
    }
    ++count;
    return true;
}

}  // namespace Vorelle_ns
