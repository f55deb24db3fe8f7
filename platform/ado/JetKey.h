#pragma once

#include <QByteArray>
#include <QString>

namespace Ado_ns {

// The key of an encrypted database file. The engine derives a file's key from the
// password and the file's salt (its first 16 bytes) in many deliberately slow rounds, once
// for every connection keyed with the password. Here the derivation is done once per
// password and salt in the process and kept in memory only (never written anywhere): a
// later connection, a backup copy (made with the book's salt) or a new file is keyed with
// the derived key at once.
class JetKey_cl {
public:
    static constexpr int kSaltSize = 16;

    // What to key a connection with: the derived key with its salt as "x'<key><salt>'", or
    // the password itself when salt is not a whole salt or the engine derives keys in a
    // way not reproduced here.
    static QByteArray For(const QString& password, const QByteArray& salt);
    // The salt a file keeps in front, empty when it is shorter than a salt.
    static QByteArray SaltOf(const QString& path);
    // A new random salt for a new file.
    static QByteArray NewSalt();
};

}  // namespace Ado_ns
