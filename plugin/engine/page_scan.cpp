// Finding the headings on one page: runs are joined into lines while some level accepts every
// run, and a finished line becomes a heading of the first level whose text rule accepts it.
#include <algorithm>
#include <cmath>
#include <numeric>

#include "plugin/engine/bookmark_builder.h"
#include "plugin/engine/generation_run.h"
#include "plugin/engine/kept_text.h"
#include "plugin/rules/page_content.h"
#include "plugin/rules/pattern_matcher.h"

namespace sorvane {
namespace {

bool isBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::string trimmed(std::string_view text) {
  size_t end = text.size();
  while (end > 0 && isBlank(text[end - 1]))
    --end;
  size_t begin = 0;
  while (begin < end && isBlank(text[begin]))
    ++begin;
  return std::string(text.substr(begin, end - begin));
}

// A page's content as the scan reads it: each run read from the host when the scan comes to
// it, or, once the contents rows have read them all, kept from then on.
class ContentRuns : public PageRunSource {
public:
  explicit ContentRuns(PageContent &page) : m_page(page) {}
  size_t runCount() const override { return m_page.runs().size(); }
  bool buildRun(size_t k, bool trim, TextRun &out) const override {
    if (m_kept.empty())
      return m_page.buildTextRun(m_page.runs()[k], trim, out);
    const TextRun *run = viewRun(k, trim, out);
    if (run && run != &out)
      out = *run;
    return run != nullptr;
  }
  const TextRun *viewRun(size_t k, bool trim, TextRun &scratch) const override {
    if (m_kept.empty())
      return PageRunSource::viewRun(k, trim, scratch);
    return m_read[k] ? viewKeptRun(m_kept[k], trim, scratch) : nullptr;
  }
  ContentsRows contentsRows() const override {
    const std::vector<RunRef> &refs = m_page.runs();
    m_kept.assign(refs.size(), KeptRun());
    m_read.assign(refs.size(), false);
    std::vector<TextRun> all(refs.size());
    for (size_t k = 0; k < refs.size(); ++k) {
      KeptRun &kept = m_kept[k];
      m_read[k] =
          m_page.buildTextRunBothWays(refs[k], kept.run, kept.trimmedLeft, kept.leadingBlanks);
      if (m_read[k])
        all[k] = kept.run; // (a run that cannot be read has no text: no row takes it)
    }
    return ContentsRows(all);
  }

private:
  PageContent &m_page;
  mutable std::vector<KeptRun> m_kept;
  mutable std::vector<bool> m_read;
};

} // namespace

void GenerationRun::scanPage(PageContent &page, int32_t pageIndex) {
  scanRuns(ContentRuns(page), pageIndex);
}

void GenerationRun::scanRuns(const PageRunSource &page, int32_t pageIndex) {
  m_currentPage = pageIndex;
  m_line = Line();
  m_contents = ContentsRows();
  if (m_settings.skipContentsLines)
    m_contents = page.contentsRows();
  std::vector<int32_t> current;
  std::vector<int32_t> previous;
  TextRun scratch;
  const size_t runs = page.runCount();
  for (size_t k = 0; k < runs;) {
    const bool lineStart = m_line.text.empty();
    const TextRun *built = page.viewRun(k, lineStart, scratch);
    if (!built || (lineStart && built->text.empty())) {
      ++k;
      continue;
    }
    const TextRun &run = *built;
    for (const LevelRule &level : m_settings.levels)
      if (level.textStyleRule.matchesFontName(run)) {
        ++m_outcome.runsInLevelFonts;
        break;
      }
    const bool newRow = !lineStart && compareLines(m_line.lastRunBox, run.box) != 0;
    if (newRow && endsLineBefore(run, current)) {
      flushLine(current);
      current.clear();
      continue; // the same run starts the next line
    }
    previous = current;
    filterLevels(run, current, lineStart, newRow);
    if (current.empty() && !lineStart) {
      const size_t end = newRow ? 0 : inlineStretch(page, k, previous, current);
      if (end > k) {
        // Runs inside the heading's row that its level does not take: part of the title.
        const FixedRect row = m_line.lastRunBox;
        for (; k < end; ++k)
          if (const TextRun *inlineRun = page.viewRun(k, false, scratch))
            appendRun(*inlineRun, false);
        // The row is the heading's, not the smaller or shifted inline run's.
        m_line.lastRunBox.top = row.top;
        m_line.lastRunBox.bottom = row.bottom;
        continue;
      }
      flushLine(previous);
      current.clear();
      continue; // the same run starts the next line
    }
    if (lineStart) {
      m_line.lineBox = m_line.lastRunBox = m_line.extent = run.box;
      m_line.font = run.fontName;
      m_line.size = run.fontSize;
      m_line.text += run.text;
    } else {
      appendRun(run, newRow);
    }
    ++k;
  }
  flushLine(current);
}

void GenerationRun::appendRun(const TextRun &run, bool newRow) {
  if (!m_line.text.empty() && m_line.text.back() != ' ') {
    const double gap = fixedToDouble(run.box.left - m_line.lastRunBox.right);
    const double height = fixedToDouble(run.box.top - run.box.bottom);
    if (newRow || gap > 0.1 * height)
      m_line.text += ' ';
  }
  m_line.lastRunBox = run.box;
  FixedRect &e = m_line.extent;
  e.left = std::min(e.left, run.box.left);
  e.right = std::max(e.right, run.box.right);
  e.bottom = std::min(e.bottom, run.box.bottom);
  e.top = std::max(e.top, run.box.top);
  m_line.text += run.text;
}

namespace {

// How many words in other fonts a title takes in: a code word or two between runs of its own
// font, a word or two ending its row. More is a paragraph that starts on the heading's row.
constexpr size_t kInlineWordsBetween = 3;
constexpr size_t kInlineWordsAtEnd = 2;

} // namespace

size_t GenerationRun::inlineStretch(const PageRunSource &page, size_t k,
                                    const std::vector<int32_t> &levels,
                                    std::vector<int32_t> &kept) const {
  size_t best = 0;
  for (int32_t index : levels) {
    const LevelRule &level = m_settings.levels[size_t(index)];
    if (!level.textMatchRule.inlineRuns)
      continue;
    const size_t end = inlineEnd(page, k, level);
    if (end <= k)
      continue;
    if (best == 0 || end < best) {
      best = end;
      kept.clear();
    }
    if (end == best)
      kept.push_back(index);
  }
  return best;
}

size_t GenerationRun::inlineEnd(const PageRunSource &page, size_t k, const LevelRule &level) const {
  const FixedRect &row = m_line.lastRunBox;
  const double height = std::max(fixedToDouble(row.top - row.bottom), m_line.size);
  if (height <= 0)
    return 0;
  TextRun scratch;
  size_t words = 0;
  size_t characters = 0;
  bool inWord = false;
  Fixed right = row.right;
  Atom lastFont = Atom::Null; // of the last inline run
  double lastSize = 0;
  const size_t runs = page.runCount();
  size_t j = k;
  for (; j < runs && j <= k + kInlineLookahead; ++j) {
    const TextRun *run = page.viewRun(j, false, scratch);
    if (!run)
      continue;
    if (compareLines(row, run->box) != 0)
      break; // the row ends here
    if (j > k && level.matchesFontAndArea(*run))
      return words <= kInlineWordsBetween ? j : 0;
    // Inside the heading's line: not taller than it, not above or below it, and close to the
    // text before it (a run-in heading's paragraph starts after a wider gap).
    const double top = fixedToDouble(run->box.top), bottom = fixedToDouble(run->box.bottom);
    if (top - bottom > 1.2 * height || top > fixedToDouble(row.top) + height / 3 ||
        bottom < fixedToDouble(row.bottom) - height / 3)
      return 0;
    const double gap = fixedToDouble(run->box.left - right);
    if (gap > 0.6 * height || gap < -height)
      return 0;
    right = std::max(right, run->box.right);
    lastFont = run->fontName;
    lastSize = run->fontSize;
    for (char c : run->text) {
      const bool blank = isBlank(c);
      if (!blank) {
        words += inWord ? 0 : 1;
        ++characters;
      }
      inWord = !blank;
    }
    if (characters > kInlineCharacters || words > kInlineWordsBetween)
      return 0;
  }
  if (j > k + kInlineLookahead || words == 0 || words > kInlineWordsAtEnd)
    return 0;
  // A word or two that end the row (or the page); unless the next row goes on in their style,
  // as a paragraph that starts on the heading's row does.
  if (j < runs)
    if (const TextRun *next = page.viewRun(j, false, scratch))
      if (next->fontName == lastFont && std::abs(next->fontSize - lastSize) < 0.5 &&
          !level.matchesFontAndArea(*next))
        return 0;
  return j;
}

// Where a reader sees a new paragraph, a heading does not go on into the next row: after a
// vertical gap taller than the line itself, when the line is already a heading of a level
// that does not take more rows, or when the next row starts with a heading of a deeper level.
bool GenerationRun::endsLineBefore(const TextRun &run, const std::vector<int32_t> &candidates) {
  // The line's height: its box, or its font size where the box is the glyphs' (smaller).
  const FixedRect &last = m_line.lastRunBox;
  const double height = std::max(fixedToDouble(last.top - last.bottom), m_line.size);
  if (height > 0 && fixedToDouble(last.bottom - run.box.top) > height)
    return true;
  const std::string text = trimmed(m_line.text);
  int32_t lineLevel = -1;
  for (int32_t index : candidates)
    if (m_settings.levels[size_t(index)].matchesText(text)) {
      lineLevel = index;
      break;
    }
  if (lineLevel < 0)
    return false; // not a heading yet: the next row may make it one
  if (!m_settings.levels[size_t(lineLevel)].textMatchRule.multilineTitles)
    return true;
  std::vector<int32_t> alone;
  filterLevels(run, alone, true, false);
  const std::string runText = trimmed(run.text);
  for (int32_t index : alone)
    if (index > lineLevel && m_settings.levels[size_t(index)].matchesText(runText))
      return true;
  return false;
}

void GenerationRun::filterLevels(const TextRun &run, std::vector<int32_t> &candidates,
                                 bool lineStart, bool newRow) const {
  if (lineStart) {
    candidates.resize(m_settings.levels.size());
    std::iota(candidates.begin(), candidates.end(), 0);
  }
  std::vector<int32_t> kept;
  kept.reserve(candidates.size());
  for (int32_t index : candidates) {
    const LevelRule &level = m_settings.levels[size_t(index)];
    if (newRow && !level.textMatchRule.multilineTitles)
      continue;
    if (lineStart && level.indentRule.enabled && !level.matchesIndent(run.box.left))
      continue;
    if (!level.matchesFontAndArea(run))
      continue;
    kept.push_back(index);
  }
  candidates.swap(kept);
}

namespace {

// No title ends in a bracket that opens: it is what is left where a title is cut at a run in
// another font ("\\csdef{" of "\\csdef{<name>}{<text>}"), and it is left out.
std::string withoutOpenBracketAtEnd(std::string text) {
  // ("operator<" keeps its sign: an angle is as often an operator as a bracket.)
  while (!text.empty() &&
         (text.back() == '{' || text.back() == '[' || text.back() == '(' || text.back() == ' '))
    text.pop_back();
  return text;
}

} // namespace

void GenerationRun::flushLine(std::vector<int32_t> &candidates) {
  std::string text = std::move(m_line.text);
  m_line.text.clear();
  for (char &c : text)
    if (static_cast<unsigned char>(c) < 32)
      c = ' ';
  text = withoutOpenBracketAtEnd(trimmed(text));

  if (!text.empty()) {
    for (int32_t index : candidates) {
      const LevelRule &level = m_settings.levels[size_t(index)];
      if (!level.matchesText(text))
        continue;
      const bool stopWord = m_stopWords.contain(text);
      const bool contentsLine =
          m_contents.count() > 0 && m_contents.endsContentsRow(m_line.lastRunBox);
      if (stopWord || contentsLine) {
        // A heading by its rules, left out for its stop word or as a contents line: said, not
        // kept.
        m_outcome.dropped.push_back(
            DroppedHeading{text, m_currentPage, index,
                           stopWord ? DropReason::StopWord : DropReason::ContentsLine});
        break;
      }
      BookmarkNode node;
      node.makeGoTo(text, m_currentPage);
      node.action.dest.setView(level.fitType, m_line.lineBox, level.initialZoom);
      node.level = index;
      node.disp = level.dispAttribs;
      const FixedRect &box = m_line.extent;
      node.source = {m_line.font,
                     m_line.size,
                     fixedToDouble(box.left),
                     fixedToDouble(box.bottom),
                     fixedToDouble(box.right),
                     fixedToDouble(box.top)};
      m_found.push_back(std::move(node));
      break;
    }
  }
  candidates.clear();
}

bool BookmarkBuilder::isStopWord(std::string_view text) const {
  return containsStopWord(
      stopWords,
      {ignoreStopWords, stopWordsUseRegExp, stopWordsMatchWholeWords, stopWordsMatchCase}, text);
}

} // namespace sorvane
