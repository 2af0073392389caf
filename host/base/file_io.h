// Whole-file reads, and the one way the host writes a file: into a temporary file beside the
// target that replaces the target only when the writing succeeded.
#pragma once

#include <csignal>
#include <cstddef>
#include <string>
#include <string_view>

namespace sorvane::host {

// The contents of the file at `path`. Throws HostError: FileNotFound, FileAccess (with the
// system's reason), FileTooLarge when it holds more than `maxBytes`.
std::string readWholeFile(const std::string &path, size_t maxBytes);
// The same for what standard input gives until its end (named "standard input" in errors).
std::string readStandardInput(size_t maxBytes);

// A temporary file beside a target, put in the target's place only on commit. Until then the
// target stays as it was; a pending file that is never committed is removed. A symbolic link
// as target stays a link: the file it leads to gets the new contents.
class PendingFile {
public:
  // Creates the temporary file. Throws HostError(FileAccess) when the folder cannot take it,
  // or when the target exists and is not a regular file (a device, a pipe, a folder).
  explicit PendingFile(const std::string &target);
  ~PendingFile();
  PendingFile(const PendingFile &) = delete;
  PendingFile &operator=(const PendingFile &) = delete;

  // Where a writer that needs a path (the PDF engine) puts the new contents.
  const std::string &tempPath() const { return m_tempPath; }
  // The file that the commit replaces (a symbolic link resolved).
  const std::string &target() const { return m_target; }

  // Appends `bytes` to the temporary file. Throws HostError(FileAccess); the target is untouched.
  void write(std::string_view bytes);
  // Flushes the temporary file to disk, gives it the target's permission bits (a new file gets
  // the usual ones) and renames it over the target. Throws HostError(FileAccess), after which
  // the temporary file is gone and the target is as it was.
  void commit();
  // Removes the temporary file; the target is untouched.
  void discard() noexcept;

private:
  std::string m_target;
  std::string m_tempPath;
  int m_fd = -1;
  int m_signalSlot = -1; // where a signal handler finds the temporary file
};

// Makes SIGINT, SIGTERM and SIGHUP remove the temporary files of pending writes before they end
// the process as usual. Temporary files are named ".NAME.sorvane-PID.XXXXXX" beside their
// target and locked (flock) by their writer; one that no writer holds any more (killed with
// SIGKILL) is removed by the next write into the same folder once it is a few seconds old.
void removeTempFilesOnSignals();

// SIGINT, SIGTERM and SIGHUP end the process with status 130 (SIGINT by the signal itself, as the
// shell expects of Ctrl-C).
// While a long operation that can stop cleanly runs: the first of them only asks it to stop
// (interruptRequested() turns true); a second one ends the process as above.
void stopGentlyOnSignals(bool on);
// How a process passes a stop on to worker processes of its own: kForwardedStop only asks the
// running operation to stop, however many arrive, and never ends the process. Install it before
// forking, so that no worker can get it before it has the handler.
inline constexpr int kForwardedStop = SIGUSR1;
void takeForwardedStops();
bool interruptRequested();
// What a front end's Stop button does: asks the running operation to stop, as the first signal
// would; clearInterrupt() readies the next operation.
void requestInterrupt();
void clearInterrupt();

// A private temporary file in the system's temporary folder, removed when it goes out of scope.
class ScratchFile {
public:
  // Throws HostError(FileAccess) when the temporary folder cannot take it.
  explicit ScratchFile(std::string_view stem);
  ~ScratchFile();
  ScratchFile(const ScratchFile &) = delete;
  ScratchFile &operator=(const ScratchFile &) = delete;
  const std::string &path() const { return m_path; }

private:
  std::string m_path;
  int m_signalSlot = -1;
};

// Writes `bytes` to `path` through a PendingFile.
void writeFileAtomically(const std::string &path, std::string_view bytes);

} // namespace sorvane::host
