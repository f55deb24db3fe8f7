#pragma once

#include "Control/ControlUser.h"
#include "Data/BookBackup.h"
#include "Data/DatabaseManage.h"
#include "Data/DeviceKeys.h"
#include "Data/RecordManage.h"
#include "Data/RecycleBin.h"
#include "Data/ScheduleManage.h"
#include "Data/UserManage.h"
#include "base/Version.h"

#include <QString>
#include <cstdint>

class QWidget;

namespace Vorelle_ns {

// The one object through which the windows reach the finance data: the saved links with
// the open database, the user and record managers, and the thin layer over them. On top
// it attaches, checks, initialises and removes databases.
class DataCore_cl {
public:
    DataCore_cl();
    DataCore_cl(const DataCore_cl&) = delete;
    DataCore_cl& operator=(const DataCore_cl&) = delete;

    static QString GetProductName();
    static QString GetSoftwareVersion();
    // The module name and data version that mark a database as this program's.
    static QString GetModuleName();
    static Base_ns::Version_st GetDataVersion();

    DatabaseManage_cl& GetDatabaseManage();
    UserManage_cl& GetUserManage();
    RecordManage_cl& GetRecordManage();
    RecycleBin_cl& GetRecycleBin();
    ScheduleManage_cl& GetScheduleManage();
    BookBackup_cl& GetBookBackup();
    ControlUser_cl& GetControlUser();
    DeviceKeys_cl& GetDeviceKeys();

    // Saves a new link and tells whether its database is already initialised (true) or
    // new (false). A database of another data version is refused and its link removed.
    // The connection that proved it is kept for the link's next OpenLink.
    bool AttachLocalDatabase(const QString& path, const QString& name, const QString& password);
    bool AttachSQLServerDatabase(const QString& server, const QString& name, const QString& user,
                                 const QString& password);
    // server is "host[:port]"; an empty database is the one named like the login.
    bool AttachPostgreSQLDatabase(const QString& server, const QString& database, const QString& name,
                                  const QString& user, const QString& password);
    // Creates the tables and the super administrator in a new database, as one
    // transaction. The connection is kept, unused, for the link's next OpenLink.
    void InitDatabase(int32_t index, const QString& userName, const QString& password);
    // Opens the link's database and logs the user in; brings an older book's indexes up
    // to date.
    void Login(int32_t index, const QString& userName, const QString& password);
    // A new book file at path from a backup, linked under the file's name (made unique);
    // returns the new link's index.
    int32_t RestoreBackupAsNew(const QString& backup, const QString& password, const QString& path);
    // Replaces the book of the local link named like the backup's book, after backing it
    // up; nobody may be logged in. Returns the link's index.
    int32_t RestoreBackupOver(const BackupFile_st& backup, const QString& password);
    // Removes a saved link; for a local file, first asks whether to delete the file too.
    void RemoveDatabase(int32_t index, QWidget* owner = nullptr);

private:
    enum class DataState_en { New, Current, Foreign };
    // Reads the version record of the link just added over the connection that proved it,
    // and keeps that for the link's next OpenLink (closes it for a book of another version). A link
    // whose database cannot be read is removed again (its file stays) before the error
    // passes on, so a failed attach never leaves a link behind.
    DataState_en ReadDataState(int32_t index);

    DatabaseManage_cl databaseManage;
    UserManage_cl userManage;
    RecordManage_cl recordManage;
    RecycleBin_cl recycleBin;
    ScheduleManage_cl scheduleManage;
    ControlUser_cl controlUser;
    BookBackup_cl bookBackup;
    DeviceKeys_cl deviceKeys;
};

// The process-wide data core: built on first use, lives for the whole run.
DataCore_cl& DataCore();

}  // namespace Vorelle_ns
