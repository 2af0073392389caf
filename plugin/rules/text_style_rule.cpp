#include "plugin/rules/text_style_rule.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "plugin/values/cabinet_io.h"
#include "plugin/values/text_values.h"
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

namespace {

// A font attribute kept as an atom; no atom, no entry.
Field<FontDesc> atomField(std::string_view key, Atom FontDesc::*m, std::string_view readerDefault) {
  return fields::withFallback<FontDesc>(
      std::string(readerDefault),
      fields::custom<FontDesc>(
          key, FieldType::Atom,
          [key, m](const FontDesc &f, CabinetHandle cab) { putAtom(cab, key, f.*m); },
          [key, m, readerDefault](FontDesc &f, CabinetHandle cab) {
            f.*m = cabinets().cabinetGetAtom(cab, key, atom(readerDefault));
          }));
}

} // namespace

const Fields<FontDesc> &FontDesc::fields() {
  using F = FontDesc;
  static const Fields<F> table = {
      fields::custom<F>(
          "Fonts", FieldType::TextList,
          [](const F &f, CabinetHandle cab) {
            StringList names;
            for (Atom a : f.fonts)
              names.push_back(atomText(a));
            writeStringList(names, "Fonts", cab);
          },
          [](F &f, CabinetHandle cab) {
            StringList names;
            readStringList(names, "Fonts", cab);
            f.fonts.clear();
            for (const std::string &name : names)
              f.fonts.push_back(atom(name));
          }),
      atomField("Type", &F::type, "Type1"),
      atomField("CharSet", &F::charSet, "Roman"),
      atomField("Encoding", &F::encoding, "WinAnsiEncoding"),
      fields::custom<F>(
          "Flags", FieldType::Int,
          [](const F &f, CabinetHandle cab) {
            cabinets().cabinetPutInt(cab, "Flags", static_cast<int32_t>(f.flags));
          },
          [](F &f, CabinetHandle cab) {
            f.flags = static_cast<uint32_t>(cabinets().cabinetGetInt(cab, "Flags", 0));
          }),
      fields::number("FontSize", &F::fontSize, 12, 0),
      fields::record("Color", &F::color),
  };
  return table;
}

bool FontDesc::write(std::string_view key, CabinetHandle parent) const {
  return writeRecord(*this, fields(), key, parent);
}

bool FontDesc::read(std::string_view key, CabinetHandle parent) {
  return readRecord(*this, fields(), key, parent, [this] { reset(); });
}

void FontDesc::check(CabinetHandle cab, const std::string &path, SettingsProblems &out) {
  checkFields(fields(), cab, path, out);
}

Atom withoutSubsetPrefix(Atom font) {
  // Runs ask for the same few fonts over and over: each name is looked at once, and the answer
  // kept by the atom's number.
  static std::vector<Atom> known(size_t(UINT16_MAX) + 1, Atom::Null);
  if (font == Atom::Null)
    return font;
  Atom &kept = known[uint16_t(font)];
  if (kept != Atom::Null)
    return kept;
  const std::string name = atomText(font);
  const std::string_view bare = withoutSubsetPrefix(std::string_view(name));
  kept = bare.size() == name.size() ? font : atom(bare);
  return kept;
}

bool TextStyleRule::matchesFontName(const TextRun &run) const {
  if (!matchName)
    return true;
  if (!ignoreSubsetPrefix)
    return fontDesc.hasFont(run.fontName);
  const Atom bare = withoutSubsetPrefix(run.fontName);
  return std::any_of(fontDesc.fonts.begin(), fontDesc.fonts.end(),
                     [bare](Atom f) { return withoutSubsetPrefix(f) == bare; });
}

bool TextStyleRule::matches(const TextRun &run) const {
  if (!matchesFontName(run))
    return false;
  if (matchFontSize && !(std::fabs(run.fontSize - fontDesc.fontSize) <= tolerance))
    return false;
  return true;
}

const Fields<TextStyleRule> &TextStyleRule::fields() {
  using T = TextStyleRule;
  static const Fields<T> table = {
      fields::record("FontDesc", &T::fontDesc),
      fields::number("Tolerance", &T::tolerance, 0.1, 0),
      fields::boolean("MatchName", &T::matchName, true),
      fields::boolean("MatchType", &T::matchType, false),
      fields::boolean("MatchCharSet", &T::matchCharSet, false),
      fields::boolean("MatchEncoding", &T::matchEncoding, false),
      fields::boolean("MatchFlags", &T::matchFlags, false),
      fields::boolean("MatchFontSize", &T::matchFontSize, true),
      fields::boolean("MatchColor", &T::matchColor, false),
      fields::boolean("IgnoreSubsetPrefix", &T::ignoreSubsetPrefix, false),
  };
  return table;
}

bool TextStyleRule::write(std::string_view key, CabinetHandle parent) const {
  return writeRecord(*this, fields(), key, parent);
}

bool TextStyleRule::read(std::string_view key, CabinetHandle parent) {
  return readRecord(*this, fields(), key, parent, [this] { reset(); });
}

void TextStyleRule::check(CabinetHandle cab, const std::string &path, SettingsProblems &out) {
  checkFields(fields(), cab, path, out);
  TextStyleRule rule;
  readFields(rule, fields(), cab);
  const std::string fontPath = keyPath(path, "FontDesc");
  if (rule.matchName && rule.fontDesc.fonts.empty())
    out.push_back({keyPath(fontPath, "Fonts"),
                   "names no font while MatchName is on: the level matches no text"});
  if (rule.matchFontSize && rule.fontDesc.fontSize <= 0)
    out.push_back({keyPath(fontPath, "FontSize"),
                   "is " + fallbackText(rule.fontDesc.fontSize) +
                       " while MatchFontSize is on: the level matches no text"});
}

} // namespace sorvane
