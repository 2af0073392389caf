#include "host/cli/learn_command.h"

#include <cstdio>
#include <filesystem>
#include <map>
#include <optional>
#include <ostream>
#include <sstream>
#include <thread>
#include <unistd.h>

#include <nlohmann/json.hpp>

#include "host/base/atom_table.h"
#include "host/base/file_io.h"
#include "host/cli/cli_support.h"
#include "host/cli/generate_command.h"
#include "host/cli/host_session.h"
#include "host/cli/rule_learning.h"
#include "host/cli/settings_support.h"
#include "host/cli/terminal_progress.h"
#include "host/pdf/outline_listing.h"
#include "host/pdf/pdf_tables.h"
#include "host/runtime/as_extra.h"
#include "host/runtime/batch_sequence.h"
#include "host/runtime/build_settings_file.h"
#include "host/runtime/cabinet_stream.h"
#include "host/runtime/object_store.h"

namespace sorvane::cli {
namespace {

std::string points(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", v);
  return text;
}

// Every line of every page; a page that cannot be read is told and left out.
std::vector<TextLine> documentLines(host::PdfDocument &document, const std::string &input,
                                    std::ostream &err) {
  std::vector<TextLine> lines;
  int unreadable = 0;
  for (int page = 0; page < document.pageCount(); ++page) {
    try {
      std::vector<TextLine> more = pageLines(*host::extractPageText(document, page), page);
      lines.insert(lines.end(), std::make_move_iterator(more.begin()),
                   std::make_move_iterator(more.end()));
    } catch (const HostError &e) {
      if (e.code() == ErrorCode::Cancelled)
        throw;
      ++unreadable;
    }
  }
  if (unreadable > 0)
    err << "sorvane: " << input << ": " << unreadable << (unreadable == 1 ? " page" : " pages")
        << " could not be read; their lines were not looked at\n";
  return lines;
}

// The facts of a level as the reports print them: fonts, size, numbering, edge, rows.
void describeLevel(std::ostream &out, const LearnedLevel &l) {
  for (size_t i = 0; i < l.fonts.size(); ++i)
    out << (i ? ", " : "") << l.fonts[i];
  out << " " << points(l.size) << " pt +/- " << points(l.tolerance);
  if (!l.pattern.empty())
    out << "; numbered " << l.pattern;
  if (l.indent)
    out << "; left edge " << points(l.indent->first) << " +/- " << points(l.indent->second);
  if (l.multiline)
    out << "; titles may take two rows";
  if (l.removeNumbers)
    out << "; numbers left out of titles";
}

// Why the rules cannot go where -o says (missing, an existing file without --force, the
// input itself); nothing when they can.
std::optional<std::string> rulesOutputProblem(const Arguments &a, const std::string &input) {
  const auto output = a.value("--output");
  if (!output)
    return "say where the rules go: -o RULES.svb.";
  if (std::filesystem::exists(*output) && !a.flag("--force"))
    return *output + " exists; --force replaces it.";
  return outputOverInput(*output, {input});
}

} // namespace

namespace {

constexpr size_t kListedInReport = 10;

void listBookmarks(std::ostream &out, const char *heading, const nlohmann::json &list) {
  if (list.empty())
    return;
  out << heading << " (" << list.size() << (list.size() > kListedInReport ? ", the first 10" : "")
      << "):\n";
  for (size_t i = 0; i < list.size() && i < kListedInReport; ++i)
    out << "    page " << list[i].value("page", 0) << ", depth " << list[i].value("depth", 1)
        << ": " << list[i].value("title", "") << "\n";
}

} // namespace

namespace {

// `document` open in the session's tables for the length of a scope.
struct OpenIn {
  HostSession &session;
  DocHandle doc;
  OpenIn(HostSession &s, host::PdfDocument &document) : session(s), doc(s.pdf().add(document)) {}
  ~OpenIn() { session.pdf().remove(doc); }
  OpenIn(const OpenIn &) = delete;
  OpenIn &operator=(const OpenIn &) = delete;
};

// Runs the plug-in's learn command on `doc` (from its outline, or from its printed table of
// contents with `fromContents`) and answers its parameters after the run: "LearnedRules" and
// "LearnReport" (a new Cabinet the caller owns). Throws HostError when it was stopped.
CabinetHandle runLearnCommand(HostSession &session, host::PdfDocument &document, DocHandle doc,
                              const std::string &input, bool fromContents, std::ostream &err) {
  ASExtraTable &x = session.provider().asExtra();
  session.loadPlugIn();
  // Pages are read ahead in a thread per further core, as many as memory affords.
  const int cores = int(std::max(1u, std::thread::hardware_concurrency()));
  document.setReadAhead(
      host::PdfDocument::affordableReaders(cores - 1, document.readerBytes(), availableMemory()));
  CabinetHandle params = x.cabinetNew();
  x.cabinetPutBool(params, "FromContents", fromContents);
  host::BatchSequence sequence(session.provider().acroView(), x,
                               session.provider().core().atomFromString(host::kLearnCommandName),
                               params);
  x.cabinetDestroy(params);
  TerminalProgress progress(err, ::isatty(2) != 0, x);
  const CommandStatus status = sequence.runOn(doc, &progress.monitor(), progress.clientData());
  const std::optional<RunOutcome> outcome = sequence.lastOutcome();
  if (outcome && outcome->cancelled)
    throw HostError(ErrorCode::Cancelled, input + ": interrupted; nothing was written.");
  if (outcome && outcome->stopped())
    throw HostError(outcome->stopCode,
                    input + ": learning stopped, nothing was written: " + outcome->stopReason);
  if (!outcome || status != CommandStatus::Done)
    throw HostError(ErrorCode::Generic, input + ": learning did not finish.");
  for (const PageFailure &f : outcome->failedPages)
    err << "sorvane: " << input << ": page " << f.page + 1 << " could not be read; its lines "
        << "were not looked at\n";
  return sequence.params();
}

} // namespace

ExitCode runLearn(const std::vector<std::string> &args, std::ostream &out, std::ostream &err) {
  const Arguments a(args, *findCommand("learn"));
  if (a.error())
    return usageError(err, *a.error());
  if (a.positional().size() != 1)
    return usageError(err, "'learn' takes one PDF file.");
  const auto output = a.value("--output");
  const std::string input = a.positional()[0];
  if (const auto problem = rulesOutputProblem(a, input))
    return usageError(err, *problem);
  try {
    const std::string pw = password(a);
    HostSession session(err);
    ASExtraTable &x = session.provider().asExtra();
    auto document = openDocument(input, pw, err);
    const OpenIn opened(session, *document);
    const DocHandle doc = opened.doc;
    // Rules are learned from the bookmarks that could be read; the user hears what was not.
    const host::OutlineListing outline = host::listOutline(session.pdf(), doc);
    for (const std::string &w : outline.warnings)
      err << "sorvane: warning: " << input << ": " << w << "\n";
    if (outline.entries.empty()) {
      err << "sorvane: " << input << " has no bookmarks to learn from.\n";
      return ExitCode::ProblemsFound;
    }
    CabinetHandle result = runLearnCommand(session, *document, doc, input, false, err);
    const nlohmann::json report =
        nlohmann::json::parse(textValue(x, result, "LearnReport"), nullptr, false);
    CabinetHandle learned = x.cabinetGetCabinet(result, "LearnedRules");
    const int levels = learned ? x.cabinetGetInt(learned, "NumLevels", 0) : 0;
    if (report.is_discarded() || !learned) {
      x.cabinetDestroy(result);
      throw HostError(ErrorCode::Generic, input + ": learning gave no rules and no report.");
    }
    const int expected = report.value("expected", 0);
    const int made = report.value("made", 0);
    const int reproduced = report.value("reproduced", 0);
    const bool runaway = report.value("runaway", false) || made > 2 * expected;
    if (levels == 0 || runaway) {
      x.cabinetDestroy(result);
      if (levels == 0)
        err << "sorvane: " << input << ": no bookmark's heading was found on the page it leads "
            << "to; nothing was learned or written.\n";
      else
        err << "sorvane: " << input << ": the best rules found would make " << made
            << " bookmarks, more than twice the " << expected << " of the outline; they are no "
            << "use, and nothing was written.\n";
      return ExitCode::ProblemsFound;
    }
    writeSettingsFile(x, x.cabinetDup(learned), *output);
    x.cabinetDestroy(result);
    if (a.flag("--json")) {
      nlohmann::ordered_json shown = nlohmann::ordered_json::parse(report.dump());
      shown["rules"] = *output;
      out << shown.dump(2) << "\n";
    } else {
      out << "Learned " << levels << (levels == 1 ? " level" : " levels") << " from the "
          << report.value("bookmarks", 0) << " bookmarks of " << input << " -> " << *output << "\n";
      int n = 0;
      for (const auto &l : report["levels"])
        out << "Level " << ++n << " (depth " << l.value("depth", 1) << "): " << l.value("takes", "")
            << "\n    " << l.value("located", 0) << " of " << l.value("bookmarks", 0)
            << " bookmarks of this depth found on their pages"
            << (l.value("runIn", 0)
                    ? " (" + std::to_string(l.value("runIn", 0)) + " at the start of a longer line)"
                    : std::string())
            << "; makes " << l.value("made", 0) << ", " << l.value("matched", 0)
            << " of them the outline's\n";
      if (report.value("withoutPage", 0) > 0)
        out << report.value("withoutPage", 0)
            << " bookmarks lead to no page of the document and cannot be reproduced.\n";
      listBookmarks(out, "Not reproduced", report["missed"]);
      listBookmarks(out, "Made but not in the outline", report["extra"]);
      char f1[16];
      std::snprintf(f1, sizeof f1, "%.3f", report.value("f1", 0.0));
      out << "Generating with these rules reproduces " << reproduced << " of " << expected
          << " bookmarks";
      if (expected > 0)
        out << " (" << (100 * reproduced + expected / 2) / expected << " %)";
      out << " and makes " << made - reproduced << " others (F1 " << f1 << ").\n"
          << "The rules replace a document's bookmarks when applied (InsertType Replace); "
          << "change InsertType to add to them instead.\n";
    }
    return reproduced == expected && made == reproduced ? ExitCode::Success
                                                        : ExitCode::ProblemsFound;
  } catch (const HostError &e) {
    return reportHostError(err, e);
  }
}

} // namespace sorvane::cli

