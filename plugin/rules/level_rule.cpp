#include "plugin/rules/level_rule.h"

#include <cstdio>

#include "plugin/rules/cabinet_io.h"
#include "plugin/rules/title_format.h"

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
    append("Pattern Matching");
  return out.empty() ? "No Rules Specified" : out;
}

bool LevelRule::write(std::string_view key, CabinetHandle parent) const {
  return writeChildCabinet(key, parent, [this](CabinetHandle cab) {
    ASExtraTable &x = cabinets();
    x.cabinetPutInt(cab, "Level", level);
    x.cabinetPutInt(cab, "FitType", fitType);
    writeFixed(initialZoom, "InitialZoom", cab);
    contentFormat.write("ContentFormating", cab);
    dispAttribs.write("DispAttribs", cab);
    textStyleRule.write("TextStyle", cab);
    textMatchRule.write("TextMatch", cab);
    indentRule.write("TextIndentation", cab);
    x.cabinetPutBool(cab, "UseProcessingArea", useProcessingArea);
    processingArea.write("ProcessingArea", cab);
  });
}

bool LevelRule::read(std::string_view key, CabinetHandle parent) {
  ASExtraTable &x = cabinets();
  CabinetHandle cab = x.cabinetGetCabinet(parent, key);
  if (!cab) {
    level = 0;
    fitType = 0;
    initialZoom = 0;
    useProcessingArea = false;
    processingArea = FixedRect();
    textStyleRule.reset();
    textMatchRule.resetForMissingCabinet();
    return false;
  }
  level = x.cabinetGetInt(cab, "Level", 0);
  fitType = x.cabinetGetInt(cab, "FitType", 0);
  initialZoom = readFixed("InitialZoom", cab, 0);
  contentFormat.read("ContentFormating", cab);
  dispAttribs.read("DispAttribs", cab);
  textStyleRule.read("TextStyle", cab);
  textMatchRule.read("TextMatch", cab);
  indentRule.read("TextIndentation", cab);
  useProcessingArea = x.cabinetGetBool(cab, "UseProcessingArea", false);
  processingArea.read("ProcessingArea", cab);
  return true;
}

} // namespace sorvane
