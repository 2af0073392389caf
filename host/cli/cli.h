// The command line: arguments in, exit code out. main() only maps this to the process.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace sorvane::cli {

// Exit codes, the same for every subcommand.
enum class ExitCode : int {
  Success = 0,
  ProblemsFound = 1, // done, with problems: nothing found, pages unreadable, headings lost
  Usage = 2,         // bad arguments
  InputError = 3,    // an unreadable PDF or settings file
  HostFailure = 4,   // the host failed while working
  InternalError = 5, // a failure Sorvane did not foresee (a bug to report)
  Interrupted = 130, // ended by Ctrl-C or a termination signal
};

// Runs the command line `args` (without the program name), writing results to `out` and
// messages to `err`. Never throws: what no command caught is told as an internal error.
ExitCode run(const std::vector<std::string> &args, std::ostream &out, std::ostream &err);

} // namespace sorvane::cli
