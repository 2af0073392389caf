// "Font Name": one font name picked from the fonts of the document last enumerated, or from
// standard names; and the capture of a font style from the user's text selection.
#pragma once

#include <string>
#include <vector>

#include "plugin/rules/text_style_rule.h"
#include "sdk/platform_ui.h"

namespace sorvane {

inline constexpr const char *kEnumerateFontsQuestion =
    "This operation is going to enumerate all the fonts in the current document. This may take a "
    "considerable amount of time for a large document. Click <OK> button to continue.";
inline constexpr const char *kNoFontsFound =
    "No fonts have been found in the document. Using standard font names instead.";
inline constexpr const char *kSelectFontName = "Please select a font name.";
inline constexpr const char *kNoTextSelection =
    "No text selection is available. Use <Select Text> tool to select a text object and try "
    "again.";
// Above this many pages, enumerating the fonts asks first.
inline constexpr int kQuietFontEnumerationPages = 50;

// The fonts of the document last enumerated, kept while the plug-in is loaded.
std::vector<std::string> &knownDocumentFonts();
const std::vector<std::string> &standardFontNames();

class FontNameDialog final : public ui::Dialog {
public:
  enum : int { kIdGroup = 100, kIdList, kIdUpdate };

  FontNameDialog();
  void onInit() override;
  void onEvent(int id, ui::Event event) override;
  void onOk() override;
  const std::string &chosen() const { return m_chosen; }

private:
  void show(const std::vector<std::string> &names);
  void updateFonts();

  std::string m_chosen;
};

// Sets the font names, size and colour of `font` from the active document's text selection.
// False (with the reason shown) when there is no document or no text selection.
bool captureStyle(FontDesc &font);

} // namespace sorvane
