#include "plugin/engine/bookmark_builder.h"

#include <algorithm>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "plugin/engine/generation_run.h"
#include "plugin/rules/pattern_matcher.h"
#include "plugin/values/cabinet_io.h"
#include "sdk/host_error.h"

namespace sorvane {

void BookmarkBuilder::reset() {
  BookmarkBuilder fresh;
  fresh.margins = margins; // a reset leaves the margins alone
  *this = fresh;
}

namespace {

// The index of a "Level<n>" key: decimal digits without a leading zero, or nothing.
std::optional<int64_t> levelIndex(std::string_view key) {
  if (key.rfind("Level", 0) != 0)
    return std::nullopt;
  const std::string_view digits = key.substr(5);
  if (digits.empty() || digits.size() > 10 || (digits.size() > 1 && digits[0] == '0') ||
      digits.find_first_not_of("0123456789") != std::string_view::npos)
    return std::nullopt;
  return std::stoll(std::string(digits));
}

// "NumLevels" and the levels under "Level0", "Level1", ...: the levels are read from the
// entries present, in index order, so a hand-edited count of two billion costs no more than the
// levels there are.
Field<BookmarkBuilder> levelsField() {
  using B = BookmarkBuilder;
  Field<B> f = fields::custom<B>(
      "NumLevels", FieldType::Int,
      [](const B &b, CabinetHandle cab) {
        cabinets().cabinetPutInt(cab, "NumLevels", static_cast<int32_t>(b.levels.size()));
        for (size_t i = 0; i < b.levels.size(); ++i)
          b.levels[i].write("Level" + std::to_string(i), cab);
      },
      [](B &b, CabinetHandle cab) {
        ASExtraTable &x = cabinets();
        const int32_t count = x.cabinetGetInt(cab, "NumLevels", 0);
        std::vector<std::pair<int64_t, std::string>> present;
        for (const std::string &key : x.cabinetKeys(cab)) {
          const auto index = levelIndex(key);
          if (index && *index < count && x.cabinetGetType(cab, key) == CabinetValueType::Cabinet)
            present.emplace_back(*index, key);
        }
        std::sort(present.begin(), present.end());
        b.levels.clear();
        for (const auto &entry : present) {
          LevelRule rule;
          rule.read(entry.second, cab);
          b.levels.push_back(std::move(rule));
        }
      });
  f.min = 0;
  // Level0, Level1, ... below it, each a level's rules.
  f.inner = [] { return describeFields(LevelRule::fields()); };
  return f;
}

} // namespace

const Fields<BookmarkBuilder> &BookmarkBuilder::fields() {
  using B = BookmarkBuilder;
  static const Fields<B> table = {
      fields::boolean("IgnoreStopWords", &B::ignoreStopWords, false),
      fields::textList("StopWords", &B::stopWords),
      fields::boolean("StopWordsMatchCase", &B::stopWordsMatchCase, true),
      fields::boolean("StopWordsMatchWholeWords", &B::stopWordsMatchWholeWords, true),
      fields::boolean("StopWordsUseRegExp", &B::stopWordsUseRegExp, false),
      fields::boolean("SortText", &B::sortText, false),
      fields::boolean("SkipDupBookmarks", &B::skipDupBookmarks, false),
      fields::boolean("KeepOrphanHeadings", &B::keepOrphanHeadings, false),
      fields::boolean("SkipContentsLines", &B::skipContentsLines, false),
      fields::integer("FirstPage", &B::firstPage, 0, 0),
      fields::integer("LastPage", &B::lastPage, -1, -1),
      fields::boolean("UseMargins", &B::useMargins, false),
      fields::integer("InsertType", &B::insertType, 1, 0, 2),
      fields::record("Margins", &B::margins),
      levelsField(),
  };
  return table;
}

bool BookmarkBuilder::write(CabinetHandle cab) const {
  if (!cab)
    return false;
  writeFields(*this, fields(), cab);
  return true;
}

bool BookmarkBuilder::read(CabinetHandle cab) {
  if (!cab) {
    reset();
    return false;
  }
  readFields(*this, fields(), cab);
  return true;
}

namespace {

// Whether `earlier` takes every line `later` would take: no test of its own beyond fonts and
// sizes, and those cover the later level's.
bool takesEveryLineOf(const LevelRule &earlier, const LevelRule &later) {
  const TextMatchRule &match = earlier.textMatchRule;
  if (!match.query.pattern.empty() || match.caseMatching != int32_t(CaseMatching::NoRestrictions) ||
      earlier.indentRule.enabled || earlier.useProcessingArea)
    return false;
  const TextStyleRule &e = earlier.textStyleRule;
  const TextStyleRule &l = later.textStyleRule;
  if (e.matchName) {
    if (!l.matchName || l.fontDesc.fonts.empty() || (l.ignoreSubsetPrefix && !e.ignoreSubsetPrefix))
      return false;
    for (Atom font : l.fontDesc.fonts) {
      TextRun probe;
      probe.fontName = font;
      if (!e.matchesFontName(probe))
        return false;
    }
  }
  if (e.matchFontSize) {
    if (!l.matchFontSize)
      return false;
    const double eLow = e.fontDesc.fontSize - e.tolerance,
                 eHigh = e.fontDesc.fontSize + e.tolerance;
    if (l.fontDesc.fontSize - l.tolerance < eLow - 1e-9 ||
        l.fontDesc.fontSize + l.tolerance > eHigh + 1e-9)
      return false;
  }
  return true;
}

} // namespace

SettingsProblems BookmarkBuilder::check(CabinetHandle cab) {
  SettingsProblems out;
  ASExtraTable &x = cabinets();
  checkFields(fields(), cab, "", out,
              [](std::string_view key) { return levelIndex(key).has_value(); });
  const int32_t count = x.cabinetGetInt(cab, "NumLevels", 0);
  for (const std::string &key : x.cabinetKeys(cab)) {
    const auto index = levelIndex(key);
    if (!index)
      continue;
    if (x.cabinetGetType(cab, key) != CabinetValueType::Cabinet)
      out.push_back({key, "should be a group of settings (a level); it is ignored"});
    else if (*index >= count)
      out.push_back({key, "lies beyond NumLevels (" + std::to_string(count) + "); it is ignored"});
    else
      LevelRule::check(x.cabinetGetCabinet(cab, key), key, out);
  }
  BookmarkBuilder settings;
  settings.read(cab);
  // A line goes to the first level that takes it: a level whose every line an earlier level
  // takes never makes a bookmark.
  for (size_t later = 1; later < settings.levels.size(); ++later)
    for (size_t earlier = 0; earlier < later; ++earlier)
      if (takesEveryLineOf(settings.levels[earlier], settings.levels[later])) {
        out.push_back({"Level" + std::to_string(later),
                       "can never match: Level" + std::to_string(earlier) +
                           " comes first and takes every line it would (its fonts and sizes, "
                           "and no text pattern, letter case, indentation or area of its own)"});
        break;
      }
  // Stop words that are regular expressions must compile, or they stop nothing.
  if (settings.stopWordsUseRegExp) {
    for (size_t i = 0; i < settings.stopWords.size(); ++i) {
      const BuiltPattern built =
          buildPattern({settings.stopWords[i], true, settings.stopWordsMatchWholeWords,
                        settings.stopWordsMatchCase});
      PatternMatcher matcher;
      if (!matcher.compile(built.pattern, built.caseless))
        out.push_back({"StopWords." + std::to_string(i),
                       "\"" + settings.stopWords[i] +
                           "\" is not a valid regular expression; it stops nothing"});
    }
  }
  return out;
}

bool BookmarkBuilder::writeNamed(std::string_view name, CabinetHandle parent) const {
  return writeChildCabinet(name, parent, [this](CabinetHandle cab) {
    if (!write(cab))
      throw HostError(ErrorCode::Generic, "The build settings could not be written.");
  });
}

bool BookmarkBuilder::readNamed(std::string_view name, CabinetHandle parent) {
  return read(cabinets().cabinetGetCabinet(parent, name));
}

RunOutcome BookmarkBuilder::generate(DocHandle doc, const ProgressMonitor *monitor,
                                     void *monitorData) const {
  return GenerationRun(*this, monitor, monitorData).run(doc);
}

} // namespace sorvane
