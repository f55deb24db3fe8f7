#include "JetFunctions.h"

#include "base/DateTime.h"

#define SQLITE_HAS_CODEC 1
#include <sqlcipher/sqlite3.h>

namespace Ado_ns {

namespace {

QString TextOf(sqlite3_value* value) {
    const void* text = sqlite3_value_text16(value);
    return text == nullptr ? QString() : QString::fromUtf16(static_cast<const char16_t*>(text), sqlite3_value_bytes16(value) / 2);
}

void Iif(sqlite3_context* context, int, sqlite3_value** args) {
    // A null condition is false, as in Jet.
    const bool condition = sqlite3_value_type(args[0]) != SQLITE_NULL && sqlite3_value_double(args[0]) != 0.0;
    sqlite3_result_value(context, args[condition ? 1 : 2]);
}

// Dates arrive as "%Y-%m-%d %H:%M:%S" texts, or as day numbers.
Base_ns::DateTime_cl DateOf(sqlite3_value* value) {
    switch (sqlite3_value_type(value)) {
    case SQLITE_INTEGER:
    case SQLITE_FLOAT:
        return Base_ns::DateTime_cl(sqlite3_value_double(value));
    default:
        return Base_ns::DateTime_cl::Parse(TextOf(value));
    }
}

QString FormatDate(const Base_ns::DateTime_cl& date, const QString& pattern) {
    const struct {
        const char16_t* token;
        int32_t value;
        int width;
    } parts[] = {{u"yyyy", date.Year(), 4}, {u"mm", date.Month(), 2}, {u"dd", date.Day(), 2},
                 {u"hh", date.Hour(), 2},   {u"nn", date.Minute(), 2}, {u"ss", date.Second(), 2}};
    QString out;
    for (qsizetype i = 0; i < pattern.size();) {
        bool matched = false;
        for (const auto& part : parts) {
            const QStringView token(part.token);
            if (QStringView(pattern).mid(i, token.size()).compare(token, Qt::CaseInsensitive) == 0) {
                out += QStringLiteral("%1").arg(part.value, part.width, 10, QLatin1Char('0'));
                i += token.size();
                matched = true;
                break;
            }
        }
        if (!matched)
            out += pattern[i++];
    }
    return out;
}

void Format(sqlite3_context* context, int, sqlite3_value** args) {
    if (sqlite3_value_type(args[0]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    const Base_ns::DateTime_cl date = DateOf(args[0]);
    // What is not a date comes back as it is, as Jet gives it.
    const QString result = date.IsValid() ? FormatDate(date, TextOf(args[1])) : TextOf(args[0]);
    sqlite3_result_text16(context, result.utf16(), int(result.size() * 2), SQLITE_TRANSIENT);
}

}  // namespace

int JetFunctions_cl::Register(sqlite3* db) {
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    const int rc = sqlite3_create_function_v2(db, "iif", 3, flags, nullptr, Iif, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        return rc;
    return sqlite3_create_function_v2(db, "format", 2, flags, nullptr, Format, nullptr, nullptr, nullptr);
}

}  // namespace Ado_ns
