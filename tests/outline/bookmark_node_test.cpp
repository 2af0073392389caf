// Building bookmark trees by level and writing them into real outlines.
#include "plugin/outline/bookmark_node.h"

#include <gtest/gtest.h>

#include "sdk/imported_tables.h"
#include "tests/support/open_doc.h"
#include "tests/support/pdf_builder.h"
#include "tests/support/pdf_inspect.h"
#include "tests/support/temp_dir.h"

namespace sorvane {
namespace {

BookmarkNode node(const std::string &title, int32_t level, int32_t page = 0) {
  BookmarkNode n;
  n.makeGoTo(title, page);
  n.level = level;
  return n;
}

TEST(BookmarkNodeReset, IsAnUntitledTopLevelNodeWithoutAction) {
  BookmarkNode n = node("X", 3, 9);
  n.disp.isBold = true;
  n.children.push_back(node("Y", 4));
  n.reset();
  EXPECT_EQ(n.level, 0);
  EXPECT_EQ(n.title, "Untitled");
  EXPECT_FALSE(n.disp.isBold);
  EXPECT_EQ(n.action.actionType, 0);
  EXPECT_EQ(n.action.dest.pageNum, 9); // only the kind is cleared
  EXPECT_TRUE(n.children.empty());
}

TEST(AddAtLevel, DropsANodeThatSkipsALevelWithNothingToHangFrom) {
  BookmarkNode top = node("Top", 0);
  EXPECT_FALSE(top.addAtLevel(node("Deep", 2), 2));
  EXPECT_FALSE(top.addAtLevel(node("Same", 0), 0));
  EXPECT_FALSE(top.addAtLevel(node("Above", -1), -1));
  EXPECT_TRUE(top.children.empty());
}

TEST(AddAtLevel, PutsEachNodeUnderTheLastNodeOfTheLevelAbove) {
  BookmarkNode top = node("Top", 0);
  EXPECT_TRUE(top.addAtLevel(node("1", 1), 1));
  EXPECT_TRUE(top.addAtLevel(node("1.1", 2), 2));
  EXPECT_TRUE(top.addAtLevel(node("2", 1), 1));
  EXPECT_TRUE(top.addAtLevel(node("2.1", 2), 2));
  EXPECT_TRUE(top.addAtLevel(node("2.1.1", 3), 3));
  ASSERT_EQ(top.children.size(), 2u);
  EXPECT_EQ(top.children[0].title, "1");
  ASSERT_EQ(top.children[0].children.size(), 1u);
  EXPECT_EQ(top.children[0].children[0].title, "1.1");
  ASSERT_EQ(top.children[1].children.size(), 1u);
  EXPECT_EQ(top.children[1].children[0].title, "2.1");
  EXPECT_EQ(top.children[1].children[0].children[0].title, "2.1.1");
}

TEST(AddAtLevel, PlacesACopy) {
  BookmarkNode top = node("Top", 0);
  BookmarkNode child = node("Child", 1);
  top.addAtLevel(child, 1);
  child.title = "Changed";
  EXPECT_EQ(top.children[0].title, "Child");
  BookmarkNode copy = top;
  copy.children[0].title = "Other";
  EXPECT_EQ(top.children[0].title, "Child"); // copies are deep
}

class InsertIntoOutline : public ::testing::Test {
protected:
  void open(test::PdfSpec spec) {
    test::writePdf(spec, dir.file("in.pdf"));
    doc = std::make_unique<test::OpenDoc>(host, dir.file("in.pdf"));
    root = pd().docGetBookmarkRoot(doc->handle());
  }
  test::InspectedPdf saveAndInspect() {
    doc->doc().save(dir.file("out.pdf"));
    EXPECT_EQ(test::qpdfCheck(dir.file("out.pdf")), 0);
    return test::inspectPdf(dir.file("out.pdf"));
  }
  PDModelTable &pd() { return *hostTables().pdModel.table; }

