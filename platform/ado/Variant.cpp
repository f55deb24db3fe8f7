#include "Variant.h"

#include "base/DateTime.h"

#include <cmath>
#include <limits>

namespace Ado_ns {

namespace {

bool RealToInt32(double value, int32_t& out) {
    if (!std::isfinite(value))
        return false;
    const double rounded = std::nearbyint(value);  // the default rounding mode sends halves to even
    if (rounded < std::numeric_limits<int32_t>::min() || rounded > std::numeric_limits<int32_t>::max())
        return false;
    out = int32_t(rounded);
    return true;
}

bool WholeToInt32(int64_t value, int32_t& out) {
    if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max())
        return false;
    out = int32_t(value);
    return true;
}

// digits / 10^scale, halves to even, done in integers so no precision is lost.
bool DecimalToInt32(int64_t digits, uint8_t scale, int32_t& out) {
    if (scale > 18)
        return RealToInt32(double(digits) / std::pow(10.0, scale), out);
    int64_t unit = 1;
    for (uint8_t i = 0; i < scale; ++i)
        unit *= 10;
    int64_t quotient = digits / unit;
    const int64_t rest = digits % unit;  // same sign as digits
    const int64_t twice = rest < 0 ? -2 * rest : 2 * rest;
    if (twice > unit || (twice == unit && quotient % 2 != 0))
        quotient += digits < 0 ? -1 : 1;
    return WholeToInt32(quotient, out);
}

QString DecimalToText(int64_t digits, uint8_t scale) {
    QString text = QString::number(digits < 0 ? -(digits + 1) + 1ULL : uint64_t(digits));
    if (scale > 0) {
        if (text.size() <= scale)
            text.prepend(QString(scale - text.size() + 1, u'0'));
        text.insert(text.size() - scale, u'.');
    }
    return digits < 0 ? u'-' + text : text;
}

}  // namespace

Variant_st Variant_st::Null() {
    Variant_st v;
    v.type = VT_NULL;
    return v;
}

Variant_st Variant_st::Short(int16_t value) {
    Variant_st v;
    v.type = VT_I2;
    v.integer = value;
    return v;
}

Variant_st Variant_st::Integer(int64_t value) {
    Variant_st v;
    const bool fits = value >= std::numeric_limits<int32_t>::min() && value <= std::numeric_limits<int32_t>::max();
    v.type = fits ? VT_I4 : VT_DECIMAL;
    v.integer = value;
    return v;
}

Variant_st Variant_st::Decimal(int64_t digits, uint8_t scale) {
    Variant_st v;
    v.type = VT_DECIMAL;
    v.integer = digits;
    v.scale = scale;
    return v;
}

Variant_st Variant_st::Real(double value) {
    Variant_st v;
    v.type = VT_R8;
    v.real = value;
    return v;
}

Variant_st Variant_st::Date(double days) {
    Variant_st v;
    v.type = VT_DATE;
    v.real = days;
    return v;
}

Variant_st Variant_st::Text(const QString& value) {
    Variant_st v;
    v.type = VT_BSTR;
    v.text = value;
    return v;
}

Variant_st Variant_st::Bool(bool value) {
    Variant_st v;
    v.type = VT_BOOL;
    v.integer = value ? -1 : 0;
    return v;
}

bool Variant_st::ToInt32(int32_t& out) const {
    switch (type) {
    case VT_EMPTY:
        out = 0;
        return true;
    case VT_I2:
    case VT_I4:
    case VT_BOOL:
        return WholeToInt32(integer, out);
    case VT_DECIMAL:
        return DecimalToInt32(integer, scale, out);
    case VT_R8:
    case VT_DATE:
        return RealToInt32(real, out);
    case VT_BSTR: {
        bool ok = false;
        const double value = text.trimmed().toDouble(&ok);
        return ok && RealToInt32(value, out);
    }
    default:
        return false;
    }
}

bool Variant_st::ToText(QString& out) const {
    switch (type) {
    case VT_EMPTY:
        out.clear();
        return true;
    case VT_I2:
    case VT_I4:
    case VT_BOOL:
        out = QString::number(integer);
        return true;
    case VT_DECIMAL:
        out = DecimalToText(integer, scale);
        return true;
    case VT_R8:
        out = QString::number(real, 'g', 15);
        return true;
    case VT_DATE: {
        const Base_ns::DateTime_cl date(real);
        if (!date.IsValid())
            return false;
        out = date.Format();
        return true;
    }
    case VT_BSTR:
        out = text;
        return true;
    default:
        return false;
    }
}

}  // namespace Ado_ns
