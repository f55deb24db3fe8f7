#pragma once

struct sqlite3;

namespace Ado_ns {

// The Jet functions the program's SQL uses that the local engine lacks:
// iif(condition, then, else) and format(date, pattern) with the patterns yyyy, mm, dd,
// hh, nn (minutes) and ss; any other character of the pattern is copied.
class JetFunctions_cl {
public:
    // Returns the engine's result code (0 when both were registered).
    static int Register(sqlite3* db);
};

}  // namespace Ado_ns
