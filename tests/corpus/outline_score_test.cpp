// The corpus scorer: what counts as the same bookmark, and the figures.
#include "bench/corpus/outline_score.h"

#include <gtest/gtest.h>
#include <stdexcept>

namespace sorvane::corpus {
namespace {

TEST(OutlineScore, TitlesCompareWithoutBlanksCaseOrLineBreakHyphens) {
  EXPECT_EQ(normalisedTitle("  2.1   Fonts\tand  SIZES "), "2.1 fonts and sizes");
  EXPECT_EQ(normalisedTitle("Auto- mated association"), "automated association");
  EXPECT_EQ(normalisedTitle("Read - only"), "read - only"); // a dash between words stays
  EXPECT_EQ(normalisedTitle("Non-ASCII \xC3\x89t\xC3\xA9"), "non-ascii \xC3\x89t\xC3\xA9");
}

TEST(OutlineScore, EachExpectedBookmarkMatchesOnce) {
  const std::vector<Entry> expected = {{"Intro", 1}, {"Scope", 2}, {"Scope", 5}, {"Index", 9}};
  const std::vector<Entry> found = {{"INTRO", 1}, {"Scope", 2}, {"Scope", 2}, // one too many
                                    {"Scope", 6},                             // wrong page
                                    {"Index", 9}, {"Contents", 1}};
  const Score s = score(expected, found);
  EXPECT_EQ(s.expected, 4);
  EXPECT_EQ(s.found, 6);
  EXPECT_EQ(s.matched, 3);
  EXPECT_EQ(s.missed(), 1);
  EXPECT_EQ(s.extra(), 3);
  EXPECT_DOUBLE_EQ(s.precision(), 0.5);
  EXPECT_DOUBLE_EQ(s.recall(), 0.75);
  EXPECT_DOUBLE_EQ(s.f1(), 0.6);
}

TEST(OutlineScore, EmptyOutlinesAndTotals) {
  EXPECT_DOUBLE_EQ(score({}, {}).f1(), 1.0);       // nothing to find, nothing found
  EXPECT_DOUBLE_EQ(score({{"A", 1}}, {}).f1(), 0.0); // nothing found
  EXPECT_DOUBLE_EQ(score({}, {{"A", 1}}).precision(), 0.0);
  Score total = score({{"A", 1}}, {{"A", 1}});
  total += score({{"B", 2}, {"C", 3}}, {{"X", 2}});
  EXPECT_EQ(total.expected, 3);
  EXPECT_EQ(total.found, 2);
  EXPECT_EQ(total.matched, 1); // micro totals: counts added, then the ratios
  EXPECT_DOUBLE_EQ(total.precision(), 0.5);
}

TEST(OutlineScore, ListingsAreReadDepthFirst) {
  const auto entries = entriesFromListing(R"([
    {"title": "1 Intro", "page": 1, "open": false, "action": "GoTo", "children": [
      {"title": "1.1 Scope", "page": 2, "children": []}]},
    {"title": "Website", "action": "URI", "children": []}])");
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[1].title, "1.1 Scope");
  EXPECT_EQ(entries[1].page, 2);
  EXPECT_EQ(entries[2].page, -1);
  EXPECT_THROW(entriesFromListing("{}"), std::runtime_error);
  EXPECT_THROW(entriesFromListing("[{\"page\": 1}]"), std::runtime_error);
  EXPECT_THROW(entriesFromListing("not json"), std::runtime_error);
}

} // namespace
} // namespace sorvane::corpus
