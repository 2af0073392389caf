// Destinations, go-to actions and reading back the page an action leads to.
#include "plugin/outline/bookmark_action.h"

#include <gtest/gtest.h>

#include "sdk/imported_tables.h"
#include "tests/support/open_doc.h"
#include "tests/support/pdf_builder.h"
#include "tests/support/temp_dir.h"

namespace sorvane {
namespace {

using test::ActionSpec;
using JsForm = ActionSpec::JsForm;

TEST(ParsePageNumScript, ReadsTheNumberAfterTheFirstEqualsSign) {
  EXPECT_EQ(parsePageNumScript("this.pageNum = 12;"), 12);
  EXPECT_EQ(parsePageNumScript("this.pageNum=3"), 3);
  EXPECT_EQ(parsePageNumScript("app.beep(); this.pageNum =\n\t 7 + 1"), 7);
  EXPECT_EQ(parsePageNumScript("this.pageNum = -2"), -2);
  EXPECT_EQ(parsePageNumScript("this.pageNum = +4"), 4);
  EXPECT_EQ(parsePageNumScript("this.pageNum\t=  0042x"), 42);
  // The first occurrence counts, even when a later one would give a number.
  EXPECT_EQ(parsePageNumScript("this.pageNum = x; this.pageNum = 5"), std::nullopt);
}

TEST(ParsePageNumScript, FindsNoNumberWhereThereIsNone) {
  EXPECT_EQ(parsePageNumScript("this.pageNum == 3"), std::nullopt);
  EXPECT_EQ(parsePageNumScript("var p = 1; this.pageNum++"), std::nullopt);
  EXPECT_EQ(parsePageNumScript("app.launchURL('https://example.org')"), std::nullopt);
  EXPECT_EQ(parsePageNumScript("this.pageNum ="), std::nullopt);
  EXPECT_EQ(parsePageNumScript("this.pageNum = "), std::nullopt);
  EXPECT_EQ(parsePageNumScript("this.pageNum = - 3"), std::nullopt);
  EXPECT_EQ(parsePageNumScript("this.pageNum = 99999999999"), std::nullopt); // past 32 bits
  EXPECT_EQ(parsePageNumScript(""), std::nullopt);
}

TEST(FitTypeNames, CoverEveryCodeAndFallBackToFit) {
  const char *names[] = {"XYZ", "Fit", "FitH", "FitV", "FitR", "FitB", "FitBH", "FitBV", "XYZ"};
  for (int32_t code = 0; code <= 8; ++code)
    EXPECT_STREQ(fitTypeName(code), names[code]) << code;
  EXPECT_STREQ(fitTypeName(42), "Fit");
  EXPECT_STREQ(fitTypeName(-1), "Fit");
}

class ActionsOnADocument : public ::testing::Test {
protected:
  void open(test::PdfSpec spec) {
    test::writePdf(spec, dir.file("doc.pdf"));
    doc = std::make_unique<test::OpenDoc>(host, dir.file("doc.pdf"));
  }
  ActionHandle bookmarkAction(int i) {
    PDModelTable &pd = *hostTables().pdModel.table;
    BookmarkHandle b = pd.bookmarkGetFirstChild(pd.docGetBookmarkRoot(doc->handle()));
    while (i-- > 0)
      b = pd.bookmarkGetNext(b);
    return pd.bookmarkGetAction(b);
  }
  std::string destFit(ViewDestHandle d) {
    return std::string(
        hostTables().core->atomGetString(hostTables().pdModel->viewDestGetFitType(d)));
  }

  test::TestHost host;
  test::TempDir dir;
  std::unique_ptr<test::OpenDoc> doc;
};

TEST_F(ActionsOnADocument, APageOutsideTheDocumentFallsBackToTheFirst) {
  open(test::pages(5));
  BookmarkDest dest;
  dest.pageNum = 7;
  const BookmarkDest::ViewDest made = dest.makeViewDest(doc->handle());
  EXPECT_TRUE(made.valid);
  EXPECT_EQ(dest.pageNum, 0);
  EXPECT_EQ(hostTables().pdModel->viewDestGetPageIndex(made.dest), 0);
  dest.pageNum = -3;
  dest.makeViewDest(doc->handle());
  EXPECT_EQ(dest.pageNum, 0);
}

TEST_F(ActionsOnADocument, UnknownFitCodesMakeFitDestinations) {
  open(test::pages(2));
  BookmarkDest dest;
  dest.pageNum = 1;
  dest.fitType = 42;
  EXPECT_EQ(destFit(dest.makeViewDest(doc->handle()).dest), "Fit");
  dest.fitType = int32_t(FitType::FitH);
  EXPECT_EQ(destFit(dest.makeViewDest(doc->handle()).dest), "FitH");
}

TEST_F(ActionsOnADocument, GoToPageMakesAFitGoToActionThatResolvesBack) {
  open(test::pages(4));
  BookmarkAction action;
  action.dest.fitType = int32_t(FitType::FitR);
  action.dest.zoom = kFixedOne;
  action.goToPage(3);
  EXPECT_EQ(action.actionType, int32_t(ActionType::GoToPage));
  EXPECT_EQ(action.dest.fitType, int32_t(FitType::Fit));
  EXPECT_EQ(action.dest.zoom, kFixedOne); // the rest of the view is the caller's
  ActionHandle made = action.createHostAction(doc->handle());
  const ActionPage page = resolveActionPage(doc->handle(), made);
  EXPECT_TRUE(page.resolved);
  EXPECT_EQ(page.page, 3);
  action.reset();
  EXPECT_EQ(action.actionType, int32_t(ActionType::None));
  EXPECT_EQ(action.dest.pageNum, 3); // reset keeps the destination
}

TEST_F(ActionsOnADocument, ResolvesThePageOfEveryKindOfAction) {
  test::PdfSpec spec = test::pages(20);
  std::vector<ActionSpec> actions = {
      ActionSpec::goTo(4),
      ActionSpec::namedGoTo("intro"),
      ActionSpec::namedGoTo("gone"),
      ActionSpec::uriTo("https://example.org"),
      ActionSpec::launch("run.sh"),
      ActionSpec::named(),
      ActionSpec::javaScript("this.pageNum = 12;"),
      ActionSpec::javaScript("this.pageNum == 3"),
      ActionSpec::javaScript("this.pageNum = 3;", JsForm::Stream),
      ActionSpec::javaScript("this.pageNum = 3;", JsForm::Utf16),
      ActionSpec::javaScript("pageNum", JsForm::Name),
      ActionSpec::goTo(40), // a dangling destination
      ActionSpec::dest(6),
  };
  for (size_t i = 0; i < actions.size(); ++i)
    spec.outline.push_back({"B" + std::to_string(i), {}, actions[i], false, {}, 0, {}});
  spec.namedDests = {{"intro", 2, true, true}};
  open(spec);
  const ActionPage expected[] = {{true, 4},   {true, 2},   {false, -1}, {true, -1},  {true, -1},
                                 {true, -1},  {true, 12},  {false, -1}, {false, -1}, {false, -1},
                                 {false, -1}, {false, -1}, {true, 6}};
  for (int i = 0; i < int(actions.size()); ++i) {
    const ActionPage got = resolveActionPage(doc->handle(), bookmarkAction(i));
    EXPECT_EQ(got.resolved, expected[i].resolved) << "bookmark " << i;
    EXPECT_EQ(got.page, expected[i].page) << "bookmark " << i;
  }
  EXPECT_FALSE(resolveActionPage(doc->handle(), ActionHandle()).resolved);
}

} // namespace
} // namespace sorvane
