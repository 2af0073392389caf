#include "plugin/rules/text_match_rule.h"

#include "plugin/rules/cabinet_io.h"
#include "plugin/rules/pattern_matcher.h"
#include "plugin/rules/text_case.h"
#include "plugin/rules/text_values.h"
#include "sdk/host_error.h"
#include "sdk/text_codec.h"

namespace sorvane {
namespace {

char32_t firstChar(std::string_view text) {
  size_t pos = 0;
  return decodeUtf8(text, pos);
}

bool caseTestPasses(int32_t caseMatching, std::string_view title) {
  switch (CaseMatching(caseMatching)) {
  case CaseMatching::AllCapitals: return toUpperText(title) == title;
  case CaseMatching::FirstCapital: {
    if (title.empty())
      return false;
    const char32_t c = firstChar(title);
    return isLetterChar(c) && toUpperChar(c) == c;
  }
  case CaseMatching::FirstDigit: return !title.empty() && title[0] >= '0' && title[0] <= '9';
  case CaseMatching::NoRestrictions: break;
  }
  return true;
}

} // namespace

void TextQuery::writeInto(CabinetHandle cab) const {
  ASExtraTable &x = cabinets();
  x.cabinetMakeEmpty(cab);
  x.cabinetPutBool(cab, "PrevBreakPage", prevBreakPage);
  x.cabinetPutBool(cab, "UseRegExp", useRegExp);
  x.cabinetPutBool(cab, "MatchCase", matchCase);
  x.cabinetPutBool(cab, "WholeWords", wholeWords);
  writeTextValue(pattern, "Pattern", cab);
  x.cabinetPutBool(cab, "UseAreaFilter", useAreaFilter);
  writeFixed(areaLeft, "AreaLeft", cab);
  writeFixed(areaRight, "AreaRight", cab);
  writeFixed(areaTop, "AreaTop", cab);
  writeFixed(areaBottom, "AreaBottom", cab);
}

void TextQuery::readFrom(CabinetHandle cab) {
  ASExtraTable &x = cabinets();
  prevBreakPage = x.cabinetGetBool(cab, "PrevBreakPage", false);
  useRegExp = x.cabinetGetBool(cab, "UseRegExp", false);
  matchCase = x.cabinetGetBool(cab, "MatchCase", false);
  wholeWords = x.cabinetGetBool(cab, "WholeWords", false);
  pattern = readTextValue("Pattern", cab);
  useAreaFilter = x.cabinetGetBool(cab, "UseAreaFilter", false);
  areaLeft = readFixed("AreaLeft", cab, 0);
  areaRight = readFixed("AreaRight", cab, 0);
  areaTop = readFixed("AreaTop", cab, 0);
  areaBottom = readFixed("AreaBottom", cab, 0);
}

void TextMatchRule::resetForMissingCabinet() {
  caseMatching = int32_t(CaseMatching::NoRestrictions);
  query.pattern.clear();
  multilineTitles = true;
}

bool TextMatchRule::matchesText(std::string_view title) const {
  if (!query.pattern.empty()) {
    const BuiltPattern built =
        buildPattern({query.pattern, query.useRegExp, query.wholeWords, query.matchCase});
    PatternMatcher matcher;
    if (matcher.compile(built.pattern, built.caseless) && !matcher.execute(title))
      return false;
  }
  return caseTestPasses(caseMatching, title);
}

bool TextMatchRule::write(std::string_view key, CabinetHandle parent) const {
  return writeChildCabinet(key, parent, [this](CabinetHandle cab) {
    cabinets().cabinetPutInt(cab, "CaseMatching", caseMatching);
    cabinets().cabinetPutBool(cab, "MultilineTitles", multilineTitles);
    // The query is written only when the host can make its Cabinet.
    writeChildCabinet("Query", cab, [this](CabinetHandle q) { query.writeInto(q); });
  });
}

bool TextMatchRule::read(std::string_view key, CabinetHandle parent) {
  CabinetHandle cab = cabinets().cabinetGetCabinet(parent, key);
  if (!cab) {
    resetForMissingCabinet();
    return false;
  }
  caseMatching = cabinets().cabinetGetInt(cab, "CaseMatching", 0);
  multilineTitles = cabinets().cabinetGetBool(cab, "MultilineTitles", true);
  if (CabinetHandle q = cabinets().cabinetGetCabinet(cab, "Query"))
    query.readFrom(q);
  else
    query.pattern.clear();
  return true;
}

} // namespace sorvane
