// Text values and string lists in Cabinets. Plug-in strings are UTF-8 (the host code page);
// in a Cabinet they are host text objects.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sdk/handles.h"

namespace sorvane {

using StringList = std::vector<std::string>;

// Puts `value` under `key` as a host text object (the Cabinet owns it). Throws HostError.
void writeTextValue(std::string_view value, std::string_view key, CabinetHandle parent);
// The text under `key`, or nothing when there is no text value there.
std::optional<std::string> findTextValue(std::string_view key, CabinetHandle parent);
// The text under `key`, or `defaultValue`.
std::string readTextValue(std::string_view key, CabinetHandle parent,
                          std::string_view defaultValue = {});

// A sub-Cabinet under `key` with "NumItems" and the items under "0", "1", ...
// False (and the parent untouched) when the host fails.
bool writeStringList(const StringList &list, std::string_view key, CabinetHandle parent);
// Empties `list`, then reads the items 0 to NumItems − 1 that are present, in index order;
// missing items are skipped. False when there is no sub-Cabinet under `key`.
bool readStringList(StringList &list, std::string_view key, CabinetHandle parent);

} // namespace sorvane
