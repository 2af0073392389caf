#include "plugin/engine/settings_files.h"

#include "plugin/values/cabinet_io.h"
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

bool saveDefaults(const std::string &defaultsPath, std::string_view key,
                  const std::function<void(CabinetHandle defaults)> &writer) {
  CabinetHandle cab;
  bool written = false;
  try {
    cab = readCabinetFromFile(defaultsPath);
    if (!cab)
      cab = cabinets().cabinetNew();
    cabinets().cabinetRemove(cab, key);
    writer(cab);
    written = writeCabinetToFile(defaultsPath, cab);
  } catch (const HostError &) {
  }
  try {
    if (cab)
      cabinets().cabinetDestroy(cab);
  } catch (const HostError &) {
  }
  return written;
}

void rememberDefaults(const std::string &defaultsPath, std::string_view key,
                      const std::function<void(CabinetHandle defaults)> &writer) {
  static bool told = false;
  if (saveDefaults(defaultsPath, key, writer) || told)
    return;
  told = true;
  try {
    hostTables().acroView.must().alertNote(
        "Sorvane cannot remember the choices made in its dialogs: " + defaultsPath +
        " cannot be written. They hold until Sorvane is closed.");
  } catch (const HostError &) {
  }
}

std::string defaultsLocation(const std::string &profileFolder, const std::string &fileName,
                             const std::string &formerPath) {
  if (profileFolder.empty())
    return formerPath;
  const std::string path = profileFolder + "/" + fileName;
  if (CabinetHandle existing = readCabinetFromFile(path)) {
    cabinets().cabinetDestroy(existing);
    return path;
  }
  if (CabinetHandle former = readCabinetFromFile(formerPath)) {
    writeCabinetToFile(path, former);
    cabinets().cabinetDestroy(former);
  }
  return path;
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
