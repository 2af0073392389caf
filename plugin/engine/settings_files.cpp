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

OwnedCabinet readCabinetFromFile(const std::string &path) {
  OwnedCabinet result;
  withFileStream(path, FileMode::Read, StreamMode::Read, [&result](StreamHandle s) {
    result = OwnedCabinet(cabinets(), cabinets().cabinetReadFromStream(s));
  });
  return result;
}

bool saveSettingsFile(const BookmarkBuilder &settings, const std::string &path) {
  OwnedCabinet cab;
  try {
    cab = OwnedCabinet(cabinets(), cabinets().cabinetNew());
  } catch (const HostError &) {
    return false;
  }
  return settings.writeNamed(kSettingsFileKey, cab.get()) && writeCabinetToFile(path, cab.get());
}

LoadResult loadSettingsFile(BookmarkBuilder &settings, const std::string &path) {
  const OwnedCabinet cab = readCabinetFromFile(path);
  if (!cab)
    return LoadResult::UnreadableFile;
  return settings.readNamed(kSettingsFileKey, cab.get()) ? LoadResult::Loaded
                                                         : LoadResult::NoUsableEntry;
}

bool saveDefaults(const std::string &defaultsPath, std::string_view key,
                  const std::function<void(CabinetHandle defaults)> &writer) {
  try {
    OwnedCabinet cab = readCabinetFromFile(defaultsPath);
    if (!cab)
      cab = OwnedCabinet(cabinets(), cabinets().cabinetNew());
    cabinets().cabinetRemove(cab.get(), key);
    writer(cab.get());
    return writeCabinetToFile(defaultsPath, cab.get());
  } catch (const HostError &) {
    return false;
  }
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
  if (readCabinetFromFile(path))
    return path;
  if (const OwnedCabinet former = readCabinetFromFile(formerPath))
    writeCabinetToFile(path, former.get());
  return path;
}

void loadDefaults(const std::string &defaultsPath,
                  const std::function<void(CabinetHandle defaults)> &reader) {
  const OwnedCabinet cab = readCabinetFromFile(defaultsPath);
  if (!cab)
    return;
  try {
    reader(cab.get());
  } catch (const HostError &) {
  }
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
