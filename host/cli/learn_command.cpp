#include "host/cli/learn_command.h"

#include <cstdio>
#include <filesystem>
#include <functional>
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
#include "host/cli/settings_support.h"
#include "host/cli/terminal_progress.h"
#include "host/jobs/session.h"
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
// Runs the plug-in's learn command on `doc` with the parameters `setParams` puts in and answers
// its parameters after the run. Throws HostError when it was stopped; `doing` names the work in
// the messages.
OwnedCabinet runPlugInLearn(HostSession &session, host::PdfDocument &document, DocHandle doc,
                            const std::string &input,
                            const std::function<void(ASExtraTable &, CabinetHandle)> &setParams,
                            const std::string &doing, std::ostream &err,
                            int *unreadPages = nullptr) {
  ASExtraTable &x = session.provider().asExtra();
  session.loadPlugIn();
  // Pages are read ahead in a thread per further core, as many as memory affords.
  const int cores = int(std::max(1u, std::thread::hardware_concurrency()));
  document.setReadAhead(host::PdfDocument::affordableReaders(
      host::PdfDocument::worthwhileReaders(cores - 1, document.pageCount()), document.readerBytes(),
      availableMemory()));
  const OwnedCabinet params(x, x.cabinetNew());
  setParams(x, params.get());
  host::BatchSequence sequence(session.provider().acroView(), x,
                               session.provider().core().atomFromString(host::kLearnCommandName),
                               params.get());
  TerminalProgress progress(err, ::isatty(2) != 0, x);
  const CommandStatus status = sequence.runOn(doc, &progress.monitor(), progress.clientData());
  const std::optional<RunOutcome> outcome = sequence.lastOutcome();
  if (outcome && outcome->cancelled)
    throw HostError(ErrorCode::Cancelled, input + ": interrupted; nothing was written.");
  if (outcome && outcome->stopped())
    throw HostError(outcome->stopCode,
                    input + ": " + doing + " stopped, nothing was written: " + outcome->stopReason);
  if (!outcome || status != CommandStatus::Done)
    throw HostError(ErrorCode::Generic, input + ": " + doing + " did not finish.");
  for (const PageFailure &f : outcome->failedPages)
    err << "sorvane: " << input << ": page " << f.page + 1 << " could not be read; its lines "
        << "were not looked at\n";
  if (unreadPages)
    *unreadPages = int(outcome->failedPages.size());
  return sequence.params();
}

// What the plug-in's learn command learns from: the outline, or (Suggest) the printed table of
// contents where it is usable, else the rows the text styles tell as headings.
enum class LearnSource { Outline, Suggest };

