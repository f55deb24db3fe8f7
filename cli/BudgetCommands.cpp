#include "BudgetCommands.h"

#include "Book.h"
#include "Control/DataCore.h"
#include "Data/Budget.h"
#include "Output.h"
#include "UsageError.h"
#include "Window/ConvertInfo.h"
#include "base/DateTime.h"

#include <iterator>

namespace Cli_ns {

namespace {

UsageError_cl BudgetUsage(int32_t code, int32_t line, const QString& remark = QString()) {
    static const Base_ns::ErrorInfo_st table[] = {{201, "金额不正确，应为大于零的数字，以元为单位，最多两位小数，最多为21474836.47。"},
                                                  {202, "--rollover应为on或off。"},
                                                  {203, "--user不能与--rollover、--from一起使用。"},
                                                  {204, "--from只能与--rollover on一起使用。"}};
    return UsageError_cl(line, __FILE__, UsageError_cl::ClassName(), code, table, int32_t(std::size(table)), remark);
}

const QString kUser = QStringLiteral("user");
const QString kRollover = QStringLiteral("rollover");
const QString kFrom = QStringLiteral("from");

int32_t ReadAmount(const QString& text) {
    int32_t cents = 0;
    if (!Vorelle_ns::ConvertInfo_cl::TextToMoney(text, cents)) throw BudgetUsage(201, __LINE__, text);
    return cents;
}

Vorelle_ns::Budget_cl Budget() { return Vorelle_ns::Budget_cl(Vorelle_ns::DataCore().GetUserManage()); }

}  // namespace

QString BudgetSetCommand_cl::Syntax() const {
    return QStringLiteral("CATEGORY AMOUNT [--rollover on|off] [--from YYYY-MM] | --user NAME AMOUNT");
}

QString BudgetSetCommand_cl::Summary() const {
    return QStringLiteral("设置分类的每月预算（元，需要管理员权限），或--user 用户的每月预算（超级管理员或本人）；"
                          "--rollover on 从--from的月份（默认本月）起把每月的剩余结转到下月");
}

void BudgetSetCommand_cl::AddOptions(QCommandLineParser& parser) const {
    parser.addOption({kRollover, QStringLiteral("结转：on或off（不给：不变）。"), QStringLiteral("on|off")});
    parser.addOption({kFrom, QStringLiteral("从哪个月起结转。"), QStringLiteral("YYYY-MM")});
}

void BudgetSetCommand_cl::Run(Book_cl& book, const QCommandLineParser& parser) const {
    if (parser.isSet(kUser)) {
        if (parser.isSet(kRollover) || parser.isSet(kFrom)) throw BudgetUsage(203, __LINE__);
        const QString name = parser.value(kUser);
        if (name.isEmpty()) throw Usage(103, __LINE__, QStringLiteral("--user"));
        const int32_t cents = ReadAmount(Arguments(parser, 1).first());
        book.Open();
        Budget().SetUserPlan(name, cents);
        Output_cl::Line(QStringLiteral("设置预算成功：") + name + QStringLiteral("每月") +
                        Vorelle_ns::ConvertInfo_cl::MoneyToText(cents) + QStringLiteral("元"));
        return;
    }
    const QStringList arguments = Arguments(parser, 2);
    const int32_t cents = ReadAmount(arguments[1]);
    std::optional<Vorelle_ns::Rollover_st> rollover;
    if (parser.isSet(kRollover)) {
        const QString word = parser.value(kRollover);
        if (word != QStringLiteral("on") && word != QStringLiteral("off")) throw BudgetUsage(202, __LINE__, word);
        rollover = Vorelle_ns::Rollover_st{word == QStringLiteral("on"), 0};
    }
    if (parser.isSet(kFrom)) {
        if (rollover && !rollover->on) throw BudgetUsage(204, __LINE__);
        rollover = Vorelle_ns::Rollover_st{true, ReadMonthKey(parser.value(kFrom))};
    } else if (rollover && rollover->on) {
        const Base_ns::DateTime_cl now = Base_ns::DateTime_cl::Now();
        rollover->from = Vorelle_ns::MonthKey(now.Year(), now.Month());
    }
    book.Open();
    Budget().SetTypePlan(arguments[0], cents, rollover);
    QString text = QStringLiteral("设置预算成功：") + arguments[0] + QStringLiteral("每月") +
                   Vorelle_ns::ConvertInfo_cl::MoneyToText(cents) + QStringLiteral("元");
    if (rollover && rollover->on) {
        text += QString::asprintf("，从%04d-%02d起结转", rollover->from / 12, rollover->from % 12 + 1);
    } else if (rollover) {
        text += QStringLiteral("，不结转");
    }
    Output_cl::Line(text);
}

QString BudgetClearCommand_cl::Summary() const {
    return QStringLiteral("取消分类的预算和结转（需要管理员权限），或--user 用户的预算（超级管理员或本人）");
}

void BudgetClearCommand_cl::Run(Book_cl& book, const QCommandLineParser& parser) const {
    if (parser.isSet(kUser)) {
        Arguments(parser, 0);
        const QString name = parser.value(kUser);
        book.Open();
        Budget().SetUserPlan(name, std::nullopt);
        Output_cl::Line(QStringLiteral("取消预算成功：") + name);
        return;
    }
    const QString category = Arguments(parser, 1).first();
    book.Open();
    Budget().ClearTypePlan(category);
    Output_cl::Line(QStringLiteral("取消预算成功：") + category);
}

}  // namespace Cli_ns
