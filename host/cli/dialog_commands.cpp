// `validate` and `sort`: the plug-in's Validate and Sort commands, their dialogs driven by a
// script made from the command's options.
#include "host/cli/dialog_commands.h"

#include <algorithm>
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <ostream>

#include "host/base/view_kinds.h"
#include "host/cli/active_file.h"
#include "host/cli/cli_support.h"
#include "host/pdf/outline_listing.h"
#include "host/runtime/scripted_ui.h"

namespace sorvane::cli {
namespace {

using Json = nlohmann::ordered_json;

// `text` as a quoted word of a dialog script.
std::string scriptWord(const std::string &text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\')
      out += '\\';
    if (c == '\n') {
      out += "\\n";
      continue;
    }
    out += c;
  }
  return out + "\"";
}

std::string checkStep(bool on, const std::string &box) {
  return (on ? "check " : "uncheck ") + scriptWord(box) + "\n";
}

// The page (zero-based) a bookmark's action leads to in `doc`, when it leads to one.
std::optional<int> pageOf(PDModelTable &pd, CoreTable &core, DocHandle doc,
                          BookmarkHandle bookmark) {
  try {
    const ActionHandle action = pd.bookmarkGetAction(bookmark);
    // Only a go-to action leads into this document (a remote one names a page of another).
    if (!pd.actionIsValid(action) || host::actionKindNamed(core.atomGetString(
                                         pd.actionGetSubtype(action))) != host::ActionKind::GoTo)
      return std::nullopt;
    const ViewDestHandle dest = pd.actionGetDest(action);
    const ViewDestHandle resolved = dest ? pd.viewDestResolve(dest, doc) : ViewDestHandle();
    if (!resolved)
      return std::nullopt;
    const int32_t page = pd.viewDestGetPageIndex(resolved);
    return page >= 0 ? std::optional<int>(page) : std::nullopt;
  } catch (const HostError &) {
    return std::nullopt;
  }
}

struct Problem {
  std::string titlePath;
  std::optional<int> page;
  std::vector<std::string> messages;
};

// The title path out of a report entry `N. Bookmark: "PATH"`.
std::string titlePathOf(const std::string &entry) {
  const std::string mark = "Bookmark: \"";
  const size_t at = entry.find(mark);
  if (at == std::string::npos || entry.size() < at + mark.size() + 1)
    return entry;
  return entry.substr(at + mark.size(), entry.size() - at - mark.size() - 1);
}

} // namespace

ExitCode runValidate(const std::vector<std::string> &args, std::ostream &out, std::ostream &err) {
  const Arguments a(args, *findCommand("validate"));
  if (a.error())
    return usageError(err, *a.error());
  if (a.positional().size() != 1)
    return usageError(err, "'validate' takes one PDF file.");
  const std::string input = a.positional()[0];
  try {
    ActiveFile file(err, a);
    requireChangesAllowed(*file.document, input);
    if (!file.view().isItemEnabled("TAVO:BookmarkValidate")) {
      err << "sorvane: " << input << " has no bookmarks; there is nothing to validate.\n";
      return ExitCode::ProblemsFound;
    }
    host::ScriptedUi &ui = file.session.ui();
    // The options of this run are the command's; what the user's desktop remembers stays.
    ui.keepProfileInMemory();
    ui.setScript(host::parseDialogScript(
        "dialog \"Validate Bookmarks\"\n" +
        checkStep(!a.flag("--no-links"), "Warn about bookmarks pointing outside current document") +
        checkStep(!a.flag("--no-files"), "Verify links to external documents and files") +
        "press \"Validate\"\npress \"Close\"\n"));
    std::vector<Problem> problems;
    std::string status;
    PDModelTable &pd = file.session.pdf().pdModel();
    ui.setDialogObserver([&](const ui::Dialog &dialog) {
      for (const ui::Control &c : dialog.controls()) {
        if (c.name == "status")
          status = c.text;
        if (c.name != "report")
          continue;
        for (const ui::TreeItem &entry : c.tree) {
          if (entry.parent < 0 && entry.data != 0) {
            const BookmarkHandle bm(static_cast<uint64_t>(entry.data));
            problems.push_back({titlePathOf(entry.text),
                                pageOf(pd, file.session.provider().core(), file.doc, bm),
                                {}});
          } else if (entry.parent >= 0 && !problems.empty()) {
            problems.back().messages.push_back(entry.text);
          }
        }
      }
    });
    file.view().executeItem("TAVO:BookmarkValidate");
    if (ui.failure())
      throw HostError(ErrorCode::Generic, *ui.failure());
    if (file.session.notesShown() > 0 || status.empty())
      return ExitCode::HostFailure; // the note said why
    const int pages = file.session.pdf().pdModel().docGetNumPages(file.doc);
    if (a.flag("--json")) {
      Json report = Json::object();
      report["file"] = input;
      report["status"] = status;
      const size_t colon = status.rfind(": ");
      report["checked"] = colon == std::string::npos ? 0 : std::atoi(status.c_str() + colon + 2);
      Json list = Json::array();
      for (const Problem &p : problems) {
        Json entry = Json::object();
        entry["titlePath"] = p.titlePath;
        entry["page"] = p.page ? Json(*p.page + 1) : Json(nullptr);
        entry["messages"] = p.messages;
        list.push_back(std::move(entry));
      }
      report["problems"] = std::move(list);
      out << report.dump(2) << "\n";
    } else if (problems.empty()) {
      out << "No errors found\n";
    } else {
      int number = 0;
      for (const Problem &p : problems) {
        out << ++number << ". Bookmark: \"" << p.titlePath << "\"";
        if (p.page)
          out << " (page " << *p.page + 1
              << (*p.page >= pages ? " of " + std::to_string(pages) : std::string()) << ")";
        out << "\n";
        for (const std::string &message : p.messages)
          out << "     " << message << "\n";
      }
    }
    if (!a.flag("--json"))
      out << status << "; bookmarks with problems: " << problems.size() << "\n";
    return problems.empty() ? ExitCode::Success : ExitCode::ProblemsFound;
  } catch (const HostError &e) {
    return reportHostError(err, e);
  }
}

