// What a batch works on when it is one share of a large job: the files named in a list, the
// share of them a machine takes, and the results file that says, a line per file, how each
// went (so a scheduler joins the shares' results, and a shard run again skips what is done).
#pragma once

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace sorvane::cli {

// The paths listed in `path` ("-": standard input), one a line, or separated by NUL characters
// with `nulSeparated`; empty entries are left out. Throws HostError when it cannot be read.
std::vector<std::string> readFileList(const std::string &path, bool nulSeparated);

// "K/N" as (K, N), 1 <= K <= N; nothing when it is not that.
std::optional<std::pair<uint32_t, uint32_t>> parseShard(const std::string &text);

// Whether `path` falls in share K of N: by a hash of the path as given, the same on every
// machine and in every run, so the N shares take every file exactly once.
bool inShard(const std::string &path, uint32_t k, uint32_t n);

// How one file of a batch ended, as its results line says it.
struct FileRecord {
  std::string input;
  std::optional<std::string> output; // where the result went; none when nothing was written
  std::string status;                // "done", "problems", "failed" or "interrupted"
  int64_t bookmarks = 0;             // bookmarks added
  std::vector<std::string> problems;
  double seconds = 0;
};

// A results file in JSON Lines, appended to a line per file as each finishes. One write per
// line to a file opened for appending: processes working side by side never mix their lines.
class ResultsLog {
public:
  // Opens (or makes) `path` for appending. Throws HostError when it cannot.
  explicit ResultsLog(const std::string &path);
  ~ResultsLog();
  ResultsLog(const ResultsLog &) = delete;
  ResultsLog &operator=(const ResultsLog &) = delete;

  // Appends the line of `record`; false when it could not be written.
  bool add(const FileRecord &record);
  const std::string &path() const { return m_path; }

  // The inputs a results file says were done (with or without problems), its last line for a
  // file counting; a missing file says none. Throws HostError when it cannot be read.
  static std::set<std::string> done(const std::string &path);

private:
  std::string m_path;
  int m_fd = -1;
};

} // namespace sorvane::cli
