#include "plugin/rules/content_format.h"

#include "plugin/values/cabinet_io.h"
#include "plugin/values/text_values.h"

namespace sorvane {

const Fields<ContentFormat> &ContentFormat::fields() {
  using C = ContentFormat;
  static const Fields<C> table = {
      fields::integer("MaxTextLength", &C::maxTextLength, 128, 0),
      fields::integer("CaseStyle", &C::caseStyle, 0, 0, 4),
      fields::text("PrefixText", &C::prefixText),
      fields::text("SuffixText", &C::suffixText),
      fields::boolean("SkipDupLabels", &C::skipDupLabels, false),
      fields::boolean("RemoveDupSpaces", &C::removeDupSpaces, true),
      fields::boolean("RemoveLineChangeDefis", &C::removeLineChangeDefis, true),
      fields::integer("LeadingNumbers", &C::leadingNumbers, 0, 0, 2),
      fields::integer("LeadingType", &C::leadingType, 0, 0, 2),
  };
  return table;
}

bool ContentFormat::write(std::string_view key, CabinetHandle parent) const {
  return writeRecord(*this, fields(), key, parent);
}

bool ContentFormat::read(std::string_view key, CabinetHandle parent) {
  return readRecord(*this, fields(), key, parent, [this] { reset(); });
}

void ContentFormat::check(CabinetHandle cab, const std::string &path, SettingsProblems &out) {
  checkFields(fields(), cab, path, out);
}

} // namespace sorvane
