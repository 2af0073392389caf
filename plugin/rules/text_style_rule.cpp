#include "plugin/rules/text_style_rule.h"

#include <algorithm>
#include <cmath>

#include "plugin/rules/cabinet_io.h"
#include "plugin/rules/text_values.h"
#include "sdk/host_error.h"

namespace sorvane {
namespace {

Atom atom(std::string_view name) { return hostTables().core->atomFromString(name); }

std::string atomText(Atom a) {
  if (a == Atom::Null)
    return {};
  return std::string(hostTables().core->atomGetString(a));
}

void putAtom(CabinetHandle cab, std::string_view key, Atom value) {
  if (value != Atom::Null)
    cabinets().cabinetPutAtom(cab, key, value);
}

} // namespace

void FontDesc::reset() {
  fonts = {atom("Helvetica-Bold")};
  type = atom("Type1");
  charSet = atom("Roman");
  encoding = atom("WinAnsiEncoding");
  flags = 0;
  fontSize = 12;
  color.reset();
}

bool FontDesc::hasFont(Atom name) const {
  return std::find(fonts.begin(), fonts.end(), name) != fonts.end();
}

std::string FontDesc::fontNameAt(size_t index) const {
  return index < fonts.size() ? atomText(fonts[index]) : std::string();
}

bool FontDesc::write(std::string_view key, CabinetHandle parent) const {
  return writeChildCabinet(key, parent, [this](CabinetHandle cab) {
    StringList names;
    for (Atom a : fonts)
      names.push_back(atomText(a));
    writeStringList(names, "Fonts", cab);
    putAtom(cab, "Type", type);
    putAtom(cab, "CharSet", charSet);
    putAtom(cab, "Encoding", encoding);
    cabinets().cabinetPutInt(cab, "Flags", static_cast<int32_t>(flags));
    cabinets().cabinetPutDouble(cab, "FontSize", fontSize);
    color.write("Color", cab);
  });
}

bool FontDesc::read(std::string_view key, CabinetHandle parent) {
  CabinetHandle cab = cabinets().cabinetGetCabinet(parent, key);
  if (!cab) {
    reset();
    return false;
  }
  StringList names;
  readStringList(names, "Fonts", cab);
  fonts.clear();
  for (const std::string &name : names)
    fonts.push_back(atom(name));
  type = cabinets().cabinetGetAtom(cab, "Type", atom("Type1"));
  charSet = cabinets().cabinetGetAtom(cab, "CharSet", atom("Roman"));
  encoding = cabinets().cabinetGetAtom(cab, "Encoding", atom("WinAnsiEncoding"));
  flags = static_cast<uint32_t>(cabinets().cabinetGetInt(cab, "Flags", 0));
  fontSize = cabinets().cabinetGetDouble(cab, "FontSize", 12);
  color.read("Color", cab);
  return true;
}

bool TextStyleRule::matches(const TextRun &run) const {
  if (matchName && !fontDesc.hasFont(run.fontName))
    return false;
  if (matchFontSize && !(std::fabs(run.fontSize - fontDesc.fontSize) <= tolerance))
    return false;
  return true;
}

bool TextStyleRule::write(std::string_view key, CabinetHandle parent) const {
  return writeChildCabinet(key, parent, [this](CabinetHandle cab) {
    fontDesc.write("FontDesc", cab);
    cabinets().cabinetPutDouble(cab, "Tolerance", tolerance);
    cabinets().cabinetPutBool(cab, "MatchName", matchName);
    cabinets().cabinetPutBool(cab, "MatchType", matchType);
    cabinets().cabinetPutBool(cab, "MatchCharSet", matchCharSet);
    cabinets().cabinetPutBool(cab, "MatchEncoding", matchEncoding);
    cabinets().cabinetPutBool(cab, "MatchFlags", matchFlags);
    cabinets().cabinetPutBool(cab, "MatchFontSize", matchFontSize);
    cabinets().cabinetPutBool(cab, "MatchColor", matchColor);
  });
}

bool TextStyleRule::read(std::string_view key, CabinetHandle parent) {
  CabinetHandle cab = cabinets().cabinetGetCabinet(parent, key);
  if (!cab) {
    reset();
    return false;
  }
  fontDesc.read("FontDesc", cab);
  tolerance = cabinets().cabinetGetDouble(cab, "Tolerance", 0.1);
  matchName = cabinets().cabinetGetBool(cab, "MatchName", true);
  matchType = cabinets().cabinetGetBool(cab, "MatchType", false);
  matchCharSet = cabinets().cabinetGetBool(cab, "MatchCharSet", false);
  matchEncoding = cabinets().cabinetGetBool(cab, "MatchEncoding", false);
  matchFlags = cabinets().cabinetGetBool(cab, "MatchFlags", false);
  matchFontSize = cabinets().cabinetGetBool(cab, "MatchFontSize", true);
  matchColor = cabinets().cabinetGetBool(cab, "MatchColor", false);
  return true;
}

} // namespace sorvane
