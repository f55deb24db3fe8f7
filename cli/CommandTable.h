#pragma once

#include "Command.h"

#include <memory>
#include <vector>

namespace Cli_ns {

// Every command, in the order the help lists them.
const std::vector<std::unique_ptr<ICommand_cl>>& Commands();

}  // namespace Cli_ns
