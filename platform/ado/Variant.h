#pragma once

#include <QString>
#include <cstdint>
#include <vector>

namespace Ado_ns {

// Variant type tags, numbered as OLE automation numbers them.
constexpr uint16_t VT_EMPTY = 0;
constexpr uint16_t VT_NULL = 1;
constexpr uint16_t VT_I2 = 2;
constexpr uint16_t VT_I4 = 3;
constexpr uint16_t VT_R8 = 5;
constexpr uint16_t VT_DATE = 7;
constexpr uint16_t VT_BSTR = 8;
constexpr uint16_t VT_BOOL = 11;
constexpr uint16_t VT_DECIMAL = 14;

// One column value. Which payload is meaningful depends on type.
struct Variant_st {
    uint16_t type = VT_EMPTY;
    int64_t integer = 0;  // VT_I2, VT_I4, VT_BOOL (true is -1), VT_DECIMAL (digits without the point)
    uint8_t scale = 0;    // VT_DECIMAL: digits after the decimal point
    double real = 0;      // VT_R8; VT_DATE as days since 1899-12-30
    QString text;         // VT_BSTR

    static Variant_st Null();
    static Variant_st Short(int16_t value);
    // VT_I4 when the value fits 32 bits, VT_DECIMAL otherwise.
    static Variant_st Integer(int64_t value);
    static Variant_st Decimal(int64_t digits, uint8_t scale);
    static Variant_st Real(double value);
    static Variant_st Date(double days);
    static Variant_st Text(const QString& value);
    static Variant_st Bool(bool value);

    // To a 32-bit integer, fractions to the nearest integer and halves to the even one;
    // false (out unchanged) for null, non-numeric text or a value out of range.
    bool ToInt32(int32_t& out) const;
    // To text; a date as "%Y-%m-%d %H:%M:%S". False for null or a date out of range.
    bool ToText(QString& out) const;
};

// Values bound to the "?" markers of a statement, in the order the markers appear. A
// bound value never becomes part of the statement's text, whatever it holds.
using VariantList_tl = std::vector<Variant_st>;

}  // namespace Ado_ns
