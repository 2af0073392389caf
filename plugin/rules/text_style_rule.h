// The font style a heading level looks for, and the test of a text run against it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "plugin/rules/text_run.h"
#include "plugin/values/color_value.h"
#include "plugin/values/record_fields.h"
#include "sdk/atom.h"
#include "sdk/font_names.h"
#include "sdk/handles.h"

namespace sorvane {

struct FontDesc {
  std::vector<Atom> fonts; // names a matching run's font may have, exact and case-sensitive
  Atom type = Atom::Null;
  Atom charSet = Atom::Null;
  Atom encoding = Atom::Null;
  uint32_t flags = 0;
  double fontSize = 12; // points
  ColorValue color;

  // Helvetica-Bold, Type1, Roman, WinAnsiEncoding, 12 pt, black. Needs the host's atoms.
  FontDesc() { reset(); }
  void reset();

  bool hasFont(Atom name) const;
  // The name of the font at `index`; empty outside the list.
  std::string fontNameAt(size_t index) const;

  bool write(std::string_view key, CabinetHandle parent) const;
  // Without a sub-Cabinet: reset and false. In one, a missing "Fonts" list leaves no names.
  bool read(std::string_view key, CabinetHandle parent);
  static void check(CabinetHandle cab, const std::string &path, SettingsProblems &out);
  static const Fields<FontDesc> &fields();

  bool operator==(const FontDesc &) const = default;
};

// The font name without a subset prefix (six capital letters and "+"); the name itself when it
// has none.
Atom withoutSubsetPrefix(Atom font);

struct TextStyleRule {
  double tolerance = 0.35; // points
  FontDesc fontDesc;
  bool matchName = true;
  bool matchType = false;     // stored only
  bool matchCharSet = false;  // stored only
  bool matchEncoding = false; // stored only
  bool matchFlags = false;    // stored only
  bool matchFontSize = true;
  bool matchColor = false; // stored only
  // Font names compare without a subset prefix ("ECEDAZ+CMBX12" matches "CMBX12" and
  // "QKZHEU+CMBX12"), so one rule serves documents made the same way.
  bool ignoreSubsetPrefix = false;

  void reset() { *this = TextStyleRule(); }
  // The font name (when MatchName) and size within the tolerance (when MatchFontSize).
  bool matches(const TextRun &run) const;
  // The font name alone (true when MatchName is off).
  bool matchesFontName(const TextRun &run) const;

  bool write(std::string_view key, CabinetHandle parent) const;
  // Without a sub-Cabinet: reset and false. In one, a missing "Tolerance" reads as 0.1.
  bool read(std::string_view key, CabinetHandle parent);
  static void check(CabinetHandle cab, const std::string &path, SettingsProblems &out);
  static const Fields<TextStyleRule> &fields();

  bool operator==(const TextStyleRule &) const = default;
};

} // namespace sorvane
