// The rule set of one heading level: which text is a heading of the level, how it becomes a
// title, and how its bookmarks look and where they lead.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "plugin/rules/content_format.h"
#include "plugin/rules/indent_rule.h"
#include "plugin/rules/text_match_rule.h"
#include "plugin/rules/text_run.h"
#include "plugin/rules/text_style_rule.h"
#include "plugin/values/disp_attributes.h"
#include "plugin/values/fixed_rect.h"
#include "sdk/handles.h"

namespace sorvane {

struct LevelRule {
  int32_t level = 0;   // stored only
  int32_t fitType = 0; // view of this level's bookmarks (a FitType code)
  Fixed initialZoom = 0;
  DispAttributes dispAttribs;
  ContentFormat contentFormat;
  bool useProcessingArea = false;
  FixedRect processingArea;
  TextStyleRule textStyleRule;
  TextMatchRule textMatchRule;
  IndentRule indentRule;

  void reset() { *this = LevelRule(); }

  // Outside the processing area (when it is used): false; else the font test.
  bool matchesFontAndArea(const TextRun &run) const;
  bool matchesText(std::string_view title) const { return textMatchRule.matchesText(title); }
  bool matchesIndent(Fixed left) const { return indentRule.matchesIndent(left); }
  void formatTitleText(std::string &title) const;

  // One line for lists of levels, such as "Helvetica-Bold, Size 14.0 pt, Indent: 1.00 in,
  // Pattern Matching", or "No Rules Specified".
  std::string describeLevel() const;

  // A failed part does not stop the others; false only when the rule's Cabinet cannot be made.
  bool write(std::string_view key, CabinetHandle parent) const;
  // Without a Cabinet under `key` the view, area, font and text rules are reset (the format,
  // looks and indentation stay) and the result is false.
  bool read(std::string_view key, CabinetHandle parent);
  // Adds what is wrong in a level's Cabinet (under `path`) to `out`.
  static void check(CabinetHandle cab, const std::string &path, SettingsProblems &out);
  static const Fields<LevelRule> &fields();

  bool operator==(const LevelRule &) const = default;
};

} // namespace sorvane
