// Font names as documents write them.
#pragma once

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

namespace sorvane {

// The font name without a subset prefix (six capital letters and "+"); the name itself when it
// has none.
inline std::string_view withoutSubsetPrefix(std::string_view font) {
  if (font.size() > 7 && font[6] == '+' &&
      std::all_of(font.begin(), font.begin() + 6, [](char c) { return c >= 'A' && c <= 'Z'; }))
    return font.substr(7);
  return font;
}

// The fonts whose runs a reader of page content needs in full: a name in `names`, or one that
// is a name of `anyPrefix` once its subset prefix is gone. A run in another font holds only its
// first character, unless `othersWhole`; either way the host may read such a font from its
// dictionary alone, so that its characters' boxes end where the file's widths say.
struct RunFontFilter {
  std::vector<std::string> names;
  std::vector<std::string> anyPrefix;
  // Runs in the other fonts keep their whole text too; what changes for them is only that
  // their fonts may be read from the fonts' dictionaries rather than their programs.
  bool othersWhole = false;

  // Whether a run in `font` keeps its whole text.
  bool keepsWhole(std::string_view font) const { return othersWhole || keeps(font); }

  bool keeps(std::string_view font) const {
    const std::string_view bare = withoutSubsetPrefix(font);
    return std::find(names.begin(), names.end(), font) != names.end() ||
           std::find(anyPrefix.begin(), anyPrefix.end(), bare) != anyPrefix.end();
  }
};

} // namespace sorvane
