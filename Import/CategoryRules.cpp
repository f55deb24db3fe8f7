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
    // Alipay's own spending categories first, then words the shops and goods of any app
    // carry; the more particular word before the one it contains ("话费" before "餐").
    // A trade nothing matches goes to the book's plain 开销 or 收入, never to the name of
    // the app's trade kind ("商户消费").
    static const char* const pairs[][2] = {
        {"餐饮美食", "饮食"}, {"服饰装扮", "服饰"}, {"日用百货", "居家"}, {"家居家装", "居家"},
        {"数码电器", "居家"}, {"住房物业", "居家"}, {"生活服务", "居家"}, {"宠物", "居家"},
        {"交通出行", "交通"}, {"爱车养车", "交通"}, {"充值缴费", "通讯"}, {"文化休闲", "娱乐"},
        {"酒店旅游", "娱乐"}, {"运动户外", "娱乐"}, {"医疗健康", "保健"}, {"美容美发", "保健"},
        {"教育培训", "学习"}, {"亲友代付", "亲情"}, {"母婴亲子", "亲情"}, {"转账红包", "社交"},
        {"话费", "通讯"},     {"流量", "通讯"},     {"宽带", "通讯"},     {"中国移动", "通讯"},
        {"中国联通", "通讯"}, {"中国电信", "通讯"}, {"外卖", "饮食"},     {"饿了么", "饮食"},
        {"美团", "饮食"},     {"餐厅", "饮食"},     {"餐饮", "饮食"},     {"早餐", "饮食"},
        {"午餐", "饮食"},     {"晚餐", "饮食"},     {"饭店", "饮食"},     {"饭馆", "饮食"},
        {"面馆", "饮食"},     {"食堂", "饮食"},     {"咖啡", "饮食"},     {"奶茶", "饮食"},
        {"星巴克", "饮食"},   {"瑞幸", "饮食"},     {"肯德基", "饮食"},   {"麦当劳", "饮食"},
        {"包子", "饮食"},     {"面包", "饮食"},     {"水果", "饮食"},     {"生鲜", "饮食"},
        {"菜市场", "饮食"},   {"滴滴", "交通"},     {"打车", "交通"},     {"出行", "交通"},
        {"地铁", "交通"},     {"公交", "交通"},     {"铁路", "交通"},     {"12306", "交通"},
        {"航空", "交通"},     {"机票", "交通"},     {"加油", "交通"},     {"石化", "交通"},
        {"石油", "交通"},     {"停车", "交通"},     {"高速", "交通"},     {"单车", "交通"},
        {"超市", "居家"},     {"便利店", "居家"},   {"物业", "居家"},     {"电费", "居家"},
        {"水费", "居家"},     {"燃气", "居家"},     {"服装", "服饰"},     {"鞋", "服饰"},
        {"医院", "保健"},     {"药店", "保健"},     {"药房", "保健"},     {"诊所", "保健"},
        {"理发", "保健"},     {"电影", "娱乐"},     {"影城", "娱乐"},     {"游戏", "娱乐"},
        {"酒店", "娱乐"},     {"景区", "娱乐"},     {"门票", "娱乐"},     {"书店", "学习"},
        {"图书", "学习"},     {"课程", "学习"},     {"培训", "学习"},     {"亲属卡", "亲情"},
        {"红包", "社交"},     {"转账", "社交"},     {"群收款", "社交"}};
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
            row.category.contains(rule.keyword) || row.kind.contains(rule.keyword))
            return rule;
    }
    return std::nullopt;
}

void CategoryRules_cl::Put(const CategoryRule_st& rule) {
    rules.removeIf([&](const CategoryRule_st& r) { return r.keyword == rule.keyword; });
    rules.prepend(rule);
}

}  // namespace Import_ns
