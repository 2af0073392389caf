#include "host/cli/batch_inputs.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <sstream>
#include <unistd.h>

#include <nlohmann/json.hpp>

#include "sdk/host_error.h"

namespace sorvane::cli {

std::vector<std::string> readFileList(const std::string &path, bool nulSeparated) {
  std::string text;
  if (path == "-") {
    text.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
  } else {
    std::ifstream in(path, std::ios::binary);
    if (!in)
      throw HostError(ErrorCode::FileNotFound,
                      path + ": the list of files cannot be read (" + std::strerror(errno) + ").");
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  std::vector<std::string> paths;
  const char separator = nulSeparated ? '\0' : '\n';
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find(separator, start);
    if (end == std::string::npos)
      end = text.size();
    std::string entry = text.substr(start, end - start);
    if (!nulSeparated && !entry.empty() && entry.back() == '\r')
      entry.pop_back(); // a list written on another system
    if (!entry.empty())
      paths.push_back(std::move(entry));
    start = end + 1;
  }
  return paths;
}

std::optional<std::pair<uint32_t, uint32_t>> parseShard(const std::string &text) {
  const size_t slash = text.find('/');
  if (slash == std::string::npos)
    return std::nullopt;
  uint32_t k = 0, n = 0;
  const char *begin = text.data(), *end = text.data() + text.size();
  const auto [afterK, e1] = std::from_chars(begin, begin + slash, k);
  const auto [afterN, e2] = std::from_chars(begin + slash + 1, end, n);
  if (e1 != std::errc() || e2 != std::errc() || afterK != begin + slash || afterN != end || k < 1 ||
      k > n)
    return std::nullopt;
  return std::make_pair(k, n);
}

bool inShard(const std::string &path, uint32_t k, uint32_t n) {
  // FNV-1a: fixed by its definition, unlike std::hash, so every machine splits alike.
  uint64_t hash = 14695981039346656037ull;
  for (const unsigned char c : path) {
    hash ^= c;
    hash *= 1099511628211ull;
  }
  return hash % n == k - 1;
}

ResultsLog::ResultsLog(const std::string &path) : m_path(path) {
  m_fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (m_fd < 0)
    throw HostError(ErrorCode::Generic,
                    path + ": the results file cannot be written (" + std::strerror(errno) + ").");
}

ResultsLog::~ResultsLog() {
  if (m_fd >= 0)
    ::close(m_fd);
}

bool ResultsLog::add(const FileRecord &record) {
  nlohmann::ordered_json line = {
      {"input", record.input},
      {"output", record.output ? nlohmann::json(*record.output) : nullptr},
      {"status", record.status},
      {"bookmarks", record.bookmarks},
      {"problems", record.problems},
      {"seconds", std::round(record.seconds * 1000) / 1000}};
  const std::string text =
      line.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
  size_t written = 0;
  while (written < text.size()) {
    const ssize_t n = ::write(m_fd, text.data() + written, text.size() - written);
    if (n < 0 && errno == EINTR)
      continue;
    if (n <= 0)
      return false;
    written += size_t(n);
  }
  return true;
}

std::set<std::string> ResultsLog::done(const std::string &path) {
  std::ifstream in(path);
  if (!in) {
    if (errno == ENOENT)
      return {};
    throw HostError(ErrorCode::FileNotFound,
                    path + ": the results file cannot be read (" + std::strerror(errno) + ").");
  }
  std::map<std::string, std::string> last;
  for (std::string line; std::getline(in, line);) {
    // A line cut short (a node that died while writing it) is no result.
    const nlohmann::json record = nlohmann::json::parse(line, nullptr, false);
    if (record.is_object() && record.value("input", nlohmann::json()).is_string() &&
        record.value("status", nlohmann::json()).is_string())
      last[record["input"].get<std::string>()] = record["status"].get<std::string>();
  }
  std::set<std::string> done;
  for (const auto &[input, status] : last)
    if (status == "done" || status == "problems")
      done.insert(input);
  return done;
}

} // namespace sorvane::cli
