#include "JetFunctions.h"

#include "base/DateTime.h"

#include <QLatin1StringView>
#include <QUtf8StringView>
#include <QVarLengthArray>
#include <cstring>
#include <memory>
#include <string_view>

#define SQLITE_HAS_CODEC 1
#include <sqlcipher/sqlite3.h>

namespace Ado_ns {

namespace {

// Crosstabs call these once per column for every row they read: they work on the engine's
// UTF-8 bytes and allocate nothing for the usual date texts and patterns.
using Bytes_tl = QVarLengthArray<char, 64>;

// Never a null pointer: the engine would take a result made from one for a null.
QUtf8StringView TextOf(sqlite3_value* value) {
    const char* text = reinterpret_cast<const char*>(sqlite3_value_text(value));
    return text == nullptr ? QUtf8StringView("") : QUtf8StringView(text, sqlite3_value_bytes(value));
}

void Iif(sqlite3_context* context, int, sqlite3_value** args) {
    // A null condition is false, as in Jet.
    const bool condition = sqlite3_value_type(args[0]) != SQLITE_NULL && sqlite3_value_double(args[0]) != 0.0;
    sqlite3_result_value(context, args[condition ? 1 : 2]);
}

// Dates arrive as "%Y-%m-%d %H:%M:%S" texts, or as day numbers. False for what is not a
// date.
bool PartsOf(sqlite3_value* value, Base_ns::DateTime_cl::Parts_st& parts) {
    Base_ns::DateTime_cl date;
    switch (sqlite3_value_type(value)) {
    case SQLITE_INTEGER:
    case SQLITE_FLOAT:
        date = Base_ns::DateTime_cl(sqlite3_value_double(value));
        break;
    default: {
        // The form the program stores is split without any date arithmetic.
        const QUtf8StringView text = TextOf(value);
        if (Base_ns::DateTime_cl::ReadFormatted(text, parts))
            return true;
        date = Base_ns::DateTime_cl::Parse(text);
    }
    }
    parts = date.Parts();
    return date.IsValid();
}

void PutNumber(Bytes_tl& out, int32_t value, int width) {
    char digits[4];
    for (int i = width - 1; i >= 0; --i, value /= 10)
        digits[i] = char('0' + value % 10);
    out.append(digits, width);
}

// Whether the pattern holds token (lower case) at i, in any case.
bool TokenAt(QUtf8StringView pattern, qsizetype i, QLatin1StringView token) {
    if (i + token.size() > pattern.size())
        return false;
    for (qsizetype k = 0; k < token.size(); ++k) {
        const char c = pattern.data()[i + k];
        if ((c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c) != token[k])
            return false;
    }
    return true;
}

// Tokens are ASCII, so the bytes of any other character are copied unchanged.
void FormatDate(const Base_ns::DateTime_cl::Parts_st& parts, QUtf8StringView pattern, Bytes_tl& out) {
    const struct {
        QLatin1StringView token;
        int32_t value;
    } tokens[] = {{QLatin1StringView("yyyy"), parts.year}, {QLatin1StringView("mm"), parts.month},
                  {QLatin1StringView("dd"), parts.day},    {QLatin1StringView("hh"), parts.hour},
                  {QLatin1StringView("nn"), parts.minute}, {QLatin1StringView("ss"), parts.second}};
    for (qsizetype i = 0; i < pattern.size();) {
        bool matched = false;
        for (const auto& token : tokens) {
            if (TokenAt(pattern, i, token.token)) {
                PutNumber(out, token.value, int(token.token.size()));
                i += token.token.size();
                matched = true;
                break;
            }
        }
        if (!matched)
            out.append(pattern.data()[i++]);
    }
}

// A crosstab formats the same date once for each of its columns, row after row: the
// last text date formatted on a connection is kept with its result.
class LastFormat_cl {
public:
    bool Holds(QUtf8StringView date, QUtf8StringView pattern) const {
        return kept && Same(this->date, date) && Same(this->pattern, pattern);
    }
    const Bytes_tl& Result() const { return result; }
    void Keep(QUtf8StringView date, QUtf8StringView pattern, const Bytes_tl& result) {
        Assign(this->date, date);
        Assign(this->pattern, pattern);
        this->result = result;
        kept = true;
    }

private:
    // Byte for byte: Qt's comparison of UTF-8 views decodes them.
    static bool Same(const Bytes_tl& kept, QUtf8StringView text) {
        return kept.size() == text.size() && std::memcmp(kept.constData(), text.data(), size_t(text.size())) == 0;
    }
    static void Assign(Bytes_tl& to, QUtf8StringView text) {
        to.clear();
        to.append(text.data(), text.size());
    }

