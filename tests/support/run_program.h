// Running the built `sorvane` program in end-to-end tests.
#pragma once

#include <string>
#include <vector>

namespace sorvane::test {

struct ProgramResult {
  int exitCode = -1;
  std::string out;
  std::string err;
  bool timedOut = false; // stopped at the time limit
};

// Runs the sorvane binary of this build with `args`, no standard input, and collects its output.
// With a `timeLimitSeconds` above 0 a run that takes longer is stopped (timedOut).
ProgramResult runSorvane(const std::vector<std::string> &args, unsigned timeLimitSeconds = 0);

} // namespace sorvane::test
