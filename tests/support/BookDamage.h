#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// The ways a book's file is found damaged on a disk: each is done to the bytes of a sound
// encrypted book of several pages.
namespace BookDamage_ns {

// The engine's pages of an encrypted book.
constexpr qsizetype kPage = 1024;

// The first byte of a page in the middle of the file.
inline qsizetype Middle(const QByteArray& bytes) { return bytes.size() / kPage / 2 * kPage; }

struct Damage_st {
    const char* title;
    void (*apply)(QByteArray& bytes);
    const char* message;  // the refusal of the book
    bool inPages;         // found only by reading every page, not by the file's length
};

// The first page holds what the password is checked against: damaged there, the file
// cannot tell a damaged page from a wrong password.
constexpr char kDamaged[] = "数据库文件已损坏，或不是本软件的数据库文件。";
constexpr char kDamagedOrWrongPassword[] = "打开数据库文件失败，文件已损坏或密码错误。";

inline const Damage_st kDamages[] = {
    {"a flipped bit", [](QByteArray& bytes) { bytes[Middle(bytes) + 500] = char(bytes[Middle(bytes) + 500] ^ 0x10); }, kDamaged, true},
    {"an extra page, a copy of another", [](QByteArray& bytes) { bytes += bytes.mid(kPage, kPage); }, kDamaged, false},
    {"the last page cut off", [](QByteArray& bytes) { bytes.chop(kPage); }, kDamaged, false},
    {"cut inside a page", [](QByteArray& bytes) { bytes.chop(kPage / 3); }, kDamaged, false},
    {"a page of zeros", [](QByteArray& bytes) { bytes.replace(Middle(bytes), kPage, QByteArray(kPage, '\0')); }, kDamaged, true},
    {"a flipped bit in the first page", [](QByteArray& bytes) { bytes[200] = char(bytes[200] ^ 0x01); }, kDamagedOrWrongPassword, false},
};

// Writes a damaged copy of the book at path to copy; false when it cannot.
inline bool WriteDamaged(const QString& path, const QString& copy, const Damage_st& damage) {
    QFile source(path);
    if (!source.open(QIODevice::ReadOnly)) return false;
    QByteArray bytes = source.readAll();
    if (bytes.size() < 8 * kPage) return false;
    damage.apply(bytes);
    QFile target(copy);
    return target.open(QIODevice::WriteOnly | QIODevice::Truncate) && target.write(bytes) == bytes.size();
}

}  // namespace BookDamage_ns
