// "AcroSupport": paths, files and streams.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "sdk/handles.h"
#include "sdk/host_error.h"
#include "sdk/host_table.h"

namespace sorvane {

// File open modes; Create may be combined with Write.
enum class FileMode : uint32_t { Read = 1, Write = 2, Create = 4 };
constexpr FileMode operator|(FileMode a, FileMode b) { return FileMode(uint32_t(a) | uint32_t(b)); }
constexpr bool hasMode(FileMode set, FileMode m) { return (uint32_t(set) & uint32_t(m)) != 0; }

enum class StreamMode : int32_t { Read = 0, Write = 1 };

class AcroSupportTable : public HostTable {
public:
  static constexpr std::string_view kName = table_name::kAcroSupport;

  // A host path for a platform path (a plain UTF-8 path string). Release it with pathRelease.
  // Throws HostError(BadParameter) for an empty path.
  virtual PathHandle pathFromPlatformPath(std::string_view platformPath) = 0;
  virtual std::string pathToPlatformPath(PathHandle path) = 0;
  virtual void pathRelease(PathHandle path) = 0;

  // Opens the file at `path`. Returns ErrorCode::None and sets `file`, or an error code and
  // leaves `file` null. A file opened for writing replaces its target only when it is closed
  // after a complete write: the bytes go to a temporary file beside the target, renamed over
  // it by fileClose; a failed write leaves the target as it was.
  virtual ErrorCode fileOpen(PathHandle path, FileMode mode, FileHandle *file) = 0;
  // Closes the file; for a written file, the error code of putting it in place.
  virtual ErrorCode fileClose(FileHandle file) = 0;

  // A stream on an open file, or null when the file was not opened for that direction.
  // Close it before the file.
  virtual StreamHandle streamOpenOnFile(FileHandle file, StreamMode mode) = 0;
  virtual void streamClose(StreamHandle stream) = 0;
};

} // namespace sorvane
