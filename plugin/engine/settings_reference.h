// The reference of every key a settings file (.svb) may hold, made from the record field tables
// (type, range, what a reader takes when the key is missing) and a meaning for each: what the
// sorvane-settings(5) manual page shows.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "plugin/values/record_fields.h"

namespace sorvane {

struct KeyReference {
  std::string path; // "IgnoreStopWords", "Level<N>.TextStyle.FontDesc.FontSize"
  FieldInfo field;
  std::string meaning; // empty when none is written
};

// Every key under "BuildSettings", in the order a file holds them.
std::vector<KeyReference> settingsKeys();
// The meanings written for keys that no table has (none when the reference is whole).
std::vector<std::string> meaningsWithoutKey();
// The manual page sorvane-settings(5), in man(7) markup.
void writeSettingsManual(std::ostream &out, const std::string &version);

} // namespace sorvane
