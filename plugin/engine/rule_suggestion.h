// Level rules suggested for a document without an outline to learn from: from its printed
// table of contents where that is usable, else from the rows its text styles tell as headings.
#pragma once

#include <cstdint>
#include <string>

#include "plugin/engine/contents_reading.h"
#include "plugin/engine/kept_text.h"
#include "plugin/engine/rule_learning.h"
#include "plugin/engine/style_headings.h"

namespace sorvane {

struct RuleSuggestion {
  LearnResult learned;            // from the source below; no levels when nothing stood out
  std::vector<OutlineMark> marks; // what the rules were learned from, as an outline
  ContentsOutline contents;       // as read, used or not
  int32_t belowSections = 0;      // headings below chapter-only contents, told by their styles
  bool fromStyles = false;        // the contents were not usable (`contentsUnusable` says why)
  std::string contentsUnusable;
  StyleOutline styles; // when from the styles
  // How far the rules can be trusted, 0 to 1: how well they make the contents entries, or (from
  // the styles, which are a guess) the headings the styles told, never above 0.9.
  double confidence = 0;
};

// Suggests rules for the document whose text is `text`, at most `maxStyles` levels when they
// come from the text styles.
RuleSuggestion suggestRules(const KeptText &text, int32_t maxStyles = 4);

// Every bookmark of `doc`'s outline with its depth and the page it leads to (what learning from
// the outline takes as its answer); what the walk left out of a damaged outline is in `gaps`.
std::vector<OutlineMark> outlineMarks(DocHandle doc, std::string &gaps);

} // namespace sorvane
