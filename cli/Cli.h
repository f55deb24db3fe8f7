#pragma once

#include "Secrets.h"

#include <QStringList>

namespace Cli_ns {

// vorelle-cli [--book PATH | --connect URI] [--user NAME] COMMAND [ARGS]: reads the global
// options, finds the command in the command table and runs it. Every failure ends as one
// line on standard error; a system error is also appended to Error.log as the windows
// append it. Never opens a window or a message box.
class Cli_cl {
public:
    // Exit status: 0 done, 1 refused, 2 a command line that cannot be read.
    static constexpr int Done = 0;
    static constexpr int Refused = 1;
    static constexpr int UsageFault = 2;

    [[nodiscard]] int Run(const QStringList& arguments, const Secrets_st& secrets);
};

}  // namespace Cli_ns
