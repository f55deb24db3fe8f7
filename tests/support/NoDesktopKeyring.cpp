// The test programs never reach the desktop's keyring of whoever runs them: the saved
// links they write stay in their temporary files. The keyring's own test runs in a private
// session of its own, without this file.
#include <cstdlib>

namespace {

const bool kBusClosed = setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/vorelle-tests-have-no-bus", 1) == 0;

}  // namespace
