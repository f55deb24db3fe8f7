#pragma once

#include "base/Version.h"

#include <QString>

namespace DB_ns {

class IDatabase_cl;

// The row of table module_version that marks a database as one module's, with the
// version of that module's data layout. Reads the row once, at construction.
class VersionRecord_cl {
public:
    VersionRecord_cl(IDatabase_cl* database, const QString& moduleName);
    virtual ~VersionRecord_cl() = default;

    VersionRecord_cl(const VersionRecord_cl&) = delete;
    VersionRecord_cl& operator=(const VersionRecord_cl&) = delete;

    bool HasVersion() const { return recordExists; }
    Base_ns::Version_st GetVersion() const;
    // Writes version for the module in one transaction, creating the table and the row
    // as needed. The object keeps what it read at construction.
    void SetVersion(const Base_ns::Version_st& version);

    virtual QString GetClassName() const { return ClassName(); }
    static QString ClassName() { return QStringLiteral("VersionRecord_cl"); }

    static const QString kTableName;

private:
    IDatabase_cl* database;  // not owned
    QString moduleName;
    bool tableExists = false;
    bool recordExists = false;
    Base_ns::Version_st version;
};

}  // namespace DB_ns
