#include "plugin/values/disp_attributes.h"

#include "plugin/values/cabinet_io.h"
#include "sdk/host_error.h"

namespace sorvane {

const Fields<DispAttributes> &DispAttributes::fields() {
  using D = DispAttributes;
  static const Fields<D> table = [] {
    Fields<D> t = {
        fields::boolean("IsBold", &D::isBold, false),
        fields::boolean("IsItalic", &D::isItalic, false),
        fields::boolean("ShowOpen", &D::showOpen, false),
        fields::custom<D>(
            "Color", FieldType::Record,
            [](const D &d, CabinetHandle cab) {
              if (!d.color.write("Color", cab))
                throw HostError(ErrorCode::Generic, "The colour could not be written.");
            },
            [](D &d, CabinetHandle cab) { d.color.read("Color", cab); }, ColorValue::check),
    };
    t.back().inner = [] { return describeFields(ColorValue::fields()); };
    return t;
  }();
  return table;
}

bool DispAttributes::write(std::string_view key, CabinetHandle parent) const {
  return writeRecord(*this, fields(), key, parent);
}

bool DispAttributes::read(std::string_view key, CabinetHandle parent) {
  readRecord(*this, fields(), key, parent, [this] { reset(); });
  return true;
}

void DispAttributes::check(CabinetHandle cab, const std::string &path, SettingsProblems &out) {
  checkFields(fields(), cab, path, out);
}

} // namespace sorvane
