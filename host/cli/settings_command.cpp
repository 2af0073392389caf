#include "host/cli/settings_command.h"

#include <filesystem>
#include <ostream>

#include "host/base/atom_table.h"
#include "host/base/file_io.h"
#include "host/cli/cli_support.h"
#include "host/cli/host_session.h"
#include "host/runtime/as_extra.h"
#include "host/runtime/batch_sequence.h"
#include "host/runtime/cabinet_stream.h"
#include "host/runtime/object_store.h"
#include "host/runtime/view_services.h"

namespace sorvane::cli {
namespace {

constexpr const char *kCommandName = "TAVO_SorvaneBuildCommand";

// Asks the plug-in's batch command what `params` become (its defaults added) and how it
// describes them. Both Cabinets are the caller's.
struct Described {
  CabinetHandle params;
  CabinetHandle description;
};

Described describe(HostSession &session, CabinetHandle params) {
  session.loadPlugIn();
  host::AcroView &view = session.provider().acroView();
  ASExtraTable &x = session.provider().asExtra();
  const Atom name = session.provider().core().atomFromString(kCommandName);
  const CommandHandlerRecord *handler = view.handlerFor(name);
  if (!handler)
    throw HostError(ErrorCode::Generic, "The plug-in offers no bookmark generation.");
  CommandHandle command = view.commandNew(name);
  Described d{x.cabinetNew(), x.cabinetNew()};
  handler->createCommand(command);
  handler->setParams(command, params);
  handler->getParams(command, d.params);
  CabinetHandle props = x.cabinetNew();
  x.cabinetPutBool(props, "ParamsDesc", false);
  handler->getProps(command, props);
  if (CabinetHandle desc = x.cabinetGetCabinet(props, "ParamsDesc"))
    x.cabinetMerge(d.description, desc, CabinetMergeMode::ReplaceAll);
  x.cabinetDestroy(props);
  view.commandDestroy(command);
  return d;
}

std::string text(ASExtraTable &x, CabinetHandle cab, const char *key) {
  TextHandle t = x.cabinetGetText(cab, key);
  return t ? x.textGetEncoded(t, HostEncoding::Utf8) : std::string();
}

ExitCode settingsNew(const std::string &path, std::ostream &err) {
  if (std::filesystem::exists(path)) {
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
  CabinetHandle file = x.cabinetNew();
  x.cabinetPutCabinet(file, "BuildSettings", d.params);
  x.cabinetDestroy(d.description);
  const std::string bytes = host::writeCabinetStream(host::ObjectStore::instance().cabinet(file),
                                                     host::AtomTable::instance());
  x.cabinetDestroy(file);
  host::writeFileAtomically(path, bytes);
  err << "Wrote " << path << " with one level (Helvetica-Bold, 12 pt); see docs/settings-files.md "
      << "for the keys to edit.\n";
  return ExitCode::Success;
}

ExitCode settingsShow(const std::string &path, std::ostream &out, std::ostream &err) {
  HostSession session(err);
  ASExtraTable &x = session.provider().asExtra();
  const std::string bytes = host::readWholeFile(path, host::kMaxCabinetStreamBytes);
  std::unique_ptr<host::CabinetNode> node;
  try {
    node = host::readCabinetStream(bytes, host::AtomTable::instance());
  } catch (const HostError &e) {
    throw HostError(e.code(), path + ": " + e.text());
  }
  CabinetHandle file = host::ObjectStore::instance().adopt(std::move(node));
  CabinetHandle settings = x.cabinetGetCabinet(file, "BuildSettings");
  if (!settings) {
    x.cabinetDestroy(file);
    throw HostError(ErrorCode::FileFormat,
                    path + ": not a settings file (it has no \"BuildSettings\" entry).");
  }
  const Described d = describe(session, settings);
  x.cabinetDestroy(file);
  const int32_t levels = x.cabinetGetInt(d.description, "NumLevels", 0);
  out << path << ": " << levels << (levels == 1 ? " level" : " levels") << "\n";
  for (int32_t i = 0; i < levels; ++i)
    out << "  Level " << i + 1 << " : ("
        << text(x, d.description, ("Level" + std::to_string(i)).c_str()) << ")\n";
  const int32_t first = x.cabinetGetInt(d.params, "FirstPage", 0);
  const int32_t last = x.cabinetGetInt(d.params, "LastPage", -1);
  out << "Pages: from " << first + 1 << " to "
      << (last < 0 ? std::string("the end") : std::to_string(last + 1)) << "\n";
  const char *places[] = {"before the existing bookmarks", "after the existing bookmarks",
                          "instead of the existing bookmarks"};
  const int32_t insert = x.cabinetGetInt(d.params, "InsertType", 1);
  out << "New bookmarks go " << places[insert >= 0 && insert <= 2 ? insert : 1] << "\n";
  out << "Sort headings by position: "
      << (x.cabinetGetBool(d.params, "SortText", false) ? "yes" : "no")
      << "; drop repeated headings: "
      << (x.cabinetGetBool(d.params, "SkipDupBookmarks", false) ? "yes" : "no") << "\n";
  CabinetHandle words = x.cabinetGetCabinet(d.params, "StopWords");
  const int32_t count = words ? x.cabinetGetInt(words, "NumItems", 0) : 0;
  out << "Stop words: " << (x.cabinetGetBool(d.params, "IgnoreStopWords", false) ? "on" : "off");
  for (int32_t i = 0; i < count; ++i)
    out << (i ? ", \"" : " \"") << text(x, words, std::to_string(i).c_str()) << "\"";
  out << "\n";
  x.cabinetDestroy(d.params);
  x.cabinetDestroy(d.description);
  return ExitCode::Success;
}

} // namespace

ExitCode runSettings(const std::vector<std::string> &args, std::ostream &out, std::ostream &err) {
  if (args.size() != 2 || (args[0] != "new" && args[0] != "show"))
    return usageError(err, "use 'settings new FILE.svb' or 'settings show FILE.svb'.");
  try {
    return args[0] == "new" ? settingsNew(args[1], err) : settingsShow(args[1], out, err);
  } catch (const HostError &e) {
    return reportHostError(err, e);
  }
}

} // namespace sorvane::cli
