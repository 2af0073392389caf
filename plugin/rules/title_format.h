// Turning found heading text into bookmark titles: numbering labels and formatting.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "plugin/rules/content_format.h"

namespace sorvane {

struct LevelRule;

// Counter k is the number of the current heading of level k (0 = first level) among the
// headings of that level since the last heading of a level above.
using LevelCounters = std::vector<int32_t>;

// Counts a heading of `level`: deeper counters are dropped and counter `level` goes up by one.
// Nothing happens for a negative level or one that skips the level above it.
void bumpCounter(LevelCounters &counters, int32_t level);

// One component of a numbering label: "3", "c" (a, ..., z, aa, bb, ...) or "III". Empty when
// `level` has no counter, and for letters and Roman numerals of a value below 1.
std::string formatLabelNumber(const LevelCounters &counters, int32_t level, int32_t leadingType);

// The numbering label of the levels 0 to `level` that add one, then `title`, then formatTitle
// with the level's format.
std::string labelAndFormat(std::string title, int32_t level, const LevelCounters &counters,
                           const std::vector<LevelRule> &rules);

// Collapses blanks, removes leading numbers, changes case, joins words hyphenated at line ends,
// adds prefix and suffix and cuts the title to MaxTextLength bytes (never inside a character).
void formatTitle(const ContentFormat &format, std::string &title);

} // namespace sorvane
