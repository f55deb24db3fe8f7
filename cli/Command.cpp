#include "Command.h"

#include "UsageError.h"

#include <QDate>

namespace Cli_ns {

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

Base_ns::DateTime_cl ReadDay(const QString& text, int32_t hour, int32_t minute, int32_t second) {
    const QDate date = QDate::fromString(text, QStringLiteral("yyyy-MM-dd"));
    if (!date.isValid()) throw Usage(104, __LINE__, text);
    const Base_ns::DateTime_cl day =
        Base_ns::DateTime_cl::FromParts(date.year(), date.month(), date.day(), hour, minute, second);
    if (!day.IsValid()) throw Usage(104, __LINE__, text);
    return day;
}

}  // namespace Cli_ns
