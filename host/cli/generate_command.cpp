#include "host/cli/generate_command.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <ostream>
#include <set>
#include <unistd.h>

#include "host/base/atom_table.h"
#include "host/base/file_io.h"
#include "host/cli/cli_support.h"
#include "host/cli/host_session.h"
#include "host/cli/terminal_progress.h"
#include "host/pdf/outline_listing.h"
#include "host/runtime/as_extra.h"
#include "host/runtime/batch_sequence.h"
#include "host/runtime/cabinet_stream.h"
#include "host/runtime/object_store.h"
#include "host/runtime/view_services.h"

namespace sorvane::cli {
namespace {

constexpr const char *kCommandName = "TAVO_SorvaneBuildCommand";

// A settings file's "BuildSettings", as a Cabinet the caller owns.
CabinetHandle readSettings(HostSession &session, const std::string &path) {
  const std::string bytes = host::readWholeFile(path, host::kMaxCabinetStreamBytes);
  std::unique_ptr<host::CabinetNode> file;
  try {
    file = host::readCabinetStream(bytes, host::AtomTable::instance());
  } catch (const HostError &e) {
    throw HostError(e.code(), path + ": " + e.text());
  }
  CabinetHandle cab = host::ObjectStore::instance().adopt(std::move(file));
  ASExtraTable &x = session.provider().asExtra();
  CabinetHandle settings = x.cabinetGetCabinet(cab, "BuildSettings");
  if (!settings) {
    x.cabinetDestroy(cab);
    throw HostError(ErrorCode::FileFormat,
                    path + ": not a settings file (it has no \"BuildSettings\" entry).");
  }
  CabinetHandle copy = x.cabinetDup(settings);
  x.cabinetDestroy(cab);
  return copy;
}

struct FileResult {
  size_t added = 0;
  size_t total = 0;
};

// Opens `input`, generates its bookmarks and saves the result to `output`.
FileResult generateFile(HostSession &session, host::BatchSequence &sequence,
                        const std::string &input, const std::string &output,
                        const std::string &password, TerminalProgress &progress) {
  auto document = host::PdfDocument::open(input, password);
  // The host keeps the document's word: no bookmarks go into a file that may not be changed.
  if (const auto permissions = document->permissions();
      permissions && !(*permissions & kPermissionModify))
    throw HostError(ErrorCode::PdfPermission,
                    input + ": the document's security settings do not permit changes (open it "
                            "with its owner password, --password).");
  host::PdfTables &pdf = session.pdf();
  const DocHandle doc = pdf.add(*document);
  FileResult result;
  try {
    std::set<int> before;
    for (const host::OutlineEntry &e : host::listOutline(pdf, doc).entries)
      before.insert(e.object);
    const CommandStatus status = sequence.runOn(doc, &progress.monitor(), progress.clientData());
    if (status != CommandStatus::Done)
      throw HostError(ErrorCode::Generic, input + ": the generation did not finish.");
    // New bookmarks are the ones that were not there before (a replaced outline's are gone).
    for (const host::OutlineEntry &e : host::listOutline(pdf, doc).entries) {
      ++result.total;
      result.added += before.count(e.object) ? 0 : 1;
    }
    try {
      document->save(output);
    } catch (const HostError &e) {
      // Not an input problem: the result could not be written (the input is untouched).
      throw HostError(ErrorCode::Generic, e.text());
    }
  } catch (...) {
    pdf.remove(doc);
    throw;
  }
  pdf.remove(doc);
  return result;
}

std::string seconds(std::chrono::steady_clock::time_point start) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f s",
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  return text;
}

// The settings, the plug-in and its batch command, ready to run on files.
struct Setup {
  std::unique_ptr<HostSession> session;
  CabinetHandle settings;
  std::unique_ptr<host::BatchSequence> sequence;
  ~Setup() {
    sequence.reset();
    if (settings)
      session->provider().asExtra().cabinetDestroy(settings);
  }
};

std::unique_ptr<Setup> prepare(const std::string &settingsPath, std::ostream &err) {
  auto s = std::make_unique<Setup>();
  s->session = std::make_unique<HostSession>(err);
  s->settings = readSettings(*s->session, settingsPath);
  if (s->session->provider().asExtra().cabinetGetInt(s->settings, "NumLevels", 0) <= 0)
    err << "sorvane: warning: " << settingsPath
        << " has no levels, so no headings can be found (see 'sorvane settings new').\n";
  s->session->loadPlugIn();
  const Atom name = s->session->provider().core().atomFromString(kCommandName);
  s->sequence =
      std::make_unique<host::BatchSequence>(s->session->provider().acroView(), name, s->settings);
  return s;
}

bool isTerminal() { return ::isatty(2) != 0; }

} // namespace

