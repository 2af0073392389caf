// How a bookmark looks in the outline: text colour, bold and italic, shown expanded or not.
#pragma once

#include <cstdint>
#include <string_view>

#include "plugin/values/color_value.h"
#include "plugin/values/record_fields.h"
#include "sdk/handles.h"

namespace sorvane {

struct DispAttributes {
  ColorValue color; // device RGB black after reset
  bool isBold = false;
  bool isItalic = false;
  bool showOpen = false; // children visible

  void reset() { *this = DispAttributes(); }

  // The outline's style flags: 2 for bold plus 1 for italic.
  int32_t styleFlags() const { return (isBold ? 2 : 0) + (isItalic ? 1 : 0); }

  // A sub-Cabinet with "IsBold", "IsItalic", "ShowOpen" and the colour under "Color".
  // False (parent untouched) when the host fails.
  bool write(std::string_view key, CabinetHandle parent) const;
  // Without a sub-Cabinet the record is reset. Always true.
  bool read(std::string_view key, CabinetHandle parent);
  // Adds what is wrong in display attributes' Cabinet (under `path`) to `out`.
  static void check(CabinetHandle cab, const std::string &path, SettingsProblems &out);
  // The fields, for the settings check and the dialogs' bindings.
  static const Fields<DispAttributes> &fields();

  bool operator==(const DispAttributes &) const = default;
};

} // namespace sorvane
