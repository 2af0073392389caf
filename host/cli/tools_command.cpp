#include "host/cli/tools_command.h"

#include <ostream>

#include "host/cli/cli_support.h"
#include "host/cli/host_session.h"
#include "host/pdf/outline_listing.h"
#include "host/runtime/view_services.h"

namespace sorvane::cli {

ExitCode runDeleteAll(const std::vector<std::string> &args, std::ostream &, std::ostream &err) {
  const Arguments a(args, {"--in-place", "--yes"}, {"-o", "--output", "--password"});
  if (a.error())
    return usageError(err, *a.error());
  if (a.positional().size() != 1)
    return usageError(err, "'delete-all' takes one PDF file.");
  const auto output = a.value("-o") ? a.value("-o") : a.value("--output");
  if (output.has_value() == a.flag("--in-place"))
    return usageError(err, "say where the result goes: -o OUT.pdf, or --in-place to replace the "
                           "input.");
  const std::string input = a.positional()[0];
  try {
    HostSession session(err);
    session.answerConfirmations(a.flag("--yes"));
    session.loadPlugIn();
    auto document = host::PdfDocument::open(input, a.value("--password").value_or(""));
    const DocHandle doc = session.pdf().add(*document);
    host::AcroView &view = session.provider().acroView();
    view.setActiveDoc(doc);
    const size_t before = host::listOutline(session.pdf(), doc).entries.size();
    if (!view.isItemEnabled("TAVO:BookmarkDeleteAll")) {
      err << "sorvane: " << input << " has no bookmarks; nothing was written.\n";
      return ExitCode::Success;
    }
    view.executeItem("TAVO:BookmarkDeleteAll");
    const size_t after = host::listOutline(session.pdf(), doc).entries.size();
    view.setActiveDoc(DocHandle());
    if (session.confirmationRefused()) {
      err << "sorvane: nothing was deleted: the deletion was not confirmed (pass --yes to "
             "confirm it without a question).\n";
      return ExitCode::Usage;
    }
    if (session.notesShown() > 0)
      return ExitCode::HostFailure; // the note said why
    try {
      document->save(output ? *output : input);
    } catch (const HostError &e) {
      throw HostError(ErrorCode::Generic, e.text());
    }
    session.pdf().remove(doc);
    err << "Bookmarks deleted: " << before - after << "\n";
    return ExitCode::Success;
  } catch (const HostError &e) {
    return reportHostError(err, e);
  }
}

} // namespace sorvane::cli