  test::TestHost host;
  test::TempDir dir;
  std::unique_ptr<test::OpenDoc> doc;
  BookmarkHandle root;
};

test::PdfSpec existingOutline() {
  test::PdfSpec spec = test::pages(6);
  spec.outline = {{"Old A", {}, test::ActionSpec::goTo(0), false, {}, 0, {}},
                  {"Old B", {}, test::ActionSpec::goTo(1), false, {}, 0, {}}};
  return spec;
}

TEST_F(InsertIntoOutline, WritesTheWholeTreeWithItsLooks) {
  open(test::pages(6));
  BookmarkNode chapter = node("Chapter 1", 0, 2);
  chapter.disp.isBold = true;
  chapter.disp.isItalic = true;
  chapter.disp.showOpen = true;
  chapter.disp.color.setRgb(1, 0, 0);
  chapter.action.dest.setView(int32_t(FitType::FitH), FixedRect{0, fixedFromDouble(700), 0, 0}, 0);
  BookmarkNode section = node("1.1 Scope", 1, 3);
  section.disp.color.space = int16_t(ColorSpace::DeviceGray);
  section.disp.color.items[0] = fixedFromDouble(0.5);
  chapter.addAtLevel(section, 1);
  chapter.addAtLevel(node("1.2 Terms", 1, 99), 1); // beyond the document: goes to page 1
  BookmarkNode untouched = node("No action", 0);
  untouched.action.reset();

  const BookmarkNode::Inserted done =
      chapter.insertIntoOutline(doc->handle(), root, BookmarkHandle(), true, true);
  EXPECT_TRUE(done.ok);
  EXPECT_EQ(pd().bookmarkGetTitle(done.bookmark), "Chapter 1");
  EXPECT_TRUE(untouched.insertIntoOutline(doc->handle(), root, done.bookmark, false, true).ok);

  const test::InspectedPdf back = saveAndInspect();
  ASSERT_EQ(back.outline.size(), 2u);
  const test::InspectedBookmark &c = back.outline[0];
  EXPECT_EQ(c.title, "Chapter 1");
  EXPECT_EQ(c.page, 2);
  EXPECT_EQ(c.fit, "/FitH");
  EXPECT_EQ(c.fitParams, (std::vector<double>{700}));
  EXPECT_EQ(c.flags, 3);
  EXPECT_EQ(c.color, (std::vector<double>{1, 0, 0}));
  EXPECT_EQ(c.count, 2); // open with two children
  ASSERT_EQ(c.children.size(), 2u);
  EXPECT_EQ(c.children[0].page, 3);
  EXPECT_EQ(c.children[0].color, (std::vector<double>{0.5, 0.5, 0.5}));
  EXPECT_EQ(c.children[1].page, 0);
  EXPECT_EQ(c.children[0].flags, 0);
  EXPECT_EQ(back.outline[1].title, "No action");
  EXPECT_EQ(back.outline[1].actionType, "");
}

TEST_F(InsertIntoOutline, GoesBeforeAfterOrAtTheEnd) {
  open(existingOutline());
  BookmarkHandle oldA = pd().bookmarkGetFirstChild(root);
  BookmarkHandle oldB = pd().bookmarkGetNext(oldA);
  EXPECT_TRUE(node("Before A", 0).insertIntoOutline(doc->handle(), root, oldA, false, false).ok);
  EXPECT_TRUE(node("After A", 0).insertIntoOutline(doc->handle(), root, oldA, false, true).ok);
  EXPECT_TRUE(node("Appended", 0).insertIntoOutline(doc->handle(), root, oldA, true, false).ok);
  EXPECT_TRUE(node("Before B", 0).insertIntoOutline(doc->handle(), root, oldB, false, false).ok);
  const test::InspectedPdf back = saveAndInspect();
  std::vector<std::string> titles;
  for (const auto &b : back.outline)
    titles.push_back(b.title);
  EXPECT_EQ(titles, (std::vector<std::string>{"Before A", "Old A", "After A", "Before B", "Old B",
                                              "Appended"}));
  EXPECT_EQ(back.rootCount, 6);
}

TEST_F(InsertIntoOutline, FailsForAnInvalidParentAndWritesNothing) {
  open(test::pages(1));
  const auto done =
      node("X", 0).insertIntoOutline(doc->handle(), BookmarkHandle(), BookmarkHandle(), true, true);
  EXPECT_FALSE(done.ok);
  EXPECT_FALSE(pd().bookmarkHasChildren(root));
}

TEST_F(InsertIntoOutline, KeepsNonLatinTitles) {
  open(test::pages(1));
  node("\xCE\x95\xCE\xB9\xCF\x83\xCE\xB1\xCE\xB3\xCF\x89\xCE\xB3\xCE\xAE", 0)
      .insertIntoOutline(doc->handle(), root, BookmarkHandle(), true, true);
  EXPECT_EQ(saveAndInspect().outline[0].title,
            "\xCE\x95\xCE\xB9\xCF\x83\xCE\xB1\xCE\xB3\xCF\x89\xCE\xB3\xCE\xAE");
}

} // namespace
} // namespace sorvane
