// The host's "AcroSupport" table: paths, files and streams on the local file system.
#pragma once

#include <memory>
#include <string>
#include <unordered_map>

#include "host/base/file_io.h"
#include "sdk/acro_support_table.h"

namespace sorvane::host {

class AcroSupport final : public AcroSupportTable {
public:
  struct File {
    std::string path;
    FileMode mode;
    std::unique_ptr<PendingFile> pending; // for a file opened for writing
    std::string written;                  // what its streams wrote, put in place on close
    bool failed = false;                  // a write failed: closing leaves the target alone
  };
  struct Stream {
    FileHandle file;
    StreamMode mode;
  };

  PathHandle pathFromPlatformPath(std::string_view platformPath) override;
  std::string pathToPlatformPath(PathHandle path) override;
  void pathRelease(PathHandle path) override;
  ErrorCode fileOpen(PathHandle path, FileMode mode, FileHandle *file) override;
  ErrorCode fileClose(FileHandle file) override;
  StreamHandle streamOpenOnFile(FileHandle file, StreamMode mode) override;
  void streamClose(StreamHandle stream) override;

  // For the other host tables. Throw HostError(InvalidHandle) for a dead handle.
  File &file(FileHandle handle);
  Stream &stream(StreamHandle handle);

  size_t openObjects() const { return m_paths.size() + m_files.size() + m_streams.size(); }

private:
  uint64_t m_next = 1;
  std::unordered_map<uint64_t, std::string> m_paths;
  std::unordered_map<uint64_t, File> m_files;
  std::unordered_map<uint64_t, Stream> m_streams;
};

} // namespace sorvane::host
