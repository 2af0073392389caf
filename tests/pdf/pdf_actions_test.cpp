// Actions, destinations, file specifications and low-level objects of existing bookmarks.
#include <gtest/gtest.h>

#include <algorithm>

#include <chrono>

#include "sdk/host_error.h"
#include "tests/support/open_doc.h"
#include "tests/support/pdf_builder.h"
#include "tests/support/temp_dir.h"

namespace sorvane {
namespace {

using test::ActionSpec;
using test::PdfSpec;
using JsForm = ActionSpec::JsForm;

class PdfActions : public ::testing::Test {
protected:
  void open(const PdfSpec &spec) {
    const std::string path = dir.file("sub/doc.pdf");
    std::filesystem::create_directories(dir.path() / "sub");
    test::writePdf(spec, path);
    doc = std::make_unique<test::OpenDoc>(host, path);
  }
  // The action of the i-th top-level bookmark.
  ActionHandle action(int i) {
    BookmarkHandle b = pd().bookmarkGetFirstChild(pd().docGetBookmarkRoot(doc->handle()));
    for (; i > 0; --i)
      b = pd().bookmarkGetNext(b);
    return pd().bookmarkGetAction(b);
  }
  std::string subtype(ActionHandle a) {
    return std::string(host.provider().core().atomGetString(pd().actionGetSubtype(a)));
  }
  int resolvedPage(ActionHandle a) {
    ViewDestHandle d = pd().viewDestResolve(pd().actionGetDest(a), doc->handle());
    return d ? pd().viewDestGetPageIndex(d) : -2;
  }
  PDModelTable &pd() { return host.pdf().pdModel(); }
  CosTable &cos() { return host.pdf().cos(); }

