#include "host/runtime/user_profile.h"

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>

#include "host/base/file_io.h"
#include "sdk/host_error.h"

namespace sorvane::host {
namespace {

constexpr size_t kMaxProfileBytes = 1 << 20;

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
    s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
    s.remove_suffix(1);
  return s;
}

// Creates `folder` and its parents as needed.
void makeFolders(const std::string &folder) {
  for (size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
    const std::string part = folder.substr(0, slash);
    if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
      throw HostError(ErrorCode::FileAccess, "Cannot create the folder " + part + ".");
    if (slash == std::string::npos)
      return;
  }
}

} // namespace

std::string UserProfile::folderFor(std::string_view company) {
  std::string base;
  if (const char *config = std::getenv("XDG_CONFIG_HOME"); config && *config == '/')
    base = config;
  else if (const char *home = std::getenv("HOME"); home && *home)
    base = std::string(home) + "/.config";
  else
    base = "/tmp";
  return base + "/" + std::string(company);
}

std::string UserProfile::folder() const {
  if (!m_path)
    return {};
  const std::filesystem::path folder = std::filesystem::path(*m_path).parent_path();
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  return ec || !std::filesystem::is_directory(folder, ec) ? std::string() : folder.string();
}

void UserProfile::open(std::string_view company, std::string_view application) {
  openFile(folderFor(company) + "/" + std::string(application) + ".ini");
}

void UserProfile::openFile(std::string path) {
  m_path = std::move(path);
  m_sections.clear();
  load();
}

void UserProfile::load() {
  std::string bytes;
  try {
    bytes = readWholeFile(*m_path, kMaxProfileBytes);
  } catch (const HostError &) {
    return; // no profile yet (or none we can read): every key reads as its fallback
  }
  std::string section;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find('\n', start);
    if (end == std::string::npos)
      end = bytes.size();
    const std::string_view line = trimmed(std::string_view(bytes).substr(start, end - start));
    start = end + 1;
    if (line.empty() || line.front() == ';' || line.front() == '#')
      continue;
    if (line.front() == '[' && line.back() == ']') {
      section = std::string(trimmed(line.substr(1, line.size() - 2)));
      continue;
    }
    const size_t eq = line.find('=');
    if (eq == std::string_view::npos || section.empty())
      continue;
    m_sections[section][std::string(trimmed(line.substr(0, eq)))] =
        std::string(trimmed(line.substr(eq + 1)));
  }
}

int UserProfile::getInt(std::string_view section, std::string_view key, int fallback) const {
  const auto s = m_sections.find(section);
  if (s == m_sections.end())
    return fallback;
  const auto k = s->second.find(key);
  if (k == s->second.end())
    return fallback;
  int value = 0;
  const std::string &text = k->second;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && end == text.data() + text.size() ? value : fallback;
}

void UserProfile::setInt(std::string_view section, std::string_view key, int value) {
  m_sections[std::string(section)][std::string(key)] = std::to_string(value);
  if (!m_path)
    return;
  const size_t slash = m_path->rfind('/');
  if (slash != std::string::npos && slash > 0)
    makeFolders(m_path->substr(0, slash));
  writeFileAtomically(*m_path, text());
}

std::string UserProfile::text() const {
  std::string out;
  for (const auto &[section, keys] : m_sections) {
    if (!out.empty())
      out += '\n';
    out += "[" + section + "]\n";
    for (const auto &[key, value] : keys)
      out += key + "=" + value + "\n";
  }
  return out;
}

} // namespace sorvane::host
