#include "Path.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace SystemInfo_ns {

namespace {

QString ComputeApplicationFolder() {
    const QFileInfo exe(QStringLiteral("/proc/self/exe"));
    QString folder = QFileInfo(exe.symLinkTarget()).absolutePath();
    if (!QFileInfo(folder).isWritable()) {
        folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
        QDir().mkpath(folder);
    }
    if (!folder.endsWith(u'/')) folder += u'/';
    return folder;
}

QString& Override() {
    static QString folder;
    return folder;
}

}  // namespace

QString GetApplicationFolder() {
    if (!Override().isEmpty()) return Override();
    static const QString folder = ComputeApplicationFolder();
    return folder;
}

void SetApplicationFolder(const QString& folder) {
    Override() = folder.isEmpty() || folder.endsWith(u'/') ? folder : folder + u'/';
}

}  // namespace SystemInfo_ns
