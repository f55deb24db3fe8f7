#include "EntryInput.h"

#include "Window/ConvertInfo.h"
#include "base/Text.h"
#include "base/UserError.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QStringList>
#include <climits>
#include <iterator>

namespace Web_ns {

namespace {

Base_ns::UserError_cl Refuse(int32_t code, int32_t line, const QString& field) {
    static const Base_ns::ErrorInfo_st table[] = {
        {101, "请求的内容不是正确的JSON对象。"},
        {102, "不认识的字段。"},
        {103, "请选择开销或收入。"},
        {104, "请输入金额。"},
        {105, "金额应该是大于零的数字，最多两位小数。"},
        {106, "请选择分类。"},
        {107, "分类名称太长，最多16个字。"},
        {108, "名称太长，最多16个字。"},
        {109, "备注太长，最多255个字。"},
        {110, "不能含有单引号。"},
        {111, "时间应该写成YYYY-MM-DD HH:MM:SS，并且是存在的日期。"},
        {112, "统计方式应该是month、year或none。"},
        {113, "应该是文字。"},
        {114, "同一个字段只能出现一次。"},
        {115, "文字中不能有空字符或不成对的代理项（无效的UTF-16）。"},
        {116, "金额不能为零。"}};
    return Base_ns::UserError_cl(line, __FILE__, EntryInput_cl::ClassName(), code, table, int32_t(std::size(table)),
                                 field);
}

// A refusal whose words are made from the figures they name.
Base_ns::UserError_cl RefuseWith(int32_t line, const QString& field, const QString& message) {
    const QByteArray text = message.toUtf8();
    const Base_ns::ErrorInfo_st table[] = {{100, text.constData()}};
    return Base_ns::UserError_cl(line, __FILE__, EntryInput_cl::ClassName(), 100, table, 1, field);
}

const QString kKind = QStringLiteral("kind");
const QString kAmount = QStringLiteral("amount");
const QString kCategory = QStringLiteral("category");
const QString kName = QStringLiteral("name");
const QString kComment = QStringLiteral("comment");
const QString kTime = QStringLiteral("time");
const QString kStatistics = QStringLiteral("statistics");

// Whether text holds a NUL or a surrogate without its partner: neither is a character
// the book can keep.
bool IsBrokenText(const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isNull()) return true;
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            ++i;
        } else if (c.isSurrogate()) {
            return true;
        }
    }
    return false;
}

// The field's text; empty when absent. Anything but a string is refused.
QString Text(const QJsonObject& object, const QString& field) {
    const QJsonValue value = object.value(field);
    if (value.isUndefined()) return QString();
    if (!value.isString()) throw Refuse(113, __LINE__, field);
    const QString text = value.toString();
    if (IsBrokenText(text)) throw Refuse(115, __LINE__, field);
    return text;
}

// The keys of the outer object of a body the JSON parser took, decoded, in their order;
// a parser keeps only the last of a key given twice, which would book what was not meant.
QStringList OuterKeys(const QByteArray& body) {
    QStringList keys;
    int depth = 0;
    bool expectKey = false;
    for (qsizetype i = 0; i < body.size(); ++i) {
        const char c = body[i];
        if (c == '{' || c == '[') {
            ++depth;
            expectKey = depth == 1 && c == '{';
        } else if (c == '}' || c == ']') {
            --depth;
        } else if (c == ',') {
            expectKey = depth == 1;
        } else if (c == '"') {
            const qsizetype start = i;
            for (++i; i < body.size() && body[i] != '"'; ++i) {
                if (body[i] == '\\') ++i;
            }
            if (depth == 1 && expectKey) {
                // The parser has read this string already: it decodes alone.
                const QJsonDocument decoded = QJsonDocument::fromJson("[" + body.mid(start, i - start + 1) + "]");
                keys.append(decoded.array().at(0).toString());
                expectKey = false;
            }
        }
    }
    return keys;
}

QString Checked(const QJsonObject& object, const QString& field, int32_t maxLength, int32_t tooLong) {
    const QString text = Text(object, field).trimmed();
    if (Base_ns::CharacterCount(text) > maxLength) throw Refuse(tooLong, __LINE__, field);
    if (Base_ns::HasIllegalSqlChar(text)) throw Refuse(110, __LINE__, field);
    return text;
}

}  // namespace