// Runs the plug-in's learn command on `doc` (at most `levels` styles when they are the source):
// "LearnedRules" and "LearnReport" in the answer.
OwnedCabinet runLearnCommand(HostSession &session, host::PdfDocument &document, DocHandle doc,
                             const std::string &input, LearnSource source, std::ostream &err,
                             int levels = 4) {
  return runPlugInLearn(
      session, document, doc, input,
      [&](ASExtraTable &x, CabinetHandle params) {
        x.cabinetPutBool(params, "Suggest", source == LearnSource::Suggest);
        x.cabinetPutInt(params, "Levels", levels);
      },
      "learning", err);
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
    jobs::OpenDocument opened(session, openDocument(input, pw, err));
    host::PdfDocument *document = &opened.document();
    const DocHandle doc = opened.doc();
    // Rules are learned from the bookmarks that could be read; the user hears what was not.
    const host::OutlineListing outline = host::listOutline(session.pdf(), doc);
    for (const std::string &w : outline.warnings)
      err << "sorvane: warning: " << input << ": " << w << "\n";
    if (outline.entries.empty()) {
      err << "sorvane: " << input << " has no bookmarks to learn from.\n";
      return ExitCode::ProblemsFound;
    }
    const OwnedCabinet result =
        runLearnCommand(session, *document, doc, input, LearnSource::Outline, err);
    const nlohmann::json report =
        nlohmann::json::parse(textValue(x, result.get(), "LearnReport"), nullptr, false);
    CabinetHandle learned = x.cabinetGetCabinet(result.get(), "LearnedRules");
    const int levels = learned ? x.cabinetGetInt(learned, "NumLevels", 0) : 0;
    if (report.is_discarded() || !learned) {
      throw HostError(ErrorCode::Generic, input + ": learning gave no rules and no report.");
    }
    const int expected = report.value("expected", 0);
    const int made = report.value("made", 0);
    const int reproduced = report.value("reproduced", 0);
    const bool runaway = report.value("runaway", false) || made > 2 * expected;
    if (levels == 0 || runaway) {
      if (levels == 0)
        err << "sorvane: " << input << ": no bookmark's heading was found on the page it leads "
            << "to; nothing was learned or written.\n";
      else
        err << "sorvane: " << input << ": the best rules found would make " << made
            << " bookmarks, more than twice the " << expected << " of the outline; they are no "
            << "use, and nothing was written.\n";
      return ExitCode::ProblemsFound;
    }
    writeSettingsFile(x, OwnedCabinet(x, x.cabinetDup(learned)), *output);
    if (a.flag("--json")) {
      nlohmann::ordered_json shown = nlohmann::ordered_json::parse(report.dump());
      shown["rules"] = *output;
      out << shown.dump(2) << "\n";
    } else {
      out << "Learned " << levels << (levels == 1 ? " level" : " levels") << " from the "
          << counted(report.value("bookmarks", 0), "bookmark", "bookmarks") << " of " << input
          << " -> " << *output << "\n";
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
        out << (report.value("withoutPage", 0) == 1
                    ? "1 bookmark leads to no page of the document and cannot be reproduced.\n"
                    : std::to_string(report.value("withoutPage", 0)) +
                          " bookmarks lead to no page of the document and cannot be "
                          "reproduced.\n");
      listBookmarks(out, "Not reproduced", report["missed"]);
      listBookmarks(out, "Made but not in the outline", report["extra"]);
      char f1[16];
      std::snprintf(f1, sizeof f1, "%.3f", report.value("f1", 0.0));
      out << "Generating with these rules reproduces " << reproduced << " of " << expected
          << " bookmarks";
      if (expected > 0)
        out << " (" << (100 * reproduced + expected / 2) / expected << " %)";
      out << " and makes " << counted(made - reproduced, "other", "others") << " (F1 " << f1
          << ").\n"
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
                                    {"confidence", report.value("confidence", 0.0)}};
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
  if (c.value("sectionsAdded", false)) {
    out << "The contents list only chapters: the numbered sections of their pages were added";
    if (const int below = c.value("belowSections", 0))
      out << ", and " << below << " headings below them told by their text styles";
    out << "\n";
  }
  int n = 0;
  for (const auto &l : report["levels"])
    out << "Level " << ++n << ": " << l.value("takes", "") << "; makes " << l.value("made", 0)
        << " bookmarks\n";
  char f1[16];
  std::snprintf(f1, sizeof f1, "%.2f", report.value("confidence", 0.0));
  out << "The rules make " << report.value("made", 0) << " bookmarks; "
      << report.value("reproduced", 0) << " of the " << report.value("expected", 0)
      << " contents entries are among them (confidence " << f1 << ")\n";
  if (hint)
    out << "Look at them, then: sorvane generate " << input << " -s " << output << " --dry-run\n";
}

void printStylesSuggestion(const nlohmann::json &report, const std::string &input,
                           const std::string &output, bool json, bool hint, std::ostream &out) {
  const nlohmann::json &st = report["styles"];
  char confidence[16];
  std::snprintf(confidence, sizeof confidence, "%.2f", report.value("confidence", 0.0));
  if (json) {
    nlohmann::ordered_json shown = {{"rules", output},
                                    {"source", "styles"},
                                    {"styles", st},
                                    {"levels", report["levels"]},
                                    {"made", report.value("made", 0)},
                                    {"confidence", report.value("confidence", 0.0)}};
    out << shown.dump(2) << "\n";
    return;
  }
  const int levels = int(report["levels"].size());
  out << "Suggested " << levels << (levels == 1 ? " level" : " levels") << " for " << input
      << " -> " << output << ", from its text styles (body text "
      << st.value("bodyFont", std::string()) << " " << points(st.value("bodySize", 0.0))
      << " pt)\n";
  int n = 0;
  for (const auto &l : report["levels"]) {
    out << "Level " << ++n << ": " << l.value("takes", "") << "; makes " << l.value("made", 0)
        << " bookmarks\n";
    for (const auto &sample : l.value("samples", nlohmann::json::array()))
      out << "    " << sample.get<std::string>() << "\n";
  }
  if (const int heads = st.value("runningHeads", 0))
    out << heads << (heads == 1 ? " row was" : " rows were")
        << " left out as running heads or footers (their text repeats at the page edge)\n";
  if (const int labels = st.value("labelRows", 0))
    out << labels << (labels == 1 ? " row was" : " rows were")
        << " left out as labels above a larger title (\"Chapter 2\" over its name)\n";
  out << "The rules make " << report.value("made", 0) << " bookmarks (confidence " << confidence
      << ": a guess from the styles; no table of contents confirms it)\n";
  if (hint)
    out << "Look at the samples, then: sorvane generate " << input << " -s " << output
        << " --dry-run\n";
}

} // namespace

