#pragma once

#include "CTL/ReportRows.h"
#include "Data/RecordFile.h"
#include "Data/RecordList.h"

#include <memory>

namespace Vorelle_ns {

// The entries of the record list as its rows, in the record file's columns, each text
// made when the list shows it. The row's data value is the entry's serial number.
class RecordRows_cl : public CTL_ns::ReportRows_cl {
public:
    static constexpr int32_t AmountColumn = 3;

    explicit RecordRows_cl(std::shared_ptr<const RecordList_cl> rows) : rows(std::move(rows)) {}

    int32_t Count() const override { return rows->Count(); }
    int32_t ColumnCount() const override { return RecordFile_cl::ColumnCount; }
    QString Text(int32_t row, int32_t column) const override;
    int32_t Data(int32_t row) const override { return rows->Sn(row); }

private:
    std::shared_ptr<const RecordList_cl> rows;
};

}  // namespace Vorelle_ns
