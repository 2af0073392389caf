// Validation of existing outlines: the messages, their order, and the walk's progress.
#include "plugin/outline/validate_outline.h"

#include <gtest/gtest.h>

#include "sdk/imported_tables.h"
#include "tests/support/open_doc.h"
#include "tests/support/pdf_builder.h"
#include "tests/support/temp_dir.h"

namespace sorvane {
namespace {

using test::ActionSpec;
using test::OutlineSpec;

OutlineSpec item(std::string title, ActionSpec action, std::vector<OutlineSpec> children = {}) {
  return {std::move(title), {}, std::move(action), false, {}, 0, std::move(children)};
}

class Validation : public ::testing::Test {
protected:
  void open(std::vector<OutlineSpec> outline, int pages = 10) {
    test::PdfSpec spec = test::pages(pages);
    spec.outline = std::move(outline);
    std::filesystem::create_directories(dir.path() / "docs");
    test::writePdf(spec, dir.file("docs/d.pdf"));
    doc = std::make_unique<test::OpenDoc>(host, dir.file("docs/d.pdf"));
  }
  // Messages by bookmark title, for the bookmarks that have any.
  std::vector<std::pair<std::string, std::vector<std::string>>> run(int32_t flags) {
    std::vector<ValidationResult> results;
    EXPECT_TRUE(
        validateOutline(doc->handle(), results, flags, [](BookmarkHandle) { return true; }));
    std::vector<std::pair<std::string, std::vector<std::string>>> out;
    for (const auto &r : results)
      out.emplace_back(getTitlePath(r.bookmark, '>'), r.messages);
    return out;
  }
  test::TestHost host;
  test::TempDir dir;
  std::unique_ptr<test::OpenDoc> doc;
};

using Messages = std::vector<std::string>;

TEST_F(Validation, AnOutlineWithoutProblemsOrBookmarksReportsNothing) {
  open({});
  int calls = 0;
  std::vector<ValidationResult> results;
  EXPECT_TRUE(
      validateOutline(doc->handle(), results, 14, [&](BookmarkHandle) { return ++calls, true; }));
  EXPECT_EQ(calls, 0);
  EXPECT_TRUE(results.empty());
  EXPECT_FALSE(validateOutline(doc->handle(), results, 14, nullptr));
}

TEST_F(Validation, MessagesComeInTheirOrder) {
  open({item(" ", ActionSpec::goTo(11)), item("No action", ActionSpec{}),
        item("Fine", ActionSpec::goTo(2)), item("Gone", ActionSpec::namedGoTo("missing"))});
  const auto r = run(validateFlags(true, false));
  ASSERT_EQ(r.size(), 3u);
  // A dangling page reference cannot be resolved at all.
  EXPECT_EQ(r[0].second, (Messages{"Empty bookmark title.", "Destination page is invalid.",
                                   "Bookmark is not linked to a page in the current document."}));
  EXPECT_EQ(r[1].first, ">No action");
  EXPECT_EQ(r[1].second, (Messages{"Empty bookmark action."}));
  EXPECT_EQ(r[2].second, (Messages{"Destination page is invalid.",
                                   "Bookmark is not linked to a page in the current document."}));
}

TEST_F(Validation, LinksOutsideTheDocumentAreWarnedAboutOnRequest) {
  open({item("Web", ActionSpec::uriTo("https://example.org")), item("Thread", ActionSpec::thread()),
        item("Script", ActionSpec::javaScript("this.pageNum = 3;")),
        item("Other script", ActionSpec::javaScript("app.alert('hi')"))});
  EXPECT_EQ(run(validateFlags(false, false)),
            (std::vector<std::pair<std::string, Messages>>{
                {">Other script", {"Destination page is invalid."}}}));
  const auto warned = run(validateFlags(true, false));
  ASSERT_EQ(warned.size(), 2u);
  EXPECT_EQ(warned[0].first, ">Web");
  EXPECT_EQ(warned[0].second,
            (Messages{"Bookmark is not linked to a page in the current document."}));
  EXPECT_EQ(warned[1].first, ">Other script");
}

TEST_F(Validation, LinkedFilesAreLookedForBesideTheDocument) {
  std::filesystem::create_directories(dir.path() / "docs");
  test::writeFile(dir.file("docs/here.pdf"), "x");
  test::writeFile(dir.file("up.pdf"), "x");
  open({item("No file", ActionSpec::launch(std::nullopt)),
        item("Here", ActionSpec::goToR("here.pdf", 0)),
        item("Up", ActionSpec::goToR("../up.pdf", 0)),
        item("Absolute", ActionSpec::launch(dir.file("up.pdf"))),
        item("Missing", ActionSpec::launch("missing.sh"))});
  const Messages notThere{"Destination file does not exist or invalid."};
  const auto off = run(validateFlags(false, false));
  ASSERT_EQ(off.size(), 1u); // reachability is tested only on request
  EXPECT_EQ(off[0].second, (Messages{"Destination file is not specified."}));
  const auto on = run(validateFlags(false, true));
  ASSERT_EQ(on.size(), 2u);
  EXPECT_EQ(on[0].first, ">No file");
  EXPECT_EQ(on[1].first, ">Missing");
  EXPECT_EQ(on[1].second, notThere);
}

TEST_F(Validation, ACallbackThatAnswersFalseStopsAfterTheBookmarkInHand) {
  open({item("", ActionSpec::goTo(1)), item("", ActionSpec::goTo(1)),
        item("", ActionSpec::goTo(1))});
  std::vector<ValidationResult> results;
  int calls = 0;
  EXPECT_FALSE(
      validateOutline(doc->handle(), results, 2, [&](BookmarkHandle) { return ++calls < 2; }));
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(results.size(), 2u); // the second was checked before the callback stopped the run
}

TEST_F(Validation, TitlePathsJoinTheAncestors) {
  open({item("Intro", ActionSpec::goTo(0), {item("Scope", ActionSpec::goTo(1))})});
  PDModelTable &pd = *hostTables().pdModel.table;
  const BookmarkHandle intro = pd.bookmarkGetFirstChild(pd.docGetBookmarkRoot(doc->handle()));
  EXPECT_EQ(getTitlePath(intro, '>'), ">Intro");
  EXPECT_EQ(getTitlePath(pd.bookmarkGetFirstChild(intro), '>'), ">Intro>Scope");
  EXPECT_EQ(getTitlePath(BookmarkHandle(), '>'), "");
}

TEST_F(Validation, WhatADamagedOutlineKeepsOutOfReachIsAProblem) {
  const std::pair<test::OutlineDamage, Messages> cases[] = {
      {test::OutlineDamage::NextLoop,
       {"The next bookmark leads back to \"A\" (a loop); the bookmarks from there on were not "
        "checked."}},
      {test::OutlineDamage::FirstBackUp,
       {"The first child leads back to \"A\" (a loop); the bookmarks from there on were not "
        "checked."}},
      {test::OutlineDamage::RootFirstIsRoot,
       {"The first child leads back to the outline root (a loop); the bookmarks from there on "
        "were not checked."}},
  };
  for (const auto &[damage, messages] : cases) {
    test::PdfSpec fixture = test::pages(2);
    fixture.outline = {item("A", ActionSpec::goTo(0)), item("B", ActionSpec::goTo(1))};
    fixture.damage = damage;
    const std::string path = dir.file("damaged" + std::to_string(int(damage)) + ".pdf");
    test::writePdf(fixture, path);
    doc.reset();
    doc = std::make_unique<test::OpenDoc>(host, path);
    const auto r = run(validateFlags(true, false));
    ASSERT_EQ(r.size(), 1u) << int(damage);
    EXPECT_EQ(r[0].second, messages);
  }
}

TEST_F(Validation, BookmarksNestedTooDeepAreAProblem) {
  test::PdfSpec fixture = test::pages(2);
  fixture.chainDepth = 300;
  fixture.chainPage = 1;
  test::writePdf(fixture, dir.file("deep.pdf"));
  doc = std::make_unique<test::OpenDoc>(host, dir.file("deep.pdf"));
  const auto r = run(validateFlags(true, false));
  ASSERT_EQ(r.size(), 1u);
  EXPECT_EQ(r[0].first.substr(r[0].first.size() - 10), ">Level 256");
  EXPECT_EQ(r[0].second, (Messages{"The bookmarks below this one are nested deeper than 256 "
                                   "levels and were not checked."}));
}

} // namespace
} // namespace sorvane
