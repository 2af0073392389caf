// The text content rule of a heading level: a pattern a title must contain and a letter-case
// restriction.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "plugin/values/fixed_point.h"
#include "plugin/values/record_fields.h"
#include "sdk/handles.h"

namespace sorvane {

enum class CaseMatching : int32_t {
  NoRestrictions = 0,
  AllCapitals = 1,  // "All Characters Are Capital"
  FirstCapital = 2, // "First Character Is Capital Letter"
  FirstDigit = 3,   // "First Character Is Digit"
};

struct TextQuery {
  std::string pattern; // empty: no content test
  bool useRegExp = false;
  bool wholeWords = false;
  bool matchCase = false;
  bool prevBreakPage = false; // stored only
  bool useAreaFilter = false; // stored only
  Fixed areaLeft = 0;         // stored only, as are the other three
  Fixed areaTop = 0;
  Fixed areaRight = 0;
  Fixed areaBottom = 0;

  void reset() { *this = TextQuery(); }
  // Empties `cab` and writes the query's keys into it.
  void writeInto(CabinetHandle cab) const;
  void readFrom(CabinetHandle cab);
  static void check(CabinetHandle cab, const std::string &path, SettingsProblems &out);
  static const Fields<TextQuery> &fields();

  bool operator==(const TextQuery &) const = default;
};

struct TextMatchRule {
  int32_t caseMatching = int32_t(CaseMatching::NoRestrictions);
  TextQuery query;
  bool multilineTitles = true; // a heading may continue on the following lines
  // A run the level does not take, inside the heading's row (a code word, a logo's raised
  // letter) or a word or two ending it, belongs to the title instead of ending it. Off in
  // files that do not say: there every such run ends the heading.
  bool inlineRuns = false;

  void reset() { *this = TextMatchRule(); }
  // What a missing rule Cabinet resets: the case test, the pattern text, MultilineTitles and
  // InlineRuns.
  void resetForMissingCabinet();

  // The pattern test (skipped when the pattern does not compile), then the case test.
  bool matchesText(std::string_view title) const;
  // False for a pattern that does not compile (and so tests nothing).
  bool patternCompiles() const;

  bool write(std::string_view key, CabinetHandle parent) const;
  // Without a sub-Cabinet: resetForMissingCabinet and false. Without "Query" in it, the pattern
  // is emptied and the other query fields stay.
  bool read(std::string_view key, CabinetHandle parent);
  // Adds what is wrong in a text rule's Cabinet (under `path`) to `out`, a pattern that does
  // not compile included.
  static void check(CabinetHandle cab, const std::string &path, SettingsProblems &out);
  static const Fields<TextMatchRule> &fields();

  bool operator==(const TextMatchRule &) const = default;
};

} // namespace sorvane
