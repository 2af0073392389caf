#include "plugin/rules/level_rule.h"

#include <cstdio>

#include "plugin/rules/title_format.h"
#include "plugin/values/cabinet_io.h"
#include "plugin/values/fit_type.h"

namespace sorvane {

bool LevelRule::matchesFontAndArea(const TextRun &run) const {
  if (useProcessingArea && !runOverlapsArea(run, processingArea))
    return false;
  return textStyleRule.matches(run);
}

void LevelRule::formatTitleText(std::string &title) const { formatTitle(contentFormat, title); }

std::string LevelRule::describeLevel() const {
  std::string out;
  auto append = [&out](const std::string &item) {
    if (!out.empty())
      out += ", ";
    out += item;
  };
  char buffer[64];
  const FontDesc &font = textStyleRule.fontDesc;
  if (textStyleRule.matchName) {
    if (font.fonts.size() == 1) {
      append(font.fontNameAt(0));
    } else {
      std::snprintf(buffer, sizeof buffer, "%d Fonts Used", int(font.fonts.size()));
      append(buffer);
    }
  }
  if (textStyleRule.matchFontSize) {
    std::snprintf(buffer, sizeof buffer, "Size %4.1f pt", font.fontSize);
    append(buffer);
  }
  if (indentRule.enabled) {
    std::snprintf(buffer, sizeof buffer, "Indent: %4.2f %s",
                  toDisplayUnits(indentRule.leftIndent, indentRule.displayUnits),
                  unitShortName(indentRule.displayUnits));
    append(buffer);
  }
  if (!textMatchRule.query.pattern.empty())
    append(textMatchRule.patternCompiles() ? "Pattern Matching" : "Invalid Pattern");
  return out.empty() ? "No Rules Specified" : out;
}

const Fields<LevelRule> &LevelRule::fields() {
  using L = LevelRule;
  static const Fields<L> table = {
      fields::integer("Level", &L::level, 0),
      fields::choice(
          "FitType", &L::fitType, 0,
          {named(FitType::Fit, "Fit Page"), named(FitType::FitH, "Fit Width"),
           named(FitType::FitB, "Fit Visible"), named(FitType::ActualSize, "Actual Size"),
           named(FitType::XYZ, "Inherit Zoom"), named(FitType::FitV, "Fit Height", false),
           named(FitType::FitR, "Fit Rectangle", false),
           named(FitType::FitBH, "Fit Visible Width", false),
           named(FitType::FitBV, "Fit Visible Height", false)}),
      fields::fixed("InitialZoom", &L::initialZoom, 0, 0),
      fields::record("ContentFormating", &L::contentFormat),
      fields::record("DispAttribs", &L::dispAttribs),
      fields::record("TextStyle", &L::textStyleRule),
      fields::record("TextMatch", &L::textMatchRule),
      fields::record("TextIndentation", &L::indentRule),
      fields::boolean("UseProcessingArea", &L::useProcessingArea, false),
      fields::record("ProcessingArea", &L::processingArea),
  };
  return table;
}

bool LevelRule::write(std::string_view key, CabinetHandle parent) const {
  return writeRecord(*this, fields(), key, parent);
}

void LevelRule::check(CabinetHandle cab, const std::string &path, SettingsProblems &out) {
  checkFields(fields(), cab, path, out);
}

bool LevelRule::read(std::string_view key, CabinetHandle parent) {
  // Without a Cabinet the view, area, font and text rules start over; the format, looks and
  // indentation stay.
  return readRecord(*this, fields(), key, parent, [this] {
    level = 0;
    fitType = 0;
    initialZoom = 0;
    useProcessingArea = false;
    processingArea = FixedRect();
    textStyleRule.reset();
    textMatchRule.resetForMissingCabinet();
  });
}

} // namespace sorvane
