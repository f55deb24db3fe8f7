#include "Path.h"

#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QStandardPaths>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace SystemInfo_ns {

namespace {

QString ComputeApplicationFolder() {
    const QFileInfo exe(QStringLiteral("/proc/self/exe"));
    QString folder = ApplicationFolderFor(QFileInfo(exe.symLinkTarget()).absolutePath(),
                                          QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    QDir().mkpath(folder);
    return folder;
}

// "\" read as the separator it was written as.
QString Slashed(const QString& path) {
    QString result = path;
    return result.replace(u'\\', u'/');
}

QString AsFolder(const QString& base) {
    const QString folder = Slashed(base);
    return folder.endsWith(u'/') ? folder : folder + u'/';
}

bool IsAbsolute(const QString& path) { return path.startsWith(u'/') || path.contains(u':'); }

// Index of the first character after the separators starting at from.
qsizetype SkipSeparators(const QString& path, qsizetype from) {
    while (from < path.size() && path[from] == u'/') ++from;
    return from;
}

QString& Override() {
    static QString folder;
    return folder;
}

}  // namespace

QString ApplicationFolderFor(const QString& programFolder, const QString& dataFolder) {
    // An installed program lives in a prefix's bin/ (/usr/bin, ~/.local/bin): its files
    // go to the user's data folder even where bin/ is writable (root, a user prefix).
    const bool installed = programFolder.endsWith(QStringLiteral("/bin")) || programFolder == QStringLiteral("/bin");
    const QString folder = installed || !QFileInfo(programFolder).isWritable() ? dataFolder : programFolder;
    return folder.endsWith(u'/') ? folder : folder + u'/';
}

QString GetApplicationFolder() {
    if (!Override().isEmpty()) return Override();
    static const QString folder = ComputeApplicationFolder();
    return folder;
}

void SetApplicationFolder(const QString& folder) {
    Override() = folder.isEmpty() || folder.endsWith(u'/') ? folder : folder + u'/';
}

QString GetParentFolder(const QString& path) {
    const QString slashed = Slashed(path);
    const qsizetype cut = slashed.lastIndexOf(u'/');
    if (cut < 0) return QString();
    return cut == 0 ? QStringLiteral("/") : slashed.left(cut);
}

void MakeFolders(const QString& path) {
    const QString slashed = Slashed(path);
    const qsizetype cut = slashed.lastIndexOf(u'/');
    if (cut > 0) QDir().mkpath(slashed.left(cut));
}

QString ResolvePath(const QString& base, const QString& stored) {
    if (IsAbsolute(stored)) return Slashed(stored);
    const QString folder = AsFolder(base);
    const QString rest = Slashed(stored);
    qsizetype cut = folder.size() - 1;
    qsizetype position = SkipSeparators(rest, 0);
    while (QStringView(rest).mid(position, 3) == u"../") {
        position += 3;
        cut = cut > 0 ? folder.lastIndexOf(u'/', cut - 1) : -1;
        if (cut < 0) return QString();
    }
    return folder.left(cut + 1) + rest.mid(position);
}

QString MakeRelativePath(const QString& base, const QString& path) {
    const QString folder = AsFolder(base);
    const QString slashed = Slashed(path);
    if (!slashed.startsWith(folder)) return slashed;
    const QString rest = slashed.mid(SkipSeparators(slashed, folder.size()));
    // A ":" would make the stored form read as absolute; keep such paths whole.
    return rest.contains(u':') ? slashed : rest;
}

int RenameNoReplace(const QString& from, const QString& to) {
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS) return errno;
    if (::link(source.constData(), target.constData()) != 0) return errno;
    ::unlink(source.constData());
    return 0;
}

}  // namespace SystemInfo_ns
