#include "EntryInput.h"

#include "Window/ConvertInfo.h"
#include "base/Text.h"
#include "base/UserError.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
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
        {113, "应该是文字。"}};
    return Base_ns::UserError_cl(line, __FILE__, EntryInput_cl::ClassName(), code, table, int32_t(std::size(table)),
                                 field);
}

const QString kKind = QStringLiteral("kind");
const QString kAmount = QStringLiteral("amount");
const QString kCategory = QStringLiteral("category");
const QString kName = QStringLiteral("name");
const QString kComment = QStringLiteral("comment");
const QString kTime = QStringLiteral("time");
const QString kStatistics = QStringLiteral("statistics");

// The field's text; empty when absent. Anything but a string is refused.
QString Text(const QJsonObject& object, const QString& field) {
    const QJsonValue value = object.value(field);
    if (value.isUndefined()) return QString();
    if (!value.isString()) throw Refuse(113, __LINE__, field);
    return value.toString();
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
    if (amount.startsWith(u'+') || amount.startsWith(u'-') || (point >= 0 && amount.size() - point - 1 > 2) ||
        !Vorelle_ns::ConvertInfo_cl::TextToMoney(amount, entry.cents) || entry.cents <= 0)
        throw Refuse(105, __LINE__, kAmount);

    entry.category = Checked(object, kCategory, MaxCategory, 107);
    if (entry.category.isEmpty()) throw Refuse(106, __LINE__, kCategory);
    entry.name = Checked(object, kName, MaxName, 108);
    if (entry.name.isEmpty()) entry.name = entry.category;
    entry.comment = Checked(object, kComment, MaxComment, 109);

    const QString time = Text(object, kTime);
    entry.time = time.isEmpty() ? Base_ns::DateTime_cl::Now() : Base_ns::DateTime_cl::ParseFormatted(time);
    if (!entry.time.IsValid()) throw Refuse(111, __LINE__, kTime);

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
