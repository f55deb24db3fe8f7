#include "Control/LocalBookMaker.h"

#include "Control/DataCore.h"
#include "DB/LocalDB.h"
#include "DB/VersionRecord.h"
#include "SystemInfo/Path.h"
#include "base/UserError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <iterator>
#include <sys/file.h>
#include <unistd.h>

namespace Vorelle_ns {

namespace {

Base_ns::UserError_cl UserError(int32_t code, int32_t line, const QString& remark = QString()) {
    static const Base_ns::ErrorInfo_st table[] = {
        {101, "数据库文件已经存在。"},
        {102, "这个文件是以前一次没有完成的创建留下的，里面没有账本。确认不再需要后删除这个文件，再重新创建。"},
        {103, "无法在数据库文件所在的文件夹中创建账本。"},
        {104, "无法把建好的账本改名为数据库文件，账本没有创建。"}};
    return Base_ns::UserError_cl(line, __FILE__, LocalBookMaker_cl::ClassName(), code, table,
                                 int32_t(std::size(table)), remark);
}

const QString kMarker = QStringLiteral(".creating-");

// The folder a book is built in: hidden, beside the target, named after it.
QString FolderPrefix(const QFileInfo& target) {
    return target.absolutePath() + QStringLiteral("/.") + target.fileName() + kMarker;
}

// A folder locked for as long as this process builds a book in it.
class BuildFolder_cl {
public:
    explicit BuildFolder_cl(const QFileInfo& target) {
        QByteArray pattern = QFile::encodeName(FolderPrefix(target) + QStringLiteral("XXXXXX"));
        if (::mkdtemp(pattern.data()) == nullptr) throw UserError(103, __LINE__, target.absoluteFilePath() + Reason());
        path = QFile::decodeName(pattern);
        fd = ::open(pattern.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0 || ::flock(fd, LOCK_EX) != 0) {
            const QString reason = Reason();
            Remove();
            throw UserError(103, __LINE__, target.absoluteFilePath() + reason);
        }
    }
    ~BuildFolder_cl() { Remove(); }
    BuildFolder_cl(const BuildFolder_cl&) = delete;
    BuildFolder_cl& operator=(const BuildFolder_cl&) = delete;

    const QString& Path() const { return path; }

private:
    static QString Reason() { return QStringLiteral("\r\n") + QString::fromLocal8Bit(std::strerror(errno)); }
    void Remove() {
        QDir(path).removeRecursively();
        if (fd >= 0) ::close(fd);
        fd = -1;
    }

    QString path;
    int fd = -1;
};

// Removes the build folders of killed runs for this target; those of running ones stay.
void RemoveLeftovers(const QFileInfo& target) {
    const QString prefix = QFileInfo(FolderPrefix(target)).fileName();
    const QFileInfoList found =
        QDir(target.absolutePath()).entryInfoList({prefix + u'*'}, QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QFileInfo& folder : found) {
        const QByteArray name = QFile::encodeName(folder.absoluteFilePath());
        const int fd = ::open(name.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) continue;
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) QDir(folder.absoluteFilePath()).removeRecursively();
        ::close(fd);
    }
}

}  // namespace

void LocalBookMaker_cl::Make(DataCore_cl& core, const QString& path, const QString& filePassword,
                             const QString& adminName, const QString& adminPassword) {
    const QFileInfo target(path);
    if (target.exists()) {
        if (IsHalfMade(path, filePassword)) RefuseHalfMade(path);
        throw UserError(101, __LINE__, path);
    }
    SystemInfo_ns::MakeFolders(path);
    RemoveLeftovers(target);
    const BuildFolder_cl folder(target);
    const QString building = folder.Path() + u'/' + target.fileName();
    DatabaseManage_cl& links = core.GetDatabaseManage();
    core.AttachLocalDatabase(building, QStringLiteral("%1%2").arg(ClassName()).arg(links.GetCount()), filePassword);
    const int32_t index = links.GetCount() - 1;
    try {
        core.InitDatabase(index, adminName, adminPassword);
    } catch (...) {
        links.RemoveLink(index, false);
        throw;
    }
    links.RemoveLink(index, false);
    const int error = SystemInfo_ns::RenameNoReplace(building, path);
    if (error == EEXIST) throw UserError(101, __LINE__, path);
    if (error != 0)
        throw UserError(104, __LINE__, path + QStringLiteral("\r\n") + QString::fromLocal8Bit(std::strerror(error)));
}

bool LocalBookMaker_cl::IsHalfMade(const QString& path, const QString& filePassword) {
    const QFileInfo file(path);
    if (!file.isFile()) return false;
    if (file.size() == 0) return true;
    try {
        DB_ns::LocalDB_cl database;
        database.Open(filePassword, path);
        return !database.TableExists(DB_ns::VersionRecord_cl::kTableName) &&
               !database.TableExists(QStringLiteral("zorb_user"));
    } catch (const Base_ns::Error_cl&) {
        return false;
    }
}

void LocalBookMaker_cl::RefuseHalfMade(const QString& path) {
    throw UserError(102, __LINE__, path);
}

}  // namespace Vorelle_ns
