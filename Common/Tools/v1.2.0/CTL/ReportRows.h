#pragma once

#include <QString>
#include <cstdint>

namespace CTL_ns {

// Rows a report list shows without holding a text per cell: each cell's text is made when
// the list asks for it, so a list of a million rows costs what its data costs.
class ReportRows_cl {
public:
    virtual ~ReportRows_cl();

    virtual int32_t Count() const = 0;
    virtual int32_t ColumnCount() const = 0;
    virtual QString Text(int32_t row, int32_t column) const = 0;
    // The row's 32-bit data value.
    virtual int32_t Data(int32_t row) const = 0;
};

}  // namespace CTL_ns
