#pragma once

namespace Ado_ns {

// The provider layer's process-wide state (the ODBC environment), set up at start-up
// and torn down at shut-down. Connections to SQL Server and Oracle need it; opening one
// without it fails with NotInitialized.
class Environment_cl {
public:
    static void Startup();
    static void Shutdown();
};

}  // namespace Ado_ns
