#include "host/cli/settings_command.h"

#include <filesystem>
#include <ostream>

#include "host/base/atom_table.h"
#include "host/base/file_io.h"
#include "host/cli/cli_support.h"
#include "host/cli/dialog_support.h"
#include "host/cli/host_session.h"
#include "host/cli/settings_support.h"
#include "host/runtime/as_extra.h"
#include "host/runtime/batch_sequence.h"
#include "host/runtime/cabinet_stream.h"
#include "host/runtime/object_store.h"
#include "host/runtime/view_services.h"

namespace sorvane::cli {
namespace {

// Asks the plug-in's batch command what `params` become (its defaults added) and how it
// describes them. Both Cabinets are the caller's.
struct Described {
  CabinetHandle params;
  CabinetHandle description;
};

Described describe(HostSession &session, CabinetHandle params) {
  session.loadPlugIn();
  const Atom name = session.provider().core().atomFromString(kBuildCommandName);
  host::BatchSequence command(session.provider().acroView(), session.provider().asExtra(), name,
                              params);
  return Described{command.params(), command.describeParams()};
}

// Writes a settings file holding `buildSettings` (which the call takes over) at `path`,
// atomically. Throws HostError(Generic) when it cannot be written.
void writeSettingsFile(ASExtraTable &x, CabinetHandle buildSettings, const std::string &path) {
  CabinetHandle file = x.cabinetNew();
  x.cabinetPutCabinet(file, "BuildSettings", buildSettings);
  const std::string bytes = host::writeCabinetStream(host::ObjectStore::instance().cabinet(file),
                                                     host::AtomTable::instance());
  x.cabinetDestroy(file);
  try {
    host::writeFileAtomically(path, bytes);
  } catch (const HostError &e) {
    throw HostError(ErrorCode::Generic, e.text()); // an output problem: exit code 4
  }
}

ExitCode settingsNew(const std::string &path, std::ostream &out, std::ostream &err) {
  std::error_code ec;
  if (std::filesystem::exists(path, ec) || ec == std::errc::too_many_symbolic_link_levels) {
    err << "sorvane: " << path << " exists; choose another name (nothing was written).\n";
    return ExitCode::Usage;
  }
  HostSession session(err);
  ASExtraTable &x = session.provider().asExtra();
  // One level with the starting values of a level rule: Helvetica-Bold, 12 pt.
  CabinetHandle start = x.cabinetNew();
  x.cabinetPutInt(start, "NumLevels", 1);
  x.cabinetPutCabinet(start, "Level0", x.cabinetNew());
  const Described d = describe(session, start);
  x.cabinetDestroy(start);
  // Every key at its starting value, as the plug-in reads the start: the file documents itself.
  CabinetHandle complete = x.cabinetDup(x.cabinetGetCabinet(d.description, "Complete"));
  // New settings serve every file made the same way, whatever its font subsets.
  if (CabinetHandle level = x.cabinetGetCabinet(complete, "Level0"))
    if (CabinetHandle style = x.cabinetGetCabinet(level, "TextStyle"))
      x.cabinetPutBool(style, "IgnoreSubsetPrefix", true);
  x.cabinetDestroy(d.params);
  x.cabinetDestroy(d.description);
  writeSettingsFile(x, complete, path);
  out << "Wrote " << path << " with one level (Helvetica-Bold, 12 pt); see docs/settings-files.md "
      << "for the keys to edit.\n";
  return ExitCode::Success;
}

ExitCode settingsShow(const std::string &path, std::ostream &out, std::ostream &err) {
  HostSession session(err);
  ASExtraTable &x = session.provider().asExtra();
  CabinetHandle settings = readBuildSettings(session, path);
  const Described d = describe(session, settings);
  x.cabinetDestroy(settings);
  const int32_t levels = x.cabinetGetInt(d.description, "NumLevels", 0);
  out << path << ": " << levels << (levels == 1 ? " level" : " levels") << "\n";
  for (int32_t i = 0; i < levels; ++i)
    out << "  Level " << i + 1 << " : (" << textValue(x, d.description, "Level" + std::to_string(i))
        << ")\n";
  for (const std::string &line : textList(x, d.description, "Lines"))
    out << line << "\n";
  const size_t problems = warnAboutSettings(x, d.description, path, err);
  x.cabinetDestroy(d.params);
  x.cabinetDestroy(d.description);
  return problems ? ExitCode::ProblemsFound : ExitCode::Success;
}

// Runs the Generate dialog on the settings of `path` (none yet: empty ones) and writes what the
// user confirmed back to `path`.
ExitCode settingsEdit(const Arguments &a, const std::string &path, std::ostream &out,
                      std::ostream &err) {
  const DialogOptions dialogs = dialogOptions(a);
  if (!dialogs.any())
    return usageError(err, "'settings edit' edits in the Generate dialog: give its steps with "
                           "--dialog SCRIPT (or look at it with --show-dialog).");
  const auto pdf = a.value("--pdf");
  if (dialogs.select && !pdf)
    return usageError(err, "--select selects text of a document: give it with --pdf IN.pdf.");
  HostSession session(err);
  ASExtraTable &x = session.provider().asExtra();
  std::error_code ec;
  const bool exists = std::filesystem::exists(path, ec);
  CabinetHandle start = exists ? readBuildSettings(session, path) : x.cabinetNew();
  session.loadPlugIn();
  const Atom name = session.provider().core().atomFromString(kBuildCommandName);
  host::BatchSequence command(session.provider().acroView(), x, name, start);
  x.cabinetDestroy(start);

  std::unique_ptr<host::PdfDocument> document;
  DocHandle doc;
  struct Close {
    HostSession &session;
    DocHandle &doc;
    ~Close() {
      if (doc) {
        session.provider().acroView().setActiveDoc(DocHandle());
        session.pdf().remove(doc);
      }
    }
  } close{session, doc};
  if (pdf) {
    document = openDocument(*pdf, password(a), err);
    doc = session.pdf().add(*document);
    session.provider().acroView().setActiveDoc(doc);
    if (dialogs.select)
      selectRectangle(session, *document, doc, *dialogs.select);
  }
  prepareDialogs(session, dialogs, out);
  const CommandStatus edited = command.editParams();
  requireScriptDone(session);
  if (edited != CommandStatus::Ready) {
    if (dialogs.script)
      err << "sorvane: the Generate dialog was closed without OK; " << path
          << " was not written.\n";
    return dialogs.script ? ExitCode::ProblemsFound : ExitCode::Success;
  }
  writeSettingsFile(x, command.params(), path);
  CabinetHandle description = command.describeParams();
  const int32_t levels = x.cabinetGetInt(description, "NumLevels", 0);
  out << "Wrote " << path << " with " << levels << (levels == 1 ? " level" : " levels") << "\n";
  const size_t problems = warnAboutSettings(x, description, path, err);
  x.cabinetDestroy(description);
  return problems ? ExitCode::ProblemsFound : ExitCode::Success;
}

} // namespace

ExitCode runSettings(const std::vector<std::string> &args, std::ostream &out, std::ostream &err) {
  const Arguments a(args, *findCommand("settings"));
  if (a.error())
    return usageError(err, *a.error());
  const std::vector<std::string> &p = a.positional();
  if (p.size() != 2 || (p[0] != "new" && p[0] != "show" && p[0] != "edit"))
    return usageError(err, "use 'settings new FILE.svb', 'settings show FILE.svb' or 'settings "
                           "edit FILE.svb --dialog SCRIPT'.");
  if (p[0] != "edit" && (dialogOptions(a).any() || dialogOptions(a).select || a.value("--pdf")))
    return usageError(err, "--dialog, --show-dialog, --select and --pdf are for 'settings edit'.");
  try {
    const std::string &file = p[1];
    if (p[0] == "edit")
      return settingsEdit(a, file, out, err);
    return p[0] == "new" ? settingsNew(file, out, err) : settingsShow(file, out, err);
  } catch (const ScriptError &e) {
    return usageError(err, e.what());
  } catch (const HostError &e) {
    return reportHostError(err, e);
  }
}

} // namespace sorvane::cli
