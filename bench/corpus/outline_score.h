// Scoring a generated outline against a document's own: which bookmarks were found, missed or
// added, title and page matched after blanks and letter case are normalised.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace sorvane::corpus {

struct Entry {
  std::string title;
  int page = -1; // from 1; -1 when the bookmark leads to no page
};

struct Score {
  int expected = 0;
  int found = 0; // entries of the generated outline
  int matched = 0;
  int missed() const { return expected - matched; }
  int extra() const { return found - matched; }
  double precision() const { return found ? double(matched) / found : (expected ? 0.0 : 1.0); }
  double recall() const { return expected ? double(matched) / expected : 1.0; }
  double f1() const {
    const double p = precision(), r = recall();
    return p + r > 0 ? 2 * p * r / (p + r) : 0.0;
  }
  Score &operator+=(const Score &o) {
    expected += o.expected;
    found += o.found;
    matched += o.matched;
    return *this;
  }
};

// A title as it is compared: blanks collapsed and trimmed, letters in lower case (ASCII), a
// hyphen at a line break joined.
std::string normalisedTitle(std::string_view title);

// Each expected entry matches at most one found entry with the same normalised title and page.
Score score(const std::vector<Entry> &expected, const std::vector<Entry> &found);

// The entries of `sorvane list --json` output, depth first. Throws std::runtime_error for text
// that is not such a list.
std::vector<Entry> entriesFromListing(std::string_view json);

} // namespace sorvane::corpus
