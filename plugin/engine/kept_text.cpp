#include "plugin/engine/kept_text.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <unordered_map>

#include "plugin/rules/page_content.h"
#include "sdk/host_error.h"
#include "sdk/imported_tables.h"

namespace sorvane {

const TextRun *viewKeptRun(const KeptRun &kept, bool trim, TextRun &scratch) {
  if (!trim || (kept.leadingBlanks == 0 && kept.trimmedLeft == kept.run.box.left))
    return &kept.run;
  scratch = kept.run;
  scratch.box.left = kept.trimmedLeft;
  scratch.text.erase(0, kept.leadingBlanks);
  return &scratch;
}

bool KeptPage::buildRun(size_t k, bool trim, TextRun &out) const {
  if (const TextRun *run = viewKeptRun(runs[k], trim, out); run != &out)
    out = *run;
  return true;
}

const TextRun *KeptPage::viewRun(size_t k, bool trim, TextRun &scratch) const {
  return viewKeptRun(runs[k], trim, scratch);
}

KeptText KeptText::read(DocHandle doc, const std::function<void(int32_t)> &pageRead, int32_t first,
                        int32_t last) {
  KeptText kept;
  const int32_t count = hostTables().pdModel.must().docGetNumPages(doc);
  kept.pages.resize(size_t(std::max(count, 0)));
  first = std::max(first, 0);
  last = std::min(last, count - 1);
  std::unordered_map<Atom, int32_t> fontIndex;
  if (hostTables().pagePDEContent && first <= last) {
    // Every page in order: a host that reads ahead can read them in other threads meanwhile.
    std::vector<int32_t> all;
    for (int32_t p = first; p <= last; ++p)
      all.push_back(p);
    hostTables().pagePDEContent->docPlanContentReads(doc, all);
  }
  for (int32_t p = first; p <= last; ++p) {
    KeptPage &page = kept.pages[size_t(p)];
    try {
      PageContent content(doc, p);
      content.gatherRuns(std::nullopt);
      kept.runsOutOfReach += content.runsOutOfReach();
      std::vector<TextRun> all;
      for (const RunRef &ref : content.runs()) {
        KeptRun run;
        if (!content.buildTextRunBothWays(ref, run.run, run.trimmedLeft, run.leadingBlanks))
          continue;
        auto [it, added] = fontIndex.try_emplace(run.run.fontName, int32_t(kept.fonts.size()));
        if (added)
          kept.fonts.push_back(run.run.fontName);
        run.font = it->second;
        run.blank = run.leadingBlanks >= run.run.text.size();
        all.push_back(run.run);
        page.runs.push_back(std::move(run));
      }
      page.contents = ContentsRows(all);
    } catch (const HostError &e) {
      if (e.code() == ErrorCode::Cancelled)
        throw;
      page = KeptPage();
      kept.failedPages.push_back(p);
    }
    if (pageRead)
      pageRead(p);
  }
  return kept;
}

namespace {

// Only blanks, no-break and narrow spaces: a reader sees nothing there.
bool showsNothing(const std::string &text) {
  for (size_t i = 0; i < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == ' ' || c == '\t') {
      ++i;
    } else if (text.compare(i, 2, "\xC2\xA0") == 0) {
      i += 2;
    } else if (text.compare(i, 2, "\xE2\x80") == 0 && i + 2 < text.size() &&
               (static_cast<unsigned char>(text[i + 2]) <= 0x8A ||
                static_cast<unsigned char>(text[i + 2]) == 0xAF)) {
      i += 3; // U+2000 to U+200A, U+202F
    } else {
      return false;
    }
  }
  return true;
}

} // namespace

// Dot leaders and a page number (arabic or roman), or a number alone: no title.
bool onlyLeadersAndNumber(const std::string &text) {
  bool digit = false, roman = false;
  for (char c : text) {
    if (c >= '0' && c <= '9')
      digit = true;
    else if (std::string_view("ivxlcdm").find(c) != std::string_view::npos)
      roman = true;
    else if (c != '.' && c != ' ')
      return false;
  }
  return digit != roman;
}

