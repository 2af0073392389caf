// Whole-file reads and atomic replacement of files.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace sorvane::host {

// The contents of the file at `path`. Throws HostError: FileNotFound, FileAccess (with the
// system's reason), FileTooLarge when it holds more than `maxBytes`.
std::string readWholeFile(const std::string &path, size_t maxBytes);

// A temporary file beside a target, put in the target's place only on commit. Until then the
// target stays as it was; a pending file that is never committed is removed.
class PendingFile {
public:
  // Creates the temporary file. Throws HostError(FileAccess) when the folder cannot take it.
  explicit PendingFile(std::string target);
  ~PendingFile();
  PendingFile(const PendingFile &) = delete;
  PendingFile &operator=(const PendingFile &) = delete;

  // Writes `bytes`, flushes them to disk and renames the file over the target, keeping the
  // target's permission bits (a new file gets the usual ones). Throws HostError(FileAccess).
  void commit(std::string_view bytes);
  // Removes the temporary file; the target is untouched.
  void discard() noexcept;

  const std::string &target() const { return m_target; }

private:
  std::string m_target;
  std::string m_tempPath;
  int m_fd = -1;
};

// The file a write to `path` should replace: a symbolic link is followed, so that the link
// stays a link and its target gets the new contents.
std::string resolveWriteTarget(const std::string &path);

// An empty temporary file beside `target`, for a writer that needs a path (a PDF engine).
// Throws HostError(FileAccess) when the folder cannot take it.
std::string makeTempFileBeside(const std::string &target);

// Puts the finished temporary file `temp` in place of `target`: flushes it, gives it the
// target's permission bits (a new file gets the usual ones) and renames it over the target.
// On failure the temporary file is removed and the target is left as it was.
void installTempFile(const std::string &temp, const std::string &target);

// Writes `bytes` to `path` through a PendingFile.
void writeFileAtomically(const std::string &path, std::string_view bytes);

} // namespace sorvane::host
