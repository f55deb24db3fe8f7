#include "Window/RecordRows.h"

namespace Vorelle_ns {

QString RecordRows_cl::Text(int32_t index, int32_t column) const {
    // Only the rows on screen are asked for: making the whole row's texts costs nothing here.
    QString texts[RecordFile_cl::ColumnCount];
    RecordFile_cl::RowTexts(rows[index], texts);
    return column >= 0 && column < RecordFile_cl::ColumnCount ? texts[column] : QString();
}

}  // namespace Vorelle_ns
