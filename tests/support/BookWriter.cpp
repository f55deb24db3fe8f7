// A second copy of the program writing one book: logs in as a user and books entries,
// each as its own transaction. Prints "landed N busy M"; any other failure prints its
// message and ends with 1. Arguments: application folder, settings folder, book file,
// user name, number of entries.
#include "Data/DatabaseManage.h"
#include "Data/RecordManage.h"
#include "Data/UserManage.h"
#include "SystemInfo/Path.h"
#include "base/DateTime.h"
#include "base/Error.h"
#include "settings/Unique.h"

#include <QCoreApplication>
#include <QStringList>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() != 6) return 2;
    SystemInfo_ns::SetApplicationFolder(arguments[1]);
    Unique_ns::SetStorageFolder(arguments[2]);
    const QString book = arguments[3];
    const QString user = arguments[4];
    const int count = arguments[5].toInt();

    Vorelle_ns::DatabaseManage_cl links;
    Vorelle_ns::UserManage_cl users{links, QStringLiteral("ZantheVorelle管理软件")};
    Vorelle_ns::RecordManage_cl records{users};
    int landed = 0, busy = 0;
    try {
        links.AddLocalLink(QStringLiteral("账本"), book, QStringLiteral("pw"));
        links.OpenLink(0);
        users.Login(user, QStringLiteral("pw"));
        for (int i = 0; i < count; ++i) {
            try {
                // A new category now and then: reading before writing in one transaction.
                records.AddRecord(QStringLiteral("%1-%2").arg(user).arg(i % 7), QStringLiteral("午饭"), -(100 + i), QString(),
                                  Base_ns::DateTime_cl::Parse(QStringLiteral("2024-02-01 08:30:00")), 0);
                ++landed;
            } catch (const Base_ns::Error_cl& error) {
                if (error.IsSystem() || !error.Message().startsWith(QStringLiteral("数据库正被其他用户使用"))) throw;
                ++busy;
            }
        }
        users.Logout();
    } catch (const Base_ns::Error_cl& error) {
        std::printf("%s\n%s\n", qPrintable(error.Message()), qPrintable(error.Remark()));
        return 1;
    }
    std::printf("landed %d busy %d\n", landed, busy);
    return 0;
}
