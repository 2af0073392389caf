#include "host/cli/tools_command.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include "host/base/file_io.h"
#include "host/cli/active_file.h"
#include "host/cli/cli_support.h"
#include "host/cli/host_session.h"
#include "host/pdf/outline_listing.h"
#include "host/pdf/page_copy.h"
#include "host/runtime/view_services.h"

namespace sorvane::cli {
namespace {

// Whether a program `name` is on the PATH.
bool onPath(const std::string &name) {
  const char *path = std::getenv("PATH");
  std::string folders = path ? path : "/usr/bin:/bin";
  size_t start = 0;
  while (start <= folders.size()) {
    const size_t end = std::min(folders.find(':', start), folders.size());
    const std::string folder = end > start ? folders.substr(start, end - start) : ".";
    if (::access((folder + "/" + name).c_str(), X_OK) == 0)
      return true;
    start = end + 1;
  }
  return false;
}

constexpr const char *kNoLp =
    "the print command 'lp' is not installed (it comes with CUPS, Debian package cups-client); "
    "--print-to OUT.pdf writes the pages to a file instead.";

// Sends a PDF file to the system's print queue; the reason when it was not taken.
std::optional<std::string> sendToPrinter(const std::string &printer, const std::string &file) {
  if (!onPath("lp"))
    return kNoLp;
  const pid_t pid = fork();
  if (pid == 0) {
    execlp("lp", "lp", "-d", printer.c_str(), file.c_str(), static_cast<char *>(nullptr));
    _exit(127);
  }
  int status = 0;
  if (pid < 0 || waitpid(pid, &status, 0) < 0)
    return "the print command 'lp' could not be started.";
  if (WIFEXITED(status) && WEXITSTATUS(status) == 127)
    return kNoLp;
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
    return "the print queue '" + printer + "' did not take the pages (lp -d " + printer +
           (WIFEXITED(status) ? " ended with status " + std::to_string(WEXITSTATUS(status))
                              : std::string(" was stopped")) +
           "; lpstat -p lists the queues).";
  return std::nullopt;
}

// Every bookmark of the file's outline, those nested too deep to be listed too: the deletion
// removes whole subtrees, and the count of what it removed must include them.
int64_t bookmarkCount(ActiveFile &file) {
  const host::OutlineListing listing = host::listOutline(file.session.pdf(), file.doc);
  return static_cast<int64_t>(listing.entries.size()) + listing.leftOut;
}

} // namespace

ExitCode runPrint(const std::vector<std::string> &args, std::ostream &out, std::ostream &err) {
  const Arguments a(args, *findCommand("print"));
  if (a.error())
    return usageError(err, *a.error());
  if (a.positional().size() != 1)
    return usageError(err, "'print' takes one PDF file.");
  const auto printTo = a.value("--print-to");
  const auto printer = a.value("--printer");
  if (printTo.has_value() == printer.has_value())
    return usageError(err, "say where the pages go: --print-to OUT.pdf or --printer NAME.");
  const std::string input = a.positional()[0];
  if (printTo)
    if (const auto refused = outputOverInput(*printTo, {input}))
      return usageError(err, *refused);
  try {
    ActiveFile file(err, a);
    host::AcroView &view = file.view();
    // Like every command, printing asks for the permission to change the document; and the
    // document's word holds for a copy too: no pages of a document that may not be printed go
    // into a file (the owner password lifts both).
    requireChangesAllowed(*file.document, input);
    if (const auto permissions = file.document->permissions();
        permissions && !(*permissions & kPermissionPrint))
      throw HostError(ErrorCode::PdfPermission,
                      input + ": the document's security settings do not permit printing (open "
                              "it with its owner password, --password).");
    if (!view.isItemEnabled("TAVO:BookmarkSPrint")) {
      err << "sorvane: " << input << " has no bookmarks; nothing was printed.\n";
      return ExitCode::ProblemsFound;
    }
    // The plug-in tells the count as it hands the pages over; they are not printed yet, so its
    // notes wait until the pages went out (the count is in the line that ends the run).
    file.session.holdNotes();
    view.executeItem("TAVO:BookmarkSPrint");
    const std::vector<int> pages = file.session.takePrintedPages();
    std::vector<std::string> notes = file.session.takeHeldNotes();
    std::erase_if(notes, [](const std::string &note) {
      return note.rfind("Total numbers of pages printed", 0) == 0;
    });
    for (const std::string &note : notes)
      err << "sorvane: " << note << "\n";
    if (file.session.confirmationRefused()) {
      err << "sorvane: nothing was printed: printing was not confirmed (pass --yes to confirm "
             "it without a question).\n";
      return ExitCode::Usage;
    }
    if (pages.empty()) {
      err << "sorvane: no bookmark of " << input << " leads to a page; nothing was printed.\n";
      return ExitCode::ProblemsFound;
    }
    try {
      if (printTo) {
        host::writePagesToFile(*file.document, pages, *printTo);
      } else {
        const host::ScratchFile scratch("sorvane-print");
        host::writePagesToFile(*file.document, pages, scratch.path());
        if (const auto refused = sendToPrinter(*printer, scratch.path())) {
          err << "sorvane: nothing was printed: " << *refused << "\n";
          return ExitCode::HostFailure;
        }
      }
    } catch (const HostError &e) {
      throw HostError(ErrorCode::Generic, e.text());
    }
    out << "Pages printed: " << pages.size() << " -> " << (printTo ? *printTo : *printer) << "\n";
    // Bookmarks the outline's damage hid (the plug-in's note named them) left their pages out.
    const host::OutlineListing listing = host::listOutline(file.session.pdf(), file.doc);
    if (listing.leftOut > 0 || !listing.warnings.empty())
      return ExitCode::ProblemsFound;
    return ExitCode::Success;
  } catch (const HostError &e) {
    return reportHostError(err, e);
  }
}

ExitCode runDeleteAll(const std::vector<std::string> &args, std::ostream &out, std::ostream &err) {
  const Arguments a(args, *findCommand("delete-all"));
  if (a.error())
    return usageError(err, *a.error());
  if (a.positional().size() != 1)
    return usageError(err, "'delete-all' takes one PDF file.");
  const auto output = a.value("--output");
  const std::string input = a.positional()[0];
  if (const auto problem = outputProblem(a, input))
    return usageError(err, *problem);
  try {
    ActiveFile file(err, a);
    host::AcroView &view = file.view();
    // As for every change: the document's word holds (its owner password lifts it).
    requireChangesAllowed(*file.document, input);
    const int64_t before = bookmarkCount(file);
    if (!view.isItemEnabled("TAVO:BookmarkDeleteAll")) {
      err << "sorvane: " << input << " has no bookmarks; nothing was written.\n";
      return ExitCode::ProblemsFound;
    }
    view.executeItem("TAVO:BookmarkDeleteAll");
    const int64_t after = bookmarkCount(file);
    if (file.session.confirmationRefused()) {
      err << "sorvane: nothing was deleted: the deletion was not confirmed (pass --yes to "
             "confirm it without a question).\n";
      return ExitCode::Usage;
    }
    if (file.session.notesShown() > 0)
      return ExitCode::HostFailure; // the note said why
    saveResult(*file.document, output ? *output : input);
    out << "Bookmarks deleted: " << before - after << "\n";
    return ExitCode::Success;
  } catch (const HostError &e) {
    return reportHostError(err, e);
  }
}

} // namespace sorvane::cli
