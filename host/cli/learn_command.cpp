#include "host/cli/learn_command.h"

#include <cstdio>
#include <filesystem>
#include <map>
#include <optional>
#include <ostream>
#include <sstream>

#include <nlohmann/json.hpp>

#include "host/base/file_io.h"
#include "host/cli/cli_support.h"
#include "host/cli/generate_command.h"
#include "host/cli/rule_learning.h"
#include "host/pdf/outline_listing.h"
#include "host/pdf/pdf_tables.h"

namespace sorvane::cli {
namespace {

std::string points(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", v);
  return text;
}

// How the rules do on the document they came from: a dry run of generate with them, its
// headings paired with the bookmarks by page and title.
struct Reproduction {
  int reproduced = 0;
  int others = 0; // headings the outline does not have
};

Reproduction reproduce(const std::string &input, const std::string &rules,
                       const std::string &password, const std::vector<OutlineMark> &marks) {
  std::vector<std::string> args = {input, "-s", rules, "--dry-run", "--json", "-q", "-j", "1"};
  if (!password.empty())
    args.insert(args.end(), {"--password", password});
  std::ostringstream report;
  std::ostringstream ignored;
  runGenerate(args, report, ignored);
  Reproduction r;
  const auto parsed = nlohmann::json::parse(report.str(), nullptr, false);
  if (parsed.is_discarded() || !parsed.contains("headings"))
    return r;
  std::multimap<std::pair<int, std::string>, int> wanted; // (page, title) -> unused
  for (const OutlineMark &m : marks)
    if (m.page)
      wanted.emplace(std::make_pair(*m.page, normalizedTitle(m.title)), 0);
  for (const auto &h : parsed["headings"]) {
    auto it = wanted.find({h.value("page", 0) - 1, normalizedTitle(h.value("title", ""))});
    if (it != wanted.end()) {
      ++r.reproduced;
      wanted.erase(it);
    } else {
      ++r.others;
    }
  }
  return r;
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
    auto document = openDocument(input, pw, err);
    host::PdfTables tables;
    const DocHandle doc = tables.add(*document);
    const host::OutlineListing outline = host::listOutline(tables, doc);
    tables.remove(doc);
    // Rules are learned from the bookmarks that could be read; the user hears what was not.
    for (const std::string &w : outline.warnings)
      err << "sorvane: warning: " << input << ": " << w << "\n";
    std::vector<OutlineMark> marks;
    for (const host::OutlineEntry &e : outline.entries)
      marks.push_back(OutlineMark{e.depth, e.title, e.page});
    if (marks.empty()) {
      err << "sorvane: " << input << " has no bookmarks to learn from.\n";
      return ExitCode::ProblemsFound;
    }
    const std::vector<TextLine> lines = documentLines(*document, input, err);
    const Learned learned = learnRules(lines, marks);
    if (learned.levels.empty()) {
      err << "sorvane: " << input << ": no bookmark's heading was found on the page it leads "
          << "to; nothing was learned or written.\n";
      return ExitCode::ProblemsFound;
    }
    writeResultFile(*output, settingsFile(learned).dump(2) + "\n");
    const Reproduction r = reproduce(input, *output, pw, marks);
    const int withPages = int(std::count_if(
        marks.begin(), marks.end(), [](const OutlineMark &m) { return m.page.has_value(); }));
    if (a.flag("--json")) {
      nlohmann::ordered_json report = {{"rules", *output},
                                       {"bookmarks", learned.bookmarks},
                                       {"placed", learned.placed},
                                       {"reproduced", r.reproduced},
                                       {"others", r.others}};
      nlohmann::ordered_json levels = nlohmann::ordered_json::array();
      for (const LearnedLevel &l : learned.levels) {
        nlohmann::ordered_json level = {{"depth", l.depth},
                                        {"bookmarks", l.bookmarks},
                                        {"placed", l.placed},
                                        {"fonts", l.fonts},
                                        {"size", l.size},
                                        {"tolerance", l.tolerance},
                                        {"pattern", l.pattern},
                                        {"multiline", l.multiline},
                                        {"removeNumbers", l.removeNumbers},
                                        {"otherLines", l.otherLines},
                                        {"samples", l.samples}};
        if (l.indent)
          level["indent"] = {l.indent->first, l.indent->second};
        levels.push_back(std::move(level));
      }
      report["levels"] = std::move(levels);
      out << report.dump(2) << "\n";
    } else {
      out << "Learned " << learned.levels.size()
          << (learned.levels.size() == 1 ? " level" : " levels") << " from the "
          << learned.bookmarks << " bookmarks of " << input << " -> " << *output << "\n";
      for (const LearnedLevel &l : learned.levels) {
        out << "Level " << l.depth << ": " << l.placed << " of " << l.bookmarks
            << " bookmarks placed; ";
        describeLevel(out, l);
        out << "; " << l.otherLines << " other lines of the document fit\n";
        for (const std::string &sample : l.samples)
          out << "    " << sample << "\n";
      }
      if (learned.levels.size() <
          size_t(std::max_element(marks.begin(), marks.end(), [](const auto &x, const auto &y) {
                   return x.depth < y.depth;
                 })->depth))
        out << "Deeper bookmarks were left out: no heading of the next depth was found.\n";
      out << "Generating with these rules reproduces " << r.reproduced << " of " << withPages
          << " bookmarks";
      if (withPages > 0)
        out << " (" << (100 * r.reproduced + withPages / 2) / withPages << " %)";
      out << " and makes " << r.others << " others.\n";
    }
    return r.reproduced < withPages ? ExitCode::ProblemsFound : ExitCode::Success;
  } catch (const HostError &e) {
    return reportHostError(err, e);
  }
}

} // namespace sorvane::cli

namespace sorvane::cli {

namespace {

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
    const std::vector<TextLine> lines = documentLines(*document, input, err);
    const Learned suggested = suggestRules(lines, maxLevels);
    if (suggested.levels.empty()) {
      err << "sorvane: " << input << ": no text style stands out from the body text as a "
          << "heading style; nothing was written.\n";
      return ExitCode::ProblemsFound;
    }
    const std::string text = settingsFile(suggested).dump(2) + "\n";
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
