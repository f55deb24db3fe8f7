#include "Import/BankProfile.h"

#include "base/UserError.h"
#include "settings/ICustom.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace Import_ns {

namespace {

Base_ns::UserError_cl UserError(int32_t code, int32_t line, const QString& remark) {
    static const Base_ns::ErrorInfo_st table[] = {{101, "银行账单格式不能使用。"}};
    return Base_ns::UserError_cl(line, __FILE__, BankProfiles_cl::ClassName(), code, table,
                                 int32_t(std::size(table)), remark);
}

const QString kKey = QStringLiteral("银行账单格式");

// The fields in the order they are stored.
QString BankProfile_st::*const kFields[] = {
    &BankProfile_st::name,        &BankProfile_st::dateTitle,        &BankProfile_st::dateFormat,
    &BankProfile_st::amountTitle, &BankProfile_st::incomeTitle,      &BankProfile_st::expenseTitle,
    &BankProfile_st::descriptionTitle, &BankProfile_st::counterpartyTitle, &BankProfile_st::balanceTitle,
    &BankProfile_st::idTitle};

QList<BankProfile_st> Saved(Unique_ns::ICustom_cl& custom) {
    QList<BankProfile_st> profiles;
    const QJsonArray array = QJsonDocument::fromJson(custom.ReadString(kKey, QString()).toUtf8()).array();
    for (const QJsonValue& value : array) {
        const QJsonArray fields = value.toArray();
        BankProfile_st profile;
        for (qsizetype i = 0; i < fields.size() && i < qsizetype(std::size(kFields)); ++i)
            profile.*kFields[i] = fields[i].toString();
        if (profile.Problem().isEmpty()) profiles.append(profile);
    }
    return profiles;
}

void Store(Unique_ns::ICustom_cl& custom, const QList<BankProfile_st>& profiles) {
    QJsonArray array;
    for (const BankProfile_st& profile : profiles) {
        QJsonArray fields;
        for (QString BankProfile_st::*field : kFields) fields.append(profile.*field);
        array.append(fields);
    }
    custom.WriteString(kKey, QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Compact)));
}

}  // namespace

QString BankProfile_st::Problem() const {
    if (name.trimmed().isEmpty()) return QStringLiteral("没有名称。");
    if (dateTitle.isEmpty()) return QStringLiteral("没有日期列。");
    if (dateFormat != u"yyyy-MM-dd" && dateFormat != u"yyyyMMdd")
        return QStringLiteral("日期格式应为 yyyy-MM-dd 或 yyyyMMdd。");
    if (amountTitle.isEmpty() == (incomeTitle.isEmpty() || expenseTitle.isEmpty()))
        return QStringLiteral("应给出一个带符号的金额列，或者收入列和支出列两列。");
    return QString();
}

QList<BankProfile_st> BankProfiles_cl::BuiltIn() {
    BankProfile_st split;
    split.name = QStringLiteral("收支分列");
    split.dateTitle = QStringLiteral("交易日期");
    split.dateFormat = QStringLiteral("yyyyMMdd");
    split.incomeTitle = QStringLiteral("收入金额");
    split.expenseTitle = QStringLiteral("支出金额");
    split.descriptionTitle = QStringLiteral("摘要");
    split.counterpartyTitle = QStringLiteral("对方户名");
    split.balanceTitle = QStringLiteral("账户余额");
    BankProfile_st signedAmount;
    signedAmount.name = QStringLiteral("交易金额");
    signedAmount.dateTitle = QStringLiteral("交易日期");
    signedAmount.dateFormat = QStringLiteral("yyyy-MM-dd");
    signedAmount.amountTitle = QStringLiteral("交易金额");
    signedAmount.descriptionTitle = QStringLiteral("摘要");
    signedAmount.counterpartyTitle = QStringLiteral("对方户名");
    signedAmount.balanceTitle = QStringLiteral("联机余额");
    return {split, signedAmount};
}

QList<BankProfile_st> BankProfiles_cl::Load(Unique_ns::ICustom_cl& custom) {
    QList<BankProfile_st> profiles = Saved(custom);
    for (const BankProfile_st& builtIn : BuiltIn()) {
        const bool overridden = std::any_of(profiles.begin(), profiles.end(),
                                            [&](const BankProfile_st& p) { return p.name == builtIn.name; });
        if (!overridden) profiles.append(builtIn);
    }
    return profiles;
}

void BankProfiles_cl::Save(Unique_ns::ICustom_cl& custom, const BankProfile_st& profile) {
    const QString problem = profile.Problem();
    if (!problem.isEmpty()) throw UserError(101, __LINE__, problem);
    QList<BankProfile_st> profiles = Saved(custom);
    profiles.removeIf([&](const BankProfile_st& p) { return p.name == profile.name; });
    profiles.prepend(profile);
    Store(custom, profiles);
}

}  // namespace Import_ns
