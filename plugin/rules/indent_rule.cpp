#include "plugin/rules/indent_rule.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "plugin/values/cabinet_io.h"

namespace sorvane {
namespace {

// Rounds half away from zero to a whole number, as a 32-bit integer would hold it.
double roundAway(double r) {
  if (!std::isfinite(r))
    return 0;
  const double n = std::trunc(r >= 0 ? r + 0.5 : r - 0.5);
  return std::clamp(n, double(std::numeric_limits<int32_t>::min()),
                    double(std::numeric_limits<int32_t>::max()));
}

} // namespace

double toDisplayUnits(double points, int32_t unit) {
  switch (DisplayUnits(unit)) {
  case DisplayUnits::Millimeters: return roundAway(points * 0.352777778 * 10) * 0.1;
  case DisplayUnits::Centimeters: return roundAway(points * 0.0352777778 * 10 * 10) * 0.1 * 0.1;
  case DisplayUnits::Inches: return roundAway(points * 0.013888888888888888 * 10 * 10) * 0.1 * 0.1;
  case DisplayUnits::Points: return roundAway(points * 10) * 0.1;
  }
  return 0;
}

double fromDisplayUnits(double value, int32_t unit) {
  double factor = 0;
  switch (DisplayUnits(unit)) {
  case DisplayUnits::Millimeters: factor = 2.83464567; break;
  case DisplayUnits::Centimeters: factor = 28.3464567; break;
  case DisplayUnits::Inches: factor = 72; break;
  case DisplayUnits::Points: factor = 1; break;
  default: return 0;
  }
  return roundAway(value * factor * 10) * 0.1;
}

const char *unitShortName(int32_t unit) {
  switch (DisplayUnits(unit)) {
  case DisplayUnits::Millimeters: return "mm";
  case DisplayUnits::Centimeters: return "cm";
  case DisplayUnits::Inches: return "in";
  case DisplayUnits::Points: return "pt";
  }
  return "??";
}

bool IndentRule::matchesIndent(Fixed left) const {
  if (!enabled)
    return true;
  return std::fabs(fixedToDouble(left) - leftIndent) <= tolerance; // NaN fails
}

const Fields<IndentRule> &IndentRule::fields() {
  using I = IndentRule;
  static const Fields<I> table = {
      fields::number("LeftIndent", &I::leftIndent, 0),
      fields::number("Tolerance", &I::tolerance, 0, 0),
      // Sorted as the dialog lists them.
      fields::choice("DisplayUnits", &I::displayUnits, 0,
                     {named(DisplayUnits::Centimeters, "cm"), named(DisplayUnits::Inches, "inches"),
                      named(DisplayUnits::Millimeters, "mm"), named(DisplayUnits::Points, "pt")}),
      fields::boolean("Enabled", &I::enabled, false),
  };
  return table;
}

bool IndentRule::write(std::string_view key, CabinetHandle parent) const {
  return writeRecord(*this, fields(), key, parent);
}

bool IndentRule::read(std::string_view key, CabinetHandle parent) {
  return readRecord(*this, fields(), key, parent, [this] { reset(); });
}

void IndentRule::check(CabinetHandle cab, const std::string &path, SettingsProblems &out) {
  checkFields(fields(), cab, path, out);
}

bool runOverlapsArea(const TextRun &run, const FixedRect &area) {
  return run.valid && run.box.left < area.right && area.left < run.box.right &&
         area.bottom < run.box.top && run.box.bottom < area.top;
}

} // namespace sorvane
