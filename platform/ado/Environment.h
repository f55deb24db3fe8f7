#pragma once

namespace Ado_ns {

// The provider layer's process-wide state: the ODBC environment, set up at start-up and
// torn down at shut-down. Connections to SQL Server and Oracle need it; opening one
// without it fails with NotInitialized. Local database files do not.
class Environment_cl {
public:
    // Sets the environment up unless it is; throws ProviderError_cl when that fails.
    static void Startup();
    // Tears it down after the last connection that uses it has been destroyed.
    static void Shutdown();
    // The ODBC environment handle, or nullptr before Startup and after Shutdown.
    static void* Handle();
};

}  // namespace Ado_ns
