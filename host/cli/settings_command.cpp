#include "host/cli/settings_command.h"

#include <filesystem>
#include <ostream>

#include "host/base/atom_table.h"
#include "host/base/file_io.h"
#include "host/cli/cli_support.h"
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
  CabinetHandle file = x.cabinetNew();
  x.cabinetPutCabinet(file, "BuildSettings",
                      x.cabinetDup(x.cabinetGetCabinet(d.description, "Complete")));
  x.cabinetDestroy(d.params);
  x.cabinetDestroy(d.description);
  const std::string bytes = host::writeCabinetStream(host::ObjectStore::instance().cabinet(file),
                                                     host::AtomTable::instance());
  x.cabinetDestroy(file);
  try {
    host::writeFileAtomically(path, bytes);
  } catch (const HostError &e) {
    throw HostError(ErrorCode::Generic, e.text()); // an output problem: exit code 4
  }
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

} // namespace

ExitCode runSettings(const std::vector<std::string> &args, std::ostream &out, std::ostream &err) {
  const Arguments a(args, *findCommand("settings"));
  if (a.error())
    return usageError(err, *a.error());
  if (a.positional().size() != 2 || (a.positional()[0] != "new" && a.positional()[0] != "show"))
    return usageError(err, "use 'settings new FILE.svb' or 'settings show FILE.svb'.");
  try {
    const std::string &file = a.positional()[1];
    return a.positional()[0] == "new" ? settingsNew(file, out, err) : settingsShow(file, out, err);
  } catch (const HostError &e) {
    return reportHostError(err, e);
  }
}

} // namespace sorvane::cli
