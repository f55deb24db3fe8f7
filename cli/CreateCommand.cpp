#include "CreateCommand.h"

#include "Book.h"
#include "Output.h"
#include "UsageError.h"

namespace Cli_ns {

QString CreateCommand_cl::Summary() const {
    return QStringLiteral("新建账本和它的超级管理员（密码取自VORELLE_PASSWORD）；已有的文件不会被覆盖");
}

void CreateCommand_cl::AddOptions(QCommandLineParser& parser) const {
    parser.addOption({QStringLiteral("admin"), QStringLiteral("超级管理员的用户名。"), QStringLiteral("NAME")});
}

void CreateCommand_cl::Run(Book_cl& book, const QCommandLineParser& parser) const {
    Arguments(parser, 0);
    if (!parser.isSet(QStringLiteral("admin"))) throw Usage(103, __LINE__, QStringLiteral("--admin"));
    book.Create(parser.value(QStringLiteral("admin")));
    Output_cl::Line(QStringLiteral("创建数据库成功。"));
}

}  // namespace Cli_ns
