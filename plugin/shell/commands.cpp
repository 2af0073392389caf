#include "plugin/shell/commands.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <optional>

#include <cstdio>

#include "plugin/outline/delete_bookmarks.h"
#include "plugin/outline/print_bookmarked_pages.h"
#include "plugin/outline/sort_outline.h"
#include "plugin/shell/plugin_state.h"
#include "plugin/ui/about_box.h"
#include "plugin/ui/generate_dialog.h"
#include "plugin/ui/platform.h"
#include "plugin/ui/sort_dialog.h"
#include "plugin/ui/validate_dialog.h"
#include "sdk/host_error.h"
#include "sdk/imported_tables.h"

namespace sorvane {
namespace {

AcroViewTable &view() { return hostTables().acroView.must(); }

struct MenuEntry {
  const char *title;
  const char *name;
  ExecuteProc run; // null while the command is not built: the item is left out
  ComputeEnabledProc enabled;
};

// The "&Bookmarks" submenu in its order. Generate, Validate and Sort join it with their dialogs.
const MenuEntry kBookmarkItems[] = {
    {"&Generate...", "TAVO:BookmarkGenerate", generateCommand, hasActiveDocument},
    {"&Validate...", "TAVO:BookmarkValidate", validateCommand, hasBookmarks},
    {"&Sort...", "TAVO:BookmarkSort", sortCommand, hasBookmarks},
    {"&Print Bookmarked Pages...", "TAVO:BookmarkSPrint", printBookmarkedPagesCommand,
     hasBookmarks},
    {"&Delete All...", "TAVO:BookmarkDeleteAll", deleteAllCommand, hasBookmarks},
};

constexpr int32_t kAtEnd = 9999;

} // namespace

bool checkCommandPreconditions(uint32_t permission) {
  AcroViewTable &v = view();
  if (v.appModalWindowIsOpen())
    return false;
  if (v.appGetVersionMajor() < 5) {
    v.alertNote(kOldHostMessage);
    return false;
  }
  const DocHandle doc = v.appGetActiveDoc();
  if (!doc) {
    v.alertNote(kNoDocumentMessage);
    return false;
  }
  const std::optional<uint32_t> permissions = hostTables().pdModel->docGetPermissions(doc);
  if (permissions && !(*permissions & permission)) {
    v.alertNote(permission == kPermissionPrint ? kNoPrintPermissionMessage : kNoPermissionMessage);
    return false;
  }
  return true;
}

bool hasActiveDocument(void *) {
  try {
    return static_cast<bool>(view().appGetActiveDoc());
  } catch (const HostError &) {
    return false;
  }
}

bool hasBookmarks(void *) {
  try {
    const DocHandle doc = view().appGetActiveDoc();
    if (!doc)
      return false;
    PDModelTable &pd = hostTables().pdModel.must();
    const BookmarkHandle root = pd.docGetBookmarkRoot(doc);
    return pd.bookmarkIsValid(root) && pd.bookmarkHasChildren(root);
  } catch (const HostError &) {
    return false;
  }
}

void deleteAllCommand(void *) {
  try {
    if (!checkCommandPreconditions())
      return;
    if (!view().alertConfirm(kConfirmDeleteAll))
      return;
    view().showWaitCursor(true);
    const bool emptied = deleteAllBookmarks(view().appGetActiveDoc());
    view().showWaitCursor(false);
    if (!emptied)
      view().alertNote("Some bookmarks could not be deleted.");
  } catch (const HostError &e) {
    view().showWaitCursor(false);
    view().alertNote(e.text());
  }
}

void printBookmarkedPagesCommand(void *) {
  try {
    // Every command asks for the permission to change the document; printing also for the
    // one to print.
    if (!checkCommandPreconditions() || !checkCommandPreconditions(kPermissionPrint))
      return;
    if (!view().alertConfirm(kConfirmPrint))
      return;
    std::vector<WalkGap> gaps;
    const int32_t printed = printBookmarkedPages(view().appGetActiveDoc(), &gaps);
    char note[96];
    std::snprintf(note, sizeof note, "Total numbers of pages printed: %d", printed);
    view().alertNote(note);
    if (!gaps.empty())
      view().alertNote(describeGaps(gaps) + " Their pages were not printed.");
  } catch (const HostError &e) {
    view().alertNote(e.text());
  }
}

std::string generationSummary(int32_t created, int64_t seconds) {
  char note[160];
  std::snprintf(note, sizeof note,
                "Total number of bookmarks created: %d\nProcessing time: %d minute(s), %d "
                "second(s).",
                created, int(seconds / 60), int(seconds % 60));
  return note;
}

void generateCommand(void *) {
  AcroViewTable *v = nullptr;
  try {
    v = &view();
    if (!checkCommandPreconditions())
      return;
    if (!v->appGetActiveDoc())
      return;
    BookmarkBuilder settings;
    if (!editBuildSettings(settings, plugInState().defaultsFile, plugInState().helpFile))
      return;
    const DocHandle doc = v->appGetActiveDoc();
    if (!doc)
      return;
    v->docViewSetPageMode(doc, kPageModeNone);
    const auto start = std::chrono::steady_clock::now();
    int32_t created = 0;
    try {
      void *data = nullptr;
      const ProgressMonitor *monitor = v->docProgressMonitor(&data);
      const RunOutcome outcome = settings.generate(doc, monitor, data);
      created = outcome.bookmarksInserted;
      if (outcome.stopCode != ErrorCode::None && !outcome.stopReason.empty())
        v->alertNote(outcome.stopReason);
    } catch (const HostError &e) {
      v->alertNote(e.text());
    }
    v->docViewSetPageMode(doc, kPageModeBookmarks);
    const auto seconds =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - start)
            .count();
    // Told whatever the run answered, also after a failure or with no levels.
    v->alertNote(generationSummary(created, seconds));
  } catch (const HostError &e) {
    if (v)
      v->alertNote(e.text());
  }
}

