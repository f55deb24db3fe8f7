#include "OdbcValue.h"

#include "base/DateTime.h"

namespace Ado_ns::OdbcValue_ns {

namespace {

// "-123.45" as 12345 with scale 2; false when the digits do not fit 64 bits.
bool ParseDecimal(const QString& text, Variant_st& out) {
    const QString trimmed = text.trimmed();
    const qsizetype point = trimmed.indexOf(u'.');
    const QString digits = point < 0 ? trimmed : trimmed.left(point) + trimmed.mid(point + 1);
    bool ok = false;
    const qlonglong value = digits.toLongLong(&ok);
    const qsizetype scale = point < 0 ? 0 : trimmed.size() - point - 1;
    if (!ok || scale > 28)
        return false;
    out = Variant_st::Decimal(value, uint8_t(scale));
    return true;
}

}  // namespace

Variant_st FromTimestamp(SQL_TIMESTAMP_STRUCT value, SQLSMALLINT type) {
    if (type == SQL_TYPE_TIME) {
        value.year = 1899;
        value.month = 12;
        value.day = 30;
    }
    const auto date = Base_ns::DateTime_cl::FromParts(value.year, value.month, value.day, value.hour, value.minute, value.second);
    if (date.IsValid())
        return Variant_st::Date(date.Value());
    // Beyond the years a date variant holds: kept as text rather than lost.
    return Variant_st::Text(QString::asprintf("%04d-%02d-%02d %02d:%02d:%02d", value.year, value.month, value.day, value.hour,
                                              value.minute, value.second));
}

Variant_st FromText(const QString& text, SQLSMALLINT type) {
    Variant_st decimal;
    if ((type == SQL_DECIMAL || type == SQL_NUMERIC) && ParseDecimal(text, decimal))
        return decimal;
    return Variant_st::Text(text);
}

}  // namespace Ado_ns::OdbcValue_ns
