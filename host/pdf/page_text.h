// The text of a page as content elements: text objects with their runs, and the forms and
// marked-content containers that hold them, in content order.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "sdk/document_tables.h"
#include "sdk/font_names.h"

namespace sorvane::host {

class PdfDocument;

struct RunFont {
  std::string name;     // the exact /BaseFont, subset prefix included
  std::string type;     // "Type1", "TrueType", "Type0", "Type3", ...
  std::string encoding; // "WinAnsiEncoding", "MacRomanEncoding", "Identity-H", ... or ""
};

struct ExtractedRun {
  std::string text;  // UTF-8, one blank where the pen jumps a word gap
  int font = -1;     // index into PageText::fonts
  double size = 0;   // effective size in points
  HostRect box;      // default user space
  int firstChar = 0; // index of the run's first character in its element
  int charCount = 0; // characters (code points) of `text`
};

struct ExtractedElement {
  ContentElementKind kind = ContentElementKind::Other;
  int list = -1;                   // forms and containers: the list they hold
  std::vector<ExtractedRun> runs;  // text elements
  std::vector<HostRect> charBoxes; // text elements: one box per character of all runs
};

// How deep forms and marked content are recorded; deeper ones are read into the level above.
inline constexpr int kMaxContentDepth = 256;

struct PageText {
  std::vector<ExtractedElement> elements;
  std::vector<std::vector<int>> lists; // list 0 is the page; entries index `elements`
  std::vector<RunFont> fonts;          // names are valid UTF-8
  std::vector<std::string> warnings;   // about a page that could not be recorded as it is
};

// The runs of `page` in content order, forms and marked content included.
std::vector<const ExtractedRun *> runsInContentOrder(const PageText &page);

// Reads the page at `pageIndex`. With a filter, a run in a font it does not keep holds of its
// text only its first character (and that character's box), unless the filter keeps such runs
// whole; its font, size and box are whole. Such a font may be read from its dictionary alone
// (metric_fonts.h): its characters' boxes then end where the file's widths say.
// Throws HostError(PdfDamaged) when the content cannot be read.
std::unique_ptr<PageText> extractPageText(PdfDocument &doc, int pageIndex,
                                          const RunFontFilter *filter = nullptr);

// Glyph boxes are worked out without MuPDF's rectangle functions where text is upright, and
// must come out as those functions give them. Of `cases` random glyph boxes, matrices and run
// boxes (from `seed`: upright and not, with signed zeros, infinite boxes and boxes the wrong
// way round among them), how many come out otherwise: 0 unless MuPDF's arithmetic has changed.
int glyphBoxMismatches(uint32_t seed, int cases);

} // namespace sorvane::host