namespace sorvane::cli {

namespace {

// Whether rules learned from the printed table of contents are used, and why not.
struct ContentsUse {
  bool usable = false;
  std::string why;
};

ContentsUse contentsUse(const nlohmann::json &report, int levels) {
  if (report.is_discarded() || !report.contains("contents"))
    return {false, "the table of contents could not be read"};
  const nlohmann::json &c = report["contents"];
  const int entries = c.value("entries", 0), placed = c.value("placed", 0);
  if (entries == 0)
    return {false, "no printed table of contents was found"};
  if (placed < 3 || placed * 2 < entries)
    return {false, "only " + std::to_string(placed) + " of the " + std::to_string(entries) +
                       " entries of the printed table of contents were found on their pages"};
  if (levels == 0)
    return {false, "no entry of the printed table of contents gave a rule"};
  const int made = report.value("made", 0), expected = report.value("expected", 0);
  if (report.value("runaway", false) || made > 2 * expected)
    return {false, "the rules learned from the printed table of contents would make " +
                       std::to_string(made) + " bookmarks for its " + std::to_string(expected) +
                       " entries"};
  return {true, {}};
}

// A settings file's text holding `buildSettings` (which the call takes over).
std::string settingsFileText(ASExtraTable &x, CabinetHandle buildSettings) {
  CabinetHandle file = x.cabinetNew();
  x.cabinetPutCabinet(file, "BuildSettings", buildSettings);
  std::string text = host::writeCabinetStream(host::ObjectStore::instance().cabinet(file),
                                              host::AtomTable::instance());
  x.cabinetDestroy(file);
  return text;
}

void printContentsSuggestion(const nlohmann::json &report, const std::string &input,
                             const std::string &output, bool json, bool hint, std::ostream &out) {
  const nlohmann::json &c = report["contents"];
  if (json) {
    nlohmann::ordered_json shown = {{"rules", output},
                                    {"source", "contents"},
                                    {"contents", c},
                                    {"levels", report["levels"]},
                                    {"entries", report.value("expected", 0)},
                                    {"entriesReproduced", report.value("reproduced", 0)},
                                    {"made", report.value("made", 0)},
                                    {"confidence", report.value("f1", 0.0)}};
    out << shown.dump(2) << "\n";
    return;
  }
  const int levels = int(report["levels"].size());
  out << "Suggested " << levels << (levels == 1 ? " level" : " levels") << " for " << input
      << " -> " << output << ", learned from its printed table of contents (from page "
      << c.value("firstPage", 0) << ": " << c.value("entries", 0) << " entries, "
      << c.value("placed", 0) << " found on the pages their numbers give";
  if (const int moved = c.value("moved", 0))
    out << " or near them (" << moved << " some pages away: the contents are out of date)";
  out << ")\n";
  int n = 0;
  for (const auto &l : report["levels"])
    out << "Level " << ++n << ": " << l.value("takes", "") << "; makes " << l.value("made", 0)
        << " bookmarks\n";
  char f1[16];
  std::snprintf(f1, sizeof f1, "%.2f", report.value("f1", 0.0));
  out << "The rules make " << report.value("made", 0) << " bookmarks; "
      << report.value("reproduced", 0) << " of the " << report.value("expected", 0)
      << " contents entries are among them (confidence " << f1 << ")\n";
  if (hint)
    out << "Look at them, then: sorvane generate " << input << " -s " << output << " --dry-run\n";
}

// What `suggest` does; the rules go into `rules` when given, else into the -o file.
ExitCode suggestRules(const std::vector<std::string> &args, std::string *rules, std::ostream &out,
                      std::ostream &err) {
  const Arguments a(args, *findCommand("suggest"));
  if (a.error())
    return usageError(err, *a.error());
  if (a.positional().size() != 1)
    return usageError(err, "'suggest' takes one PDF file.");
  const auto output =
      rules ? std::optional<std::string>("the rules of this run") : a.value("--output");
  const std::string input = a.positional()[0];
  if (!rules)
    if (const auto problem = rulesOutputProblem(a, input))
      return usageError(err, *problem);
  int maxLevels = 4;
  if (const auto given = a.value("--levels")) {
    maxLevels = given->size() <= 2 && !given->empty() &&
                        given->find_first_not_of("0123456789") == std::string::npos
                    ? std::stoi(*given)
                    : 0;
    if (maxLevels < 1 || maxLevels > 10)
      return usageError(err, "--levels takes a number of levels from 1 to 10.");
  }
  try {
    const std::string pw = password(a);
    auto document = openDocument(input, pw, err);
    // First the printed table of contents, read as an outline to learn from.
    {
      HostSession session(err);
      ASExtraTable &x = session.provider().asExtra();
      const OpenIn opened(session, *document);
      const DocHandle doc = opened.doc;
      CabinetHandle result = runLearnCommand(session, *document, doc, input, true, err);
      const nlohmann::json report =
          nlohmann::json::parse(textValue(x, result, "LearnReport"), nullptr, false);
      CabinetHandle learned = x.cabinetGetCabinet(result, "LearnedRules");
      const ContentsUse use =
          contentsUse(report, learned ? x.cabinetGetInt(learned, "NumLevels", 0) : 0);
      if (use.usable) {
        const std::string text = settingsFileText(x, x.cabinetDup(learned));
        x.cabinetDestroy(result);
        if (rules)
          *rules = text;
        else
          writeResultFile(*output, text);
        printContentsSuggestion(report, input, *output, a.flag("--json"), !rules, out);
        return ExitCode::Success;
      }
      x.cabinetDestroy(result);
      if (!a.flag("--json"))
        err << "sorvane: " << input << ": " << use.why
            << "; the rules come from the text styles.\n";
    }
    const std::vector<TextLine> lines = documentLines(*document, input, err);
    const Learned suggested = suggestRules(lines, maxLevels);
    if (suggested.levels.empty()) {
      err << "sorvane: " << input << ": no text style stands out from the body text as a "
          << "heading style; nothing was written.\n";
      return ExitCode::ProblemsFound;
    }
    const std::string text = settingsFile(suggested).dump(2) + "\n";
    // Rules that take body text for headings are no use: said, and nothing is written.
    if (const std::string flood = floodOf(input, pw, text, err); !flood.empty()) {
      err << "sorvane: " << input
          << ": the rules suggested from the text styles are no use: " << flood
          << "; nothing was written.\n";
      return ExitCode::ProblemsFound;
    }
    if (rules)
      *rules = text;
    else
      writeResultFile(*output, text);
    if (a.flag("--json")) {
      nlohmann::ordered_json levels = nlohmann::ordered_json::array();
      for (const LearnedLevel &l : suggested.levels)
        levels.push_back({{"level", l.depth},
                          {"fonts", l.fonts},
                          {"size", l.size},
                          {"tolerance", l.tolerance},
                          {"pattern", l.pattern},
                          {"lines", l.lines},
                          {"samples", l.samples}});
      out << nlohmann::ordered_json{{"rules", *output},
                                    {"levels", std::move(levels)},
                                    {"stopWords", suggested.stopWords}}
                 .dump(2)
          << "\n";
      return ExitCode::Success;
    }
    out << "Suggested " << suggested.levels.size()
        << (suggested.levels.size() == 1 ? " level" : " levels") << " for " << input << " -> "
        << *output << "\n";
    for (const LearnedLevel &l : suggested.levels) {
      out << "Level " << l.depth << ": ";
      describeLevel(out, l);
      out << "; " << l.lines << (l.lines == 1 ? " line" : " lines") << "\n";
      for (const std::string &sample : l.samples)
        out << "    " << sample << "\n";
    }
    if (!suggested.stopWords.empty()) {
      out << "Left out as stop words (they repeat):";
      for (size_t i = 0; i < suggested.stopWords.size() && i < 5; ++i)
        out << (i ? ", " : " ") << "\"" << suggested.stopWords[i] << "\"";
      if (suggested.stopWords.size() > 5)
        out << " and " << suggested.stopWords.size() - 5 << " more";
      out << "\n";
    }
    if (!rules)
      out << "Look at the samples, then: sorvane generate " << input << " -s " << *output
          << " --dry-run\n";
    return ExitCode::Success;
  } catch (const HostError &e) {
    return reportHostError(err, e);
  }
}

} // namespace

ExitCode runSuggest(const std::vector<std::string> &args, std::ostream &out, std::ostream &err) {
  return suggestRules(args, nullptr, out, err);
}

ExitCode suggestRulesInto(const std::vector<std::string> &args, std::string &rules,
                          std::ostream &out, std::ostream &err) {
  return suggestRules(args, &rules, out, err);
}

} // namespace sorvane::cli
