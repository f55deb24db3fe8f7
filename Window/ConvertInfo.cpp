#include "Window/ConvertInfo.h"

#include "base/SysError.h"

#include <iterator>
#include <limits>

namespace Vorelle_ns {

namespace {

Base_ns::SysError_cl SysError(int32_t code, int32_t line, const QString& remark = QString()) {
    static const Base_ns::ErrorInfo_st table[] = {{1, "错误的用户权限。"}, {2, "错误的统计方式。"}};
    return Base_ns::SysError_cl(line, __FILE__, ConvertInfo_cl::ClassName(), code, table,
                                int32_t(std::size(table)), remark);
}

struct Statistics_st {
    const char16_t* text;
    int32_t mode;
    int32_t kind;
};

// Searched in this order, both ways.
const Statistics_st statisticsTable[] = {
    {u"月开销", 0, 0}, {u"年开销", 1, 0}, {u"开销", 2, 0},
    {u"月收入", 0, 1}, {u"年收入", 1, 1}, {u"收入", 2, 1},
};

const char16_t* const powerNames[] = {u"超级管理员", u"管理员", u"普通", u"独立"};

bool IsDigit(QChar c) { return c >= u'0' && c <= u'9'; }

}  // namespace

QString ConvertInfo_cl::ClassName() { return QStringLiteral("ConvertInfo_cl"); }

QString ConvertInfo_cl::RealToText(double value) {
    QString text = QString::asprintf("%.10f", value);
    qsizetype end = text.size();
    while (end > 0 && text[end - 1] == u'0') --end;
    if (end > 0 && text[end - 1] == u'.') --end;
    text.truncate(end);
    return text;
}

// Formatted from the integer itself: amount / 100.0 is not exact in binary, and from
// about half a million units up ten decimals of it show the error ("5243621.7999999998").
// Takes 64 bits because totals of many amounts can pass 32.
QString ConvertInfo_cl::MoneyToText(int64_t amount, Decimals_en decimals) {
    const uint64_t magnitude = amount < 0 ? 0 - uint64_t(amount) : uint64_t(amount);
    QString text = QString::number(magnitude / 100);
    const uint64_t cents = magnitude % 100;
    if (cents != 0 || decimals == Decimals_en::Two) {
        text += u'.';
        text += QChar(u'0' + int(cents / 10));
        if (cents % 10 != 0 || decimals == Decimals_en::Two) text += QChar(u'0' + int(cents % 10));
    }
    return amount < 0 ? u'-' + text : text;
}

QString ConvertInfo_cl::SizeToText(int64_t bytes) {
    if (bytes < 1024) return QStringLiteral("%1 字节").arg(bytes);
    static const char* const units[] = {"KB", "MB", "GB", "TB"};
    double size = double(bytes) / 1024;
    size_t unit = 0;
    while (size >= 1024 && unit + 1 < std::size(units)) {
        size /= 1024;
        ++unit;
    }
    return QString::number(size, 'f', 2) + u' ' + QLatin1String(units[unit]);
}

QString ConvertInfo_cl::PowerToText(int32_t power) {
    if (power < 0 || power >= int32_t(std::size(powerNames))) throw SysError(1, __LINE__);
    return QString::fromUtf16(powerNames[power]);
}

QString ConvertInfo_cl::StatisticsToText(int32_t kind, int32_t mode) {
    for (const Statistics_st& row : statisticsTable) {
        if (row.mode == mode && row.kind == kind) return QString::fromUtf16(row.text);
    }
    throw SysError(2, __LINE__);
}

bool ConvertInfo_cl::TextToStatistics(const QString& text, int32_t& mode, int32_t& kind) {
    for (const Statistics_st& row : statisticsTable) {
        if (text == QStringView(row.text)) {
            mode = row.mode;
            kind = row.kind;
            return true;
        }
    }
    return false;
}

bool ConvertInfo_cl::TextToMoney(const QString& text, int32_t& cents) {
    // Decimal digits are taken as they are, never through a binary fraction, so that
    // large balances keep every digit.
    const qsizetype length = text.size();
    qsizetype i = 0;
    const bool negative = length > 0 && text[0] == u'-';
    if (length > 0 && (text[0] == u'+' || text[0] == u'-')) ++i;
    int64_t whole = 0;
    int32_t digits = 0;
    for (; i < length && IsDigit(text[i]); ++i, ++digits) {
        whole = whole * 10 + text[i].digitValue();
        if (whole > std::numeric_limits<int32_t>::max()) return false;
    }
    int64_t hundredths = 0;
    if (i < length && text[i] == u'.') {
        int32_t places = 0;
        for (++i; i < length && IsDigit(text[i]); ++i, ++digits, ++places) {
            if (places < 2) hundredths = hundredths * 10 + text[i].digitValue();
            if (places >= 2 && text[i] != u'0') return false;
        }
        if (places == 1) hundredths *= 10;
    }
    if (i != length || digits == 0) return false;
    int64_t value = whole * 100 + hundredths;
    if (negative) value = -value;
    if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max()) return false;
    cents = int32_t(value);
    return true;
}

Base_ns::DateTime_cl ConvertInfo_cl::EarliestEntryTime() { return Base_ns::DateTime_cl::FromParts(1900, 1, 1, 0, 0, 0); }

Base_ns::DateTime_cl ConvertInfo_cl::LatestEntryTime() { return Base_ns::DateTime_cl::FromParts(2099, 12, 31, 23, 59, 59); }

bool ConvertInfo_cl::IsMoneyTooLarge(const QString& text) {
    int32_t cents = 0;
    if (TextToMoney(text, cents)) return false;
    // The same text with its whole yuan made small: read then, only the size was wrong.
    QString small = text;
    for (QChar& c : small) {
        if (c == u'.') break;
        if (IsDigit(c)) c = u'0';
    }
    return TextToMoney(small, cents);
}

}  // namespace Vorelle_ns
