// The per-user profile of an application: integers by section and key in an INI file under
// $XDG_CONFIG_HOME/COMPANY/APPLICATION.ini (~/.config when the variable is not set), created on
// the first write.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace sorvane::host {

class UserProfile {
public:
  // A profile kept in memory only (no file), as a test or a one-off run wants it.
  UserProfile() = default;

  // Reads the profile of `company` and `application` (a missing or unreadable file reads as
  // empty) and writes changes back to it.
  void open(std::string_view company, std::string_view application);
  // Keeps the profile at `path` instead of the usual place.
  void openFile(std::string path);
  const std::optional<std::string> &path() const { return m_path; }

  int getInt(std::string_view section, std::string_view key, int fallback) const;
  // Stores the value; with a file, writes the whole profile (atomically). A failure to write
  // throws HostError(FileAccess) and keeps the value in memory.
  void setInt(std::string_view section, std::string_view key, int value);

  // The profile's folder for `company`: $XDG_CONFIG_HOME/COMPANY, else $HOME/.config/COMPANY.
  static std::string folderFor(std::string_view company);
  // The folder of the profile's file, made when missing; empty for a profile in memory or a
  // folder that cannot be made.
  std::string folder() const;

private:
  void load();
  std::string text() const;

  std::optional<std::string> m_path;
  std::map<std::string, std::map<std::string, std::string, std::less<>>, std::less<>> m_sections;
};

} // namespace sorvane::host
