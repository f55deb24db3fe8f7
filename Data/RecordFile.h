#pragma once

#include "Data/RecordManage.h"
#include "Container/List.h"
#include "base/Trusteeship.h"

#include <QString>
#include <cstdint>

namespace Vorelle_ns {

// The record page's CSV file: the entry list as the page shows it, one header row of the
// column titles, in GBK. The page and the command line read and write it only here.
class RecordFile_cl {
public:
    static QString ClassName() { return QStringLiteral("RecordFile_cl"); }

    static constexpr int32_t ColumnCount = 7;
    // Longest category, entry name and comment a file may hold (the dialog's limits).
    static constexpr int32_t MaxName = 16;
    static constexpr int32_t MaxComment = 255;

    // The header captions, which are also the record list's column titles:
    // 日期, 分类, 费用名称, 金额, 用户, 类别, 注释.
    static QString ColumnTitle(int32_t column);
    // One entry's texts as the list shows them and the export writes them.
    static void RowTexts(const RecordRow_st& row, QString (&texts)[ColumnCount]);

    // Reads every entry of a file made like the export. All checks are made before the
    // caller books anything: a fault raises a user error whose remark names the line
    // ("第N行", counting breaks inside quoted cells). Raises the file's I/O errors.
    [[nodiscard]] static Container_ns::List_tl<RecordInfo_st> Read(const QString& path);
    // Writes the header and the rows; an existing file is replaced.
    static void Write(const QString& path, const Base_ns::Trusteeship_tl<RecordRow_st>& rows);
};

}  // namespace Vorelle_ns
