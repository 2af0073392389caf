#include "tests/support/temp_dir.h"

#include <fstream>
#include <sstream>
#include <stdexcept>
#include <stdlib.h>

namespace sorvane::test {

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "sorvane-test-XXXXXX").string();
  if (!mkdtemp(pattern.data()))
    throw std::runtime_error("cannot create a temporary folder");
  m_path = pattern;
}

TempDir::~TempDir() {
  std::error_code ec;
  // A test may have taken write permission away; give it back so everything can go.
  std::filesystem::permissions(m_path, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ec);
  std::filesystem::remove_all(m_path, ec);
}

std::string readFile(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void writeFile(const std::string &path, const std::string &contents) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << contents;
}

} // namespace sorvane::test
