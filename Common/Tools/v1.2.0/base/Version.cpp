#include "Version.h"

#include "SysError.h"

#include <iterator>

namespace Base_ns {

namespace {
SysError_cl SysError(int32_t code, int32_t line, const QString& remark = QString()) {
    static const ErrorInfo_st table[] = {{1, "表示版本号的字符串不正确。"}};
    return SysError_cl(line, __FILE__, Version_st::ClassName(), code, table, int32_t(std::size(table)), remark);
}
}  // namespace

bool ReadEnumInteger(const QString& text, int32_t& value) {
    if (text.isEmpty()) return false;
    qsizetype position = 0;
    bool negative = false;
    if (text[0] == u'+') {
        position = 1;
    } else if (text[0] == u'-') {
        position = 1;
        negative = true;
    }
    int64_t result = 0;
    int base = 10;
    for (; position < text.size(); ++position) {
        const char16_t c = text[position].unicode();
        int digit;
        if (c >= u'0' && c <= u'9') {
            digit = c - u'0';
        } else if (c >= u'A' && c <= u'F') {
            digit = c - u'A' + 10;
            base = 16;
        } else if (c >= u'a' && c <= u'f') {
            digit = c - u'a' + 10;
            base = 16;
        } else {
            return false;
        }
        result = result * base + digit;
        if (result > INT32_MAX) return false;
    }
    value = int32_t(negative ? -result : result);
    return true;
}

void Version_st::Parse(const QString& text) {
    uint32_t parsed = 0;
    qsizetype position = 0;
    for (int i = 0; i < 4; ++i) {
        if (position >= text.size()) throw SysError(1, __LINE__);
        qsizetype end = text.indexOf(u'.', position);
        if (end < 0) end = text.size();
        int32_t number = 0;
        if (!ReadEnumInteger(text.mid(position, end - position), number)) throw SysError(1, __LINE__);
        if (uint32_t(number) > 255) throw SysError(1, __LINE__);
        parsed = parsed * 256 + uint32_t(number);
        position = end + 1;
    }
    value = parsed;
}

QString Version_st::ToString() const {
    return QStringLiteral("%1.%2.%3.%4")
        .arg(value >> 24)
        .arg((value >> 16) & 0xFF)
        .arg((value >> 8) & 0xFF)
        .arg(value & 0xFF);
}

}  // namespace Base_ns
