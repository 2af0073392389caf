// Scoring a generated outline against a document's own: which bookmarks were found, missed or
// added (title and page matched after blanks and letter case are normalised), how many of the
// found ones sit at the right depth, and the tables of the corpus scripts, by half.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace sorvane::corpus {

struct Entry {
  std::string title;
  int page = -1; // from 1; -1 when the bookmark leads to no page
  int depth = 1; // 1 for a top-level bookmark
};

struct Score {
  int expected = 0;
  int found = 0; // entries of the generated outline
  int matched = 0;
  int depthRight = 0; // matched entries at the depth the expected one has
  int missed() const { return expected - matched; }
  int extra() const { return found - matched; }
  double precision() const { return found ? double(matched) / found : (expected ? 0.0 : 1.0); }
  double recall() const { return expected ? double(matched) / expected : 1.0; }
  double f1() const {
    const double p = precision(), r = recall();
    return p + r > 0 ? 2 * p * r / (p + r) : 0.0;
  }
  // Of the matched bookmarks, the share at the right depth (1 when none matched).
  double depthAccuracy() const { return matched ? double(depthRight) / matched : 1.0; }
  Score &operator+=(const Score &o) {
    expected += o.expected;
    found += o.found;
    matched += o.matched;
    depthRight += o.depthRight;
    return *this;
  }
};

// A title as it is compared: blanks collapsed and trimmed, letters in lower case (ASCII), a
// hyphen at a line break joined, and a leading section number ("2.1 ", "A.3. ") left out, since
// outlines differ in whether they keep the numbers the page shows.
std::string normalisedTitle(std::string_view title);

// Each expected entry matches at most one found entry with the same normalised title and page;
// among such entries one at the same depth is taken first.
Score score(const std::vector<Entry> &expected, const std::vector<Entry> &found);

// The entries of `sorvane list --json` output, depth first, each with its depth. Throws
// std::runtime_error for text that is not such a list.
std::vector<Entry> entriesFromListing(std::string_view json);

// One document of documents.txt: `name half producer package path`.
struct Document {
  std::string name, half, producer, package, path;
};

// The documents of a documents.txt text ('#' starts a comment line). Throws std::runtime_error
// naming the line for a row with too few columns or a half other than "tune" or "check".
std::vector<Document> documentsFromList(std::string_view text);

// The fixed rule that split the corpus once, before anything was tuned on it: the documents
// ordered by producer, then package, then name alternate between "tune" and "check", starting
// with "tune", so that every producer with two documents or more is in both halves. Returns each
// document's half by name.
std::map<std::string, std::string> halvesByRule(const std::vector<Document> &documents);

// One scored document of a run: `name half pages expected found matched depthRight seconds`.
struct Row {
  std::string name, half;
  std::string pages; // as counted, "?" when unknown
  Score score;
  double seconds = 0;
};

// A row as the scripts write it. Throws std::runtime_error for a malformed one.
Row rowFromLine(std::string_view line);

// The table the score scripts print: a line per document (grouped by half, "tune" first), then
// for each half and for all documents the micro totals (counts added, then the ratios) and the
// macro means (each document's ratios averaged).
std::string table(const std::vector<Row> &rows);

} // namespace sorvane::corpus
