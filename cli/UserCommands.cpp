#include "UserCommands.h"

#include "Book.h"
#include "Control/DataCore.h"
#include "Data/UserInput.h"
#include "Output.h"
#include "UsageError.h"
#include "Window/ConvertInfo.h"

namespace Cli_ns {

namespace {

using Vorelle_ns::DataCore;

struct Power_st {
    const char* word;
    int32_t power;
};
// The powers a user can be given: the super administrator comes only with the book.
constexpr Power_st kPowers[] = {{"admin", 1}, {"normal", 2}, {"alone", 3}};

}  // namespace

QString UserAddCommand_cl::Summary() const {
    return QStringLiteral("添加用户（密码取自VORELLE_NEW_PASSWORD）：admin 管理员，normal 普通，alone 独立");
}

void UserAddCommand_cl::AddOptions(QCommandLineParser& parser) const {
    parser.addOption({QStringLiteral("power"), QStringLiteral("权限：admin、normal或alone。"), QStringLiteral("POWER")});
}

void UserAddCommand_cl::Run(Book_cl& book, const QCommandLineParser& parser) const {
    const QString name = Arguments(parser, 1).first();
    if (!parser.isSet(QStringLiteral("power"))) throw Usage(103, __LINE__, QStringLiteral("--power"));
    const QString word = parser.value(QStringLiteral("power"));
    int32_t power = -1;
    for (const Power_st& candidate : kPowers) {
        if (word == QLatin1String(candidate.word)) power = candidate.power;
    }
    if (power < 0) throw Usage(106, __LINE__, word);
    const QString& password = book.Secrets().newPassword;
    Vorelle_ns::UserInput_cl::CheckNewAccount(name, password, password);
    book.Open();
    DataCore().GetUserManage().AddUser(name, power, password);
    Output_cl::Line(QStringLiteral("添加用户成功：") + name + QStringLiteral("（") +
                    Vorelle_ns::ConvertInfo_cl::PowerToText(power) + QStringLiteral("）"));
}

QString UserListCommand_cl::Summary() const { return QStringLiteral("列出用户、权限和创建时间（需要管理用户的权限）"); }

void UserListCommand_cl::Run(Book_cl& book, const QCommandLineParser& parser) const {
    Arguments(parser, 0);
    book.Open();
    const Base_ns::Trusteeship_tl<Vorelle_ns::UserInfo_st> users = DataCore().GetUserManage().GetUsers();
    QList<QStringList> rows{{QStringLiteral("用户名"), QStringLiteral("权限"), QStringLiteral("创建时间")}};
    for (int32_t i = 0; i < users.Count(); ++i) {
        rows.append({users[i].userName, Vorelle_ns::ConvertInfo_cl::PowerToText(users[i].power),
                     users[i].createTime.Format()});
    }
    Output_cl::Bytes(Output_cl::Table(rows, 3).toUtf8());
}

}  // namespace Cli_ns
