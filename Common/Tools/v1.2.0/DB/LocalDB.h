#pragma once

#include "ADODatabase.h"

namespace DB_ns {

// A password-protected database file on the local disk.
class LocalDB_cl : public ADODatabase_cl {
public:
    LocalDB_cl() : ADODatabase_cl(false) {}

    // Opens the existing file at path; never creates one (a missing file is refused with
    // its path).
    void Open(const QString& password, const QString& path);
    // Creates an empty database file at path; refuses an existing file.
    void CreateDatabaseFile(const QString& password, const QString& path);

    // A consistent copy of the open file, encrypted with the same password, into a new
    // file at destination, made while other programs may go on writing. An existing
    // destination is refused; a failure leaves no file behind.
    void Backup(const QString& destination);

    int32_t GetType() const override { return DB_LOCAL; }
    QString GetClassName() const override { return ClassName(); }

    static QString ClassName() { return QStringLiteral("LocalDB_cl"); }
    static QString ConnectionString(const QString& password, const QString& path);
};

}  // namespace DB_ns
