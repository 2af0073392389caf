// Walking existing outlines and reading their titles.
#include "plugin/outline/outline_walk.h"

#include <gtest/gtest.h>

#include "sdk/imported_tables.h"
#include "tests/support/open_doc.h"
#include "tests/support/pdf_builder.h"
#include "tests/support/temp_dir.h"

namespace sorvane {
namespace {

using test::OutlineSpec;

class OutlineWalkTest : public ::testing::Test {
protected:
  void open(test::PdfSpec spec) {
    test::writePdf(spec, dir.file("doc.pdf"));
    doc = std::make_unique<test::OpenDoc>(host, dir.file("doc.pdf"));
    root = hostTables().pdModel->docGetBookmarkRoot(doc->handle());
  }
  std::vector<std::string> walkTitles(int stopAfter = -1, bool *finished = nullptr,
                                      std::vector<WalkGap> *gaps = nullptr) {
    std::vector<std::string> seen;
    const bool done = outlineWalk(
        root,
        [&](BookmarkHandle b) {
          seen.push_back(getCleanTitle(b));
          return stopAfter < 0 || int(seen.size()) < stopAfter;
        },
        true, gaps);
    if (finished)
      *finished = done;
    return seen;
  }

  test::TestHost host;
  test::TempDir dir;
  std::unique_ptr<test::OpenDoc> doc;
  BookmarkHandle root;
};

OutlineSpec item(std::string title, std::vector<OutlineSpec> children = {}) {
  return {std::move(title), {}, {}, false, {}, 0, std::move(children)};
}

test::PdfSpec tree() {
  test::PdfSpec spec = test::pages(1);
  spec.outline = {item("1", {item("1.1", {item("1.1.1")}), item("1.2")}), item("2"),
                  item("3", {item("3.1")})};
  return spec;
}

TEST_F(OutlineWalkTest, VisitsParentsBeforeChildrenInOutlineOrder) {
  open(tree());
  bool finished = false;
  EXPECT_EQ(walkTitles(-1, &finished),
            (std::vector<std::string>{"1", "1.1", "1.1.1", "1.2", "2", "3", "3.1"}));
  EXPECT_TRUE(finished);
}

TEST_F(OutlineWalkTest, ACallbackThatAnswersFalseStopsTheWalk) {
  open(tree());
  bool finished = true;
  EXPECT_EQ(walkTitles(3, &finished).size(), 3u);
  EXPECT_FALSE(finished);
}

TEST_F(OutlineWalkTest, ANullStartCallsNothing) {
  open(tree());
  int calls = 0;
  EXPECT_FALSE(outlineWalk(
      BookmarkHandle(), [&](BookmarkHandle) { return ++calls, true; }, true));
  EXPECT_EQ(calls, 0);
}

TEST_F(OutlineWalkTest, TheStartIsVisitedUnlessSkipped) {
  open(tree());
  BookmarkHandle first = hostTables().pdModel->bookmarkGetFirstChild(root);
  std::vector<std::string> seen;
  outlineWalk(
      first, [&](BookmarkHandle b) { return seen.push_back(getCleanTitle(b)), true; }, false);
  EXPECT_EQ(seen, (std::vector<std::string>{"1", "1.1", "1.1.1", "1.2"}));
}

TEST_F(OutlineWalkTest, ADamagedOutlineEndsWithAGapWhereItLoops) {
  for (auto damage : {test::OutlineDamage::NextLoop, test::OutlineDamage::FirstBackUp}) {
    test::PdfSpec spec = test::pages(1);
    spec.outline = {item("A"), item("B"), item("C")};
    spec.damage = damage;
    open(spec);
    std::vector<WalkGap> gaps;
    EXPECT_EQ(walkTitles(-1, nullptr, &gaps), (std::vector<std::string>{"A", "B", "C"}));
    ASSERT_EQ(gaps.size(), 1u);
    const bool nextLoop = damage == test::OutlineDamage::NextLoop;
    EXPECT_EQ(gaps[0].kind, nextLoop ? WalkGap::Kind::LoopAfter : WalkGap::Kind::LoopBelow);
    EXPECT_EQ(getCleanTitle(gaps[0].at), nextLoop ? "C" : "A");
    EXPECT_EQ(getCleanTitle(gaps[0].metBefore), "A");
    EXPECT_EQ(gaps[0].message, nextLoop ? "The bookmark after \"C\" leads back to \"A\" (a loop); "
                                          "the bookmarks from there on were left out."
                                        : "The first child of \"A\" leads back to \"A\" (a loop); "
                                          "the bookmarks from there on were left out.");
  }
}

TEST_F(OutlineWalkTest, AnOutlineRootThatIsItsOwnFirstChildIsAGap) {
  test::PdfSpec fixture = test::pages(1);
  fixture.outline = {item("A")};
  fixture.damage = test::OutlineDamage::RootFirstIsRoot;
  open(fixture);
  std::vector<WalkGap> gaps;
  EXPECT_TRUE(walkTitles(-1, nullptr, &gaps).empty());
  ASSERT_EQ(gaps.size(), 1u);
  EXPECT_EQ(gaps[0].at, root);
  EXPECT_EQ(gaps[0].message, "The first child of the outline root leads back to the outline root "
                             "(a loop); the bookmarks from there on were left out.");
  EXPECT_NE(describeGaps(gaps).find("Not every bookmark was reached."), std::string::npos);
}

TEST_F(OutlineWalkTest, AnAbsurdlyDeepOutlineIsWalkedToABoundedDepth) {
  test::PdfSpec spec = test::pages(1);
  spec.chainDepth = 3000;
  open(spec);
  std::vector<WalkGap> gaps;
  EXPECT_EQ(walkTitles(-1, nullptr, &gaps).size(), size_t(kMaxWalkDepth));
  ASSERT_EQ(gaps.size(), 1u);
  EXPECT_EQ(gaps[0].kind, WalkGap::Kind::TooDeep);
  EXPECT_EQ(getCleanTitle(gaps[0].at), "Level 256");
  EXPECT_EQ(describeGaps(gaps), "Not every bookmark was reached. The bookmarks below \"Level 256\" "
                                "are nested deeper than 256 levels; they were left out.");
}

TEST_F(OutlineWalkTest, ACompleteWalkHasNoGaps) {
  open(tree());
  std::vector<WalkGap> gaps;
  walkTitles(-1, nullptr, &gaps);
  EXPECT_TRUE(gaps.empty());
  EXPECT_EQ(describeGaps(gaps), "");
}

TEST_F(OutlineWalkTest, CleanTitlesTurnControlsIntoBlanksAndTrim) {
  test::PdfSpec spec = test::pages(1);
  spec.outline = {{"", std::string("\tTab\there\n"), {}, false, {}, 0, {}},
                  {"", std::string(300, 'x'), {}, false, {}, 0, {}},
                  {"",
                   std::string(" \x7F"
                               "del\r"),
                   {},
                   false,
                   {},
                   0,
                   {}},
                  {std::string(127, 'a') + "\xC3\xA9\xC3\xA9", {}, {}, false, {}, 0, {}}};
  open(spec);
  const auto titles = walkTitles();
  ASSERT_EQ(titles.size(), 4u);
  EXPECT_EQ(titles[0], "Tab here");
  EXPECT_EQ(titles[1], std::string(255, 'x'));
  EXPECT_EQ(titles[2], "del");
  // 127 + 2 × 2 bytes fit whole; the cut never splits a character.
  EXPECT_EQ(titles[3], std::string(127, 'a') + "\xC3\xA9\xC3\xA9");
  EXPECT_EQ(getCleanTitle(BookmarkHandle()), "");
}

} // namespace
} // namespace sorvane
