#include "plugin/engine/settings_files.h"

#include "plugin/rules/cabinet_io.h"
#include "sdk/host_error.h"
#include "sdk/imported_tables.h"

namespace sorvane {
namespace {

// Opens `path` in `mode`, runs `body` on a stream of it and releases everything, whatever
// happens. False when the file cannot be opened or the host fails.
bool withFileStream(const std::string &path, FileMode mode, StreamMode streamMode,
                    const std::function<void(StreamHandle)> &body) {
  AcroSupportTable &files = hostTables().acroSupport.must();
  PathHandle p;
  FileHandle f;
  StreamHandle s;
  bool ok = false;
  try {
    p = files.pathFromPlatformPath(path);
    if (files.fileOpen(p, mode, &f) == ErrorCode::None) {
      s = files.streamOpenOnFile(f, streamMode);
      if (s) {
        body(s);
        ok = true;
      }
    }
  } catch (const HostError &) {
    ok = false;
  }
  try {
    if (s)
      files.streamClose(s);
    if (f && files.fileClose(f) != ErrorCode::None)
      ok = false; // the written file could not be put in place
    if (p)
      files.pathRelease(p);
  } catch (const HostError &) {
    ok = false;
  }
  return ok;
}

} // namespace

bool writeCabinetToFile(const std::string &path, CabinetHandle cab) {
  return withFileStream(path, FileMode::Write | FileMode::Create, StreamMode::Write,
                        [cab](StreamHandle s) { cabinets().cabinetWriteToStream(cab, s); });
}

CabinetHandle readCabinetFromFile(const std::string &path) {
  CabinetHandle result;
  withFileStream(path, FileMode::Read, StreamMode::Read,
                 [&result](StreamHandle s) { result = cabinets().cabinetReadFromStream(s); });
  return result;
}

bool saveSettingsFile(const BookmarkBuilder &settings, const std::string &path) {
  CabinetHandle cab;
  try {
    cab = cabinets().cabinetNew();
  } catch (const HostError &) {
    return false;
  }
  const bool ok = settings.writeNamed(kSettingsFileKey, cab) && writeCabinetToFile(path, cab);
  cabinets().cabinetDestroy(cab);
  return ok;
}

LoadResult loadSettingsFile(BookmarkBuilder &settings, const std::string &path) {
  CabinetHandle cab = readCabinetFromFile(path);
  if (!cab)
    return LoadResult::UnreadableFile;
  const bool found = settings.readNamed(kSettingsFileKey, cab);
  cabinets().cabinetDestroy(cab);
  return found ? LoadResult::Loaded : LoadResult::NoUsableEntry;
}

void saveDefaults(const std::string &defaultsPath, std::string_view key,
                  const std::function<void(CabinetHandle defaults)> &writer) {
  CabinetHandle cab;
  try {
    cab = readCabinetFromFile(defaultsPath);
    if (!cab)
      cab = cabinets().cabinetNew();
    cabinets().cabinetRemove(cab, key);
    writer(cab);
    writeCabinetToFile(defaultsPath, cab);
  } catch (const HostError &) {
    // Remembering settings is a convenience; a failure is not reported.
  }
  try {
    if (cab)
      cabinets().cabinetDestroy(cab);
  } catch (const HostError &) {
  }
}

void loadDefaults(const std::string &defaultsPath,
                  const std::function<void(CabinetHandle defaults)> &reader) {
  CabinetHandle cab = readCabinetFromFile(defaultsPath);
  if (!cab)
    return;
  try {
    reader(cab);
  } catch (const HostError &) {
  }
  cabinets().cabinetDestroy(cab);
}

BookmarkBuilder &inMemoryDefaults() {
  // New settings made in the dialogs leave table-of-contents lines out.
  static BookmarkBuilder defaults = [] {
    BookmarkBuilder b;
    b.skipContentsLines = true;
    return b;
  }();
  return defaults;
}

} // namespace sorvane
