// Position rules of a level: the left indentation of a heading and the processing area, and the
// display units in which the user sees lengths.
#pragma once

#include <cstdint>
#include <string_view>

#include "plugin/rules/text_run.h"
#include "plugin/values/fixed_point.h"
#include "plugin/values/fixed_rect.h"
#include "plugin/values/record_fields.h"
#include "sdk/handles.h"

namespace sorvane {

enum class DisplayUnits : int32_t { Millimeters = 0, Centimeters = 1, Inches = 2, Points = 3 };

// Points shown in `unit`, rounded to the unit's step (0.1 mm, 0.01 cm, 0.01 in, 0.1 pt), half
// away from zero. 0 for an unknown unit.
double toDisplayUnits(double points, int32_t unit);
// A length entered in `unit`, in points rounded to 0.1. 0 for an unknown unit.
double fromDisplayUnits(double value, int32_t unit);
// "mm", "cm", "in", "pt"; "??" for an unknown unit.
const char *unitShortName(int32_t unit);

struct IndentRule {
  bool enabled = false;
  double leftIndent = 0;   // points
  double tolerance = 14.4; // points
  int32_t displayUnits = int32_t(DisplayUnits::Inches);

  void reset() { *this = IndentRule(); }
  // True when the rule is off, or `left` (16.16 points) lies within the tolerance.
  bool matchesIndent(Fixed left) const;

  bool write(std::string_view key, CabinetHandle parent) const;
  // Without a sub-Cabinet: reset and false. In one, missing keys read as 0 (not the reset values).
  bool read(std::string_view key, CabinetHandle parent);
  // Adds what is wrong in an indentation rule's Cabinet (under `path`) to `out`.
  static void check(CabinetHandle cab, const std::string &path, SettingsProblems &out);
  // The fields, for the settings check and the dialogs' bindings.
  static const Fields<IndentRule> &fields();

  bool operator==(const IndentRule &) const = default;
};

// True when a valid run's box overlaps `area` (edges that only touch do not overlap).
bool runOverlapsArea(const TextRun &run, const FixedRect &area);

} // namespace sorvane
