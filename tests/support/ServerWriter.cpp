// One copy of the program writing to a shared book, for the tests that run several at
// once: server_writer ADDRESS DATABASE LOGIN PASSWORD USER COUNT imports COUNT expenses of
// 0.01 to 0.09 for USER in a category every copy adds, then adds and deletes one entry.
#include "Data/DatabaseManage.h"
#include "Data/RecordManage.h"
#include "Data/UserManage.h"
#include "base/Error.h"
#include "platform/ado/Environment.h"
#include "settings/Unique.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 7) {
        std::fprintf(stderr, "usage: serverwriter ADDRESS DATABASE LOGIN PASSWORD USER COUNT\n");
        return 2;
    }
    QTemporaryDir settings;
    Unique_ns::SetStorageFolder(settings.path());
    try {
        Ado_ns::Environment_cl::Startup();
        Vorelle_ns::DatabaseManage_cl links;
        Vorelle_ns::UserManage_cl users(links, QStringLiteral("ZantheVorelle管理软件"));
        Vorelle_ns::RecordManage_cl records(users);
        links.AddPostgreSQLLink(QStringLiteral("共享"), args[1], args[2], args[3], args[4]);
        links.OpenLink(0);
        users.Login(args[5], QStringLiteral("pw"));
        Container_ns::List_tl<Vorelle_ns::RecordInfo_st> list;
        const int count = args[6].toInt();
        for (int i = 0; i < count; ++i)
            list.Append({Base_ns::DateTime_cl::FromParts(2024, 1 + i % 12, 1 + i % 28, 12, 0, 0), QStringLiteral("共同"),
                         QString(), -(1 + i % 9), args[5], 0, QString()});
        records.ImportRecords(list);
        records.AddRecord(QStringLiteral("新类") + args[5].right(1), QString(), -100, QString(),
                          Base_ns::DateTime_cl::FromParts(2024, 6, 1, 0, 0, 0), 0);
        const auto rows = records.GetRecords(false, args[5], Base_ns::DateTime_cl::FromParts(2024, 6, 1, 0, 0, 0),
                                             Base_ns::DateTime_cl::FromParts(2024, 6, 1, 0, 0, 0));
        Container_ns::List_tl<int32_t> sns;
        for (int32_t i = 0; i < rows.Count(); ++i)
            if (rows[i].expense == -100) sns.Append(rows[i].sn);
        records.DeleteRecords(sns);
        users.Logout();
    } catch (const Base_ns::Error_cl& error) {
        std::fprintf(stderr, "%s\n%s\n", error.Message().toUtf8().constData(), error.Remark().toUtf8().constData());
        return 1;
    }
    return 0;
}
