// Fonts read from their PDF dictionaries alone. A run in a font no heading is set in only
// ends a line, or shows a page number: what it needs is where its characters stand, which the
// font's width table says, and what they are, which its encoding or ToUnicode map says. Loading
// the font program for that (parsing it, looking each glyph name up in it) is most of the time
// a page of a music or graphics manual takes, whose figures each bring fonts of their own.
#pragma once

#include <optional>
#include <unordered_set>
#include <vector>

#include "host/pdf/pdf_object.h"
#include "sdk/font_names.h"

namespace sorvane::host {

// The fonts of one document read from their dictionaries alone, kept in the engine's store
// where running a page's content looks for a font before loading it. Their glyphs have no
// shapes (a drawing shows nothing of them), stand for their codes and advance by the file's
// widths: they serve only the readers of page text the filter in use is for.
class MetricFontSet {
public:
  // Makes the set the one for runs read with `filter` (none: every run whole). Fonts read
  // for another filter leave the store, so that no reader that needs a font whole, and no
  // drawing, ever meets one read in part.
  void use(fz_context *ctx, const RunFontFilter *filter) noexcept;
  // Takes every font of the set out of the store (before a page is drawn, say).
  void clear(fz_context *ctx) noexcept;
  // For each simple font of `resources` that the filter in use does not keep, puts a font
  // read from its dictionary alone into the store, unless the engine has the font already.
  // A font whose dictionary leaves anything a run needs to the font program (no width table,
  // a character named only there, no ascent for a TrueType font) is left to the engine.
  void store(fz_context *ctx, pdf_document *doc, pdf_obj *resources) noexcept;

  size_t size() const { return m_keys.size(); }

private:
  void storeFont(fz_context *ctx, pdf_document *doc, pdf_obj *resources, int index) noexcept;

  std::optional<RunFontFilter> m_filter;
  std::vector<pdf_obj *> m_keys;    // references to the fonts put into the store, held
  std::unordered_set<int> m_judged; // object numbers of the fonts looked at for the filter
};

// Whether `font` belongs to a font of a MetricFontSet: it has no glyph shapes and its glyph
// numbers are character codes.
bool isMetricFont(const fz_font *font);

// The advance of `glyph` of such a font, in ems: its code's width in the file's width table.
inline float metricAdvance(const fz_font *font, int glyph) {
  return glyph >= 0 && glyph < 256 ? font->t3widths[glyph] : 0.0f;
}

} // namespace sorvane::host