void validateCommand(void *) {
  try {
    if (!checkCommandPreconditions())
      return;
    ValidateDialog dialog(view().appGetActiveDoc());
    platformUi().runModal(dialog);
  } catch (const HostError &e) {
    view().alertNote(e.text());
  }
}

void sortCommand(void *) {
  ui::UiServices *platform = nullptr;
  try {
    if (!checkCommandPreconditions())
      return;
    const DocHandle doc = view().appGetActiveDoc();
    SortOptions options;
    SortDialog dialog(options, plugInState().defaultsFile);
    platform = &platformUi();
    if (platform->runModal(dialog) != ui::DialogResult::Ok)
      return;
    platform->setWaitCursor(true);
    std::vector<WalkGap> gaps;
    sortOutline(hostTables().pdModel.must().docGetBookmarkRoot(doc), options, compareTitles, &gaps);
    platform->setWaitCursor(false);
    if (!gaps.empty())
      view().alertNote("The bookmarks were sorted as far as the outline could be followed. " +
                       describeGaps(gaps));
  } catch (const HostError &e) {
    if (platform)
      platform->setWaitCursor(false);
    view().alertNote(e.text());
  }
}

void helpCommand(void *) {
  try {
    if (!platformUi().openHelp(plugInState().helpFile))
      view().alertNote(kHelpFailedMessage);
  } catch (const HostError &) {
    view().alertNote(kHelpFailedMessage);
  }
}

void aboutCommand(void *) {
  try {
    AboutBox box(view().appGetName());
    platformUi().runModal(box);
  } catch (const HostError &e) {
    view().alertNote(e.text());
  }
}

void buildMenus() {
  AcroViewTable &v = view();
  const uint32_t owner = plugInState().extensionId;
  const MenubarHandle bar = v.appGetMenubar();
  if (MenuHandle extensions = v.menubarAcquireMenuByName(bar, "Extensions")) {
    MenuHandle submenu = v.menuNew("&Bookmarks", "TAVO:BookmarksMenu", owner);
    for (const MenuEntry &entry : kBookmarkItems) {
      if (!entry.run)
        continue;
      MenuItemHandle item = v.menuItemNew(entry.title, entry.name, MenuHandle(), owner);
      v.menuItemSetExecuteProc(item, entry.run, nullptr);
      v.menuItemSetComputeEnabledProc(item, entry.enabled, nullptr);
      v.menuAddMenuItem(submenu, item, kAtEnd);
      v.menuItemRelease(item);
    }
    MenuItemHandle carrier = v.menuItemNew("&Bookmarks", "TAVO:Bookmarks", submenu, owner);
    v.menuAddMenuItem(extensions, carrier, kAtEnd);
    v.menuItemRelease(carrier);
    v.menuRelease(submenu);
    v.menuRelease(extensions);
  }
  const std::pair<const char *, std::pair<const char *, ExecuteProc>> extras[] = {
      {"UsingExtensions", {"TAVO:Sorvane", helpCommand}},
      {"AboutExtensions", {"TAVO:AboutSorvane", aboutCommand}},
  };
  for (const auto &[menuName, item] : extras) {
    MenuHandle menu = v.menubarAcquireMenuByName(bar, menuName);
    if (!menu)
      continue;
    MenuItemHandle entry = v.menuItemNew("&Sorvane...", item.first, MenuHandle(), owner);
    v.menuItemSetExecuteProc(entry, item.second, nullptr);
    v.menuAddMenuItem(menu, entry, kAtEnd);
    v.menuItemRelease(entry);
    v.menuRelease(menu);
  }
}

std::string derivedPath(const std::string &modulePath, const std::string &extension) {
  const auto slash = modulePath.rfind('/');
  const auto dot = modulePath.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
    return modulePath + extension;
  std::string current = modulePath.substr(dot);
  std::transform(current.begin(), current.end(), current.begin(),
                 [](unsigned char c) { return char(std::tolower(c)); });
  if (current != ".api")
    return modulePath + extension;
  return modulePath.substr(0, dot) + extension;
}

} // namespace sorvane
