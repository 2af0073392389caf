// The batch command that learns level rules from a document's own outline, or suggests them
// from its printed table of contents or its text styles.
#include <algorithm>
#include <map>

#include <nlohmann/json.hpp>

#include "plugin/engine/contents_reading.h"
#include "plugin/engine/generation_run.h"
#include "plugin/engine/kept_text.h"
#include "plugin/engine/rule_learning.h"
#include "plugin/engine/rule_suggestion.h"
#include "plugin/engine/style_headings.h"
#include "plugin/outline/bookmark_action.h"
#include "plugin/outline/outline_walk.h"
#include "plugin/shell/sequence_command.h"
#include "plugin/values/text_values.h"
#include "sdk/host_error.h"
#include "sdk/imported_tables.h"

namespace sorvane {
namespace {

AcroViewTable &view() { return hostTables().acroView.must(); }

nlohmann::ordered_json reportOf(const LearnResult &r, const std::vector<OutlineMark> &marks,
                                const KeptText &text, const std::string &gaps) {
  nlohmann::ordered_json levels = nlohmann::ordered_json::array();
  for (const LearnedLevelReport &l : r.levels)
    levels.push_back({{"depth", l.depth},
                      {"bookmarks", l.bookmarks},
                      {"located", l.located},
                      {"runIn", l.runIn},
                      {"made", l.made},
                      {"matched", l.matched},
                      {"takes", l.takes},
                      {"samples", l.samples}});
  nlohmann::ordered_json missed = nlohmann::ordered_json::array();
  for (const OutlineMark &m : r.reproduction.missed)
    missed.push_back({{"title", m.title}, {"page", m.page + 1}, {"depth", m.depth}});
  nlohmann::ordered_json extra = nlohmann::ordered_json::array();
  for (const SimulatedBookmark &b : r.reproduction.extra)
    extra.push_back({{"title", b.title}, {"page", b.page + 1}, {"depth", b.depth}});
  int32_t withoutPage = 0;
  for (const OutlineMark &m : marks)
    withoutPage += m.page < 0 ? 1 : 0;
  return {{"bookmarks", int32_t(marks.size())},
          {"withoutPage", withoutPage},
          {"located", r.located},
          {"expected", r.reproduction.expected},
          {"made", r.reproduction.made},
          {"reproduced", r.reproduction.matched},
          {"atDepth", r.reproduction.atDepth},
          {"f1", r.reproduction.f1()},
          {"setsTried", r.setsTried},
          {"runaway", r.runaway},
          {"unreadPages", text.failedPages.size()},
          {"outlineGaps", gaps},
          {"levels", std::move(levels)},
          {"missed", std::move(missed)},
          {"extra", std::move(extra)}};
}

// "TextStyles": the text styles of the pages from "FirstPage" to "LastPage" (zero-based), with
// their lines as generation reads rows, answered as "TextStyleCounts" (JSON text), for `fonts`.
bool countStyles(CommandHandle command, DocHandle doc, CabinetHandle params,
                 const ProgressMonitor *monitor, void *monitorData) {
  ASExtraTable &x = hostTables().asExtra.must();
  const int32_t pages = hostTables().pdModel.must().docGetNumPages(doc);
  const int32_t first = std::max(x.cabinetGetInt(params, "FirstPage", 0), 0);
  const int32_t last = std::min(x.cabinetGetInt(params, "LastPage", pages - 1), pages - 1);
  if (monitor && monitor->beginOperation)
    monitor->beginOperation(monitorData);
  if (monitor && monitor->setDuration)
    monitor->setDuration(std::max(last - first + 1, 0), monitorData);
  const KeptText text = KeptText::read(
      doc, [&](int32_t p) { pumpPaintMessages(monitor, p - first + 1, monitorData); }, first, last);
  if (monitor && monitor->endOperation)
    monitor->endOperation(monitorData);
  nlohmann::ordered_json styles = nlohmann::ordered_json::array();
  for (const TextStyleCount &c : countTextStyles(text)) {
    nlohmann::ordered_json edges = nlohmann::ordered_json::object();
    for (const auto &[left, n] : c.leftEdges)
      edges[std::to_string(left)] = n;
    styles.push_back({{"font", c.font},
                      {"size", c.size},
                      {"lines", c.lines},
                      {"characters", c.characters},
                      {"firstPage", c.firstPage + 1},
                      {"leftEdges", std::move(edges)},
                      {"samples", c.samples}});
  }
  writeTextValue(styles.dump(), "TextStyleCounts", params);
  RunOutcome outcome;
  outcome.ran = true;
  outcome.pagesScanned = std::max(last - first + 1, 0) - int32_t(text.failedPages.size());
  for (int32_t p : text.failedPages)
    outcome.failedPages.push_back({p, "its text could not be read"});
  outcome.runsOutOfReach = text.runsOutOfReach;
  view().commandReport(command, outcome);
  return true;
}

} // namespace

LearnCommand::LearnCommand() {
  genericTitle = kTitle;
  title = kTitle;
  canShowDialog = false;
  canDescribeParams = false;
}

bool LearnCommand::run(CommandHandle command, DocHandle doc, CabinetHandle params,
                       const ProgressMonitor *monitor, void *monitorData) {
  RunOutcome outcome;
  outcome.ran = true;
  ASExtraTable &x = hostTables().asExtra.must();
  if (x.cabinetGetBool(params, "TextStyles", false))
    return countStyles(command, doc, params, monitor, monitorData);
  // With "Suggest", the answer is not the outline but the printed table of contents where it
  // is usable, else the rows whose text styles stand out as headings' (at most "Levels"
  // styles), from one reading of the text; the report's "source" says which, and
  // "contentsUnusable" why not the contents.
  const bool suggest = x.cabinetGetBool(params, "Suggest", false);
  std::string gaps;
  std::vector<OutlineMark> marks = suggest ? std::vector<OutlineMark>{} : outlineMarks(doc, gaps);
  const int32_t pages = hostTables().pdModel.must().docGetNumPages(doc);
  if (monitor && monitor->beginOperation)
    monitor->beginOperation(monitorData);
  if (monitor && monitor->setDuration)
    monitor->setDuration(pages, monitorData);
  const KeptText text =
      marks.empty() && !suggest
          ? KeptText()
          : KeptText::read(doc, [&](int32_t p) { pumpPaintMessages(monitor, p + 1, monitorData); });
  if (monitor && monitor->endOperation)
    monitor->endOperation(monitorData);
  RuleSuggestion suggestion;
  LearnResult learned;
  if (suggest) {
    suggestion = suggestRules(text, std::clamp(x.cabinetGetInt(params, "Levels", 4), 1, 10));
    learned = suggestion.learned;
    marks = suggestion.marks;
  } else if (!marks.empty()) {
    learned = learnRules(text, marks);
  }
  CabinetHandle rules = x.cabinetNew();
  learned.settings.write(rules);
  x.cabinetPutCabinet(params, "LearnedRules", rules); // the parameters own it now
  nlohmann::ordered_json report = reportOf(learned, marks, text, gaps);
  if (suggest) {
    const ContentsOutline &contents = suggestion.contents;
    report["source"] = suggestion.fromStyles ? "styles" : "contents";
    report["confidence"] = suggestion.confidence;
    if (suggestion.fromStyles)
      report["contentsUnusable"] = suggestion.contentsUnusable;
    report["contents"] = {
        {"pages", contents.contentsPages.size()},
        {"firstPage", contents.contentsPages.empty() ? 0 : contents.contentsPages.front() + 1},
        {"entries", contents.entries.size()},
        {"placed", contents.placed},
        {"moved", contents.moved},
        {"sectionsAdded", contents.sectionsAdded},
        {"belowSections", suggestion.belowSections},
        {"offset", contents.offset}};
  }
  if (suggestion.fromStyles) {
    const StyleOutline &styles = suggestion.styles;
    nlohmann::ordered_json found = nlohmann::ordered_json::array();
    for (const HeadingStyle &s : styles.styles)
      found.push_back({{"depth", s.depth},
                       {"font", s.font},
                       {"size", s.size},
                       {"numbering", s.numbering},
                       {"rows", s.rows},
                       {"samples", s.samples}});
    report["styles"] = {{"bodyFont", styles.bodyFont},
                        {"bodySize", styles.bodySize},
                        {"runningHeads", styles.runningHeads},
                        {"labelRows", styles.labelRows},
                        {"headings", std::move(found)}};
  }
  writeTextValue(report.dump(), "LearnReport", params);
  outcome.pagesScanned = pages - int32_t(text.failedPages.size());
  for (int32_t p : text.failedPages)
    outcome.failedPages.push_back({p, "its text could not be read"});
  outcome.runsOutOfReach = text.runsOutOfReach;
  view().commandReport(command, outcome);
  return true;
}

LearnCommand &learnCommand() {
  static LearnCommand command;
  return command;
}

} // namespace sorvane
