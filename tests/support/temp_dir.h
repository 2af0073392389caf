// A temporary folder that is removed with everything in it when the test ends.
#pragma once

#include <filesystem>
#include <string>

namespace sorvane::test {

class TempDir {
public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir &) = delete;
  TempDir &operator=(const TempDir &) = delete;

  const std::filesystem::path &path() const { return m_path; }
  std::string file(const std::string &name) const { return (m_path / name).string(); }

private:
  std::filesystem::path m_path;
};

std::string readFile(const std::string &path);
void writeFile(const std::string &path, const std::string &contents);

} // namespace sorvane::test
