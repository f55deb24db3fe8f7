#include "Window/RecordRows.h"

#include "Window/ConvertInfo.h"

namespace Vorelle_ns {

QString RecordRows_cl::Text(int32_t index, int32_t column) const {
    const RecordRow_st row = rows->Row(index);
    // On screen an amount has both decimals, so that the column lines up; files keep theirs.
    if (column == AmountColumn) return ConvertInfo_cl::MoneyToText(row.expense, ConvertInfo_cl::Decimals_en::Two);
    // Only the rows on screen are asked for: making the whole row's texts costs nothing here.
    QString texts[RecordFile_cl::ColumnCount];
    RecordFile_cl::RowTexts(row, texts);
    return column >= 0 && column < RecordFile_cl::ColumnCount ? texts[column] : QString();
}

}  // namespace Vorelle_ns
