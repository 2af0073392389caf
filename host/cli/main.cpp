#include <iostream>
#include <string>
#include <vector>

#include "host/base/file_io.h"
#include "host/cli/cli.h"

int main(int argc, char **argv) {
  sorvane::host::removeTempFilesOnSignals();
  const std::vector<std::string> args(argv + 1, argv + argc);
  return static_cast<int>(sorvane::cli::run(args, std::cout, std::cerr));
}
