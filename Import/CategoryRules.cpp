#include "Import/CategoryRules.h"

#include "Import/EntryText.h"
#include "base/Text.h"
#include "base/UserError.h"
#include "settings/ICustom.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace Import_ns {

namespace {

Base_ns::UserError_cl UserError(int32_t code, int32_t line, const QString& remark) {
    static const Base_ns::ErrorInfo_st table[] = {{101, "分类规则不完整：关键字和分类都不能为空。"},
                                                  {102, "分类规则中不能有单引号。"},
                                                  {103, "分类规则的分类或名称过长，最多16个字。"}};
    return Base_ns::UserError_cl(line, __FILE__, CategoryRules_cl::ClassName(), code, table,
                                 int32_t(std::size(table)), remark);
}

const QString kKey = QStringLiteral("账单分类规则");

}  // namespace

QList<CategoryRule_st> CategoryRules_cl::Defaults() {
    // The apps' own trade categories, and a few words their counterparties carry.
    static const char* const pairs[][2] = {
        {"餐饮美食", "饮食"}, {"外卖", "饮食"},     {"交通出行", "交通"}, {"出行", "交通"},     {"爱车养车", "交通"},
        {"加油", "交通"},     {"日用百货", "居家"}, {"超市", "居家"}, {"生活服务", "居家"}, {"住房物业", "居家"},
        {"家居家装", "居家"}, {"服饰装扮", "居家"}, {"数码电器", "居家"}, {"充值缴费", "通讯"},
        {"话费", "通讯"},     {"通讯", "通讯"},     {"文化休闲", "娱乐"}, {"休闲娱乐", "娱乐"},
        {"酒店旅游", "娱乐"}, {"运动户外", "娱乐"}, {"医疗健康", "保健"}, {"美容美发", "保健"},
        {"教育培训", "学习"}, {"亲友代付", "亲情"}, {"母婴亲子", "亲情"}, {"红包", "社交"},
        {"转账", "社交"}};
    QList<CategoryRule_st> rules;
    for (const auto& pair : pairs) rules.append({QString::fromUtf8(pair[0]), QString::fromUtf8(pair[1]), {}, -1});
    return rules;
}

CategoryRules_cl CategoryRules_cl::Load(Unique_ns::ICustom_cl& custom) {
    const QString stored = custom.ReadString(kKey, QString());
    if (stored.isEmpty()) return CategoryRules_cl();
    QList<CategoryRule_st> rules;
    for (const QJsonValue& value : QJsonDocument::fromJson(stored.toUtf8()).array()) {
        const QJsonArray fields = value.toArray();
        CategoryRule_st rule{fields[0].toString(), fields[1].toString(), fields[2].toString(),
                             fields[3].toInt(-1)};
        if (!rule.keyword.isEmpty() && !rule.category.isEmpty()) rules.append(rule);
    }
    return CategoryRules_cl(rules);
}

void CategoryRules_cl::Save(Unique_ns::ICustom_cl& custom) const {
    QJsonArray array;
    for (qsizetype i = 0; i < rules.size(); ++i) {
        const CategoryRule_st& rule = rules[i];
        const QString remark = QStringLiteral("第") + QString::number(i + 1) + QStringLiteral("条：") + rule.keyword;
        if (rule.keyword.trimmed().isEmpty() || rule.category.trimmed().isEmpty())
            throw UserError(101, __LINE__, remark);
        for (const QString& text : {rule.keyword, rule.category, rule.name}) {
            if (Base_ns::HasIllegalSqlChar(text)) throw UserError(102, __LINE__, remark);
        }
        if (ClipName(rule.category) != rule.category || ClipName(rule.name) != rule.name) throw UserError(103, __LINE__, remark);
        array.append(QJsonArray{rule.keyword, rule.category, rule.name, rule.mode});
    }
    custom.WriteString(kKey, QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Compact)));
}

std::optional<CategoryRule_st> CategoryRules_cl::Match(const StatementRow_st& row) const {
    for (const CategoryRule_st& rule : rules) {
        if (row.counterparty.contains(rule.keyword) || row.product.contains(rule.keyword) ||
            row.category.contains(rule.keyword))
            return rule;
    }
    return std::nullopt;
}

void CategoryRules_cl::Put(const CategoryRule_st& rule) {
    rules.removeIf([&](const CategoryRule_st& r) { return r.keyword == rule.keyword; });
    rules.prepend(rule);
}

}  // namespace Import_ns
