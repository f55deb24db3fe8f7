#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <cstdint>

// The encodings of "DatabaseLink.bin", written out by hand for the tests.
namespace LinkBytes_ns {

inline QByteArray Int(int32_t value) {
    QByteArray bytes;
    for (int i = 0; i < 4; ++i) bytes.append(char((uint32_t(value) >> (8 * i)) & 0xFF));
    return bytes;
}

inline QByteArray Str(const QString& text) {
    QByteArray bytes = Int(int32_t(text.size()));
    for (const QChar c : text) {
        bytes.append(char(c.unicode() & 0xFF));
        bytes.append(char(c.unicode() >> 8));
    }
    return bytes;
}

inline QByteArray Header(int32_t count) {
    return QByteArray("DBLL") + QByteArray("\x00\x00\x00\x01", 4) + Int(count);
}

inline QByteArray Record(const QString& name, int32_t type, const QString& location, const QString& user,
                         const QString& password) {
    return Str(name) + Int(type) + Str(location) + Str(user) + Str(password);
}

inline QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool WriteAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

}  // namespace LinkBytes_ns
