// What the commands that read settings files share: reading the file's build settings, and the
// plug-in's description of them.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "host/cli/host_session.h"
#include "host/runtime/build_settings_file.h"
#include "sdk/as_extra_table.h"

namespace sorvane::cli {

using host::kBuildCommandName;

// A settings file's "BuildSettings". Throws HostError with the path in its text: FileNotFound,
// FileAccess, FileFormat (not a settings file), FileTooLarge.
OwnedCabinet readBuildSettings(HostSession &session, const std::string &path);

// The text of a settings file holding `buildSettings`.
std::string settingsFileText(ASExtraTable &x, OwnedCabinet buildSettings);
// Writes a settings file holding `buildSettings` at `path`, atomically. Throws
// HostError(Generic) when it cannot be written.
void writeSettingsFile(ASExtraTable &x, OwnedCabinet buildSettings, const std::string &path);

// The text under `key` of `cab`; empty when missing.
std::string textValue(ASExtraTable &x, CabinetHandle cab, const std::string &key);

// The texts of the list under `key` of `cab` (a description), in order; empty when missing.
std::vector<std::string> textList(ASExtraTable &x, CabinetHandle cab, const char *key);

// Tells on `err` what the plug-in's settings check found in the file at `path` (the "Problems"
// of its description) and when it has no levels. The number of lines told.
size_t warnAboutSettings(ASExtraTable &x, CabinetHandle description, const std::string &path,
                         std::ostream &err);

} // namespace sorvane::cli
