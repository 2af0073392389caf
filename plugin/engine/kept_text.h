// Every text run of a document read once and kept, so that many scans (rule learning tries
// many rule sets) read them from memory instead of from the document.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "plugin/engine/contents_lines.h"
#include "plugin/engine/generation_run.h"
#include "plugin/rules/text_run.h"
#include "sdk/handles.h"

namespace sorvane {

struct KeptRun {
  TextRun run;           // untrimmed
  Fixed trimmedLeft = 0; // the left edge once leading blanks are trimmed
  uint32_t leadingBlanks = 0;
  int32_t font = 0;   // index into KeptText::fonts
  bool blank = false; // only blanks
};

// `kept` as the scan reads it: trimmed of its leading blanks when `trim` (into `scratch` when
// that changes it), else the kept run itself.
const TextRun *viewKeptRun(const KeptRun &kept, bool trim, TextRun &scratch);

// One page's runs, in content order, as the page scan reads them.
class KeptPage : public PageRunSource {
public:
  std::vector<KeptRun> runs;
  ContentsRows contents;

  size_t runCount() const override { return runs.size(); }
  bool buildRun(size_t k, bool trim, TextRun &out) const override;
  ContentsRows contentsRows() const override { return contents; }
  const TextRun *viewRun(size_t k, bool trim, TextRun &scratch) const override;
};

// A page seen through a choice of its runs (the scan reads only those).
class KeptPageView : public PageRunSource {
public:
  KeptPageView(const KeptPage &page, const std::vector<uint32_t> &runs)
      : m_page(page), m_runs(runs) {}
  size_t runCount() const override { return m_runs.size(); }
  bool buildRun(size_t k, bool trim, TextRun &out) const override {
    return m_page.buildRun(m_runs[k], trim, out);
  }
  ContentsRows contentsRows() const override { return m_page.contents; }
  const TextRun *viewRun(size_t k, bool trim, TextRun &scratch) const override {
    return m_page.viewRun(m_runs[k], trim, scratch);
  }

private:
  const KeptPage &m_page;
  const std::vector<uint32_t> &m_runs;
};

// A row of a page as a reader sees it: runs that follow each other on one line, left to right.
struct TextRow {
  std::vector<uint32_t> runs; // indices into the page's kept runs, non-blank ones
  std::string text;
  std::vector<size_t> runEnds; // where each run's text ends in `text`
};

// The rows of `page`, in content order.
std::vector<TextRow> pageRows(const KeptPage &page);

// The body text's style: the font and size (tenths of a point) with the most text.
struct BodyStyle {
  Atom font = Atom::Null;
  long tenths = 0;
};

struct KeptText {
  std::vector<KeptPage> pages;
  std::vector<Atom> fonts;          // the distinct font names of the runs
  std::vector<int32_t> failedPages; // zero-based; their runs are missing
  int32_t runsOutOfReach = 0;

  // Reads every page of `doc` (from `first` to `last`, zero-based; the others are left empty).
  // A page that cannot be read is listed and left empty; a cancel (HostError Cancelled) goes on
  // up. `pageRead` is told of each page.
  static KeptText read(DocHandle doc, const std::function<void(int32_t)> &pageRead = {},
                       int32_t first = 0, int32_t last = INT32_MAX);

  // The runs of page `p` a scan by levels that take only the fonts `takes` marks must see:
  // every run in such a font, and for each stretch of runs in other fonts one that ends a line
  // as the whole stretch would (a non-blank one; blank runs kept when there is none). The scan
  // of that choice finds what the scan of the whole page finds. With `inlineRuns` (some level
  // takes runs inside its titles), each stretch keeps its start, as far as the scan reads to
  // tell whether it is inline.
  std::vector<uint32_t> runsFor(int32_t p, const std::vector<bool> &takes,
                                bool inlineRuns = false) const;

  // The style with the most characters (none for a document without text).
  BodyStyle bodyStyle() const;
};

} // namespace sorvane
