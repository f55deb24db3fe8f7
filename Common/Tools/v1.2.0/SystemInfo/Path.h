#pragma once

#include <QString>

namespace SystemInfo_ns {

// The folder of the running program, ending with "/"; computed once. When that folder
// is not writable (a system-wide install) the user's data folder takes its place.
QString GetApplicationFolder();
// Points the application folder elsewhere (tests use temporary folders); an empty
// folder returns to the computed one.
void SetApplicationFolder(const QString& folder);

}  // namespace SystemInfo_ns
