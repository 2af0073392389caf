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

// The fonts whose runs a reader of page content needs whole: a name in `names`, or one that
// is a name of `anyPrefix` once its subset prefix is gone.
struct RunFontFilter {
  std::vector<std::string> names;
  std::vector<std::string> anyPrefix;

  bool keeps(std::string_view font) const {
    const std::string_view bare = withoutSubsetPrefix(font);
    return std::find(names.begin(), names.end(), font) != names.end() ||
           std::find(anyPrefix.begin(), anyPrefix.end(), bare) != anyPrefix.end();
  }
};

} // namespace sorvane