  test::TestHost host;
  test::TempDir dir;
  std::unique_ptr<test::OpenDoc> doc;
};

PdfSpec withActions(std::vector<ActionSpec> actions, int pages = 5) {
  PdfSpec spec = test::pages(pages);
  for (size_t i = 0; i < actions.size(); ++i)
    spec.outline.push_back({"B" + std::to_string(i), {}, actions[i], false, {}, 0, {}});
  return spec;
}

TEST_F(PdfActions, EveryKindReportsItsSubtype) {
  open(withActions({ActionSpec::goTo(1), ActionSpec::uriTo("https://example.org/"),
                    ActionSpec::launch("tool.sh"), ActionSpec::goToR("other.pdf", 3),
                    ActionSpec::javaScript("app.alert(1)"), ActionSpec::thread(),
                    ActionSpec::named(), ActionSpec::dest(2)}));
  const char *expected[] = {"GoTo",       "URI",    "Launch", "GoToR",
                            "JavaScript", "Thread", "Named",  "GoTo"};
  for (int i = 0; i < 8; ++i) {
    ActionHandle a = action(i);
    EXPECT_TRUE(pd().actionIsValid(a)) << i;
    EXPECT_EQ(subtype(a), expected[i]) << i;
  }
  EXPECT_EQ(resolvedPage(action(7)), 2); // a plain /Dest acts as a go-to action
}

TEST_F(PdfActions, ABookmarkWithoutActionHasNone) {
  open(withActions({ActionSpec{}}));
  EXPECT_FALSE(action(0));
  EXPECT_FALSE(pd().actionIsValid(action(0)));
}

TEST_F(PdfActions, NamedDestinationsResolveFromEveryPlaceTheyAreKept) {
  PdfSpec spec = withActions({ActionSpec::namedGoTo("tree"), ActionSpec::namedGoTo("old"),
                              ActionSpec::namedGoTo("wrapped"), ActionSpec::namedGoTo("old", true),
                              ActionSpec::namedDest("tree"), ActionSpec::namedGoTo("gone")});
  spec.namedDests = {
      {"tree", 1, true, false}, {"old", 2, false, false}, {"wrapped", 3, true, true}};
  open(spec);
  EXPECT_EQ(resolvedPage(action(0)), 1);
  EXPECT_EQ(resolvedPage(action(1)), 2);
  EXPECT_EQ(resolvedPage(action(2)), 3);
  EXPECT_EQ(resolvedPage(action(3)), 2);
  EXPECT_EQ(resolvedPage(action(4)), 1);
  EXPECT_EQ(resolvedPage(action(5)), -2); // no such name: nothing to resolve to
  EXPECT_FALSE(pd().viewDestIsValid(pd().actionGetDest(action(0)))); // a name is not explicit
}

TEST_F(PdfActions, NamedDestinationsResolveInATreeOfManyLevelsWithRanges) {
  // Nine names, two to a leaf and two kids to a node: four levels, each node with /Limits.
  PdfSpec fixture = test::pages(9);
  for (char c = 'a'; c <= 'i'; ++c) {
    const std::string name = std::string("n") + c;
    fixture.namedDests.push_back({name, c - 'a', true, c == 'e'});
  }
  for (const char *name : {"na", "nd", "ne", "ni", "nb", "n", "nc0", "nz", "a"})
    fixture.outline.push_back({name, {}, ActionSpec::namedGoTo(name), false, {}, 0, {}});
  fixture.nameTree.fanOut = 2;
  open(fixture);
  EXPECT_EQ(resolvedPage(action(0)), 0);
  EXPECT_EQ(resolvedPage(action(1)), 3);
  EXPECT_EQ(resolvedPage(action(2)), 4); // kept as << /D [...] >>
  EXPECT_EQ(resolvedPage(action(3)), 8);
  EXPECT_EQ(resolvedPage(action(4)), 1);
  // Missing names: below every range, between two leaves, above every range, and unlike any.
  for (int i = 5; i < 9; ++i)
    EXPECT_EQ(resolvedPage(action(i)), -2) << i;
}

TEST_F(PdfActions, AMissingNameInADeepOrLoopingNameTreeIsMissedPromptly) {
  for (bool loop : {false, true}) {
    PdfSpec fixture =
        withActions({ActionSpec::namedDest("missing"), ActionSpec::namedDest("here")});
    fixture.namedDests = {{"here", 2, true, false}, {"zebra", 3, true, false}};
    fixture.nameTree.chainDepth = loop ? 3 : 24;
    fixture.nameTree.kidsLoop = loop;
    open(fixture);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(resolvedPage(action(0)), -2) << loop;
    EXPECT_EQ(resolvedPage(action(1)), 2) << loop;
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2)) << loop;
  }
}

TEST_F(PdfActions, ANameInAPartOfTheTreeLeftUnreadIsMissingAndTheUserIsTold) {
  PdfSpec fixture = withActions({ActionSpec::namedDest("here"), ActionSpec::namedDest("zebra")});
  fixture.namedDests = {{"here", 2, true, false}, {"zebra", 3, true, false}};
  fixture.nameTree.chainDepth = 70; // the names lie deeper than a lookup goes
  open(fixture);
  EXPECT_EQ(resolvedPage(action(0)), -2);
  EXPECT_EQ(resolvedPage(action(1)), -2);
  const auto &warnings = doc->doc().warnings();
  const auto told = std::count_if(warnings.begin(), warnings.end(), [](const std::string &w) {
    return w.find("too deep or too large to search whole") != std::string::npos;
  });
  EXPECT_GE(told, 1);
}

TEST_F(PdfActions, ADestinationToAnObjectThatIsNoPageIsInvalid) {
  open(withActions({ActionSpec::goTo(9)}, 2));
  ViewDestHandle d = pd().actionGetDest(action(0));
  EXPECT_FALSE(pd().viewDestIsValid(d));
  EXPECT_EQ(pd().viewDestGetPageIndex(d), -1);
}

