#include "host/base/file_io.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

#include "sdk/host_error.h"

namespace sorvane::host {
namespace {

[[noreturn]] void fileError(const std::string &path, const char *action, int err) {
  const ErrorCode code = err == ENOENT ? ErrorCode::FileNotFound : ErrorCode::FileAccess;
  throw HostError(code, path + ": cannot " + action + " (" + std::strerror(err) + ").");
}

std::string folderOf(const std::string &path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos)
    return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// What the signal handlers share with the rest of the process. A signal runs its handler on
// whichever thread does not block it (a page reader's as well as the main thread), so a
// volatile sig_atomic_t is not enough: it is only safe within one thread. Lock-free atomics are
// safe both in a handler and between threads.
static_assert(std::atomic<int>::is_always_lock_free, "signal handlers need lock-free atomics");

// Temporary files the process has open, so that a signal that ends it can remove them. Plain
// fixed arrays: the handler may only read memory and call async-signal-safe functions.
constexpr size_t kMaxPending = 64;
constexpr size_t kMaxPathBytes = 4096;
enum PendingState : int { kFree, kFilling, kInUse };
char g_pending[kMaxPending][kMaxPathBytes];
std::atomic<int> g_pendingUsed[kMaxPending]; // PendingState; the path counts when kInUse

int rememberPending(const std::string &path) {
  if (path.size() >= kMaxPathBytes)
    return -1;
  for (size_t i = 0; i < kMaxPending; ++i) {
    int expected = kFree;
    if (!g_pendingUsed[i].compare_exchange_strong(expected, kFilling, std::memory_order_acquire))
      continue; // (taken, perhaps by another thread at this very moment)
    std::memcpy(g_pending[i], path.c_str(), path.size() + 1);
    g_pendingUsed[i].store(kInUse, std::memory_order_release); // the path is whole before it counts
    return static_cast<int>(i);
  }
  return -1;
}

void forgetPending(int slot) {
  if (slot >= 0)
    g_pendingUsed[slot].store(kFree, std::memory_order_release);
}

std::atomic<int> g_gentle{0};
std::atomic<int> g_interrupted{0};

void removePendingAndDie(int signal) {
  // Only the first of the stops asks gently, even when two land on two threads at once.
  if (g_gentle.load() != 0 && g_interrupted.exchange(1) == 0)
    return; // the operation stops at its next step and cleans up itself
  for (size_t i = 0; i < kMaxPending; ++i)
    if (g_pendingUsed[i].load(std::memory_order_acquire) == kInUse)
      ::unlink(g_pending[i]);
  if (signal == SIGINT) {
    // Ended by Ctrl-C as the shell expects, so that a script running us stops too.
    ::signal(signal, SIG_DFL);
    ::raise(signal); // delivered once the handler returns
    return;
  }
  // A scheduler's or service manager's stop, or a closed terminal, is an interruption too.
  ::_exit(130);
}

void stopOnly(int) { g_interrupted.store(1); }

// The name of our temporary files: ".NAME.sorvane-PID.XXXXXX" beside the target NAME.
constexpr const char *kTempMark = ".sorvane-";

// A temporary file younger than this is never taken for a left-over one: its writer may be
// between making it and locking it.
constexpr int64_t kStaleAfterSeconds = 5;

// True when no process holds the lock of the temporary file at `path` and it is old enough:
// what a writer that was killed (SIGKILL, a power cut) left. The lock, not a process id, tells
// a live writer, so that one in another PID namespace or on another machine sharing the folder
// is seen too.
bool isLeftOver(const std::string &path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0)
    return false;
  struct stat st {};
  bool stale = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
               ::time(nullptr) - st.st_mtim.tv_sec >= kStaleAfterSeconds;
  if (stale && ::flock(fd, LOCK_EX | LOCK_NB) != 0)
    stale = false; // a writer holds it
  ::close(fd);
  return stale;
}

// Removes temporary files of ours in `folder` that writers which no longer run left behind.
// Files of running writers stay.
void removeStaleTempFiles(const std::string &folder) {
  std::error_code ec;
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end;
       it.increment(ec)) {
    const std::string name = it->path().filename().string();
    const auto mark = name.rfind(kTempMark);
    if (name.empty() || name[0] != '.' || mark == std::string::npos)
      continue;
    const std::string rest = name.substr(mark + std::strlen(kTempMark));
    const auto dot = rest.find('.');
    if (dot == std::string::npos || dot == 0 || dot > 9 || rest.size() - dot != 7 ||
        rest.find_first_not_of("0123456789") != dot)
      continue;
    if (isLeftOver(it->path().string()))
      ::unlink(it->path().c_str());
  }
}

mode_t currentUmask() {
  const mode_t mask = umask(0);
  umask(mask);
  return mask;
}

} // namespace

namespace {

// Everything `fd` gives until its end; `name` names it in errors. A stop asked for while the read
// waits (a signal) ends it with Cancelled.
std::string readAll(int fd, const std::string &name, size_t maxBytes) {
  std::string data;
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR && !interruptRequested())
        continue;
      if (errno == EINTR)
        throw HostError(ErrorCode::Cancelled, name + ": interrupted while reading.");
      fileError(name, "read the file", errno);
    }
    if (n == 0)
      break;
    if (data.size() + size_t(n) > maxBytes)
      throw HostError(ErrorCode::FileTooLarge,
                      name + ": the file is larger than " + std::to_string(maxBytes) + " bytes.");
    data.append(buffer, size_t(n));
  }
  return data;
}

} // namespace

