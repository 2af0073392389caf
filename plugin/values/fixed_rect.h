// Rectangles in page space (y grows upward), in 16.16 points.
#pragma once

#include <string>
#include <string_view>

#include "plugin/values/fixed_point.h"
#include "plugin/values/record_fields.h"
#include "sdk/handles.h"

namespace sorvane {

struct FixedRect {
  Fixed left = 0;
  Fixed top = 0;
  Fixed right = 0;
  Fixed bottom = 0;

  // A sub-Cabinet with "Left", "Right", "Top", "Bottom". False (parent untouched) on failure.
  bool write(std::string_view key, CabinetHandle parent) const;
  // Without a sub-Cabinet the rectangle is left as it is and the result is false; in one,
  // missing coordinates read as 0.
  bool read(std::string_view key, CabinetHandle parent);
  // Adds what is wrong in a rectangle's Cabinet (under `path`) to `out`.
  static void check(CabinetHandle cab, const std::string &path, SettingsProblems &out);
  static const Fields<FixedRect> &fields();

  bool operator==(const FixedRect &) const = default;
};

} // namespace sorvane
