#pragma once

#include "SystemInfo/Path.h"

#include <QTemporaryDir>

// A temporary application folder for one test; the real one is never touched.
class TempAppFolder_cl {
public:
    TempAppFolder_cl() { SystemInfo_ns::SetApplicationFolder(dir.path()); }
    ~TempAppFolder_cl() { SystemInfo_ns::SetApplicationFolder(QString()); }
    QString Path() const { return dir.path() + QStringLiteral("/"); }

private:
    QTemporaryDir dir;
};
