#include "IniStorage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Unique_ns {

namespace {

// Makes sure the file exists with mode 0600 before anything is written to it; later
// writes replace it keeping that mode.
bool PrepareFile(const QString& filePath) {
    if (!QDir().mkpath(QFileInfo(filePath).absolutePath())) return false;
    const int fd = ::open(QFile::encodeName(filePath).constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    const bool narrowed = ::fchmod(fd, 0600) == 0;
    ::close(fd);
    return narrowed;
}

}  // namespace

IniStorage_cl::IniStorage_cl(const QString& filePath, const QString& group)
    : prepared(PrepareFile(filePath)), settings(filePath, QSettings::IniFormat) {
    if (!group.isEmpty()) settings.beginGroup(group);
}

bool IniStorage_cl::IsWritable() const { return prepared && settings.isWritable(); }

void IniStorage_cl::Store(const QString& key, const QVariant& value) {
    // Written out once the event loop comes round and when the storage closes, not per
    // value: each write of the file is synced to disk, and a page closing writes a dozen
    // values (half a second to two seconds on a busy disk).
    settings.setValue(key, value);
}

void IniStorage_cl::WriteInteger(const QString& key, int32_t value) { Store(key, value); }

void IniStorage_cl::WriteBoolean(const QString& key, bool value) { Store(key, value); }

void IniStorage_cl::WriteString(const QString& key, const QString& value) { Store(key, value); }

int32_t IniStorage_cl::ReadInteger(const QString& key, int32_t defaultValue) {
    bool ok = false;
    const int32_t value = settings.value(key).toInt(&ok);
    return ok ? value : defaultValue;
}

bool IniStorage_cl::ReadBoolean(const QString& key, bool defaultValue) {
    const QString text = settings.value(key).toString();
    if (text == QStringLiteral("true")) return true;
    if (text == QStringLiteral("false")) return false;
    return defaultValue;
}

QString IniStorage_cl::ReadString(const QString& key, const QString& defaultValue) {
    return settings.contains(key) ? settings.value(key).toString() : defaultValue;
}

void IniStorage_cl::Add(const QString& key, const QString& value) {
    if (value.isEmpty()) return;
    QStringList values = settings.value(key).toStringList();
    values.removeAll(value);
    values.prepend(value);
    Store(key, QStringList(values.mid(0, RecentLimit)));
}

Container_ns::List_tl<Base_ns::String_cl> IniStorage_cl::List(const QString& key) {
    Container_ns::List_tl<Base_ns::String_cl> list;
    for (const QString& value : settings.value(key).toStringList()) list.Append(value);
    return list;
}

}  // namespace Unique_ns
