// The command line: arguments in, exit code out. main() only maps this to the process.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "host/jobs/exit_code.h"

namespace sorvane::cli {

// Exit codes, the same for every subcommand and for the studio's runs.
using ExitCode = jobs::ExitCode;

// Runs the command line `args` (without the program name), writing results to `out` and
// messages to `err`. Never throws: what no command caught is told as an internal error.
ExitCode run(const std::vector<std::string> &args, std::ostream &out, std::ostream &err);

} // namespace sorvane::cli
