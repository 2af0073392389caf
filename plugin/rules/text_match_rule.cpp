#include "plugin/rules/text_match_rule.h"

#include <memory>
#include <unordered_map>

#include "plugin/rules/pattern_matcher.h"
#include "plugin/values/cabinet_io.h"
#include "plugin/values/text_case.h"
#include "plugin/values/text_values.h"
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

const Fields<TextQuery> &TextQuery::fields() {
  using Q = TextQuery;
  static const Fields<Q> table = {
      fields::boolean("PrevBreakPage", &Q::prevBreakPage, false),
      fields::boolean("UseRegExp", &Q::useRegExp, false),
      fields::boolean("MatchCase", &Q::matchCase, false),
      fields::boolean("WholeWords", &Q::wholeWords, false),
      fields::text("Pattern", &Q::pattern),
      fields::boolean("UseAreaFilter", &Q::useAreaFilter, false),
      fields::fixed("AreaLeft", &Q::areaLeft, 0),
      fields::fixed("AreaRight", &Q::areaRight, 0),
      fields::fixed("AreaTop", &Q::areaTop, 0),
      fields::fixed("AreaBottom", &Q::areaBottom, 0),
  };
  return table;
}

void TextQuery::writeInto(CabinetHandle cab) const {
  cabinets().cabinetMakeEmpty(cab);
  writeFields(*this, fields(), cab);
}

void TextQuery::readFrom(CabinetHandle cab) { readFields(*this, fields(), cab); }

void TextQuery::check(CabinetHandle cab, const std::string &path, SettingsProblems &out) {
  checkFields(fields(), cab, path, out);
}

void TextMatchRule::resetForMissingCabinet() {
  caseMatching = int32_t(CaseMatching::NoRestrictions);
  query.pattern.clear();
  multilineTitles = true;
  inlineRuns = false;
}

namespace {

// The compiled form of a query, kept per thread: a scan tests every line against the same few
// patterns. Nothing when the pattern does not compile.
const PatternMatcher *compiledQuery(const TextQuery &query) {
  struct Entry {
    std::unique_ptr<PatternMatcher> matcher; // null: does not compile
  };
  thread_local std::unordered_map<std::string, Entry> cache;
  std::string key = query.pattern;
  key += '\0';
  key += char('0' + query.useRegExp) + std::string(1, char('0' + query.wholeWords)) +
         char('0' + query.matchCase);
  auto it = cache.find(key);
  if (it == cache.end()) {
    if (cache.size() >= 256)
      cache.clear();
    const BuiltPattern built =
        buildPattern({query.pattern, query.useRegExp, query.wholeWords, query.matchCase});
    auto matcher = std::make_unique<PatternMatcher>();
    if (!matcher->compile(built.pattern, built.caseless))
      matcher.reset();
    it = cache.emplace(std::move(key), Entry{std::move(matcher)}).first;
  }
  return it->second.matcher.get();
}

} // namespace

bool TextMatchRule::matchesText(std::string_view title) const {
  if (!query.pattern.empty()) {
    const PatternMatcher *matcher = compiledQuery(query);
    if (matcher && !matcher->execute(title))
      return false;
  }
  return caseTestPasses(caseMatching, title);
}

const Fields<TextMatchRule> &TextMatchRule::fields() {
  using T = TextMatchRule;
  static const Fields<T> table = [] {
    Fields<T> made = {
        fields::choice("CaseMatching", &T::caseMatching, 0,
                       {named(CaseMatching::NoRestrictions, "No Restrictions"),
                        named(CaseMatching::AllCapitals, "All Characters Are Capital"),
                        named(CaseMatching::FirstCapital, "First Character Is Capital Letter"),
                        named(CaseMatching::FirstDigit, "First Character Is Digit")}),
        fields::boolean("MultilineTitles", &T::multilineTitles, true),
        fields::boolean("InlineRuns", &T::inlineRuns, false),
        // The query is written only when the host can make its Cabinet; without one, only the
        // pattern is emptied.
        fields::custom<T>(
            "Query", FieldType::Record,
            [](const T &t, CabinetHandle cab) {
              writeChildCabinet("Query", cab, [&t](CabinetHandle q) { t.query.writeInto(q); });
            },
            [](T &t, CabinetHandle cab) {
              if (CabinetHandle q = cabinets().cabinetGetCabinet(cab, "Query"))
                t.query.readFrom(q);
              else
                t.query.pattern.clear();
            },
            TextQuery::check),
    };
    made.back().inner = [] { return describeFields(TextQuery::fields()); };
    return made;
  }();
  return table;
}

bool TextMatchRule::patternCompiles() const {
  if (query.pattern.empty())
    return true;
  const BuiltPattern built =
      buildPattern({query.pattern, query.useRegExp, query.wholeWords, query.matchCase});
  PatternMatcher matcher;
  return matcher.compile(built.pattern, built.caseless);
}

bool TextMatchRule::write(std::string_view key, CabinetHandle parent) const {
  return writeRecord(*this, fields(), key, parent);
}

bool TextMatchRule::read(std::string_view key, CabinetHandle parent) {
  return readRecord(*this, fields(), key, parent, [this] { resetForMissingCabinet(); });
}

void TextMatchRule::check(CabinetHandle cab, const std::string &path, SettingsProblems &out) {
  checkFields(fields(), cab, path, out);
  TextMatchRule rule;
  readFields(rule, fields(), cab);
  if (rule.query.pattern.empty())
    return;
  const BuiltPattern built = buildPattern(
      {rule.query.pattern, rule.query.useRegExp, rule.query.wholeWords, rule.query.matchCase});
  const std::string where = keyPath(keyPath(path, "Query"), "Pattern");
  PatternMatcher matcher;
  if (!matcher.compile(built.pattern, built.caseless))
    out.push_back({where, "\"" + rule.query.pattern + "\" is not a valid regular expression (" +
                              PatternMatcher::compileError(built.pattern, built.caseless) +
                              "); the level tests no pattern"});
  else if (matcher.matchesOnlyEmptyText())
    out.push_back({where, "\"" + rule.query.pattern +
                              "\" can only match empty text, which never counts: the level "
                              "accepts no heading"});
}

} // namespace sorvane
