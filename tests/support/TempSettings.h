#pragma once

#include "settings/Unique.h"

#include <QTemporaryDir>

// A temporary settings folder for one test; the user's real settings are never touched.
// Storages still open at the end are closed.
class TempSettings_cl {
public:
    TempSettings_cl() { Unique_ns::SetStorageFolder(dir.path()); }
    ~TempSettings_cl() {
        Unique_ns::CloseDatabaseStorage(QString());
        Unique_ns::CloseFileStorage();
        Unique_ns::SetStorageFolder(QString());
    }
    QString Path() const { return dir.path() + QStringLiteral("/"); }

private:
    QTemporaryDir dir;
};
