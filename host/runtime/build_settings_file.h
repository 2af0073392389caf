// Settings files as the plug-in's batch command takes them: the "BuildSettings" of a file.
#pragma once

#include <string>

#include "sdk/as_extra_table.h"
#include "sdk/owned_cabinet.h"

namespace sorvane::host {

// The name of the plug-in's batch command, which reads, describes and runs build settings.
inline constexpr const char *kBuildCommandName = "TAVO_SorvaneBuildCommand";
// The plug-in's command that learns level rules from a document's outline.
inline constexpr const char *kLearnCommandName = "TAVO_SorvaneLearnCommand";

// A settings file's "BuildSettings". Throws HostError with the path in its text:
// FileNotFound, FileAccess, FileFormat (not a settings file), FileTooLarge.
OwnedCabinet readBuildSettings(ASExtraTable &cabinets, const std::string &path);
// The same from the text of a settings file; `name` stands for it in errors.
OwnedCabinet readBuildSettingsText(ASExtraTable &cabinets, const std::string &text,
                                   const std::string &name);

} // namespace sorvane::host
