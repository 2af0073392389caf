#include "plugin/values/fixed_rect.h"

#include "plugin/values/cabinet_io.h"

namespace sorvane {

namespace {

const Fields<FixedRect> &rectFields() {
  static const Fields<FixedRect> table = {
      fields::fixed("Left", &FixedRect::left, 0),
      fields::fixed("Right", &FixedRect::right, 0),
      fields::fixed("Top", &FixedRect::top, 0),
      fields::fixed("Bottom", &FixedRect::bottom, 0),
  };
  return table;
}

} // namespace

const Fields<FixedRect> &FixedRect::fields() { return rectFields(); }

bool FixedRect::write(std::string_view key, CabinetHandle parent) const {
  return writeRecord(*this, rectFields(), key, parent);
}

bool FixedRect::read(std::string_view key, CabinetHandle parent) {
  return readRecord(*this, rectFields(), key, parent, [] {});
}

void FixedRect::check(CabinetHandle cab, const std::string &path, SettingsProblems &out) {
  checkFields(rectFields(), cab, path, out);
}

} // namespace sorvane
