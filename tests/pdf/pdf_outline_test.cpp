// The host's outline services on real files: read what QPDF wrote, write what QPDF reads back.
#include <gtest/gtest.h>

#include "host/pdf/outline_listing.h"
#include "sdk/host_error.h"
#include "tests/support/open_doc.h"
#include "tests/support/pdf_builder.h"
#include "tests/support/pdf_inspect.h"
#include "tests/support/temp_dir.h"

namespace sorvane {
namespace {

using test::ActionSpec;
using test::OutlineSpec;
using test::PdfSpec;

class PdfOutline : public ::testing::Test {
protected:
  std::string make(const PdfSpec &spec, const std::string &name = "doc.pdf") {
    const std::string path = dir.file(name);
    test::writePdf(spec, path);
    return path;
  }
  PDModelTable &pd() { return host.pdf().pdModel(); }
  std::vector<std::string> titles(BookmarkHandle parent) {
    std::vector<std::string> out;
    for (auto b = pd().bookmarkGetFirstChild(parent); b; b = pd().bookmarkGetNext(b))
      out.push_back(pd().bookmarkGetTitle(b));
    return out;
  }

  test::TestHost host;
  test::TempDir dir;
};

PdfSpec bookSpec() {
  PdfSpec spec = test::pages(4);
  OutlineSpec ch1{"Chapter 1", {}, ActionSpec::goTo(0), true, {}, 0, {}};
  ch1.children.push_back(
      {"Section 1.1", {}, ActionSpec::goTo(1, "XYZ", {72, 700, 0}), false, {}, 0, {}});
  ch1.children.push_back({"Section 1.2", {}, ActionSpec::dest(2), false, {{1, 0, 0}}, 3, {}});
  OutlineSpec ch2{"Kapitel 2 \xE2\x80\x93 \xC3\x9C"
                  "bersicht",
                  {},
                  ActionSpec::goTo(3),
                  false,
                  {},
                  2,
                  {}};
  ch2.children.push_back({"Hidden", {}, ActionSpec::goTo(3), false, {}, 0, {}});
  spec.outline = {ch1, ch2};
  return spec;
}

TEST_F(PdfOutline, ReadsTheTreeWithTitlesStatesColoursAndStyles) {
  test::OpenDoc doc(host, make(bookSpec()));
  BookmarkHandle root = pd().docGetBookmarkRoot(doc.handle());
  EXPECT_TRUE(pd().bookmarkIsValid(root));
  EXPECT_EQ(titles(root), (std::vector<std::string>{"Chapter 1", "Kapitel 2 \xE2\x80\x93 \xC3\x9C"
                                                                 "bersicht"}));
  BookmarkHandle ch1 = pd().bookmarkGetFirstChild(root);
  BookmarkHandle ch2 = pd().bookmarkGetLastChild(root);
  EXPECT_EQ(pd().bookmarkGetNext(ch1), ch2);
  EXPECT_EQ(pd().bookmarkGetPrev(ch2), ch1);
  EXPECT_FALSE(pd().bookmarkGetNext(ch2));
  EXPECT_EQ(pd().bookmarkGetParent(ch1), root);
  EXPECT_TRUE(pd().bookmarkIsOpen(ch1));
  EXPECT_FALSE(pd().bookmarkIsOpen(ch2));
  EXPECT_TRUE(pd().bookmarkHasChildren(ch1));
  BookmarkHandle s12 = pd().bookmarkGetLastChild(ch1);
  EXPECT_EQ(pd().bookmarkGetParent(s12), ch1);
  EXPECT_FALSE(pd().bookmarkHasChildren(s12));
  EXPECT_EQ(pd().bookmarkGetColor(s12), (HostRgb{1, 0, 0}));
  EXPECT_EQ(pd().bookmarkGetColor(ch1), (HostRgb{0, 0, 0}));
  EXPECT_EQ(pd().bookmarkGetFlags(s12), 3);
  EXPECT_EQ(pd().bookmarkGetFlags(ch2), 2);
}

TEST_F(PdfOutline, ReadsTitlesInEveryTextEncoding) {
  PdfSpec spec = test::pages(1);
  spec.outline = {
      {"", std::string("Tab\there\n"), {}, false, {}, 0, {}},
      {"", std::string("\xFE\xFF\x04\x1F\x04\x40\x04\x38", 8), {}, false, {}, 0, {}}, // UTF-16BE
      {"", std::string("Caf\xE9 \x8Dquoted\x8E"), {}, false, {}, 0, {}},              // PDFDoc
  };
  test::OpenDoc doc(host, make(spec));
  EXPECT_EQ(titles(pd().docGetBookmarkRoot(doc.handle())),
            (std::vector<std::string>{"Tab\there\n", "\xD0\x9F\xD1\x80\xD0\xB8",
                                      "Caf\xC3\xA9 \xE2\x80\x9Cquoted\xE2\x80\x9D"}));
}

TEST_F(PdfOutline, TitlesWithBytesPdfDocEncodingLeavesOpenKeepTheirText) {
  // 0x7F, 0x9F and 0xAD stand for no character of their own there; a NUL is damage. The rest
  // of the title is still the title.
  PdfSpec spec = test::pages(1);
  spec.outline = {
      {"", std::string("One\x9Fpart"), {}, false, {}, 0, {}},
      {"", std::string("soft\xADhyphen"), {}, false, {}, 0, {}},
      {"", std::string("Null\0inside", 11), {}, false, {}, 0, {}},
      {"", std::string("\x93nal \x80 \x18 \x7F"), {}, false, {}, 0, {}},
  };
  test::OpenDoc doc(host, make(spec));
  EXPECT_EQ(titles(pd().docGetBookmarkRoot(doc.handle())),
            (std::vector<std::string>{"One\xEF\xBF\xBDpart", "soft\xC2\xADhyphen",
                                      "Null\xEF\xBF\xBDinside",
                                      "\xEF\xAC\x81nal \xE2\x80\xA2 \xCB\x98 \x7F"}));
  // Written, a NUL does not end the title either.
  BookmarkHandle first = pd().bookmarkGetFirstChild(pd().docGetBookmarkRoot(doc.handle()));
  pd().bookmarkSetTitle(first, std::string("Kept\0whole", 10));
  doc.doc().save(dir.file("out.pdf"));
  EXPECT_EQ(test::inspectPdf(dir.file("out.pdf")).outline[0].title, std::string("Kept\0whole", 10));
}

TEST_F(PdfOutline, AFileWithoutOutlineGetsOneWithItsFirstBookmark) {
  const std::string path = make(test::pages(3));
  const std::string out = dir.file("out.pdf");
  {
    test::OpenDoc doc(host, path);
    BookmarkHandle root = pd().docGetBookmarkRoot(doc.handle());
    EXPECT_FALSE(pd().bookmarkHasChildren(root));
    BookmarkHandle a = pd().bookmarkAddNewChild(root, "Intro");
    BookmarkHandle c = pd().bookmarkAddNewSibling(a, "\xC3\x9C"
                                                     "bersicht");
    BookmarkHandle b = pd().bookmarkAddNewSibling(a, "Middel");
    pd().bookmarkSetTitle(b, "Middle");
    BookmarkHandle a1 = pd().bookmarkAddNewChild(a, "Detail");
    pd().bookmarkSetOpen(a, true);
    pd().bookmarkSetColor(c, {0, 0, 1});
    pd().bookmarkSetFlags(b, 1);
    EXPECT_EQ(titles(root), (std::vector<std::string>{"Intro", "Middle",
                                                      "\xC3\x9C"
                                                      "bersicht"}));
    EXPECT_EQ(pd().bookmarkGetParent(a1), a);
    doc.doc().save(out);
  }
  ASSERT_EQ(test::qpdfCheck(out), 0);
  const test::InspectedPdf back = test::inspectPdf(out);
  ASSERT_EQ(back.outline.size(), 3u);
  EXPECT_EQ(back.outline[0].title, "Intro");
  EXPECT_EQ(back.outline[0].titleBytes, "Intro");                 // ASCII stays plain bytes
  EXPECT_EQ(back.outline[2].titleBytes.substr(0, 2), "\xFE\xFF"); // others become UTF-16BE
  EXPECT_EQ(back.outline[2].title, "\xC3\x9C"
                                   "bersicht");
  EXPECT_EQ(back.outline[0].count, 1); // open, one child
  EXPECT_EQ(back.rootCount, 4);
  EXPECT_EQ(back.outline[1].flags, 1);
  EXPECT_EQ(back.outline[2].color, (std::vector<double>{0, 0, 1}));
  ASSERT_EQ(back.outline[0].children.size(), 1u);
  EXPECT_EQ(back.outline[0].children[0].title, "Detail");
}

TEST_F(PdfOutline, UnlinkLinkBeforeAndDestroyKeepTheListConsistent) {
  const std::string out = dir.file("out.pdf");
  {
    test::OpenDoc doc(host, make(bookSpec()));
    BookmarkHandle root = pd().docGetBookmarkRoot(doc.handle());
    BookmarkHandle ch1 = pd().bookmarkGetFirstChild(root);
    BookmarkHandle ch2 = pd().bookmarkGetNext(ch1);
    pd().bookmarkUnlink(ch2);
    EXPECT_FALSE(pd().bookmarkGetParent(ch2));
    EXPECT_EQ(titles(root), (std::vector<std::string>{"Chapter 1"}));
    pd().bookmarkLinkBefore(ch2, ch1);
    EXPECT_EQ(pd().bookmarkGetFirstChild(root), ch2);
    EXPECT_EQ(pd().bookmarkGetLastChild(root), ch1);
    EXPECT_EQ(pd().bookmarkGetPrev(ch1), ch2);
    EXPECT_THROW(pd().bookmarkLinkBefore(ch1, ch2), HostError); // still linked
    pd().bookmarkDestroy(pd().bookmarkGetFirstChild(ch1));      // Section 1.1
    EXPECT_EQ(titles(ch1), (std::vector<std::string>{"Section 1.2"}));
    doc.doc().save(out);
  }
  ASSERT_EQ(test::qpdfCheck(out), 0);
  const test::InspectedPdf back = test::inspectPdf(out);
  ASSERT_EQ(back.outline.size(), 2u);
  EXPECT_EQ(back.outline[0].title.substr(0, 7), "Kapitel");
  EXPECT_EQ(back.outline[0].count, -1); // closed, one child
  EXPECT_EQ(back.outline[1].count, 1);  // open, one child left
  EXPECT_EQ(back.rootCount, 3);
}

TEST_F(PdfOutline, DestinationsAndGoToActionsAreWrittenAsReadersExpect) {
  const std::string out = dir.file("out.pdf");
  {
    test::OpenDoc doc(host, make(test::pages(3)));
    BookmarkHandle root = pd().docGetBookmarkRoot(doc.handle());
    CoreTable &core = host.provider().core();
    struct Case {
      const char *fit;
      HostRect rect;
      double zoom;
    };
    const Case cases[] = {{"XYZ", {10, 20, 30, 700}, 1.5},
                          {"Fit", {}, 0},
                          {"FitH", {0, 0, 0, 650}, 0},
                          {"FitR", {10, 20, 300, 400}, 0},
                          {"FitBV", {40, 0, 0, 0}, 0}};
    for (const Case &c : cases) {
      PageHandle page = pd().docAcquirePage(doc.handle(), 2);
      ViewDestHandle dest =
          pd().viewDestCreate(doc.handle(), page, core.atomFromString(c.fit), c.rect, c.zoom);
      pd().pageRelease(page);
      EXPECT_TRUE(pd().viewDestIsValid(dest));
      EXPECT_EQ(pd().viewDestGetPageIndex(dest), 2);
      ActionHandle action = pd().actionNewFromDest(doc.handle(), dest, doc.handle());
      BookmarkHandle bm = pd().bookmarkAddNewChild(root, c.fit);
      pd().bookmarkSetAction(bm, action);
      EXPECT_EQ(core.atomGetString(pd().actionGetSubtype(pd().bookmarkGetAction(bm))), "GoTo");
    }
    PageHandle page = pd().docAcquirePage(doc.handle(), 0);
    EXPECT_THROW(pd().viewDestCreate(doc.handle(), page, core.atomFromString("Zoom"), {}, 0),
                 HostError);
    EXPECT_THROW(pd().docAcquirePage(doc.handle(), 3), HostError);
    doc.doc().save(out);
  }
  ASSERT_EQ(test::qpdfCheck(out), 0);
  const test::InspectedPdf back = test::inspectPdf(out);
  ASSERT_EQ(back.outline.size(), 5u);
  for (const auto &b : back.outline) {
    EXPECT_EQ(b.actionType, "/GoTo");
    EXPECT_EQ(b.page, 2);
  }
  EXPECT_EQ(back.outline[0].fit, "/XYZ");
  EXPECT_EQ(back.outline[0].fitParams, (std::vector<double>{10, 700, 1.5}));
  EXPECT_EQ(back.outline[1].fitParams, (std::vector<double>{}));
  EXPECT_EQ(back.outline[2].fitParams, (std::vector<double>{650}));
  EXPECT_EQ(back.outline[3].fitParams, (std::vector<double>{10, 20, 300, 400}));
  EXPECT_EQ(back.outline[4].fitParams, (std::vector<double>{40}));
}

TEST_F(PdfOutline, PageBoxesAreTheVisibleBoxes) {
  PdfSpec spec = test::pages(2);
  spec.pages[1].cropBox = std::array<double, 4>{36, 36, 576, 756};
  spec.pages[1].rotate = 90;
  test::OpenDoc doc(host, make(spec));
  PageHandle p0 = pd().docAcquirePage(doc.handle(), 0);
  PageHandle p1 = pd().docAcquirePage(doc.handle(), 1);
  EXPECT_EQ(pd().pageGetCropBox(p0), (HostRect{0, 0, 612, 792}));
  EXPECT_EQ(pd().pageGetCropBox(p1), (HostRect{36, 36, 576, 756}));
  EXPECT_EQ(pd().pageGetIndex(p1), 1);
}

PdfSpec damaged(test::OutlineDamage damage) {
  PdfSpec spec = test::pages(1);
  spec.outline = {{"A", {}, {}, false, {}, 0, {}},
                  {"B", {}, {}, false, {}, 0, {}},
                  {"C", {}, {}, false, {}, 0, {}}};
  spec.damage = damage;
  return spec;
}

TEST_F(PdfOutline, ALoopInTheOutlineIsCutWithAWarning) {
  for (auto damage : {test::OutlineDamage::NextLoop, test::OutlineDamage::FirstBackUp}) {
    test::OpenDoc doc(host, make(damaged(damage)));
    auto tree = host::listOutline(host.pdf(), doc.handle());
    EXPECT_EQ(tree.entries.size(), 3u); // A, B, C once each
    EXPECT_EQ(tree.warnings.size(), 1u);
    // Saving walks the outline too, and must finish.
    doc.doc().save(dir.file("saved.pdf"));
  }
}

TEST_F(PdfOutline, AnAbsurdlyDeepOutlineIsReadToABoundedDepth) {
  PdfSpec spec = test::pages(1);
  spec.chainDepth = 5000;
  test::OpenDoc doc(host, make(spec));
  auto tree = host::listOutline(host.pdf(), doc.handle());
  EXPECT_EQ(tree.entries.size(), size_t(host::kMaxOutlineDepth));
  ASSERT_EQ(tree.warnings.size(), 1u);
  EXPECT_NE(tree.warnings[0].find("deeper"), std::string::npos);
}

} // namespace
} // namespace sorvane