std::vector<TextRow> pageRows(const KeptPage &page) {
  std::vector<TextRow> rows;
  TextRow row;
  FixedRect last{};
  for (uint32_t k = 0; k < page.runs.size(); ++k) {
    const KeptRun &kept = page.runs[k];
    if (kept.blank || showsNothing(kept.run.text))
      continue;
    const TextRun &run = kept.run;
    const bool goesOn = !row.runs.empty() && compareLines(last, run.box) == 0 &&
                        run.box.left >= last.left - fixedFromDouble(1);
    if (!goesOn) {
      if (!row.runs.empty())
        rows.push_back(std::move(row));
      row = TextRow();
    }
    std::string text = row.runs.empty() ? run.text.substr(kept.leadingBlanks) : run.text;
    if (!row.runs.empty() && !row.text.empty() && row.text.back() != ' ' && text.front() != ' ') {
      const double gap = fixedToDouble(run.box.left - last.right);
      if (gap > 0.1 * fixedToDouble(run.box.top - run.box.bottom))
        row.text += ' ';
    }
    row.text += text;
    row.runs.push_back(k);
    row.runEnds.push_back(row.text.size());
    last = run.box;
  }
  if (!row.runs.empty())
    rows.push_back(std::move(row));
  // Some writers draw a contents row's leaders and page number before its title: a row of
  // only those, followed on its line by a row to its left, is the end of that row.
  for (size_t i = 0; i + 1 < rows.size(); ++i) {
    TextRow &end = rows[i];
    TextRow &start = rows[i + 1];
    const FixedRect &endBox = page.runs[end.runs.front()].run.box;
    const FixedRect &startEnd = page.runs[start.runs.back()].run.box;
    if (!onlyLeadersAndNumber(end.text) || compareLines(endBox, startEnd) != 0 ||
        startEnd.right > endBox.left + fixedFromDouble(1))
      continue;
    TextRow merged;
    merged.runs = start.runs;
    merged.runEnds = start.runEnds;
    merged.text = start.text + " ";
    const size_t shift = merged.text.size();
    for (size_t k = 0; k < end.runs.size(); ++k) {
      merged.runs.push_back(end.runs[k]);
      merged.runEnds.push_back(end.runEnds[k] + shift);
    }
    merged.text += end.text;
    rows[i] = std::move(merged);
    rows.erase(rows.begin() + std::ptrdiff_t(i) + 1);
  }
  return rows;
}

BodyStyle KeptText::bodyStyle() const {
  std::map<std::pair<Atom, long>, size_t> chars;
  for (const KeptPage &page : pages)
    for (const KeptRun &r : page.runs)
      chars[{r.run.fontName, std::lround(r.run.fontSize * 10)}] += r.run.text.size();
  if (chars.empty())
    return {};
  const auto most = std::max_element(
      chars.begin(), chars.end(), [](const auto &a, const auto &b) { return a.second < b.second; });
  return {most->first.first, most->first.second};
}

std::vector<uint32_t> KeptText::runsFor(int32_t p, const std::vector<bool> &takes,
                                        bool inlineRuns) const {
  const std::vector<KeptRun> &runs = pages[size_t(p)].runs;
  std::vector<uint32_t> out;
  size_t k = 0;
  while (k < runs.size()) {
    if (takes[size_t(runs[k].font)]) {
      out.push_back(uint32_t(k++));
      continue;
    }
    const size_t from = k;
    while (k < runs.size() && !takes[size_t(runs[k].font)])
      ++k;
    if (inlineRuns) {
      // What the scan reads past the stretch's first run: runs up to its lookahead, until their
      // text is more than a title takes in (the rest only ends lines, as the last one kept does).
      size_t characters = 0;
      for (size_t b = from; b < k && b <= from + kInlineLookahead + 1; ++b) {
        out.push_back(uint32_t(b));
        for (char c : runs[b].run.text)
          characters += c != ' ' && c != '\t' && c != '\n' && c != '\r' && c != '\f' && c != '\v';
        if (characters > kInlineCharacters)
          break;
      }
      continue;
    }
    size_t breaker = from;
    while (breaker < k && runs[breaker].blank)
      ++breaker;
    if (breaker < k) {
      out.push_back(uint32_t(breaker));
    } else {
      for (size_t b = from; b < k; ++b)
        out.push_back(uint32_t(b));
    }
  }
  return out;
}

} // namespace sorvane
