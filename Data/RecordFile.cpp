#include "RecordFile.h"

#include "Data/RecordFileWriter.h"
#include "Window/ConvertInfo.h"
#include "base/Text.h"

namespace Vorelle_ns {

namespace {

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
    // A refund is a positive amount marked as an expense.
    texts[5] = ConvertInfo_cl::StatisticsToText(row.expense > 0 && !row.refund ? 1 : 0, row.statisticsMode);
    texts[6] = row.comment;
}

bool RecordFile_cl::NeedsUtf8(const Base_ns::Trusteeship_tl<RecordRow_st>& rows) {
    return NeedsUtf8(rows.Count(), [&rows](int32_t i) -> const RecordRow_st& { return rows[i]; });
}

bool RecordFile_cl::NeedsUtf8(const RecordList_cl& rows) {
    return NeedsUtf8(rows.Count(), [&rows](int32_t i) { return rows.Row(i); });
}

void RecordFile_cl::Write(const QString& path, const Base_ns::Trusteeship_tl<RecordRow_st>& rows,
                          IO_ns::CSVStream_cl::Encoding_en encoding) {
    Write(path, rows.Count(), [&rows](int32_t i) -> const RecordRow_st& { return rows[i]; }, encoding);
}

void RecordFile_cl::Write(const QString& path, const RecordList_cl& rows, IO_ns::CSVStream_cl::Encoding_en encoding) {
    Write(path, rows.Count(), [&rows](int32_t i) { return rows.Row(i); }, encoding);
}

template <typename Row>
bool RecordFile_cl::NeedsUtf8(int32_t count, const Row& row) {
    QString all;
    QString texts[ColumnCount];
    for (int32_t i = 0; i < count; ++i) {
        RowTexts(row(i), texts);
        for (const QString& text : texts) all += text;
    }
    return !IO_ns::CSVStream_cl::GbkHolds(all);
}

template <typename Row>
void RecordFile_cl::Write(const QString& path, int32_t count, const Row& row, IO_ns::CSVStream_cl::Encoding_en encoding) {
    RecordFileWriter_cl file(path, encoding);
    for (int32_t i = 0; i < count; ++i) file.Add(row(i));
    file.Close();
}

}  // namespace Vorelle_ns
