// Settings files (.svb) and the defaults file: build settings kept from one run to the next.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "plugin/engine/bookmark_builder.h"
#include "sdk/handles.h"
#include "sdk/owned_cabinet.h"

namespace sorvane {

inline constexpr const char *kSettingsFileKey = "BuildSettings";
inline constexpr const char *kDefaultsKey = "Defaults";
inline constexpr const char *kSortingKey = "Sorting";

inline constexpr const char *kSaveSettingsFailed = "Can't save settings to a file. System error.";
inline constexpr const char *kSettingsUnreadable =
    "Invalid file format. Can't read settings from file.";
inline constexpr const char *kSettingsCorrupted = "Corrupted file format. Can't load settings.";

// Writes `cab` to the file at `path` (replacing it only when the write succeeds). False when the
// host fails; nothing is left open.
bool writeCabinetToFile(const std::string &path, CabinetHandle cab);
// The Cabinet read from `path`; empty when the file cannot be read as one.
OwnedCabinet readCabinetFromFile(const std::string &path);

bool saveSettingsFile(const BookmarkBuilder &settings, const std::string &path);

enum class LoadResult { Loaded, UnreadableFile, NoUsableEntry };
// An unreadable file leaves `settings` alone; a file without "BuildSettings" resets them.
LoadResult loadSettingsFile(BookmarkBuilder &settings, const std::string &path);

// The remembered dialog settings, kept in the defaults file under one key per dialog. Saving
// keeps the other keys; false when the file could not be written.
bool saveDefaults(const std::string &defaultsPath, std::string_view key,
                  const std::function<void(CabinetHandle defaults)> &writer);
// saveDefaults, telling the user (once while the plug-in is loaded) when the choices cannot be
// remembered.
void rememberDefaults(const std::string &defaultsPath, std::string_view key,
                      const std::function<void(CabinetHandle defaults)> &writer);
// Where the defaults are kept: `fileName` in the user's profile folder (`profileFolder`, empty
// when there is none), else `formerPath` beside the plug-in. A file only at the former place is
// copied to the new one, so that what was remembered there is not lost.
std::string defaultsLocation(const std::string &profileFolder, const std::string &fileName,
                             const std::string &formerPath);
// Lets `reader` read from the defaults file's Cabinet; nothing when the file is missing.
void loadDefaults(const std::string &defaultsPath,
                  const std::function<void(CabinetHandle defaults)> &reader);

// The build settings remembered while the plug-in is loaded.
BookmarkBuilder &inMemoryDefaults();

} // namespace sorvane