ExitCode runGenerate(const std::vector<std::string> &args, std::ostream &, std::ostream &err) {
  const Arguments a(args, {"--in-place"}, {"-s", "--settings", "-o", "--output", "--password"});
  if (a.error())
    return usageError(err, *a.error());
  if (a.positional().size() != 1)
    return usageError(err, "'generate' takes one PDF file.");
  const auto settings = a.value("-s") ? a.value("-s") : a.value("--settings");
  if (!settings)
    return usageError(err, "'generate' needs a settings file: -s SETTINGS.svb.");
  const auto output = a.value("-o") ? a.value("-o") : a.value("--output");
  if (output.has_value() == a.flag("--in-place"))
    return usageError(err, "say where the result goes: -o OUT.pdf, or --in-place to replace the "
                           "input.");
  const std::string input = a.positional()[0];
  const auto start = std::chrono::steady_clock::now();
  try {
    auto setup = prepare(*settings, err);
    TerminalProgress progress(err, isTerminal(), setup->session->provider().asExtra());
    const FileResult r =
        generateFile(*setup->session, *setup->sequence, input, output ? *output : input,
                     a.value("--password").value_or(""), progress);
    err << "Bookmarks added: " << r.added << "; the outline now holds " << r.total << "; "
        << seconds(start) << "\n";
    return ExitCode::Success;
  } catch (const HostError &e) {
    return reportHostError(err, e);
  }
}

ExitCode runBatch(const std::vector<std::string> &args, std::ostream &, std::ostream &err) {
  const Arguments a(args, {"--in-place"},
                    {"-s", "--settings", "--output-dir", "--suffix", "--password"});
  if (a.error())
    return usageError(err, *a.error());
  if (a.positional().empty())
    return usageError(err, "'batch' takes one or more PDF files.");
  const auto settings = a.value("-s") ? a.value("-s") : a.value("--settings");
  if (!settings)
    return usageError(err, "'batch' needs a settings file: -s SETTINGS.svb.");
  const auto dir = a.value("--output-dir");
  const auto suffix = a.value("--suffix");
  if (int(dir.has_value()) + int(suffix.has_value()) + int(a.flag("--in-place")) != 1)
    return usageError(err, "say where the results go: --output-dir DIR, --suffix S, or "
                           "--in-place.");
  if (suffix && suffix->empty())
    return usageError(err, "'--suffix' needs a non-empty suffix.");
  std::unique_ptr<Setup> setup;
  try {
    setup = prepare(*settings, err);
  } catch (const HostError &e) {
    return reportHostError(err, e);
  }
  TerminalProgress progress(err, isTerminal(), setup->session->provider().asExtra());
  int failed = 0;
  const auto start = std::chrono::steady_clock::now();
  for (const std::string &input : a.positional()) {
    const std::filesystem::path in(input);
    std::string output = input;
    if (dir)
      output = (std::filesystem::path(*dir) / in.filename()).string();
    else if (suffix)
      output =
          (in.parent_path() / (in.stem().string() + *suffix + in.extension().string())).string();
    try {
      const FileResult r = generateFile(*setup->session, *setup->sequence, input, output,
                                        a.value("--password").value_or(""), progress);
      err << input << ": " << r.added << " bookmarks added, " << r.total << " in all -> " << output
          << "\n";
    } catch (const HostError &e) {
      ++failed;
      err << input << ": failed: " << e.what() << "\n";
    }
  }
  const size_t files = a.positional().size();
  err << files << (files == 1 ? " file: " : " files: ") << files - size_t(failed) << " done, "
      << failed << " failed; " << seconds(start) << "\n";
  return failed ? ExitCode::HostFailure : ExitCode::Success;
}

} // namespace sorvane::cli
