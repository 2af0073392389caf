// "Bookmark Level Description": one level's rules on three pages (Text Matching, Appearance,
// Content). Each page works on copies; OK puts back the copies of the pages the user opened.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "plugin/rules/level_rule.h"
#include "plugin/ui/colour_selector.h"
#include "sdk/platform_ui.h"

namespace sorvane {

class LevelSheet final : public ui::Dialog {
public:
  enum Page : int { kTextMatching = 0, kAppearance = 1, kContent = 2 };
  enum : int {
    kIdPages = 100,
    // Text Matching
    kIdMatchIntro,
    kIdStyleGroup,
    kIdFontBox,
    kIdFontList,
    kIdAddFont,
    kIdRemoveFont,
    kIdSizeBox,
    kIdSize,
    kIdSizeTolerance,
    kIdCapture,
    kIdIndentBox,
    kIdIndent,
    kIdIndentTolerance,
    kIdUnits,
    kIdContentRulesGroup,
    kIdCaseRule,
    kIdPatternBox,
    kIdPattern,
    kIdMultiline,
    kIdInlineRuns,
    // Appearance
    kIdLooksIntro,
    kIdColour,
    kIdTextStyle,
    kIdZoom,
    kIdExpanded,
    // Content
    kIdContentIntro,
    kIdCaseGroup,
    kIdDoNotChange,
    kIdUppercase,
    kIdTitleCase,
    kIdSentenceCase,
    kIdLowercase,
    kIdPrefixBox,
    kIdPrefix,
    kIdSuffixBox,
    kIdSuffix,
    kIdLeading,
    kIdLeadingType,
    kIdMaxLength,
    kIdSpaces,
    kIdHyphen,
  };

  explicit LevelSheet(LevelRule &level);

  void onInit() override;
  void onEvent(int id, ui::Event event) override;
  void onOk() override;
  // Tells the user that `text`, typed as the `what`, is no number and `kept` stays.
  void notAnumber(const char *what, const std::string &text, double kept);
  void drawItem(int id, const ui::DrawItemState &state, ui::DrawContext &dc) override;

private:
  void openPage(int page);
  void fillTextMatching();
  void fillAppearance();
  void fillContent();
  void closeTextMatching();
  void closeAppearance();
  void closeContent();
  void enableTextMatching();
  void enableContent();
  void refillFontList();

  LevelRule &m_level;
  TextStyleRule m_style;
  TextMatchRule m_match;
  IndentRule m_indent;
  DispAttributes m_looks;
  int32_t m_fitType = 0;
  ContentFormat m_content;
  std::array<bool, 3> m_opened{};
  // The numbers as the page showed them: a box whose text the user left alone keeps the exact
  // value (the one-decimal text would round 0.35 to 0.3).
  struct ShownNumber {
    int id;
    std::string text;
  };
  std::vector<ShownNumber> m_shown;
  bool untouched(int id) const;
  ColourSelector m_colours;
};

// "Text" read as a decimal number: the longest leading one (blanks before it skipped); nothing
// when it does not begin with one or the number is too large for a double.
std::optional<double> decimalIn(const std::string &text);
// The same, 0 for nothing.
double leadingDecimal(const std::string &text);
// `value` as "%4.1f" formats it.
std::string oneDecimal(double value);

} // namespace sorvane
