#include "host/cli/tools_command.h"

#include <filesystem>
#include <ostream>
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

// Sends a PDF file to the system's print queue; false (with the reason on `err`) on failure.
bool sendToPrinter(const std::string &printer, const std::string &file, std::ostream &err) {
  const pid_t pid = fork();
  if (pid == 0) {
    execlp("lp", "lp", "-d", printer.c_str(), file.c_str(), static_cast<char *>(nullptr));
    _exit(127);
  }
  int status = 0;
  if (pid < 0 || waitpid(pid, &status, 0) < 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    err << "sorvane: the print queue did not take the pages (lp -d " << printer << " failed).\n";
    return false;
  }
  return true;
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
    // The document's word holds for a copy too: no pages of a document that may not be printed
    // go into a file (the owner password lifts it).
    if (const auto permissions = file.document->permissions();
        permissions && !(*permissions & kPermissionPrint))
      throw HostError(ErrorCode::PdfPermission,
                      input + ": the document's security settings do not permit printing (open "
                              "it with its owner password, --password).");
    std::vector<int> pages;
    view.setPrintHandler([&pages](DocHandle, int32_t first, int32_t last) {
      for (int32_t p = first; p <= last; ++p)
        pages.push_back(p);
    });
    if (!view.isItemEnabled("TAVO:BookmarkSPrint")) {
      err << "sorvane: " << input << " has no bookmarks; nothing was printed.\n";
      return ExitCode::ProblemsFound;
    }
    view.executeItem("TAVO:BookmarkSPrint");
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
        if (!sendToPrinter(*printer, scratch.path(), err))
          return ExitCode::HostFailure;
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
