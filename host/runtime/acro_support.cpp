#include "host/runtime/acro_support.h"

#include <sys/stat.h>
#include <unistd.h>

namespace sorvane::host {
namespace {

template <class Map> auto &mustFind(Map &map, uint64_t id, const char *what) {
  auto it = map.find(id);
  if (it == map.end())
    throw HostError(ErrorCode::InvalidHandle, std::string("Invalid ") + what + " handle.");
  return it->second;
}

} // namespace

PathHandle AcroSupport::pathFromPlatformPath(std::string_view platformPath) {
  if (platformPath.empty())
    throw HostError(ErrorCode::BadParameter, "An empty path names no file.");
  const uint64_t id = m_next++;
  m_paths.emplace(id, std::string(platformPath));
  return PathHandle(id);
}

std::string AcroSupport::pathToPlatformPath(PathHandle path) {
  return mustFind(m_paths, path.value(), "path");
}

void AcroSupport::pathRelease(PathHandle path) {
  mustFind(m_paths, path.value(), "path");
  m_paths.erase(path.value());
}

ErrorCode AcroSupport::fileOpen(PathHandle path, FileMode mode, FileHandle *file) {
  *file = FileHandle();
  const std::string name = mustFind(m_paths, path.value(), "path");
  File opened{name, mode, nullptr, {}, false};
  if (hasMode(mode, FileMode::Write)) {
    if (!hasMode(mode, FileMode::Create) && ::access(name.c_str(), F_OK) != 0)
      return ErrorCode::FileNotFound;
    struct stat st {};
    if (::stat(name.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
      return ErrorCode::FileAccess;
    try {
      opened.pending = std::make_unique<PendingFile>(name);
    } catch (const HostError &e) {
      return e.code();
    }
  } else {
    struct stat st {};
    if (::stat(name.c_str(), &st) != 0)
      return ErrorCode::FileNotFound;
    if (S_ISDIR(st.st_mode) || ::access(name.c_str(), R_OK) != 0)
      return ErrorCode::FileAccess;
  }
  const uint64_t id = m_next++;
  m_files.emplace(id, std::move(opened));
  *file = FileHandle(id);
  return ErrorCode::None;
}

ErrorCode AcroSupport::fileClose(FileHandle handle) {
  File &f = file(handle);
  for (auto it = m_streams.begin(); it != m_streams.end();)
    it = it->second.file == handle ? m_streams.erase(it) : std::next(it);
  ErrorCode result = ErrorCode::None;
  if (f.pending) {
    if (f.failed) {
      f.pending->discard();
    } else {
      try {
        {
          f.pending->write(f.written);
          f.pending->commit();
        }
      } catch (const HostError &e) {
        result = e.code();
      }
    }
  }
  m_files.erase(handle.value());
  return result;
}

StreamHandle AcroSupport::streamOpenOnFile(FileHandle handle, StreamMode mode) {
  const File &f = file(handle);
  const bool allowed = mode == StreamMode::Write ? hasMode(f.mode, FileMode::Write)
                                                 : hasMode(f.mode, FileMode::Read);
  if (!allowed)
    return StreamHandle();
  const uint64_t id = m_next++;
  m_streams.emplace(id, Stream{handle, mode});
  return StreamHandle(id);
}

void AcroSupport::streamClose(StreamHandle handle) {
  mustFind(m_streams, handle.value(), "stream");
  m_streams.erase(handle.value());
}

AcroSupport::File &AcroSupport::file(FileHandle handle) {
  return mustFind(m_files, handle.value(), "file");
}

AcroSupport::Stream &AcroSupport::stream(StreamHandle handle) {
  return mustFind(m_streams, handle.value(), "stream");
}

} // namespace sorvane::host
