// The reference detector of the corpus tables: the simple heading finder PDF-to-Markdown tools
// use, so that every table shows what a user gets without rules. The body size is the size with
// the most characters; sizes at least 0.5 pt above it and used by at least 20 characters are
// heading sizes; the four largest map to depths 1 to 4; a line all in heading sizes is a heading
// (at the depth of the size most of its characters have); consecutive heading lines of one
// depth on one page are joined into one title.
#pragma once

#include <string>
#include <vector>

namespace sorvane::corpus {

// One text run as a page gives it, in content order.
struct BaselineRun {
  std::string text;                                // UTF-8
  double size = 0;                                 // points
  double left = 0, right = 0, top = 0, bottom = 0; // page space, y grows upward
};

struct BaselineHeading {
  std::string title;
  int page = 0; // from 1
  int depth = 1;
};

// `pages[i]` holds the runs of page i + 1.
std::vector<BaselineHeading> baselineHeadings(const std::vector<std::vector<BaselineRun>> &pages);

// The headings as an outline listing in the form of `sorvane list --json` (title, page,
// children): each heading goes under the last heading before it of a smaller depth.
std::string baselineListing(const std::vector<BaselineHeading> &headings);

} // namespace sorvane::corpus
