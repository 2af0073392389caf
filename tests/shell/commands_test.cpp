// Menus, the checks before a command, and the Delete All command.
#include "plugin/shell/commands.h"

#include <algorithm>
#include <filesystem>

#include <gtest/gtest.h>

#include "host/runtime/view_services.h"
#include "plugin/shell/plugin_state.h"
#include "sdk/imported_tables.h"
#include "tests/support/open_doc.h"
#include "tests/support/pdf_builder.h"
#include "tests/support/temp_dir.h"

namespace sorvane {
namespace {

class Commands : public ::testing::Test {
protected:
  void open(test::PdfSpec spec) {
    test::writePdf(spec, dir.file("d.pdf"));
    doc = std::make_unique<test::OpenDoc>(host, dir.file("d.pdf"));
    view().setActiveDoc(doc->handle());
  }
  test::PdfSpec withBookmarks() {
    test::PdfSpec spec = test::pages(2);
    spec.outline = {{"A", {}, test::ActionSpec::goTo(0), false, {}, 0, {}},
                    {"B", {}, test::ActionSpec::goTo(1), false, {}, 0, {}}};
    return spec;
  }
  host::AcroView &view() { return host.provider().acroView(); }

  test::TestHost host;
  test::TempDir dir;
  std::unique_ptr<test::OpenDoc> doc;
};

TEST_F(Commands, PreconditionsStopWithTheirMessage) {
  view().setModalWindowOpen(true);
  EXPECT_FALSE(checkCommandPreconditions());
  EXPECT_TRUE(host.notes().empty()); // a modal window: no message
  view().setModalWindowOpen(false);
  EXPECT_FALSE(checkCommandPreconditions());
  EXPECT_EQ(host.notes().back(), kNoDocumentMessage);
  open(withBookmarks());
  view().setVersionMajor(4);
  EXPECT_FALSE(checkCommandPreconditions());
  EXPECT_EQ(host.notes().back(), kOldHostMessage);
  view().setVersionMajor(5);
  EXPECT_TRUE(checkCommandPreconditions());
}

TEST_F(Commands, ADocumentThatMayNotBeChangedStopsEveryCommand) {
  test::PdfSpec spec = withBookmarks();
  spec.encryption = test::EncryptionSpec{"", "owner", false};
  open(spec);
  EXPECT_FALSE(checkCommandPreconditions());
  EXPECT_EQ(host.notes().back(), kNoPermissionMessage);
}

TEST_F(Commands, ItemsAreEnabledByDocumentAndBookmarks) {
  EXPECT_FALSE(hasActiveDocument(nullptr));
  EXPECT_FALSE(hasBookmarks(nullptr));
  open(test::pages(1));
  EXPECT_TRUE(hasActiveDocument(nullptr));
  EXPECT_FALSE(hasBookmarks(nullptr));
  doc.reset();
  open(withBookmarks());
  EXPECT_TRUE(hasBookmarks(nullptr));
}

TEST_F(Commands, TheBookmarksSubmenuHoldsTheCommandsThatExist) {
  buildMenus();
  const auto *carrier = view().findItem("TAVO:Bookmarks");
  ASSERT_NE(carrier, nullptr);
  EXPECT_EQ(carrier->title, "&Bookmarks");
  ASSERT_GE(carrier->submenu, 0);
  const auto &submenu = view().menus()[size_t(carrier->submenu)];
  EXPECT_EQ(submenu.name, "TAVO:BookmarksMenu");
  std::vector<std::string> names;
  for (int i : submenu.items)
    names.push_back(view().items()[size_t(i)].name);
  EXPECT_EQ(names, (std::vector<std::string>{"TAVO:BookmarkGenerate", "TAVO:BookmarkValidate",
                                             "TAVO:BookmarkSort", "TAVO:BookmarkSPrint",
                                             "TAVO:BookmarkDeleteAll"}));
  for (const std::string &name : names)
    EXPECT_FALSE(view().isItemEnabled(name)) << name; // no document
  // Help and About sit in their own menus and need no document.
  for (const char *menu : {"UsingExtensions", "AboutExtensions"}) {
    const auto &m = *std::find_if(view().menus().begin(), view().menus().end(),
                                  [&](const auto &x) { return x.name == menu; });
    ASSERT_EQ(m.items.size(), 1u) << menu;
    EXPECT_EQ(view().items()[size_t(m.items[0])].title, "&Sorvane...");
  }
  EXPECT_TRUE(view().isItemEnabled("TAVO:Sorvane"));
  EXPECT_TRUE(view().isItemEnabled("TAVO:AboutSorvane"));
}

TEST_F(Commands, AHostWithoutTheExtensionsMenuGetsNoItems) {
  view().removeMenubarMenu("Extensions");
  buildMenus();
  EXPECT_EQ(view().findItem("TAVO:Bookmarks"), nullptr);
}

TEST_F(Commands, DeleteAllAsksFirstAndThenEmptiesTheOutline) {
  buildMenus();
  open(withBookmarks());
  PDModelTable &pd = host.pdf().pdModel();
  const BookmarkHandle root = pd.docGetBookmarkRoot(doc->handle());
  std::vector<std::string> asked;
  host.answerQuestions([&](std::string_view q) { return asked.emplace_back(q), false; });
  EXPECT_TRUE(view().executeItem("TAVO:BookmarkDeleteAll"));
  EXPECT_EQ(asked, (std::vector<std::string>{kConfirmDeleteAll}));
  EXPECT_TRUE(pd.bookmarkHasChildren(root));
  host.answerQuestions([](std::string_view) { return true; });
  EXPECT_TRUE(view().executeItem("TAVO:BookmarkDeleteAll"));
  EXPECT_FALSE(pd.bookmarkHasChildren(root));
  EXPECT_FALSE(view().isItemEnabled("TAVO:BookmarkDeleteAll"));
}

TEST(ModulePaths, ReplaceTheExtensionWhateverItsCaseAndKeepTheRest) {
  EXPECT_EQ(derivedPath("/opt/Sorvane/Plug_ins/Sorvane.API", ".cfs"),
            "/opt/Sorvane/Plug_ins/Sorvane.cfs");
  EXPECT_EQ(derivedPath("/usr/lib/sorvane/plug_ins/sorvane.api", ".html"),
            "/usr/lib/sorvane/plug_ins/sorvane.html");
  EXPECT_EQ(derivedPath("/x.d/sorvane", ".cfs"), "/x.d/sorvane.cfs");
  EXPECT_EQ(derivedPath("/x/sorvane.so", ".cfs"), "/x/sorvane.so.cfs");
}

TEST(ModulePaths, TheHelpFileStandsBesideThePlugIn) {
  EXPECT_TRUE(std::filesystem::is_regular_file(derivedPath(SORVANE_API_PATH, ".html")));
}

} // namespace
} // namespace sorvane
