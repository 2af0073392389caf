// Finding the headings on one page: runs are joined into lines while some level accepts every
// run, and a finished line becomes a heading of the first level whose text rule accepts it.
#include <algorithm>
#include <numeric>

#include "plugin/engine/bookmark_builder.h"
#include "plugin/engine/generation_run.h"
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

// A page's content as the scan reads it.
class ContentRuns : public PageRunSource {
public:
  explicit ContentRuns(PageContent &page) : m_page(page) {}
  size_t runCount() const override { return m_page.runs().size(); }
  bool buildRun(size_t k, bool trim, TextRun &out) const override {
    return m_page.buildTextRun(m_page.runs()[k], trim, out);
  }
  ContentsRows contentsRows() const override {
    std::vector<TextRun> all;
    all.reserve(m_page.runs().size());
    for (const RunRef &ref : m_page.runs()) {
      TextRun run;
      if (m_page.buildTextRun(ref, false, run))
        all.push_back(std::move(run));
    }
    return ContentsRows(all);
  }

private:
  PageContent &m_page;
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
      flushLine(previous);
      current.clear();
      continue; // the same run starts the next line
    }
    if (lineStart) {
      m_line.lineBox = m_line.lastRunBox = m_line.extent = run.box;
      m_line.font = run.fontName;
      m_line.size = run.fontSize;
    } else {
      if (!m_line.text.empty() && m_line.text.back() != ' ') {
        const double gap = fixedToDouble(run.box.left - m_line.lastRunBox.right);
        const double height = fixedToDouble(run.box.top - run.box.bottom);
        if (gap > 0.1 * height)
          m_line.text += ' ';
      }
      m_line.lastRunBox = run.box;
      FixedRect &e = m_line.extent;
      e.left = std::min(e.left, run.box.left);
      e.right = std::max(e.right, run.box.right);
      e.bottom = std::min(e.bottom, run.box.bottom);
      e.top = std::max(e.top, run.box.top);
    }
    if (newRow && !m_line.text.empty() && m_line.text.back() != ' ')
      m_line.text += ' ';
    m_line.text += run.text;
    ++k;
  }
  flushLine(current);
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

void GenerationRun::flushLine(std::vector<int32_t> &candidates) {
  std::string text = std::move(m_line.text);
  m_line.text.clear();
  for (char &c : text)
    if (static_cast<unsigned char>(c) < 32)
      c = ' ';
  text = trimmed(text);

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
