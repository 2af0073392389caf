// Sorting, de-duplicating, numbering and placing found headings.
#include "plugin/engine/bookmark_builder.h"
#include "plugin/engine/generation_run.h"

#include <gtest/gtest.h>

#include "tests/support/open_doc.h"
#include "tests/support/pdf_builder.h"
#include "tests/support/pdf_inspect.h"
#include "tests/support/temp_dir.h"

namespace sorvane {
namespace {

BookmarkNode heading(std::string title, int32_t level, int32_t page = 0, double top = 700) {
  BookmarkNode n;
  n.makeGoTo(std::move(title), page);
  n.level = level;
  n.action.dest.rect.top = fixedFromDouble(top);
  return n;
}

class Assembly : public ::testing::Test {
protected:
  void SetUp() override {
    test::writePdf(test::pages(3), dir.file("in.pdf"));
    doc = std::make_unique<test::OpenDoc>(host, dir.file("in.pdf"));
    b.levels.resize(3);
  }
  std::vector<test::InspectedBookmark> insert(std::vector<BookmarkNode> found) {
    GenerationRun run(b);
    run.found() = std::move(found);
    run.insertHeadings(doc->handle());
    outcome = run.outcome();
    doc->doc().save(dir.file("out.pdf"));
    return test::inspectPdf(dir.file("out.pdf")).outline;
  }

  test::TestHost host;
  test::TempDir dir;
  std::unique_ptr<test::OpenDoc> doc;
  BookmarkBuilder b;
  RunOutcome outcome; // of the last insert
};

TEST_F(Assembly, EachTopLevelHeadingStartsATree) {
  const auto out = insert(
      {heading("A", 0), heading("A1", 1), heading("A2", 1), heading("B", 0), heading("B1", 1)});
  ASSERT_EQ(out.size(), 2u);
  EXPECT_EQ(out[0].children.size(), 2u);
  EXPECT_EQ(out[1].children.size(), 1u);
  EXPECT_EQ(outcome.bookmarksInserted, 5);
}

TEST_F(Assembly, HeadingsThatCannotBePlacedAreNotCounted) {
  const auto out = insert({heading("Orphan", 1), heading("Top", 0), heading("Too deep", 2)});
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(out[0].title, "Top");
  EXPECT_TRUE(out[0].children.empty());
  EXPECT_EQ(outcome.bookmarksInserted, 1); // what went into the outline, not what was found
  // The two left out are reported, with their reason, and are not a failure of the run.
  ASSERT_EQ(outcome.dropped.size(), 2u);
  EXPECT_EQ(outcome.dropped[0].title, "Orphan");
  EXPECT_EQ(outcome.dropped[1].title, "Too deep");
  EXPECT_EQ(outcome.droppedFor(DropReason::NoParentLevel), 2);
}

TEST_F(Assembly, RepeatedNeighboursOfTheSameLevelAreDropped) {
  b.skipDupBookmarks = true;
  const auto out = insert({heading("A", 0), heading("A", 0), heading("A", 1), heading("A", 0)});
  ASSERT_EQ(out.size(), 2u);
  EXPECT_EQ(out[0].children.size(), 1u);
  EXPECT_EQ(outcome.droppedFor(DropReason::Duplicate), 1);
  EXPECT_EQ(outcome.bookmarksInserted, 3);
  b.skipDupBookmarks = false;
}

TEST_F(Assembly, SortingPutsHigherHeadingsFirstAndKeepsPageOrder) {
  b.sortText = true;
  const auto out = insert({heading("Lower", 0, 1, 300), heading("Higher", 0, 1, 700),
                           heading("First page", 0, 0, 100)});
  std::vector<std::string> titles;
  for (const auto &o : out)
    titles.push_back(o.title);
  EXPECT_EQ(titles, (std::vector<std::string>{"First page", "Higher", "Lower"}));
}

TEST_F(Assembly, TopLevelNumbersRunOnThroughTheDocument) {
  b.levels[0].contentFormat.leadingNumbers = int32_t(LeadingNumbers::Add);
  const auto out = insert(
      {heading("One", 0, 0), heading("Sub", 1, 0), heading("Two", 0, 1), heading("Three", 0, 2)});
  ASSERT_EQ(out.size(), 3u);
  EXPECT_EQ(out[0].title, "1 One");
  EXPECT_EQ(out[0].children[0].title, "1 Sub"); // the label of the level above, without its own
  EXPECT_EQ(out[2].title, "3 Three");
}

} // namespace
} // namespace sorvane
