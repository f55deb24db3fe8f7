#include "WebBook.h"

#include "Control/DataCore.h"
#include "Data/EntryIdentity.h"
#include "base/UserError.h"

#include <QFile>
#include <iterator>
#include <sys/stat.h>

namespace Web_ns {

WebBook_cl::WebBook_cl()
    : userManage(databaseManage, Vorelle_ns::DataCore_cl::GetProductName()),
      recordManage(userManage),
      deviceKeys(userManage) {}

WebBook_cl::~WebBook_cl() { databaseManage.CloseDatabase(); }

void WebBook_cl::Open(const Vorelle_ns::LinkInfo_st& link) {
    std::lock_guard<std::mutex> hold(lock);
    // The link lives in this list only: nothing is saved to the links file.
    switch (link.type) {
    case 1:
        path = Vorelle_ns::DatabaseManage_cl::ResolveLocation(link);
        databaseManage.AddLocalLink(link.name, path, link.password);
        break;
    case 4:
        databaseManage.AddSQLServerLink(link.name, link.location, link.user, link.password);
        break;
    case 8:
    default: {
        QString server, database;
        Vorelle_ns::DatabaseManage_cl::SplitPostgreSQLLocation(link.location, server, database);
        databaseManage.AddPostgreSQLLink(link.name, server, database, link.user, link.password);
        break;
    }
    }
    if (!path.isEmpty()) opened = Identify(path);
    databaseManage.OpenLink(databaseManage.GetCount() - 1);
    deviceKeys.Prepare();
    Vorelle_ns::EntryIdentity_cl(databaseManage.GetDatabase()).Prepare();
    isOpen = true;
}

namespace {

Base_ns::UserError_cl UserError(int32_t code, int32_t line, const QString& remark) {
    static const Base_ns::ErrorInfo_st table[] = {{101, "账本文件不见了，请检查账本的位置。"}};
    return Base_ns::UserError_cl(line, __FILE__, WebBook_cl::ClassName(), code, table, int32_t(std::size(table)),
                                 remark);
}

}  // namespace

WebBook_cl::FileId_st WebBook_cl::Identify(const QString& path) {
    struct stat status {};
    if (stat(QFile::encodeName(path).constData(), &status) != 0) throw UserError(101, __LINE__, path);
    return {static_cast<unsigned long long>(status.st_dev), static_cast<unsigned long long>(status.st_ino)};
}

void WebBook_cl::FollowFile() {
    if (path.isEmpty()) return;
    // Taken before the file is opened: a file replaced meanwhile is found at the next request.
    const FileId_st now = Identify(path);
    if (isOpen && now == opened) return;
    databaseManage.CloseDatabase();
    isOpen = false;
    databaseManage.OpenLink(databaseManage.GetCount() - 1);
    deviceKeys.Prepare();
    Vorelle_ns::EntryIdentity_cl(databaseManage.GetDatabase()).Prepare();
    opened = now;
    isOpen = true;
}

}  // namespace Web_ns