    bool kept = false;
    Bytes_tl date, pattern, result;
};

void Format(sqlite3_context* context, int, sqlite3_value** args) {
    const int type = sqlite3_value_type(args[0]);
    if (type == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    LastFormat_cl& last = *static_cast<LastFormat_cl*>(sqlite3_user_data(context));
    const QUtf8StringView pattern = TextOf(args[1]);
    if (type == SQLITE_TEXT && last.Holds(TextOf(args[0]), pattern)) {
        sqlite3_result_text(context, last.Result().constData(), int(last.Result().size()), SQLITE_TRANSIENT);
        return;
    }
    Base_ns::DateTime_cl::Parts_st parts;
    Bytes_tl out;
    if (PartsOf(args[0], parts)) {
        FormatDate(parts, pattern, out);
    } else {
        // What is not a date comes back as its text, as Jet gives it.
        const QUtf8StringView text = TextOf(args[0]);
        out.append(text.data(), text.size());
    }
    if (type == SQLITE_TEXT)
        last.Keep(TextOf(args[0]), pattern, out);
    sqlite3_result_text(context, out.constData(), int(out.size()), SQLITE_TRANSIENT);
}

// The sought text of instr, worked out once per statement: a search runs it against
// every row of a span with the same bound text.
struct Sought_st {
    enum class Way_en { Bytes, AsciiLetters, Letters };
    Sought_st(QUtf8StringView text, bool ignoreCase) : bytes(text.data(), text.size()), ignoreCase(ignoreCase) {
        const QString wide = text.toString();
        bool ascii = true;
        for (const char c : bytes) ascii = ascii && uchar(c) < 0x80;
        // Without letters that have a case (Chinese, digits, signs) the bytes decide alone.
        if (!ignoreCase || (wide.toLower() == wide && wide.toUpper() == wide)) {
            way = Way_en::Bytes;
        } else if (ascii) {
            way = Way_en::AsciiLetters;
        } else {
            way = Way_en::Letters;
            letters = wide;
        }
    }
    QByteArray bytes;
    QString letters;
    bool ignoreCase;
    Way_en way = Way_en::Bytes;
};

bool IsLeadByte(char c) { return (uchar(c) & 0xC0) != 0x80; }

// The byte offset of character index (from 0) of UTF-8 text; -1 past its end.
qsizetype ByteOfCharacter(QUtf8StringView text, sqlite3_int64 index) {
    qsizetype at = 0;
    for (; index > 0 && at < text.size(); --index)
        for (++at; at < text.size() && !IsLeadByte(text.data()[at]); ++at) {
        }
    return index > 0 ? -1 : at;
}

sqlite3_int64 CharacterOfByte(QUtf8StringView text, qsizetype offset) {
    sqlite3_int64 count = 0;
    for (qsizetype i = 0; i < offset; ++i) count += IsLeadByte(text.data()[i]) ? 1 : 0;
    return count;
}

// The byte offset of sought in text from the offset from on, -1 when it is not there.
qsizetype FindBytes(QUtf8StringView text, qsizetype from, const Sought_st& sought) {
    const std::string_view haystack(text.data(), size_t(text.size()));
    const std::string_view needle(sought.bytes.constData(), size_t(sought.bytes.size()));
    if (sought.way == Sought_st::Way_en::Bytes) {
        const size_t found = haystack.find(needle, size_t(from));
        return found == std::string_view::npos ? -1 : qsizetype(found);
    }
    // Latin letters of the sought text match either case; bytes of other characters
    // never equal them.
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    for (size_t at = size_t(from); at + needle.size() <= haystack.size(); ++at) {
        size_t i = 0;
        while (i < needle.size() && lower(haystack[at + i]) == lower(needle[i])) ++i;
        if (i == needle.size()) return qsizetype(at);
    }
    return -1;
}

// InStr(start, text, sought, compare): the place (from 1) of sought in text from start on,
// 0 when it is not there; compare 1 compares letters of any script without regard to case,
// 0 compares exactly. A null text or sought gives null, as in Jet.
void InStr(sqlite3_context* context, int, sqlite3_value** args) {
    if (sqlite3_value_type(args[1]) == SQLITE_NULL || sqlite3_value_type(args[2]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    const sqlite3_int64 start = sqlite3_value_int64(args[0]);
    if (start < 1) {
        sqlite3_result_error(context, "InStr: the start must be 1 or more.", -1);
        return;
    }
    const bool ignoreCase = sqlite3_value_int(args[3]) == 1;
    const auto* sought = static_cast<const Sought_st*>(sqlite3_get_auxdata(context, 2));
    std::unique_ptr<Sought_st> made;
    if (sought == nullptr || sought->ignoreCase != ignoreCase) {
        made = std::make_unique<Sought_st>(TextOf(args[2]), ignoreCase);
        sought = made.get();
    }
    const QUtf8StringView text = TextOf(args[1]);
    sqlite3_int64 place = 0;
    if (sought->way == Sought_st::Way_en::Letters) {
        const qsizetype found = QString::fromUtf8(text).indexOf(sought->letters, qsizetype(start - 1), Qt::CaseInsensitive);
        place = found + 1;
    } else if (const qsizetype from = ByteOfCharacter(text, start - 1); from >= 0) {
        const qsizetype found = FindBytes(text, from, *sought);
        place = found < 0 ? 0 : CharacterOfByte(text, found) + 1;
    }
    sqlite3_result_int64(context, place);
    // Kept for the next rows only once used: the engine may free it at once.
    if (made) sqlite3_set_auxdata(context, 2, made.release(), [](void* kept) { delete static_cast<Sought_st*>(kept); });
}

}  // namespace

int JetFunctions_cl::Register(sqlite3* db) {
    // Deterministic: the engine may evaluate a call with constant arguments once.
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    int rc = sqlite3_create_function_v2(db, "iif", 3, flags, nullptr, Iif, nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_create_function_v2(db, "instr", 4, flags, nullptr, InStr, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        return rc;
    // The connection destroys the kept format with the function.
    return sqlite3_create_function_v2(db, "format", 2, flags, new LastFormat_cl, Format, nullptr, nullptr,
                                      [](void* last) { delete static_cast<LastFormat_cl*>(last); });
}

}  // namespace Ado_ns
