#pragma once

struct sqlite3;

namespace Ado_ns {

// The Jet functions the program's SQL uses that the local engine lacks:
// iif(condition, then, else), format(date, pattern) with the patterns yyyy, mm, dd,
// hh, nn (minutes) and ss (any other character of the pattern is copied), and
// instr(start, text, sought, compare), whose compare 1 ignores case in every script
// (the engine's own like and lower know only the Latin letters A-Z).
class JetFunctions_cl {
public:
    // Returns the engine's result code (0 when all were registered).
    static int Register(sqlite3* db);
};

}  // namespace Ado_ns
