#pragma once

#include <QString>
#include <cstdint>

namespace DB_ns {
class IDatabase_cl;
}

namespace Vorelle_ns {

// The users' login passwords as salted slow hashes (PasswordHash_cl), one row per user in
// a table of its own, zorb_login, so that the user table stays as older copies of the
// program know it. Made with the book, and on the first login to a book made before it;
// a user whose password the user table still holds in plain text moves here at his next
// login, and the user table's column then holds no password.
class LoginHashes_cl {
public:
    explicit LoginHashes_cl(DB_ns::IDatabase_cl& database) : database(database) {}

    static QString ClassName() { return QStringLiteral("LoginHashes_cl"); }

    // Inside the caller's transaction, with the book.
    void CreateTable();
    // Makes the table when the book has none yet, outside any transaction; false when it
    // cannot be made (a server login without the right): the passwords then stay where
    // they are.
    [[nodiscard]] bool Prepare();
    // The hash kept for the user; false when none is (the table may be missing too).
    [[nodiscard]] bool Find(int32_t userSn, QString& hash);
    // Keeps the hash of password for the user and empties his user-table password, in
    // one transaction (nested in the caller's, if any).
    void Store(int32_t userSn, const QString& password);

private:
    DB_ns::IDatabase_cl& database;
};

}  // namespace Vorelle_ns