ExitCode runSort(const std::vector<std::string> &args, std::ostream &out, std::ostream &err) {
  const Arguments a(args, *findCommand("sort"));
  if (a.error())
    return usageError(err, *a.error());
  if (a.positional().size() != 1)
    return usageError(err, "'sort' takes one PDF file.");
  const auto output = a.value("--output");
  int level = 1;
  if (const auto given = a.value("--level")) {
    level = given->size() <= 2 && !given->empty() &&
                    given->find_first_not_of("0123456789") == std::string::npos
                ? std::stoi(*given)
                : 0;
    if (level < 1 || level > 10)
      return usageError(err, "--level takes a level from 1 (the top-level bookmarks) to 10.");
  }
  const auto title = a.value("--title");
  // Titles are compared as the outline shows them, one line with control characters as blanks:
  // a title with a line break in it can name no bookmark.
  if (title && std::any_of(title->begin(), title->end(),
                           [](char c) { return static_cast<unsigned char>(c) < 0x20; }))
    return usageError(err, "--title takes a title on one line, without control characters.");
  const std::string input = a.positional()[0];
  if (const auto problem = outputProblem(a, input))
    return usageError(err, *problem);
  try {
    ActiveFile file(err, a);
    requireChangesAllowed(*file.document, input);
    if (!file.view().isItemEnabled("TAVO:BookmarkSort")) {
      err << "sorvane: " << input << " has no bookmarks; nothing was written.\n";
      return ExitCode::ProblemsFound;
    }
    std::string script =
        "dialog \"Sort Bookmarks\"\n"
        "choose \"Select bookmark level to sort:\" \"Level " +
        std::to_string(level) + "\"\n" +
        checkStep(title.has_value(), "Sort only bookmark(s) with the following title:");
    if (title)
      script += "type title " + scriptWord(*title) + "\n";
    script += std::string("check ") + (a.flag("--descending") ? "Descending" : "Ascending") + "\n" +
              checkStep(a.flag("--ignore-case"), "Ignore text case") +
              checkStep(a.flag("--children"), "Sort child bookmarks") + "press OK\n";
    host::ScriptedUi &ui = file.session.ui();
    ui.setScript(host::parseDialogScript(script));
    const auto before = host::listOutline(file.session.pdf(), file.doc).entries;
    file.view().executeItem("TAVO:BookmarkSort");
    if (ui.failure())
      throw HostError(ErrorCode::Generic, *ui.failure());
    if (file.session.notesShown() > 0)
      return ExitCode::HostFailure; // the note said why
    const auto after = host::listOutline(file.session.pdf(), file.doc).entries;
    size_t moved = 0;
    for (size_t i = 0; i < before.size() && i < after.size(); ++i)
      moved += before[i].object != after[i].object;
    saveResult(*file.document, output ? *output : input);
    out << "Bookmarks moved: " << moved << " of " << after.size()
        << (moved == 0 ? " (already in order)" : "") << " -> " << (output ? *output : input)
        << "\n";
    return ExitCode::Success;
  } catch (const HostError &e) {
    return reportHostError(err, e);
  }
}

} // namespace sorvane::cli
