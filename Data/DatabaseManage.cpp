#include "Data/DatabaseManage.h"

#include "DB/LocalDB.h"
#include "DB/OracleDB.h"
#include "DB/PostgreSQLDB.h"
#include "DB/SQLServerDB.h"
#include "IO/BinaryStream.h"
#include "IO/FileStream.h"
#include "IO/IOError.h"
#include "SystemInfo/Path.h"
#include "base/SysError.h"
#include "base/UserError.h"
#include "platform/keyring/Keyring.h"

#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <iterator>
#include <unistd.h>

namespace Vorelle_ns {

namespace {

Base_ns::SysError_cl SysError(int32_t code, int32_t line, const QString& remark = QString()) {
    static const Base_ns::ErrorInfo_st table[] = {{1, "数据库还没有连接。"}, {2, "未知的数据库类型。"}};
    return Base_ns::SysError_cl(line, __FILE__, DatabaseManage_cl::ClassName(), code, table,
                                int32_t(std::size(table)), remark);
}

Base_ns::UserError_cl UserError(int32_t code, int32_t line, const QString& remark = QString()) {
    static const Base_ns::ErrorInfo_st table[] = {{101, "数据库链接信息文件被破坏，无法加载链接信息。"},
                                                  {102, "软件版本过低，无法加载链接信息。"},
                                                  {103, "重复链接名称。"}};
    return Base_ns::UserError_cl(line, __FILE__, DatabaseManage_cl::ClassName(), code, table,
                                 int32_t(std::size(table)), remark);
}

IO_ns::IOError_cl IOError(int32_t code, int32_t line, const QString& remark = QString()) {
    static const Base_ns::ErrorInfo_st table[] = {{101, "无法更新数据库链接信息文件。"},
                                                  {102, "无法读取数据库链接信息文件。"},
                                                  {103, "无法锁定数据库链接信息文件所在的文件夹。"}};
    return IO_ns::IOError_cl(line, __FILE__, DatabaseManage_cl::ClassName(), code, table,
                             int32_t(std::size(table)), remark);
}

const char fileTag[5] = "DBLL";
const int32_t fileVersion = 0x01000000;  // the bytes 00 00 00 01
// Written only while a PostgreSQL link is in the list: a program that does not know the
// kind then refuses the file as too new instead of failing on the link later. A list
// without such a link is written exactly as before.
const int32_t serverFileVersion = 0x02000000;  // the bytes 00 00 00 02

using LinkFile_tl = IO_ns::FileStream_tl<IO_ns::BinaryStream_cl>;

// Pushes the written bytes to the disk so that the rename below never exposes a file
// whose content is still only in the page cache.
void SyncToDisk(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

// Holds the folder of the links file for this process alone while it is read and
// replaced; another copy waits.
class FolderLock_cl {
public:
    explicit FolderLock_cl(const QString& folder)
        : fd(::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
        if (fd < 0 || ::flock(fd, LOCK_EX) != 0) {
            if (fd >= 0) ::close(fd);
            throw IOError(103, __LINE__, folder);
        }
    }
    ~FolderLock_cl() { ::close(fd); }  // closing lets go of the lock
    FolderLock_cl(const FolderLock_cl&) = delete;
    FolderLock_cl& operator=(const FolderLock_cl&) = delete;

private:
    int fd;
};

}  // namespace

DatabaseManage_cl::DatabaseManage_cl() = default;

DatabaseManage_cl::~DatabaseManage_cl() = default;

QString DatabaseManage_cl::ClassName() { return QStringLiteral("DatabaseManage_cl"); }

QString DatabaseManage_cl::LinkFilePath() {
    return SystemInfo_ns::GetApplicationFolder() + QStringLiteral("DatabaseLink.bin");
}

void DatabaseManage_cl::Load(const QString& path) {
    loadFailed = true;
    CloseDatabase();
    links.Clear();
    ReadLinks(path, links);
    loadFailed = false;
}

bool DatabaseManage_cl::LoadFailed() const { return loadFailed; }

void DatabaseManage_cl::ReadLinks(const QString& path, Container_ns::List_tl<LinkInfo_st>& list) {
    LinkFile_tl file;
    try {
        file.OpenForRead(path);
    } catch (const IO_ns::IOError_cl&) {
        throw IOError(102, __LINE__, path);
    }
    try {
        if (!file.ReadTag(fileTag)) throw UserError(101, __LINE__, path);
        const int32_t version = file.ReadInteger();
        if (version != fileVersion && version != serverFileVersion) throw UserError(102, __LINE__, path);
        const int32_t count = file.ReadInteger();
        if (count < 0) throw UserError(101, __LINE__, path);
        for (int32_t i = 0; i < count; ++i) {
            // Only complete records join the list.
            LinkInfo_st link;
            link.name = file.ReadString();
            link.type = file.ReadInteger();
            link.location = file.ReadString();
            link.user = file.ReadString();
            link.password = file.ReadString();
            // Kept in the desktop's keyring when the file holds none.
            if (link.password.isEmpty()) (void)Platform_ns::Keyring_cl::Lookup(path, link.name, link.password);
            list.Append(link);
        }
        if (file.Remaining() != 0) throw UserError(101, __LINE__, path);
    } catch (const IO_ns::IOError_cl&) {
        // Fewer records than the count says.
        throw UserError(101, __LINE__, path);
    }
    file.Close();
}

void DatabaseManage_cl::WriteLinks(const QString& path, const Container_ns::List_tl<LinkInfo_st>& list) {
    if (list.Count() == 0) {
        if (QFile::exists(path) && !QFile::remove(path)) throw IOError(101, __LINE__, path);
        return;
    }
    const QString temporary = path + QStringLiteral(".tmp");
    {
        // An error while writing destroys the stream with the file still open, which
        // removes the partial temporary file; the old file stays as it was.
        LinkFile_tl file;
        file.OpenForWrite(temporary, true);  // it holds passwords
        file.WriteTag(fileTag);
        bool server = false;
        for (auto id = list.First(); !id.IsEmpty(); id.Next()) server = server || id.Get().type == DB_ns::DB_POSTGRESQL;
        file.WriteInteger(server ? serverFileVersion : fileVersion);
        file.WriteInteger(list.Count());
        for (auto id = list.First(); !id.IsEmpty(); id.Next()) {
            const LinkInfo_st& link = id.Get();
            file.WriteString(link.name);
            file.WriteInteger(link.type);
            file.WriteString(link.location);
            file.WriteString(link.user);
            // The desktop's keyring keeps it when one runs; the file otherwise (only its
            // owner reads it).
            const bool inKeyring = !link.password.isEmpty() && Platform_ns::Keyring_cl::Store(path, link.name, link.password);
            file.WriteString(inKeyring ? QString() : link.password);
        }
        file.Close();
    }
    SyncToDisk(temporary);
    if (std::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(path).constData()) != 0) {
        QFile::remove(temporary);
        throw IOError(101, __LINE__, path);
    }
}

void DatabaseManage_cl::SaveChange(const LinkInfo_st* added, const QString& removedName) {
    // A damaged or foreign file is kept for the user to recover.
    if (loadFailed || changesFile.isEmpty()) return;
    const QString& path = changesFile;
    // Copies of the program take turns: each reads, changes and replaces the file whole.
    const FolderLock_cl lock(SystemInfo_ns::GetParentFolder(path));
    Container_ns::List_tl<LinkInfo_st> saved;
    if (QFileInfo::exists(path)) ReadLinks(path, saved);
    for (auto id = saved.First(); !id.IsEmpty();) {
        auto next = id;
        next.Next();
        if (id.Get().name == removedName || (added != nullptr && id.Get().name == added->name)) saved.Remove(id);
        id = next;
    }
    if (added != nullptr) saved.Append(*added);
    WriteLinks(path, saved);
    if (!removedName.isEmpty()) Platform_ns::Keyring_cl::Clear(path, removedName);
}

void DatabaseManage_cl::SaveChangesTo(const QString& path) { changesFile = path; }

void DatabaseManage_cl::Save(const QString& path) {
    // Whatever happens to the file, the list is emptied and the database closed.
    struct Finish_st {
        DatabaseManage_cl& self;
        ~Finish_st() {
            self.changesFile.clear();
            self.links.Clear();
            self.CloseDatabase();
        }
    } finish{*this};

    if (loadFailed) return;
    // Every change was saved when it was made; a file another copy emptied goes.
    if (!QFileInfo(path).isFile()) return;
    Container_ns::List_tl<LinkInfo_st> saved;
    const FolderLock_cl lock(SystemInfo_ns::GetParentFolder(path));
    ReadLinks(path, saved);
    if (saved.Count() == 0) WriteLinks(path, saved);
}

int32_t DatabaseManage_cl::AddLocalLink(const QString& name, const QString& path, const QString& password) {
    CheckNewName(name);
    const QString folder = SystemInfo_ns::GetApplicationFolder();
    const QString absolute = SystemInfo_ns::ResolvePath(folder, path);
    SystemInfo_ns::MakeFolders(absolute);
    auto probe = std::make_unique<DB_ns::LocalDB_cl>();
    // Only here, on creating a database, is a missing file made.
    if (!QFileInfo::exists(absolute)) probe->CreateDatabaseFile(password, absolute);
    probe->Open(password, absolute);
    const LinkInfo_st link{name, DB_ns::DB_LOCAL, SystemInfo_ns::MakeRelativePath(folder, absolute), QString(), password};
    return AppendChecked(link, std::move(probe));
}

int32_t DatabaseManage_cl::AppendChecked(const LinkInfo_st& link, std::unique_ptr<DB_ns::IDatabase_cl> probe) {
    SaveChange(&link, QString());
    links.Append(link);
    checked = std::move(probe);
    checkedLink = links.Count() - 1;
    return checkedLink;
}

int32_t DatabaseManage_cl::AddSQLServerLink(const QString& name, const QString& server, const QString& user,
                                            const QString& password) {
    CheckNewName(name);
    auto probe = std::make_unique<DB_ns::SQLServerDB_cl>();
    probe->Connect(user, server, QString(), password);
    return AppendChecked({name, DB_ns::DB_SQLSERVER, server, user, password}, std::move(probe));
}

int32_t DatabaseManage_cl::AddPostgreSQLLink(const QString& name, const QString& server, const QString& database,
                                             const QString& user, const QString& password) {
    CheckNewName(name);
    auto probe = std::make_unique<DB_ns::PostgreSQLDB_cl>();
    probe->Connect(user, server, database, password);
    return AppendChecked({name, DB_ns::DB_POSTGRESQL, PostgreSQLLocation(server, database), user, password},
                         std::move(probe));
}

QString DatabaseManage_cl::PostgreSQLLocation(const QString& server, const QString& database) {
    return database.isEmpty() ? server : server + u'/' + database;
}

void DatabaseManage_cl::SplitPostgreSQLLocation(const QString& location, QString& server, QString& database) {
    // A host name or address never holds "/"; a database name may.
    const qsizetype slash = location.indexOf(u'/');
    server = slash < 0 ? location : location.left(slash);
    database = slash < 0 ? QString() : location.mid(slash + 1);
}

void DatabaseManage_cl::CheckNewName(const QString& name) const {
    for (auto id = links.First(); !id.IsEmpty(); id.Next()) {
        if (id.Get().name == name) throw UserError(103, __LINE__);
    }
}

void DatabaseManage_cl::RemoveLink(int32_t index, bool deleteFile) {
    auto id = links.At(index);
    const LinkInfo_st& link = id.Get();
    SaveChange(nullptr, link.name);
    if (link.type == DB_ns::DB_LOCAL && deleteFile) {
        CloseDatabase();
        QFile::remove(ResolveLocation(link));
    }
    links.Remove(id);
    // The later links move up one place.
    if (checkedLink == index) checked.reset();
    if (checkedLink >= index) --checkedLink;
    if (openLink == index) openLink = -1;
    if (openLink > index) --openLink;
}

void DatabaseManage_cl::OpenLink(int32_t index) {
    const LinkInfo_st& link = GetLink(index);
    std::unique_ptr<DB_ns::IDatabase_cl> kept = checkedLink == index ? std::move(checked) : nullptr;
    CloseDatabase();
    if (kept) {
        database = std::move(kept);
        openLink = index;
        openInfo = link;
        return;
    }
    switch (link.type) {
    case DB_ns::DB_LOCAL: {
        auto local = std::make_unique<DB_ns::LocalDB_cl>();
        local->Open(link.password, ResolveLocation(link));
        database = std::move(local);
        break;
    }
    case DB_ns::DB_ORACLE: {
        auto oracle = std::make_unique<DB_ns::OracleDB_cl>();
        oracle->Connect(link.user, link.location, link.password);
        database = std::move(oracle);
        break;
    }
    case DB_ns::DB_SQLSERVER: {
        auto server = std::make_unique<DB_ns::SQLServerDB_cl>();
        server->Connect(link.user, link.location, QString(), link.password);
        database = std::move(server);
        break;
    }
    case DB_ns::DB_POSTGRESQL: {
        QString server, name;
        SplitPostgreSQLLocation(link.location, server, name);
        auto postgres = std::make_unique<DB_ns::PostgreSQLDB_cl>();
        postgres->Connect(link.user, server, name, link.password);
        database = std::move(postgres);
        break;
    }
    default:
        throw SysError(2, __LINE__);
    }
    openLink = index;
    openInfo = link;
}

void DatabaseManage_cl::KeepChecked() {
    checked = std::move(database);
    checkedLink = checked ? openLink : -1;
    openLink = -1;
}

const LinkInfo_st& DatabaseManage_cl::GetOpenLink() const {
    GetDatabase();
    return openInfo;
}

bool DatabaseManage_cl::IsOpen() const { return database != nullptr; }

DB_ns::IDatabase_cl& DatabaseManage_cl::GetDatabase() const {
    if (!database) throw SysError(1, __LINE__);
    return *database;
}

void DatabaseManage_cl::CloseDatabase() {
    database.reset();
    openLink = -1;
    checked.reset();
    checkedLink = -1;
}

int32_t DatabaseManage_cl::GetCount() const { return links.Count(); }

const LinkInfo_st& DatabaseManage_cl::GetLink(int32_t index) const { return links.At(index).Get(); }

QString DatabaseManage_cl::ResolveLocation(const LinkInfo_st& link) {
    return SystemInfo_ns::ResolvePath(SystemInfo_ns::GetApplicationFolder(), link.location);
}

int32_t DatabaseManage_cl::GetLoginUser() const { return loginUser; }

void DatabaseManage_cl::SetLoginUser(int32_t userSn) { loginUser = userSn; }

}  // namespace Vorelle_ns
