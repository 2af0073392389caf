#include "host/runtime/file_io.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

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

mode_t currentUmask() {
  const mode_t mask = umask(0);
  umask(mask);
  return mask;
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
  std::string data;
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR)
        continue;
      const int err = errno;
      ::close(fd);
      fileError(path, "read the file", err);
    }
    if (n == 0)
      break;
    if (data.size() + size_t(n) > maxBytes) {
      ::close(fd);
      throw HostError(ErrorCode::FileTooLarge,
                      path + ": the file is larger than " + std::to_string(maxBytes) + " bytes.");
    }
    data.append(buffer, size_t(n));
  }
  ::close(fd);
  return data;
}

PendingFile::PendingFile(std::string target) : m_target(resolveWriteTarget(target)) {
  std::string name = m_target;
  const auto slash = name.rfind('/');
  name = name.substr(slash == std::string::npos ? 0 : slash + 1);
  m_tempPath = folderOf(m_target) + "/." + name + ".XXXXXX";
  m_fd = mkstemp(m_tempPath.data());
  if (m_fd < 0)
    fileError(m_target, "write into its folder", errno);
}

PendingFile::~PendingFile() { discard(); }

void PendingFile::discard() noexcept {
  if (m_fd >= 0) {
    ::close(m_fd);
    ::unlink(m_tempPath.c_str());
    m_fd = -1;
  }
}

void PendingFile::commit(std::string_view bytes) {
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
  // mkstemp makes the file private; give it the target's permissions, or a new file's.
  struct stat st {};
  const mode_t mode =
      ::stat(m_target.c_str(), &st) == 0 ? (st.st_mode & 07777) : (0666 & ~currentUmask());
  if (::fchmod(m_fd, mode) != 0 || ::fsync(m_fd) != 0) {
    const int err = errno;
    discard();
    fileError(m_target, "write the file", err);
  }
  ::close(m_fd);
  m_fd = -1;
  if (::rename(m_tempPath.c_str(), m_target.c_str()) != 0) {
    const int err = errno;
    ::unlink(m_tempPath.c_str());
    fileError(m_target, "replace the file", err);
  }
}

std::string resolveWriteTarget(const std::string &path) {
  std::error_code ec;
  if (!std::filesystem::is_symlink(path, ec))
    return path;
  const auto resolved = std::filesystem::canonical(path, ec);
  return ec ? path : resolved.string();
}

std::string makeTempFileBeside(const std::string &target) {
  std::string name = target;
  const auto slash = name.rfind('/');
  name = name.substr(slash == std::string::npos ? 0 : slash + 1);
  std::string temp = folderOf(target) + "/." + name + ".XXXXXX";
  const int fd = mkstemp(temp.data());
  if (fd < 0)
    fileError(target, "write into its folder", errno);
  ::close(fd);
  return temp;
}

void installTempFile(const std::string &temp, const std::string &target) {
  struct stat st {};
  const mode_t mode =
      ::stat(target.c_str(), &st) == 0 ? (st.st_mode & 07777) : (0666 & ~currentUmask());
  const int fd = ::open(temp.c_str(), O_RDONLY | O_CLOEXEC);
  const bool flushed = fd >= 0 && ::fchmod(fd, mode) == 0 && ::fsync(fd) == 0;
  const int err = errno;
  if (fd >= 0)
    ::close(fd);
  if (!flushed) {
    ::unlink(temp.c_str());
    fileError(target, "write the file", err);
  }
  if (::rename(temp.c_str(), target.c_str()) != 0) {
    const int renameErr = errno;
    ::unlink(temp.c_str());
    fileError(target, "replace the file", renameErr);
  }
}

void writeFileAtomically(const std::string &path, std::string_view bytes) {
  PendingFile file(path);
  file.commit(bytes);
}

} // namespace sorvane::host