TEST_F(PdfActions, FileSpecificationsResolveAgainstTheDocumentsFolder) {
  open(withActions({ActionSpec::launch("tools/run.sh"), ActionSpec::launch(std::nullopt),
                    ActionSpec::goToR("../other.pdf", 0), ActionSpec::launch("/opt/x.pdf")}));
  FileSpecHandle f = pd().actionGetFileSpec(action(0));
  ASSERT_TRUE(pd().fileSpecIsValid(f));
  EXPECT_EQ(pd().fileSpecGetDIPath(f), "tools/run.sh");
  EXPECT_EQ(pd().fileSpecGetPlatformPath(f, doc->handle()), dir.file("sub/tools/run.sh"));
  EXPECT_FALSE(pd().actionGetFileSpec(action(1)));
  EXPECT_FALSE(pd().fileSpecIsValid(pd().actionGetFileSpec(action(1))));
  EXPECT_EQ(pd().fileSpecGetPlatformPath(pd().actionGetFileSpec(action(2)), doc->handle()),
            dir.file("sub/../other.pdf"));
  EXPECT_EQ(pd().fileSpecGetPlatformPath(pd().actionGetFileSpec(action(3)), doc->handle()),
            "/opt/x.pdf");
}

TEST_F(PdfActions, ScriptsAreReachedThroughTheLowLevelObjects) {
  open(withActions({ActionSpec::javaScript("this.pageNum = 12;"),
                    ActionSpec::javaScript("Go", JsForm::Name),
                    ActionSpec::javaScript("this.pageNum = 3;", JsForm::Stream),
                    ActionSpec::javaScript("this.pageNum=3", JsForm::Utf16)}));
  auto js = [&](int i) { return cos().cosDictGet(pd().actionGetCosObj(action(i)), "JS"); };
  EXPECT_EQ(cos().cosObjGetType(pd().actionGetCosObj(action(0))), CosType::Dict);
  EXPECT_EQ(cos().cosObjGetType(js(0)), CosType::String);
  EXPECT_EQ(cos().cosStringBytes(js(0)), "this.pageNum = 12;");
  EXPECT_EQ(cos().cosObjGetType(js(1)), CosType::Name);
  EXPECT_EQ(cos().cosNameValue(js(1)), "Go");
  EXPECT_EQ(cos().cosObjGetType(js(2)), CosType::Stream);
  EXPECT_EQ(cos().cosStringBytes(js(2)), "");
  EXPECT_EQ(cos().cosStringBytes(js(3)).substr(0, 4), std::string("\xFE\xFF\0t", 4));
  EXPECT_TRUE(cos().cosObjIsNull(cos().cosDictGet(pd().actionGetCosObj(action(0)), "Next")));
}

TEST_F(PdfActions, HandlesOfAClosedDocumentAreRefused) {
  open(withActions({ActionSpec::goTo(1)}));
  ActionHandle a = action(0);
  doc.reset();
  EXPECT_THROW(pd().actionGetSubtype(a), HostError);
  EXPECT_FALSE(pd().actionIsValid(a));
}

} // namespace
} // namespace sorvane

namespace sorvane {
namespace {

// Handles to the same object are the same handle, so asking again and again costs nothing.
TEST_F(PdfActions, AskingAgainGivesTheSameHandles) {
  open(withActions({ActionSpec::dest(2), ActionSpec::goTo(1)}));
  for (int i : {0, 1}) {
    const ActionHandle first = action(i);
    for (int k = 0; k < 100; ++k)
      EXPECT_EQ(action(i), first);
    EXPECT_EQ(pd().actionGetDest(action(i)), pd().actionGetDest(first));
    EXPECT_EQ(pd().actionGetCosObj(action(i)), pd().actionGetCosObj(first));
  }
  // A bookmark whose plain destination changes gets an action for its new destination.
  BookmarkHandle b = pd().bookmarkGetFirstChild(pd().docGetBookmarkRoot(doc->handle()));
  const ActionHandle before = pd().bookmarkGetAction(b);
  EXPECT_EQ(resolvedPage(before), 2);
  pd().bookmarkSetAction(b, action(1));
  EXPECT_EQ(resolvedPage(pd().bookmarkGetAction(b)), 1);
}

} // namespace
} // namespace sorvane
