#include "PartialFile.h"

#include "Path.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace SystemInfo_ns {

namespace {

const QString kSuffix = QStringLiteral(".partial");
// What a database engine leaves beside a file it writes.
const QString kJournals[] = {QStringLiteral("-journal"), QStringLiteral("-wal"), QStringLiteral("-shm")};

QByteArray Native(const QString& path) { return QFile::encodeName(path); }

void RemoveWithJournals(const QString& path) {
    QFile::remove(path);
    for (const QString& journal : kJournals) QFile::remove(path + journal);
}

// Whether no process holds the file's lock: its maker has ended.
bool Abandoned(const QString& path) {
    const int fd = ::open(Native(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool free = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    ::close(fd);
    return free;
}

}  // namespace

PartialFile_cl::PartialFile_cl(const QString& target) : target(target) {
    MakeFolders(target);
    for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
        path = target + u'.' + QString::number(QRandomGenerator::global()->generate(), 36) + kSuffix;
        fd = ::open(Native(path).constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        error = fd < 0 ? errno : 0;
        if (fd < 0 && error != EEXIST) break;
    }
    if (fd >= 0 && ::flock(fd, LOCK_EX) != 0) {
        error = errno;
        ::close(fd);
        fd = -1;
        QFile::remove(path);
    }
}

PartialFile_cl::~PartialFile_cl() {
    if (fd < 0) return;
    // Removed while still locked, so that no tidying of another process takes it meanwhile.
    if (!committed) RemoveWithJournals(path);
    ::close(fd);
}

bool PartialFile_cl::Commit() {
    if (fd < 0) return false;
    if (::fsync(fd) != 0) {
        error = errno;
        return false;
    }
    error = RenameNoReplace(path, target);
    committed = error == 0;
    return committed;
}

void PartialFile_cl::RemoveLeftovers(const QString& target) {
    const QFileInfo where(target);
    const QFileInfoList found = QDir(where.absolutePath())
                                    .entryInfoList({QStringLiteral("*") + kSuffix, QStringLiteral("*") + kSuffix +
                                                                                       QStringLiteral("-*")},
                                                   QDir::Files | QDir::Hidden);
    for (const QFileInfo& file : found) {
        const QString name = file.filePath();
        if (name.endsWith(kSuffix)) {
            if (Abandoned(name)) RemoveWithJournals(name);
            continue;
        }
        // A journal whose file is gone: its maker was killed between the two removals.
        const QString owner = name.left(name.lastIndexOf(kSuffix) + kSuffix.size());
        if (!QFileInfo::exists(owner)) QFile::remove(name);
    }
}

}  // namespace SystemInfo_ns
