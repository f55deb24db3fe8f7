#include "Control/DataCore.h"

#include "DB/BeginTrans.h"
#include "DB/IDatabase.h"
#include "DB/VersionRecord.h"
#include "base/SysError.h"
#include "base/UserError.h"
#include "platform/prompt/Prompt.h"

#include <QDateTime>
#include <QFileInfo>
#include <iterator>

namespace Vorelle_ns {

namespace {

// The data core's errors have always carried this class name; logs and tests rely on it.
const char16_t errorClassName[] = u"String_cl";

Base_ns::SysError_cl SysError(int32_t code, int32_t line, const QString& remark = QString()) {
    static const Base_ns::ErrorInfo_st table[] = {{1, "无法在数据库中有数据时初始化数据库。"}};
    return Base_ns::SysError_cl(line, __FILE__, QString::fromUtf16(errorClassName), code, table,
                                int32_t(std::size(table)), remark);
}

Base_ns::UserError_cl UserError(int32_t code, int32_t line, const QString& remark = QString()) {
    static const Base_ns::ErrorInfo_st table[] = {{101, "软件版本过低，无法读取数据库中的数据。"},
                                                  {102, "没有找到这个备份所属的本地账本，请恢复为新账本。"},
                                                  {103, "请先退出登录，再覆盖账本。"}};
    return Base_ns::UserError_cl(line, __FILE__, QString::fromUtf16(errorClassName), code, table,
                                 int32_t(std::size(table)), remark);
}

// The index of the link of that name, or -1.
int32_t FindLink(const DatabaseManage_cl& links, const QString& name) {
    for (int32_t i = 0; i < links.GetCount(); ++i) {
        if (links.GetLink(i).name == name) return i;
    }
    return -1;
}

}  // namespace

DataCore_cl::DataCore_cl()
    : userManage(databaseManage, GetProductName()), recordManage(userManage),
      recycleBin(userManage, recordManage), scheduleManage(userManage, recordManage),
      controlUser(databaseManage, userManage, recordManage, recycleBin),
      bookBackup(databaseManage),
      deviceKeys(userManage) {}

QString DataCore_cl::GetProductName() { return QStringLiteral("ZantheVorelle管理软件"); }

QString DataCore_cl::GetSoftwareVersion() { return QStringLiteral("v0.1.2"); }

QString DataCore_cl::GetModuleName() { return QStringLiteral("Vorelle"); }

Base_ns::Version_st DataCore_cl::GetDataVersion() { return Base_ns::Version_st(0x01000000); }  // 1.0.0.0

DatabaseManage_cl& DataCore_cl::GetDatabaseManage() { return databaseManage; }

UserManage_cl& DataCore_cl::GetUserManage() { return userManage; }

RecordManage_cl& DataCore_cl::GetRecordManage() { return recordManage; }

RecycleBin_cl& DataCore_cl::GetRecycleBin() { return recycleBin; }

ScheduleManage_cl& DataCore_cl::GetScheduleManage() { return scheduleManage; }

BookBackup_cl& DataCore_cl::GetBookBackup() { return bookBackup; }

ControlUser_cl& DataCore_cl::GetControlUser() { return controlUser; }

DeviceKeys_cl& DataCore_cl::GetDeviceKeys() { return deviceKeys; }

bool DataCore_cl::AttachLocalDatabase(const QString& path, const QString& name, const QString& password) {
    const int32_t index = databaseManage.AddLocalLink(name, path, password);
    const DataState_en state = ReadDataState(index);
    if (state != DataState_en::Foreign) return state == DataState_en::Current;
    databaseManage.RemoveLink(index, false);
    throw UserError(101, __LINE__);
}

bool DataCore_cl::AttachSQLServerDatabase(const QString& server, const QString& name, const QString& user,
                                          const QString& password) {
    const int32_t index = databaseManage.AddSQLServerLink(name, server, user, password);
    const DataState_en state = ReadDataState(index);
    if (state != DataState_en::Foreign) return state == DataState_en::Current;
    databaseManage.RemoveLink(index, false);
    throw UserError(101, __LINE__);
}

bool DataCore_cl::AttachPostgreSQLDatabase(const QString& server, const QString& database, const QString& name,
                                           const QString& user, const QString& password) {
    const int32_t index = databaseManage.AddPostgreSQLLink(name, server, database, user, password);
    const DataState_en state = ReadDataState(index);
    if (state != DataState_en::Foreign) return state == DataState_en::Current;
    databaseManage.RemoveLink(index, false);
    throw UserError(101, __LINE__);
}

DataCore_cl::DataState_en DataCore_cl::ReadDataState(int32_t index) {
    DataState_en state = DataState_en::New;
    try {
        databaseManage.OpenLink(index);
        const DB_ns::VersionRecord_cl record(&databaseManage.GetDatabase(), GetModuleName());
        if (record.HasVersion())
            state = record.GetVersion() == GetDataVersion() ? DataState_en::Current : DataState_en::Foreign;
    } catch (...) {
        databaseManage.CloseDatabase();
        databaseManage.RemoveLink(index, false);
        throw;
    }
    // A book of another version is not opened again; any other is, by the login.
    if (state == DataState_en::Foreign)
        databaseManage.CloseDatabase();
    else
        databaseManage.KeepChecked();
    return state;
}

void DataCore_cl::InitDatabase(int32_t index, const QString& userName, const QString& password) {
    databaseManage.OpenLink(index);
    try {
        DB_ns::IDatabase_cl& database = databaseManage.GetDatabase();
        DB_ns::VersionRecord_cl record(&database, GetModuleName());
        if (record.HasVersion()) throw SysError(1, __LINE__);
        DB_ns::BeginTrans_cl transaction(&database);
        userManage.CreateUserTable(userName, password);
        recordManage.CreateTables();
        DeviceKeys_cl::CreateTable(database);
        scheduleManage.CreateTables();
        record.SetVersion(GetDataVersion());
        transaction.Commit();
    } catch (...) {
        databaseManage.CloseDatabase();
        throw;
    }
    databaseManage.KeepChecked();
}

void DataCore_cl::Login(int32_t index, const QString& userName, const QString& password) {
    databaseManage.OpenLink(index);
    userManage.Login(userName, password);
    recordManage.AddMissingIndexes();
}

int32_t DataCore_cl::RestoreBackupAsNew(const QString& backup, const QString& password, const QString& path) {
    BookBackup_cl::RestoreAsNew(backup, password, path);
    const QString base = QFileInfo(path).completeBaseName();
    QString name = base;
    for (int32_t n = 2; FindLink(databaseManage, name) >= 0; ++n) name = QStringLiteral("%1（%2）").arg(base).arg(n);
    AttachLocalDatabase(path, name, password);
    return databaseManage.GetCount() - 1;
}

int32_t DataCore_cl::RestoreBackupOver(const BackupFile_st& backup, const QString& password) {
    if (databaseManage.GetLoginUser() != 0) throw UserError(103, __LINE__);
    for (int32_t i = 0; i < databaseManage.GetCount(); ++i) {
        const LinkInfo_st& link = databaseManage.GetLink(i);
        if (link.type != DB_ns::DB_LOCAL ||
            QFileInfo(DatabaseManage_cl::ResolveLocation(link)).completeBaseName() != backup.book)
            continue;
        databaseManage.CloseDatabase();
        (void)BookBackup_cl::RestoreOver(backup.path, password, link, QDateTime::currentDateTime());
        return i;
    }
    throw UserError(102, __LINE__, backup.book);
}

void DataCore_cl::RemoveDatabase(int32_t index, QWidget* owner) {
    bool deleteFile = false;
    if (databaseManage.GetLink(index).type == DB_ns::DB_LOCAL) {
        deleteFile = Platform_ns::Prompt().Message(
                         owner, QStringLiteral("需要删除数据库文件吗？\r\n选择删除文件的话，该数据库的所有数据都会丢失。"),
                         GetProductName(), Platform_ns::Buttons_en::YesNo) == Platform_ns::Answer_en::Yes;
    }
    databaseManage.RemoveLink(index, deleteFile);
}

DataCore_cl& DataCore() {
    static DataCore_cl core;
    return core;
}

}  // namespace Vorelle_ns
