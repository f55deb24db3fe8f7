#include "RecordFile.h"

#include "IO/FileStream.h"
#include "Window/ConvertInfo.h"
#include "base/Text.h"
#include "base/UserError.h"

namespace Vorelle_ns {

namespace {

Base_ns::UserError_cl UserError(int32_t code, int32_t line, const QString& remark = QString()) {
    static const Base_ns::ErrorInfo_st table[] = {{102, "CSV文件内容不正确，列数不一致。"},
                                                  {103, "CSV文件内容不正确，列头信息有误。"},
                                                  {104, "CSV文件内容不正确，金额应该为数字。"},
                                                  {105, "CSV文件内容不正确，统计方式不正确。"},
                                                  {106, "CSV文件内容不正确，类型过长。"},
                                                  {107, "CSV文件内容不正确，子类型过长。"},
                                                  {108, "CSV文件内容不正确，注释过长。"},
                                                  {109, "CSV文件内容不正确，日期不正确。"},
                                                  {110, "CSV文件内容不正确，金额不能为零。"},
                                                  {111, "CSV文件内容不正确，金额与类别不一致。"},
                                                  {112, "CSV文件内容不正确，有非法字符。"}};
    return Base_ns::UserError_cl(line, __FILE__, RecordFile_cl::ClassName(), code, table,
                                 int32_t(std::size(table)), remark);
}

const char16_t* const kTitles[RecordFile_cl::ColumnCount] = {u"日期", u"分类", u"费用名称", u"金额",
                                                            u"用户", u"类别", u"注释"};

}  // namespace

QString RecordFile_cl::ColumnTitle(int32_t column) { return QString::fromUtf16(kTitles[column]); }

void RecordFile_cl::RowTexts(const RecordRow_st& row, QString (&texts)[ColumnCount]) {
    texts[0] = row.recordTime.FormatDate();
    texts[1] = row.typeName;
    texts[2] = row.expenseName;
    texts[3] = ConvertInfo_cl::MoneyToText(row.expense);
    texts[4] = row.userName;
    texts[5] = ConvertInfo_cl::StatisticsToText(row.expense > 0 ? 1 : 0, row.statisticsMode);
    texts[6] = row.comment;
}

Container_ns::List_tl<RecordInfo_st> RecordFile_cl::Read(const QString& path) {
    IO_ns::FileStream_tl<IO_ns::CSVStream_cl> stream;
    stream.OpenForRead(path);
    if (stream.ColumnCount() != ColumnCount) throw UserError(102, __LINE__);
    for (int32_t column = 0; column < ColumnCount; ++column) {
        if (stream.ReadCell() != ColumnTitle(column)) throw UserError(103, __LINE__);
    }
    Container_ns::List_tl<RecordInfo_st> records;
    QString cells[ColumnCount];
    while (stream.TryReadCell(cells[0])) {
        // The stream refuses a line with too few or too many cells, naming it.
        for (int32_t i = 1; i < ColumnCount; ++i) cells[i] = stream.ReadCell();
        const QString remark = IO_ns::CSVStream_cl::LineRemark(stream.Line());
        RecordInfo_st record;
        record.line = stream.Line();
        record.recordTime = Base_ns::DateTime_cl::Parse(cells[0]);
        if (!record.recordTime.IsValid()) throw UserError(109, __LINE__, remark);
        record.typeName = cells[1];
        record.expenseName = cells[2];
        // Read like a typed balance: an amount beyond 32 bits of cents is refused, never
        // wrapped.
        int32_t cents = 0;
        if (!ConvertInfo_cl::TextToMoney(cells[3], cents)) throw UserError(104, __LINE__, remark);
        if (cents == 0) throw UserError(110, __LINE__, remark);
        record.expense = cents;
        record.userName = cells[4];
        int32_t kind = 0;
        if (!ConvertInfo_cl::TextToStatistics(cells[5], record.statisticsMode, kind)) {
            throw UserError(105, __LINE__, remark);
        }
        if ((kind == 1) != (cents > 0)) throw UserError(111, __LINE__, remark);
        record.comment = cells[6];
        if (Base_ns::CharacterCount(record.typeName) > MaxName) throw UserError(106, __LINE__, remark);
        if (Base_ns::CharacterCount(record.expenseName) > MaxName) throw UserError(107, __LINE__, remark);
        if (Base_ns::CharacterCount(record.comment) > MaxComment) throw UserError(108, __LINE__, remark);
        // Texts go into SQL between single quotes: an apostrophe is refused here, with
        // its line, rather than as a fault of the database layer.
        for (int32_t i : {1, 2, 4, 6}) {
            if (Base_ns::HasIllegalSqlChar(cells[i])) throw UserError(112, __LINE__, remark);
        }
        records.Append(record);
    }
    stream.Close();
    return records;
}

bool RecordFile_cl::NeedsUtf8(const Base_ns::Trusteeship_tl<RecordRow_st>& rows) {
    QString all;
    QString texts[ColumnCount];
    for (int32_t i = 0; i < rows.Count(); ++i) {
        RowTexts(rows[i], texts);
        for (const QString& text : texts) all += text;
    }
    return !IO_ns::CSVStream_cl::GbkHolds(all);
}

void RecordFile_cl::Write(const QString& path, const Base_ns::Trusteeship_tl<RecordRow_st>& rows,
                          IO_ns::CSVStream_cl::Encoding_en encoding) {
    IO_ns::FileStream_tl<IO_ns::CSVStream_cl> file;
    file.OpenForReplace(path);
    file.SetEncoding(encoding);
    file.SetColumnCount(ColumnCount);
    for (int32_t column = 0; column < ColumnCount; ++column) file.WriteCell(ColumnTitle(column));
    QString texts[ColumnCount];
    for (int32_t i = 0; i < rows.Count(); ++i) {
        RowTexts(rows[i], texts);
        // The time of day too, so that importing the file again keeps it.
        const Base_ns::DateTime_cl& time = rows[i].recordTime;
        if (time.Hour() != 0 || time.Minute() != 0 || time.Second() != 0) texts[0] = time.Format();
        for (const QString& text : texts) file.WriteCell(text);
    }
    file.Close();
}

}  // namespace Vorelle_ns