ExitCode suggestRules(const SuggestOptions &options, std::string *rules, std::ostream &out,
                      std::ostream &err) {
  const std::string &input = options.input;
  const std::string output = rules ? "the rules of this run" : options.output;
  const int maxLevels = options.maxLevels;
  const std::string &pw = options.password;
  try {
    // The printed table of contents, read as an outline to learn from, where it is usable; else
    // the rows whose text styles stand out from the body as headings'. (The session ends before
    // the trial run below, which has one of its own.)
    nlohmann::json report;
    std::string text;
    {
      HostSession session(err);
      ASExtraTable &x = session.provider().asExtra();
      jobs::OpenDocument opened(session, openDocument(input, pw, err));
      const OwnedCabinet result = runLearnCommand(session, opened.document(), opened.doc(), input,
                                                  LearnSource::Suggest, err, maxLevels);
      report = nlohmann::json::parse(textValue(x, result.get(), "LearnReport"), nullptr, false);
      CabinetHandle learned = x.cabinetGetCabinet(result.get(), "LearnedRules");
      if (learned && x.cabinetGetInt(learned, "NumLevels", 0) > 0 && !report.is_discarded())
        text = settingsFileText(x, OwnedCabinet(x, x.cabinetDup(learned)));
    }
    if (report.is_discarded())
      throw HostError(ErrorCode::Generic, input + ": the suggestion's report could not be read.");
    if (report.value("source", std::string()) == "contents") {
      if (rules)
        *rules = text;
      else
        writeResultFile(output, text);
      printContentsSuggestion(report, input, output, options.json, !rules, out);
      return ExitCode::Success;
    }
    if (!options.json)
      err << "sorvane: " << input << ": " << report.value("contentsUnusable", std::string())
          << "; the rules come from the text styles.\n";
    if (text.empty()) {
      err << "sorvane: " << input << ": no text style stands out from the body text as a "
          << "heading style; nothing was written.\n";
      return ExitCode::ProblemsFound;
    }
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
      writeResultFile(output, text);
    printStylesSuggestion(report, input, output, options.json, !rules, out);
    return ExitCode::Success;
  } catch (const HostError &e) {
    return reportHostError(err, e);
  }
}

nlohmann::json readTextStyles(std::unique_ptr<host::PdfDocument> document, const std::string &input,
                              int first, int last, int &unread, std::ostream &err) {
  HostSession session(err);
  ASExtraTable &x = session.provider().asExtra();
  jobs::OpenDocument opened(session, std::move(document));
  const OwnedCabinet result = runPlugInLearn(
      session, opened.document(), opened.doc(), input,
      [&](ASExtraTable &t, CabinetHandle params) {
        t.cabinetPutBool(params, "TextStyles", true);
        t.cabinetPutInt(params, "FirstPage", first - 1);
        t.cabinetPutInt(params, "LastPage", last - 1);
      },
      "reading the text styles", err, &unread);
  const nlohmann::json styles =
      nlohmann::json::parse(textValue(x, result.get(), "TextStyleCounts"), nullptr, false);
  if (!styles.is_array())
    throw HostError(ErrorCode::Generic, input + ": the text styles could not be read.");
  return styles;
}

ExitCode runSuggest(const std::vector<std::string> &args, std::ostream &out, std::ostream &err) {
  const Arguments a(args, *findCommand("suggest"));
  if (a.error())
    return usageError(err, *a.error());
  if (a.positional().size() != 1)
    return usageError(err, "'suggest' takes one PDF file.");
  SuggestOptions options;
  options.input = a.positional()[0];
  if (const auto problem = rulesOutputProblem(a, options.input))
    return usageError(err, *problem);
  options.output = a.value("--output").value_or("");
  if (const auto given = a.value("--levels")) {
    options.maxLevels = given->size() <= 2 && !given->empty() &&
                                given->find_first_not_of("0123456789") == std::string::npos
                            ? std::stoi(*given)
                            : 0;
    if (options.maxLevels < 1 || options.maxLevels > 10)
      return usageError(err, "--levels takes a number of levels from 1 to 10.");
  }
  options.json = a.flag("--json");
  try {
    options.password = password(a);
  } catch (const HostError &e) {
    return reportHostError(err, e);
  }
  return suggestRules(options, nullptr, out, err);
}

} // namespace sorvane::cli
