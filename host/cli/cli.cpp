#include "host/cli/cli.h"

#include <ostream>

#include "host/cli/cli_support.h"
#include "host/cli/generate_command.h"
#include "host/cli/inspect_command.h"
#include "host/cli/list_command.h"
#include "host/cli/settings_command.h"
#include "host/cli/tools_command.h"
#include "host/pdf/pdf_engine.h"
#include "sdk/host_error.h"

#ifndef SORVANE_VERSION
#define SORVANE_VERSION "0.0.0"
#endif

namespace sorvane::cli {
namespace {

constexpr const char *kHelp = R"(Usage: sorvane COMMAND [OPTIONS]
       sorvane --help | --version

Sorvane builds, checks and maintains the bookmark outline of PDF files.

Commands:
  generate IN.pdf -s SETTINGS.svb (-o OUT.pdf | --in-place) [--password PW]
                   find the headings of IN.pdf by the level rules of SETTINGS.svb and
                   add them to its outline as bookmarks
  batch -s SETTINGS.svb (--output-dir DIR | --suffix S | --in-place) FILES...
                   the same for many files; one that fails does not stop the others
  settings new FILE.svb
                   start a settings file (one level: Helvetica-Bold, 12 pt) to edit
  settings show FILE.svb
                   print the levels of a settings file and its other settings
  print IN.pdf (--print-to OUT.pdf | --printer NAME) [--yes] [--password PW]
                   print the page each bookmark leads to, in outline order, into a PDF
                   file or to a print queue, after a confirmation (--yes answers it)
  delete-all IN.pdf (-o OUT.pdf | --in-place) [--yes] [--password PW]
                   delete every bookmark, after a confirmation (--yes answers it)
  list FILE.pdf [--json] [--password PW]
                   print the outline as an indented tree (title, page, open state),
                   or as JSON with --json
  inspect FILE.pdf [--page N] [--json] [--password PW]
                   print the text runs of page N (default 1) with font, size and box,
                   the facts level rules test; as JSON with --json

Every command that reads a PDF also takes --password PW, or --password-file FILE (its first
line), or the environment variable SORVANE_PASSWORD.

Options:
  -h, --help       show this help and exit
  -V, --version    show the version of Sorvane and of its PDF engine, and exit

Exit codes:
  0  success
  1  done with problems (nothing found or added, pages unreadable, headings lost)
  2  usage error
  3  input error (an unreadable PDF or settings file)
  4  host error (a result that could not be written, a failure while working)
  5  internal error
  130 interrupted (Ctrl-C)

The guide to every command and to settings files is in docs/ (command-line.md,
settings-files.md).

Sorvane is free software under the GNU Affero General Public License, version 3 or later.
)";

ExitCode printVersion(std::ostream &out, std::ostream &err) {
  try {
    out << "sorvane " << SORVANE_VERSION << " (" << host::pdfEngineVersion() << ")\n";
    return ExitCode::Success;
  } catch (const HostError &e) {
    err << "sorvane: " << e.what() << "\n";
    return ExitCode::HostFailure;
  }
}

ExitCode runCommand(const std::vector<std::string> &args, std::ostream &out, std::ostream &err) {
  if (args.empty()) {
    err << kHelp;
    return ExitCode::Usage;
  }
  const std::string &first = args.front();
  if (first == "-h" || first == "--help" || first == "help") {
    out << kHelp;
    return ExitCode::Success;
  }
  if (first == "-V" || first == "--version") {
    if (args.size() > 1)
      return usageError(err, "'" + first + "' takes no arguments.");
    return printVersion(out, err);
  }
  const std::vector<std::string> rest(args.begin() + 1, args.end());
  if (first == "list")
    return runList(rest, out, err);
  if (first == "inspect")
    return runInspect(rest, out, err);
  if (first == "generate")
    return runGenerate(rest, out, err);
  if (first == "batch")
    return runBatch(rest, out, err);
  if (first == "settings")
    return runSettings(rest, out, err);
  if (first == "delete-all")
    return runDeleteAll(rest, out, err);
  if (first == "print")
    return runPrint(rest, out, err);
  if (!first.empty() && first.front() == '-')
    return usageError(err, "unknown option '" + first + "'.");
  return usageError(err, "unknown command '" + first + "'.");
}

} // namespace

ExitCode run(const std::vector<std::string> &args, std::ostream &out, std::ostream &err) {
  try {
    return runCommand(args, out, err);
  } catch (const HostError &e) {
    return reportHostError(err, e);
  } catch (const std::exception &e) {
    err << "sorvane: internal error: " << e.what() << "\n";
  } catch (...) {
    err << "sorvane: internal error: an unknown exception\n";
  }
  err << "sorvane: nothing more was done; please report this with the command that caused it.\n";
  return ExitCode::InternalError;
}

} // namespace sorvane::cli
