// Running the built `sorvane` program in end-to-end tests.
#pragma once

#include <string>
#include <vector>

namespace sorvane::test {

struct ProgramResult {
  int exitCode = -1;
  std::string out;
  std::string err;
};

// Runs the sorvane binary of this build with `args`, no standard input, and collects its output.
ProgramResult runSorvane(const std::vector<std::string> &args);

} // namespace sorvane::test
