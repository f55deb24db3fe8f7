#include "WebBook.h"

#include "Control/DataCore.h"
#include "Data/EntryIdentity.h"

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
        databaseManage.AddLocalLink(link.name, Vorelle_ns::DatabaseManage_cl::ResolveLocation(link), link.password);
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
    databaseManage.OpenLink(databaseManage.GetCount() - 1);
    deviceKeys.Prepare();
    Vorelle_ns::EntryIdentity_cl(databaseManage.GetDatabase()).Prepare();
}

}  // namespace Web_ns
