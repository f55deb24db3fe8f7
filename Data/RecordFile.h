#pragma once

#include "Data/RecordList.h"
#include "Data/RecordManage.h"
#include "IO/CSVStream.h"
#include "base/Trusteeship.h"

#include <QString>
#include <cstdint>

namespace Vorelle_ns {

// The record page's CSV file: the entry list as the page shows it, one header row of the
// column titles, in GBK or UTF-8. The page and the command line write it only here and
// read it only through RecordFileReader_cl.
class RecordFile_cl {
public:
    static QString ClassName() { return QStringLiteral("RecordFile_cl"); }

    static constexpr int32_t ColumnCount = 7;
    // Longest category, entry name and comment a file may hold (the dialog's limits), in
    // characters as a person sees them.
    static constexpr int32_t MaxName = 16;
    static constexpr int32_t MaxComment = 255;

    // The header captions, which are also the record list's column titles:
    // 日期, 分类, 费用名称, 金额, 用户, 类别, 注释.
    static QString ColumnTitle(int32_t column);
    // One entry's texts as the list shows them and the export writes them.
    static void RowTexts(const RecordRow_st& row, QString (&texts)[ColumnCount]);

    // True when some text of the rows cannot be written in GBK, only in UTF-8.
    [[nodiscard]] static bool NeedsUtf8(const Base_ns::Trusteeship_tl<RecordRow_st>& rows);
    [[nodiscard]] static bool NeedsUtf8(const RecordList_cl& rows);
    // Writes the header and the rows, each entry's time of day too unless it is midnight.
    // The file is written beside an existing one and replaces it only when complete; text
    // GBK cannot hold is refused, naming its line, unless UTF-8 is chosen.
    static void Write(const QString& path, const Base_ns::Trusteeship_tl<RecordRow_st>& rows,
                      IO_ns::CSVStream_cl::Encoding_en encoding = IO_ns::CSVStream_cl::Encoding_en::Gbk);
    static void Write(const QString& path, const RecordList_cl& rows,
                      IO_ns::CSVStream_cl::Encoding_en encoding = IO_ns::CSVStream_cl::Encoding_en::Gbk);

private:
    // The same over count rows, row(i) giving each.
    template <typename Row>
    static bool NeedsUtf8(int32_t count, const Row& row);
    template <typename Row>
    static void Write(const QString& path, int32_t count, const Row& row, IO_ns::CSVStream_cl::Encoding_en encoding);
};

}  // namespace Vorelle_ns
