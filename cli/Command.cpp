#include "Command.h"

#include "Control/DataCore.h"
#include "UsageError.h"
#include "base/UserError.h"

#include <QDate>
#include <iterator>

namespace Cli_ns {

namespace {

Base_ns::UserError_cl UserError(int32_t code, int32_t line, const QString& remark = QString()) {
    static const Base_ns::ErrorInfo_st table[] = {{101, "没有这个用户。"}};
    return Base_ns::UserError_cl(line, __FILE__, QStringLiteral("ICommand_cl"), code, table, int32_t(std::size(table)),
                                 remark);
}

}  // namespace

QStringList Arguments(const QCommandLineParser& parser, qsizetype count) {
    const QStringList arguments = parser.positionalArguments();
    if (arguments.size() < count) throw Usage(103, __LINE__);
    if (arguments.size() > count) throw Usage(112, __LINE__, arguments.mid(count).join(u' '));
    return arguments;
}

void AddUserFilterOptions(QCommandLineParser& parser) {
    parser.addOption({QStringLiteral("all-users"), QStringLiteral("所有用户的记录（需要查看其他用户的权限）。")});
    parser.addOption({QStringLiteral("of"), QStringLiteral("指定用户的记录（需要查看其他用户的权限）。"),
                      QStringLiteral("NAME")});
}

UserFilter_st ReadUserFilter(const QCommandLineParser& parser) {
    UserFilter_st filter;
    filter.allUsers = parser.isSet(QStringLiteral("all-users"));
    if (parser.isSet(QStringLiteral("of"))) {
        if (filter.allUsers) throw Usage(107, __LINE__);
        filter.userName = parser.value(QStringLiteral("of"));
        if (filter.userName.isEmpty()) throw Usage(103, __LINE__, QStringLiteral("--of"));
    }
    return filter;
}

void CheckNamedUser(const UserFilter_st& filter) {
    if (filter.userName.isEmpty()) return;
    if (Vorelle_ns::DataCore().GetUserManage().FindUser(filter.userName) == 0) {
        throw UserError(101, __LINE__, filter.userName);
    }
}

int32_t ReadMonthKey(const QString& text) {
    const QDate date = QDate::fromString(text, QStringLiteral("yyyy-MM"));
    if (!date.isValid() || !Base_ns::DateTime_cl::FromParts(date.year(), date.month(), 1).IsValid())
        throw Usage(105, __LINE__, text);
    return date.year() * 12 + date.month() - 1;
}

Base_ns::DateTime_cl ReadDay(const QString& text, int32_t hour, int32_t minute, int32_t second) {
    const QDate date = QDate::fromString(text, QStringLiteral("yyyy-MM-dd"));
    if (!date.isValid()) throw Usage(104, __LINE__, text);
    const Base_ns::DateTime_cl day =
        Base_ns::DateTime_cl::FromParts(date.year(), date.month(), date.day(), hour, minute, second);
    if (!day.IsValid()) throw Usage(104, __LINE__, text);
    return day;
}

}  // namespace Cli_ns