QString EntryInput_cl::KindText(bool income) { return income ? QStringLiteral("income") : QStringLiteral("expense"); }

QString EntryInput_cl::StatisticsText(int32_t mode) {
    if (mode == 0) return QStringLiteral("month");
    if (mode == 1) return QStringLiteral("year");
    return QStringLiteral("none");
}

EntryInput_st EntryInput_cl::Read(const QByteArray& body) {
    QJsonParseError parsed;
    const QJsonDocument document = QJsonDocument::fromJson(body, &parsed);
    if (parsed.error != QJsonParseError::NoError || !document.isObject()) throw Refuse(101, __LINE__, QString());
    const QJsonObject object = document.object();
    const QStringList keys = OuterKeys(body);
    for (const QString& key : keys) {
        if (keys.count(key) > 1) throw Refuse(114, __LINE__, key);
    }
    for (auto it = object.begin(); it != object.end(); ++it) {
        const QString& key = it.key();
        if (key != kKind && key != kAmount && key != kCategory && key != kName && key != kComment && key != kTime &&
            key != kStatistics)
            throw Refuse(102, __LINE__, key);
    }
    EntryInput_st entry;
    const QString kind = Text(object, kKind);
    if (kind != KindText(false) && kind != KindText(true)) throw Refuse(103, __LINE__, kKind);
    entry.income = kind == KindText(true);

    const QString amount = Text(object, kAmount);
    if (amount.isEmpty()) throw Refuse(104, __LINE__, kAmount);
    // A sign is the kind's business, and a third decimal would be rounded away unseen.
    const qsizetype point = amount.indexOf(u'.');
    if (amount.startsWith(u'+') || amount.startsWith(u'-') || (point >= 0 && amount.size() - point - 1 > 2))
        throw Refuse(105, __LINE__, kAmount);
    if (!Vorelle_ns::ConvertInfo_cl::TextToMoney(amount, entry.cents)) {
        // The desktop's words for an amount beyond the book's.
        if (Vorelle_ns::ConvertInfo_cl::IsMoneyTooLarge(amount))
            throw RefuseWith(__LINE__, kAmount, QStringLiteral("金额太大，最多为%1。")
                                                    .arg(Vorelle_ns::ConvertInfo_cl::MoneyToText(INT32_MAX)));
        throw Refuse(105, __LINE__, kAmount);
    }
    if (entry.cents == 0) throw Refuse(116, __LINE__, kAmount);
    if (entry.cents < 0) throw Refuse(105, __LINE__, kAmount);

    entry.category = Checked(object, kCategory, MaxCategory, 107);
    if (entry.category.isEmpty()) throw Refuse(106, __LINE__, kCategory);
    entry.name = Checked(object, kName, MaxName, 108);
    if (entry.name.isEmpty()) entry.name = entry.category;
    entry.comment = Checked(object, kComment, MaxComment, 109);

    const QString time = Text(object, kTime);
    entry.time = time.isEmpty() ? Base_ns::DateTime_cl::Now() : Base_ns::DateTime_cl::ParseFormatted(time);
    if (!entry.time.IsValid()) throw Refuse(111, __LINE__, kTime);
    // The span the entry dialog takes: a year 9999 would give the year table 8,000 columns.
    const Base_ns::DateTime_cl earliest = Vorelle_ns::ConvertInfo_cl::EarliestEntryTime();
    const Base_ns::DateTime_cl latest = Vorelle_ns::ConvertInfo_cl::LatestEntryTime();
    if (entry.time.IsEarlierThan(earliest) || latest.IsEarlierThan(entry.time))
        throw RefuseWith(__LINE__, kTime, QStringLiteral("时间应该在%1到%2之间。").arg(earliest.Format(), latest.Format()));

    const QString statistics = Text(object, kStatistics);
    if (statistics.isEmpty() || statistics == StatisticsText(0)) {
        entry.statisticsMode = 0;
    } else if (statistics == StatisticsText(1)) {
        entry.statisticsMode = 1;
    } else if (statistics == StatisticsText(2)) {
        entry.statisticsMode = 2;
    } else {
        throw Refuse(112, __LINE__, kStatistics);
    }
    return entry;
}

}  // namespace Web_ns
