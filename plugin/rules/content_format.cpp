#include "plugin/rules/content_format.h"

#include "plugin/values/cabinet_io.h"
#include "plugin/values/text_values.h"

namespace sorvane {

const Fields<ContentFormat> &ContentFormat::fields() {
  using C = ContentFormat;
  static const Fields<C> table = {
      fields::integer("MaxTextLength", &C::maxTextLength, 128, 0),
      fields::choice("CaseStyle", &C::caseStyle, 0,
                     {named(CaseStyle::DoNotChange, "Do Not Change"),
                      named(CaseStyle::Uppercase, "UPPERCASE"),
                      named(CaseStyle::TitleCase, "Title Case"),
                      named(CaseStyle::SentenceCase, "Sentence case"),
                      named(CaseStyle::Lowercase, "lowercase")}),
      fields::text("PrefixText", &C::prefixText),
      fields::text("SuffixText", &C::suffixText),
      fields::boolean("SkipDupLabels", &C::skipDupLabels, false),
      fields::boolean("RemoveDupSpaces", &C::removeDupSpaces, true),
      fields::boolean("RemoveLineChangeDefis", &C::removeLineChangeDefis, true),
      fields::choice("LeadingNumbers", &C::leadingNumbers, 0,
                     {named(LeadingNumbers::NoChange, "No Change"),
                      named(LeadingNumbers::Add, "Add"), named(LeadingNumbers::Remove, "Remove")}),
      fields::choice("LeadingType", &C::leadingType, 0,
                     {named(LeadingType::Numbers, "Numbers"),
                      named(LeadingType::Letters, "Letters"),
                      named(LeadingType::RomanNumerals, "Roman Numerals")}),
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
