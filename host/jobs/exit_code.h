// How a host's run ends, as a process exit code.
#pragma once

#include "sdk/host_error.h"

namespace sorvane::jobs {

// The exit codes of a run, for every host that ends with one.
enum class ExitCode : int {
  Success = 0,
  ProblemsFound = 1, // done, with problems: nothing found, pages unreadable, headings lost
  Usage = 2,         // bad arguments
  InputError = 3,    // an unreadable PDF or settings file
  HostFailure = 4,   // the host failed while working
  InternalError = 5, // a failure Sorvane did not foresee (a bug to report)
  Interrupted = 130, // ended by Ctrl-C or a termination signal
};

// The exit code a run that failed with `error` ends with.
ExitCode exitCodeFor(const HostError &error);

} // namespace sorvane::jobs
