#include "host/cli/settings_command.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <optional>
#include <ostream>
#include <set>

#include "host/base/atom_table.h"
#include "host/base/file_io.h"
#include "host/cli/cli_support.h"
#include "host/cli/dialog_support.h"
#include "host/cli/host_session.h"
#include "host/cli/settings_support.h"
#include "host/jobs/generate_job.h"
#include "host/pdf/page_text.h"
#include "host/runtime/as_extra.h"
#include "host/runtime/batch_sequence.h"
#include "host/runtime/cabinet_stream.h"
#include "host/runtime/object_store.h"
#include "host/runtime/view_services.h"

namespace sorvane::cli {
namespace {

// Asks the plug-in's batch command what `params` become (its defaults added) and how it
// describes them.
struct Described {
  OwnedCabinet params;
  OwnedCabinet description;
};

Described describe(HostSession &session, CabinetHandle params) {
  session.loadPlugIn();
  jobs::Generator command(session, params);
  return Described{command.sequence().params(), command.sequence().describeParams()};
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
  const OwnedCabinet start(x, x.cabinetNew());
  x.cabinetPutInt(start.get(), "NumLevels", 1);
  x.cabinetPutCabinet(start.get(), "Level0", x.cabinetNew());
  const Described d = describe(session, start.get());
  // Every key at its starting value, as the plug-in reads the start: the file documents itself.
  OwnedCabinet owned(x, x.cabinetDup(x.cabinetGetCabinet(d.description.get(), "Complete")));
  const CabinetHandle complete = owned.get();
  // New settings drop repeated headings, leave table-of-contents lines out, serve every file
  // made the same way, whatever its font subsets, and keep a code word or a logo inside a title.
  x.cabinetPutBool(complete, "SkipDupBookmarks", true);
  x.cabinetPutBool(complete, "SkipContentsLines", true);
  if (CabinetHandle level = x.cabinetGetCabinet(complete, "Level0")) {
    if (CabinetHandle style = x.cabinetGetCabinet(level, "TextStyle"))
      x.cabinetPutBool(style, "IgnoreSubsetPrefix", true);
    if (CabinetHandle match = x.cabinetGetCabinet(level, "TextMatch"))
      x.cabinetPutBool(match, "InlineRuns", true);
  }
  writeSettingsFile(x, std::move(owned), path);
  out << "Wrote " << path << " with one level (Helvetica-Bold, 12 pt); see docs/settings-files.md "
      << "for the keys to edit.\n";
  return ExitCode::Success;
}

ExitCode settingsShow(const std::string &path, std::ostream &out, std::ostream &err) {
  HostSession session(err);
  ASExtraTable &x = session.provider().asExtra();
  const Described d = describe(session, readBuildSettings(session, path).get());
  const CabinetHandle description = d.description.get();
  const int32_t levels = x.cabinetGetInt(description, "NumLevels", 0);
  out << path << ": " << levels << (levels == 1 ? " level" : " levels") << "\n";
  for (int32_t i = 0; i < levels; ++i)
    out << "  Level " << i + 1 << " : (" << textValue(x, description, "Level" + std::to_string(i))
        << ")\n";
  for (const std::string &line : textList(x, description, "Lines"))
    out << line << "\n";
  const size_t problems = warnAboutSettings(x, description, path, err);
  return problems ? ExitCode::ProblemsFound : ExitCode::Success;
}

// The font names of `document` as text runs name them, every page read once.
std::set<std::string> documentFonts(host::PdfDocument &document, std::ostream &err,
                                    const std::string &name) {
  std::set<std::string> fonts;
  int unreadable = 0;
  for (int page = 0; page < document.pageCount(); ++page) {
    try {
      const auto text = host::extractPageText(document, page);
      for (const host::RunFont &font : text->fonts)
        fonts.insert(font.name);
    } catch (const HostError &e) {
      if (e.code() == ErrorCode::Cancelled)
        throw;
      ++unreadable;
    }
  }
  if (unreadable)
    err << "sorvane: " << name << ": " << unreadable << (unreadable == 1 ? " page" : " pages")
        << " could not be read; their fonts are not known\n";
  return fonts;
}

std::string_view withoutPrefix(std::string_view font) {
  if (font.size() > 7 && font[6] == '+' &&
      std::all_of(font.begin(), font.begin() + 6, [](char c) { return c >= 'A' && c <= 'Z'; }))
    return font.substr(7);
  return font;
}

std::string lowered(std::string_view s) {
  std::string out(s);
  for (char &c : out)
    c = char(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

// The level font names (of the plug-in's complete reading of the settings) that occur nowhere
// in `fonts`, each told with the document's names that differ only by a subset prefix or case.
size_t checkFontsAgainst(ASExtraTable &x, CabinetHandle complete,
                         const std::set<std::string> &fonts, const std::string &path,
                         const std::string &pdf, std::ostream &err) {
  size_t told = 0;
  const int32_t levels = x.cabinetGetInt(complete, "NumLevels", 0);
  for (int32_t i = 0; i < levels; ++i) {
    const std::string key = "Level" + std::to_string(i);
    CabinetHandle level = x.cabinetGetCabinet(complete, key);
    CabinetHandle style = level ? x.cabinetGetCabinet(level, "TextStyle") : CabinetHandle();
    CabinetHandle desc = style ? x.cabinetGetCabinet(style, "FontDesc") : CabinetHandle();
    if (!desc || !x.cabinetGetBool(style, "MatchName", true))
      continue;
    const bool bare = x.cabinetGetBool(style, "IgnoreSubsetPrefix", false);
    for (const std::string &font : textList(x, desc, "Fonts")) {
      const std::string_view wanted = bare ? withoutPrefix(font) : std::string_view(font);
      std::vector<std::string> near;
      bool found = false;
      for (const std::string &have : fonts) {
        const std::string_view name = bare ? withoutPrefix(have) : std::string_view(have);
        if (name == wanted) {
          found = true;
          break;
        }
        if (lowered(withoutPrefix(have)) == lowered(withoutPrefix(font)))
          near.push_back(have);
      }
      if (found)
        continue;
      err << "sorvane: warning: " << path << ": " << key << ".TextStyle.FontDesc.Fonts: \"" << font
          << "\" occurs nowhere in " << pdf;
      if (!near.empty()) {
        err << " (it has ";
        for (size_t k = 0; k < near.size() && k < 5; ++k)
          err << (k ? ", \"" : "\"") << near[k] << "\"";
        err << (withoutPrefix(near[0]) == withoutPrefix(font) && !bare
                    ? "; IgnoreSubsetPrefix makes the rule ignore the prefix)"
                    : ")");
      }
      err << "\n";
      ++told;
    }
  }
  return told;
}

// Checks a settings file, and with --pdf its font names against a document.
ExitCode settingsCheck(const Arguments &a, const std::string &path, std::ostream &out,
                       std::ostream &err) {
  HostSession session(err);
  ASExtraTable &x = session.provider().asExtra();
  const Described d = describe(session, readBuildSettings(session, path).get());
  size_t problems = warnAboutSettings(x, d.description.get(), path, err);
  if (const auto pdf = a.value("--pdf")) {
    auto document = openDocument(*pdf, password(a), err);
    problems += checkFontsAgainst(x, x.cabinetGetCabinet(d.description.get(), "Complete"),
                                  documentFonts(*document, err, *pdf), path, *pdf, err);
  }
  const int32_t levels = x.cabinetGetInt(d.description.get(), "NumLevels", 0);
  if (problems == 0) {
    out << path << ": no mistakes found (" << levels << (levels == 1 ? " level" : " levels")
        << ")\n";
    return ExitCode::Success;
  }
  out << path << ": " << problems << (problems == 1 ? " mistake" : " mistakes") << " (see above)\n";
  if (a.flag("--strict"))
    return ExitCode::InputError;
  return ExitCode::ProblemsFound;
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
  const OwnedCabinet start =
      exists ? readBuildSettings(session, path) : OwnedCabinet(x, x.cabinetNew());
  session.loadPlugIn();
  jobs::Generator generator(session, start.get());
  host::BatchSequence &command = generator.sequence();
  std::optional<jobs::OpenDocument> opened;
  if (pdf) {
    opened.emplace(session, openDocument(*pdf, password(a), err));
    session.view().setActiveDoc(opened->doc());
    if (dialogs.select)
      selectRectangle(session, opened->document(), opened->doc(), *dialogs.select);
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
  const OwnedCabinet description = command.describeParams();
  const int32_t levels = x.cabinetGetInt(description.get(), "NumLevels", 0);
  out << "Wrote " << path << " with " << levels << (levels == 1 ? " level" : " levels") << "\n";
  const size_t problems = warnAboutSettings(x, description.get(), path, err);
  return problems ? ExitCode::ProblemsFound : ExitCode::Success;
}

} // namespace

ExitCode runSettings(const std::vector<std::string> &args, std::ostream &out, std::ostream &err) {
  const Arguments a(args, *findCommand("settings"));
  if (a.error())
    return usageError(err, *a.error());
  const std::vector<std::string> &p = a.positional();
  if (p.size() != 2 || (p[0] != "new" && p[0] != "show" && p[0] != "edit" && p[0] != "check"))
    return usageError(err, "use 'settings new FILE.svb', 'settings show FILE.svb', 'settings "
                           "check FILE.svb' or 'settings edit FILE.svb --dialog SCRIPT'.");
  if (p[0] != "edit" && (dialogOptions(a).any() || dialogOptions(a).select))
    return usageError(err, "--dialog, --show-dialog and --select are for 'settings edit'.");
  if (a.value("--pdf") && p[0] != "edit" && p[0] != "check")
    return usageError(err, "--pdf is for 'settings check' and 'settings edit'.");
  if (a.flag("--strict") && p[0] != "check")
    return usageError(err, "--strict is for 'settings check'.");
  try {
    const std::string &file = p[1];
    if (p[0] == "edit")
      return settingsEdit(a, file, out, err);
    if (p[0] == "check")
      return settingsCheck(a, file, out, err);
    return p[0] == "new" ? settingsNew(file, out, err) : settingsShow(file, out, err);
  } catch (const ScriptError &e) {
    return usageError(err, e.what());
  } catch (const HostError &e) {
    return reportHostError(err, e);
  }
}

} // namespace sorvane::cli
