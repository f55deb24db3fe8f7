#pragma once

#include "DB/LocalDB.h"
#include "base/Error.h"

#include <QDir>
#include <QString>
#include <QTemporaryDir>
#include <ostream>

// Lets GoogleTest print texts readably.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

// What a caught error said, so that tests can compare it after the handler has ended.
struct Caught_st {
    bool thrown = false;
    bool system = false;
    QString message;
    QString remark;
    QString className;
    QString file;
};

template <typename Work>
Caught_st Catch(Work&& work) {
    try {
        work();
    } catch (const Base_ns::Error_cl& error) {
        return {true, error.IsSystem(), error.Message(), error.Remark(), error.ClassName(), error.File()};
    }
    return {};
}

// A temporary folder for database files.
class DBFolder_cl {
public:
    QString Path(const QString& name) const { return dir.path() + u'/' + name; }

private:
    QTemporaryDir dir;
};

// Makes a new database file at path and opens it.
inline void CreateAndOpen(DB_ns::LocalDB_cl& db, const QString& password, const QString& path) {
    db.CreateDatabaseFile(password, path);
    db.Open(password, path);
}
