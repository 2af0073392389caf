#include "host/base/file_io.h"

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
  ::close(m_fd);
  m_fd = -1;
  if (::rename(m_tempPath.c_str(), m_target.c_str()) != 0) {
    const int err = errno;
    ::unlink(m_tempPath.c_str());
    fileError(m_target, "replace the file", err);
  }
}

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
}

ScratchFile::~ScratchFile() { ::unlink(m_path.c_str()); }

void writeFileAtomically(const std::string &path, std::string_view bytes) {
  PendingFile file(path);
  file.write(bytes);
  file.commit();
}

} // namespace sorvane::host