std::string readWholeFile(const std::string &path, size_t maxBytes) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0)
    fileError(path, "open the file", errno);
  struct stat st {};
  if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    const int err = S_ISDIR(st.st_mode) ? EISDIR : errno;
    ::close(fd);
    fileError(path, "read the file", err);
  }
  try {
    std::string data = readAll(fd, path, maxBytes);
    ::close(fd);
    return data;
  } catch (...) {
    ::close(fd);
    throw;
  }
}

std::string readStandardInput(size_t maxBytes) {
  return readAll(STDIN_FILENO, "standard input", maxBytes);
}

namespace {

// The file a write to `path` replaces: a symbolic link is followed, so that the link stays a
// link and its target gets the new contents.
std::string resolveWriteTarget(const std::string &path) {
  std::error_code ec;
  if (!std::filesystem::is_symlink(path, ec))
    return path;
  const auto resolved = std::filesystem::canonical(path, ec);
  return ec ? path : resolved.string();
}

} // namespace

PendingFile::PendingFile(const std::string &target) : m_target(resolveWriteTarget(target)) {
  // Only a regular file may be replaced: renaming over a device, a pipe or a socket would put
  // a file where the system expects that node.
  struct stat st {};
  if (::stat(m_target.c_str(), &st) == 0 && !S_ISREG(st.st_mode))
    throw HostError(ErrorCode::FileAccess,
                    target + ": not a regular file (" +
                        (S_ISDIR(st.st_mode) ? "a folder" : "a device, pipe or socket") +
                        "); results are written only to regular files or new paths.");
  std::string name = m_target;
  const auto slash = name.rfind('/');
  name = name.substr(slash == std::string::npos ? 0 : slash + 1);
  const std::string folder = folderOf(m_target);
  removeStaleTempFiles(folder);
  m_tempPath = folder + "/." + name + kTempMark + std::to_string(::getpid()) + ".XXXXXX";
  m_fd = mkstemp(m_tempPath.data());
  if (m_fd < 0)
    fileError(m_target, "write into its folder", errno);
  // Held until the file is renamed or removed: it tells other processes the file is in use.
  ::flock(m_fd, LOCK_EX | LOCK_NB);
  m_signalSlot = rememberPending(m_tempPath);
}

PendingFile::~PendingFile() { discard(); }

void PendingFile::discard() noexcept {
  if (m_fd >= 0) {
    ::close(m_fd);
    ::unlink(m_tempPath.c_str());
    m_fd = -1;
  }
  forgetPending(std::exchange(m_signalSlot, -1));
}

void PendingFile::write(std::string_view bytes) {
  if (m_fd < 0)
    throw HostError(ErrorCode::FileAccess, m_target + ": the file was already written.");
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(m_fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR)
      continue;
    if (n <= 0) {
      const int err = n < 0 ? errno : EIO;
      discard();
      fileError(m_target, "write the file", err);
    }
    done += size_t(n);
  }
}

void PendingFile::commit() {
  if (m_fd < 0)
    throw HostError(ErrorCode::FileAccess, m_target + ": the file was already written.");
  // mkstemp makes the file private; give it the target's permissions, or a new file's. A
  // writer that went through the path wrote into the same file, so the descriptor sees it all.
  struct stat st {};
  const mode_t mode =
      ::stat(m_target.c_str(), &st) == 0 ? (st.st_mode & 07777) : (0666 & ~currentUmask());
  if (::fchmod(m_fd, mode) != 0 || ::fsync(m_fd) != 0) {
    const int err = errno;
    discard();
    fileError(m_target, "write the file", err);
  }
  // Renamed while still locked: never a moment when another process could take the file for a
  // left-over one.
  const int renamed = ::rename(m_tempPath.c_str(), m_target.c_str());
  const int err = errno;
  if (renamed != 0)
    ::unlink(m_tempPath.c_str());
  ::close(m_fd);
  m_fd = -1;
  forgetPending(std::exchange(m_signalSlot, -1));
  if (renamed != 0)
    fileError(m_target, "replace the file", err);
}

void removeTempFilesOnSignals() {
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
    struct sigaction action {};
    action.sa_handler = removePendingAndDie;
    sigemptyset(&action.sa_mask);
    ::sigaction(signal, &action, nullptr);
  }
}

void stopGentlyOnSignals(bool on) { g_gentle.store(on ? 1 : 0); }

void takeForwardedStops() {
  struct sigaction action {};
  action.sa_handler = stopOnly;
  sigemptyset(&action.sa_mask);
  ::sigaction(kForwardedStop, &action, nullptr);
}

bool interruptRequested() { return g_interrupted.load() != 0; }
void requestInterrupt() { g_interrupted.store(1); }
void clearInterrupt() { g_interrupted.store(0); }

ScratchFile::ScratchFile(std::string_view stem) {
  std::error_code ec;
  std::filesystem::path folder = std::filesystem::temp_directory_path(ec);
  if (ec)
    folder = "/tmp";
  m_path = (folder / (std::string(stem) + ".XXXXXX")).string();
  const int fd = mkstemp(m_path.data());
  if (fd < 0)
    fileError(m_path, "create a temporary file", errno);
  ::close(fd);
  m_signalSlot = rememberPending(m_path);
}

ScratchFile::~ScratchFile() {
  ::unlink(m_path.c_str());
  forgetPending(m_signalSlot);
}

void writeFileAtomically(const std::string &path, std::string_view bytes) {
  PendingFile file(path);
  file.write(bytes);
  file.commit();
}

} // namespace sorvane::host
