#include "settings/Unique.h"

#include "IniStorage.h"
#include "base/SysError.h"

#include <QCryptographicHash>
#include <QStandardPaths>
#include <memory>

namespace Unique_ns {

namespace {

Base_ns::SysError_cl SysError(int32_t code, int32_t line, const QString& remark = QString()) {
    static const Base_ns::ErrorInfo_st table[] = {{1, "文件设置存储还没有打开。"},
                                                  {2, "数据库设置存储还没有打开。"}};
    return Base_ns::SysError_cl(line, __FILE__, QString(), code, table, int32_t(std::size(table)), remark);
}

std::unique_ptr<IniStorage_cl>& FileStorage() {
    static std::unique_ptr<IniStorage_cl> storage;
    return storage;
}

std::unique_ptr<IniStorage_cl>& DatabaseStorage() {
    static std::unique_ptr<IniStorage_cl> storage;
    return storage;
}

QString& FolderOverride() {
    static QString folder;
    return folder;
}

// One file per product; a "/" in the name must not lead elsewhere.
QString ProductFile(const QString& productName) {
    QString name = productName;
    name.replace(u'/', u'_');
    return GetStorageFolder() + u'/' + name + QStringLiteral(".ini");
}

// The database storage's group: a digest, since identities hold "/" and other
// characters that groups cannot.
QString DatabaseGroup(const QString& database, const QString& userName) {
    const QByteArray identity = (database + u'\n' + userName).toUtf8();
    return QString::fromLatin1(QCryptographicHash::hash(identity, QCryptographicHash::Sha256).toHex());
}

}  // namespace

bool InitFileStorage(const QString& productName) {
    FileStorage() = std::make_unique<IniStorage_cl>(ProductFile(productName), QString());
    return FileStorage()->IsWritable();
}

void CloseFileStorage() { FileStorage().reset(); }

void InitDatabaseStorage(const QString& database, const QString& userName, const QString& productName) {
    DatabaseStorage() = std::make_unique<IniStorage_cl>(ProductFile(productName), DatabaseGroup(database, userName));
}

void CloseDatabaseStorage(const QString& /*database*/) { DatabaseStorage().reset(); }

ICustom_cl& GetCustomFromFile() {
    if (!FileStorage()) throw SysError(1, __LINE__);
    return *FileStorage();
}

IRecentRecord_cl& GetRecentRecordFromFile() {
    if (!FileStorage()) throw SysError(1, __LINE__);
    return *FileStorage();
}

ICustom_cl& GetCustomFromDatabase() {
    if (!DatabaseStorage()) throw SysError(2, __LINE__);
    return *DatabaseStorage();
}

IRecentRecord_cl& GetRecentRecordFromDatabase() {
    if (!DatabaseStorage()) throw SysError(2, __LINE__);
    return *DatabaseStorage();
}

void SetStorageFolder(const QString& folder) { FolderOverride() = folder; }

QString GetStorageFolder() {
    if (!FolderOverride().isEmpty()) return FolderOverride();
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
}

}  // namespace Unique_ns
