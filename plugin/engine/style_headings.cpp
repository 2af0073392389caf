#include "plugin/engine/style_headings.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <unordered_map>

#include "plugin/values/fixed_point.h"
#include "sdk/font_names.h"
#include "sdk/imported_tables.h"

namespace sorvane {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isUpper(char c) { return c >= 'A' && c <= 'Z'; }
bool isLetter(unsigned char c) { return (c | 0x20) >= 'a' && (c | 0x20) <= 'z'; }

bool boldName(std::string_view font) {
  for (const char *mark : {"Bold", "bold", "BX", "Bd", "Black", "Heavy", "Semibold", "Demi"})
    if (font.find(mark) != std::string_view::npos)
      return true;
  return false;
}

// A row of a page with what the statistics look at.
struct Row {
  int32_t page = 0;
  std::string text;
  std::string font; // of its first run, without a subset prefix
  double size = 0;
  double left = 0, right = 0, top = 0, bottom = 0;
  bool bold = false;
  bool contents = false; // a table of contents row
  std::string style() const { return font + "/" + std::to_string(std::lround(size * 10)); }
};

std::vector<Row> documentRows(const KeptText &text) {
  std::vector<Row> rows;
  for (int32_t p = 0; p < int32_t(text.pages.size()); ++p) {
    const KeptPage &page = text.pages[size_t(p)];
    for (const TextRow &tr : pageRows(page)) {
      if (tr.runs.empty())
        continue;
      Row r;
      r.page = p;
      const size_t from = tr.text.find_first_not_of(' ');
      if (from == std::string::npos)
        continue;
      r.text = tr.text.substr(from, tr.text.find_last_not_of(' ') - from + 1);
      const TextRun &first = page.runs[tr.runs.front()].run;
      r.font = std::string(withoutSubsetPrefix(hostTables().core->atomGetString(first.fontName)));
      r.size = first.fontSize;
      r.bold = boldName(r.font);
      r.left = fixedToDouble(page.runs[tr.runs.front()].trimmedLeft);
      r.right = -1e9;
      r.top = -1e9;
      r.bottom = 1e9;
      for (uint32_t k : tr.runs) {
        const FixedRect &b = page.runs[k].run.box;
        r.right = std::max(r.right, fixedToDouble(b.right));
        r.top = std::max(r.top, fixedToDouble(b.top));
        r.bottom = std::min(r.bottom, fixedToDouble(b.bottom));
      }
      r.contents = page.contents.endsContentsRow(page.runs[tr.runs.back()].run.box);
      rows.push_back(std::move(r));
    }
  }
  return rows;
}

// The numbering a title starts with: "3", "2.1.", "A.4", "Chapter 3", "Appendix B".
struct Numbering {
  std::string shape; // as a pattern: "[0-9]+\.[0-9]+"; empty for none
  int depth = 0;
  size_t end = 0; // where the title after it starts
};

Numbering numberingOf(const std::string &t) {
  std::string label;
  for (std::string_view word :
       {"Chapter ", "CHAPTER ", "Appendix ", "APPENDIX ", "Part ", "PART ", "Section "})
    if (t.compare(0, word.size(), word) == 0)
      label = word;
  size_t i = label.size();
  std::string shape;
  int parts = 0;
  bool digits = false;
  while (i < t.size()) {
    if (isDigit(t[i])) {
      while (i < t.size() && isDigit(t[i]))
        ++i;
      shape += "[0-9]+";
      digits = true;
    } else if (isUpper(t[i]) && (i + 1 == t.size() || t[i + 1] == '.' || t[i + 1] == ' ')) {
      ++i;
      shape += "[A-Z]";
    } else {
      break;
    }
    ++parts;
    if (i + 1 < t.size() && t[i] == '.' && (isDigit(t[i + 1]) || isUpper(t[i + 1]))) {
      shape += "\\.";
      ++i;
      continue;
    }
    break;
  }
  // a capital alone ("A word") is a word, not a number, unless a label stands before it
  if (parts == 0 || (label.empty() && !digits && parts < 2))
    return {};
  if (i < t.size() && t[i] == '.') {
    shape += "\\.";
    ++i;
  }
  if (i < t.size() && t[i] != ' ')
    return {};
  return {label + shape, parts, i < t.size() ? i + 1 : i};
}

// Headings line up: most start at one left edge (or two, for facing pages), end at one right
// edge, or are centred on one axis. Words scattered over figures and music do not.
bool aligned(const std::vector<size_t> &at, const std::vector<Row> &rows) {
  for (int edge = 0; edge < 3; ++edge) {
    std::map<long, size_t> bins; // 3-point bins
    for (size_t i : at) {
      const Row &r = rows[i];
      const double x = edge == 0 ? r.left : edge == 1 ? (r.left + r.right) / 2 : r.right;
      ++bins[std::lround(x / 3)];
    }
    std::vector<size_t> counts;
    for (const auto &[bin, n] : bins)
      counts.push_back(n + (bins.count(bin + 1) ? bins.at(bin + 1) : 0));
    std::sort(counts.rbegin(), counts.rend());
    if (2 * (counts[0] + (counts.size() > 1 ? counts[1] : 0)) >= at.size())
      return true;
  }
  return false;
}

// A caption ("Figure 2-1: ...", "Table 3.", "Listing 4 -"): set apart like a heading, but none.
bool isCaption(const std::string &t) {
  for (std::string_view word :
       {"Figure ", "Fig. ", "Table ", "Listing ", "Example ", "Plate ", "FIGURE ", "TABLE "}) {
    if (t.compare(0, word.size(), word) != 0)
      continue;
    size_t i = word.size();
    const size_t from = i;
    while (i < t.size() && (isDigit(t[i]) || t[i] == '.' || t[i] == '-'))
      ++i;
    if (i > from && (i == t.size() || t[i] == ':' || t[i] == ' ' || t[i] == '.'))
      return true;
  }
  return false;
}

struct Candidate {
  std::string font;
  double size = 0;
  bool bold = false;
  Numbering numbering; // the most common of its rows'
  std::vector<size_t> rows;
};

} // namespace

std::vector<TextStyleCount> countTextStyles(const KeptText &text, size_t samples) {
  std::map<std::pair<long, std::string>, TextStyleCount> styles; // (-tenths, font)
  const auto styleOf = [&](const TextRun &run, int32_t page) -> TextStyleCount & {
    const std::string font(hostTables().core->atomGetString(run.fontName));
    const long tenths = std::lround(run.fontSize * 10);
    auto [it, added] = styles.try_emplace({-tenths, font});
    if (added) {
      it->second.font = font;
      it->second.size = double(tenths) / 10;
      it->second.firstPage = page;
    }
    return it->second;
  };
  for (int32_t p = 0; p < int32_t(text.pages.size()); ++p) {
    const KeptPage &page = text.pages[size_t(p)];
    for (const KeptRun &r : page.runs) {
      int64_t n = 0;
      for (char c : r.run.text)
        n += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
      styleOf(r.run, p).characters += n;
    }
    for (const TextRow &row : pageRows(page)) {
      // the row's stretches of runs in one style
      for (size_t k = 0; k < row.runs.size();) {
        const TextRun &first = page.runs[row.runs[k]].run;
        size_t end = k + 1;
        while (end < row.runs.size() && page.runs[row.runs[end]].run.fontName == first.fontName &&
               std::lround(page.runs[row.runs[end]].run.fontSize * 10) ==
                   std::lround(first.fontSize * 10))
          ++end;
        TextStyleCount &style = styleOf(first, p);
        ++style.lines;
        ++style.leftEdges[int32_t(std::lround(fixedToDouble(page.runs[row.runs[k]].trimmedLeft)))];
        if (style.samples.size() < samples) {
          const size_t from = k == 0 ? 0 : row.runEnds[k - 1];
          std::string line = row.text.substr(from, row.runEnds[end - 1] - from);
          const size_t a = line.find_first_not_of(' ');
          line = a == std::string::npos ? std::string()
                                        : line.substr(a, line.find_last_not_of(' ') - a + 1);
          if (!line.empty() &&
              std::find(style.samples.begin(), style.samples.end(), line) == style.samples.end())
            style.samples.push_back(std::move(line));
        }
        k = end;
      }
    }
  }
  std::vector<TextStyleCount> out;
  for (auto &[key, style] : styles)
    out.push_back(std::move(style));
  return out;
}

StyleOutline readStyleHeadings(const KeptText &text, int32_t maxLevels) {
  StyleOutline out;
  const std::vector<Row> rows = documentRows(text);
  // The body: the style with the most text.
  std::map<std::pair<std::string, long>, size_t> characters;
  for (const Row &r : rows)
    characters[{r.font, std::lround(r.size * 10)}] += r.text.size();
  if (characters.empty())
    return out;
  const auto bodyKey =
      std::max_element(characters.begin(), characters.end(), [](const auto &a, const auto &b) {
        return a.second < b.second;
      })->first;
  out.bodyFont = bodyKey.first;
  out.bodySize = double(bodyKey.second) / 10;
  const bool bodyBold = boldName(out.bodyFont);
  const auto isBody = [&](const Row &r) {
    return r.font == out.bodyFont && std::fabs(r.size - out.bodySize) <= 0.5;
  };

  // Running heads and footers: the top and bottom rows of pages whose text, numbers aside,
  // repeats on three pages or more. (A section that starts a page is no running head.)
  std::map<int32_t, std::pair<size_t, size_t>> edges;
  for (size_t i = 0; i < rows.size(); ++i) {
    auto [it, added] = edges.try_emplace(rows[i].page, i, i);
    if (rows[i].top > rows[it->second.first].top)
      it->second.first = i;
    if (rows[i].bottom < rows[it->second.second].bottom)
      it->second.second = i;
  }
  // (the text without the numbers that start or end it: a page number, a section number)
  const auto edgeText = [&](size_t i) {
    const std::string &t = rows[i].text;
    const auto numeric = [](char c) { return isDigit(c) || c == '.' || c == ' ' || c == '-'; };
    size_t from = 0, to = t.size();
    while (from < to && numeric(t[from]))
      ++from;
    while (to > from && numeric(t[to - 1]))
      --to;
    return comparableTitle(t.substr(from, to - from), false);
  };
  std::map<std::string, std::vector<size_t>> edgeRows;
  for (const auto &[page, e] : edges) {
    edgeRows[edgeText(e.first)].push_back(e.first);
    if (e.second != e.first)
      edgeRows[edgeText(e.second)].push_back(e.second);
  }
  std::vector<bool> runningHead(rows.size(), false);
  for (const auto &[key, at] : edgeRows) {
    std::set<int32_t> pages;
    std::map<std::string, size_t> styleCount;
    for (size_t i : at) {
      pages.insert(rows[i].page);
      ++styleCount[rows[i].style()];
    }
    if (pages.size() < 3 || key.empty())
      continue;
    // in the style most of them have: a heading that starts a page, repeated by the running
    // heads after it in a smaller style, stays a heading
    const std::string style =
        std::max_element(styleCount.begin(), styleCount.end(), [](const auto &a, const auto &b) {
          return a.second < b.second;
        })->first;
    // (a label just above a larger title, "Chapter 3" over its name, is no running head)
    const auto overLargerTitle = [&](size_t i) {
      return i + 1 < rows.size() && rows[i + 1].page == rows[i].page &&
             rows[i + 1].size > rows[i].size + 0.5 &&
             rows[i].bottom - rows[i + 1].top < 3 * rows[i].size;
    };
    for (size_t i : at)
      if (rows[i].style() == style && !isBody(rows[i]) && !overLargerTitle(i)) {
        runningHead[i] = true;
        ++out.runningHeads;
      }
  }
  // Running heads that name the section of their page change their text with it: a style (and
  // numbering depth) no larger than the body whose rows all stand at one height at the top of
  // their pages, or all at the bottom, on three pages or more.
  std::map<std::string, std::vector<size_t>> smallStyles;
  for (size_t i = 0; i < rows.size(); ++i)
    if (!runningHead[i] && !isBody(rows[i]) && rows[i].size <= out.bodySize + 0.5)
      smallStyles[rows[i].style() + "#" + std::to_string(numberingOf(rows[i].text).depth)]
          .push_back(i);
  for (const auto &[key, at] : smallStyles) {
    if (at.size() < 3)
      continue;
    const auto topEdge = [&](size_t i) { return edges[rows[i].page].first == i; };
    const auto bottomEdge = [&](size_t i) { return edges[rows[i].page].second == i; };
    const bool top = std::all_of(at.begin(), at.end(), topEdge);
    const bool bottom = !top && std::all_of(at.begin(), at.end(), bottomEdge);
    const double y = rows[at.front()].top;
    if ((!top && !bottom) ||
        std::any_of(at.begin(), at.end(), [&](size_t i) { return std::fabs(rows[i].top - y) > 2; }))
      continue;
    for (size_t i : at) {
      runningHead[i] = true;
      ++out.runningHeads;
    }
  }

  // Heading rows: larger than the body, or bold at its size (or numbered and bold below it),
  // with words, not too long, not contents rows.
  std::vector<Numbering> numbering(rows.size());
  std::vector<bool> headingLike(rows.size(), false);
  for (size_t i = 0; i < rows.size(); ++i) {
    const Row &r = rows[i];
    numbering[i] = numberingOf(r.text);
    int letters = 0;
    for (char c : r.text)
      letters += isLetter(static_cast<unsigned char>(c)) || (c & 0x80) ? 1 : 0;
    if (runningHead[i] || r.text.size() > 120 || r.contents || letters < 3 || isCaption(r.text))
      continue;
    const bool larger = r.size > out.bodySize + 0.5;
    const bool bolder = std::fabs(r.size - out.bodySize) <= 0.5 && r.bold && !bodyBold;
    const bool smallNumbered =
        r.size < out.bodySize - 0.5 && r.bold && !bodyBold && numbering[i].depth > 0;
    headingLike[i] = larger || bolder || smallNumbered;
  }
  // A title on two rows: a heading row followed closely by one more in its style (three or
  // more are a block of text in that style, not a title).
  const auto sameStyle = [&](size_t a, size_t b) {
    return rows[a].page == rows[b].page && rows[a].font == rows[b].font &&
           std::fabs(rows[a].size - rows[b].size) <= 0.3 &&
           rows[a].bottom - rows[b].top < 0.8 * rows[a].size;
  };
  std::vector<size_t> runLength(rows.size(), 1); // of the same-style rows it belongs to
  for (size_t i = 0; i < rows.size();) {
    size_t j = i + 1;
    while (j < rows.size() && sameStyle(j - 1, j))
      ++j;
    for (size_t k = i; k < j; ++k)
      runLength[k] = j - i;
    i = j;
  }
  // (the second row may start in another face: a class name in mono after "4.2 The class")
  const auto sameSize = [&](size_t a, size_t b) {
    return rows[a].page == rows[b].page && std::fabs(rows[a].size - rows[b].size) <= 0.3 &&
           rows[a].bottom - rows[b].top < 0.8 * rows[a].size;
  };
  std::vector<bool> continuation(rows.size(), false);
  for (size_t i = 0; i + 1 < rows.size(); ++i)
    if (headingLike[i] && !continuation[i] && sameSize(i, i + 1) && numbering[i + 1].depth == 0 &&
        (i == 0 || !sameSize(i - 1, i)) && (i + 2 >= rows.size() || !sameSize(i + 1, i + 2)))
      continuation[i + 1] = true;

  std::map<std::string, std::vector<size_t>> styles;
  for (size_t i = 0; i < rows.size(); ++i)
    if (headingLike[i] && !continuation[i])
      styles[rows[i].style()].push_back(i);

  // Whether the rows `at` of one style (one numbering depth of it) are headings: on more than
  // one page, few to a page, not in blocks, starting a block of text, mostly different texts,
  // lined up; unnumbered rows bold at the body's size also stand apart from the row above.
  const auto judged = [&](const std::vector<size_t> &at, bool numbered) {
    std::set<int32_t> pages;
    std::map<std::string, size_t> texts;
    size_t blocks = 0, leading = 0, apart = 0;
    for (size_t i : at) {
      pages.insert(rows[i].page);
      ++texts[rows[i].text];
      blocks += runLength[i] >= 3 ? 1 : 0;
      const size_t next = i + (continuation.size() > i + 1 && continuation[i + 1] ? 2 : 1);
      if (next < rows.size() && rows[next].page == rows[i].page &&
          (isBody(rows[next]) || rows[next].size > out.bodySize + 0.5 || headingLike[next]))
        ++leading;
      if (i == 0 || rows[i - 1].page != rows[i].page ||
          rows[i - 1].bottom - rows[i].top > 0.5 * rows[i].size)
        ++apart;
    }
    size_t unique = 0;
    for (const auto &[t, n] : texts)
      unique += n < 3 ? n : 0;
    const Row &first = rows[at.front()];
    const bool atBodySize = std::fabs(first.size - out.bodySize) <= 0.5;
    return pages.size() >= 2 && at.size() <= 3 * pages.size() && 2 * blocks <= at.size() &&
           4 * leading >= at.size() && unique >= 2 && 10 * unique >= 3 * at.size() &&
           aligned(at, rows) && (numbered || !atBodySize || 2 * apart >= at.size());
  };

  std::vector<Candidate> kept;
  for (const auto &[key, at] : styles) {
    std::map<int, std::vector<size_t>> byDepth;
    for (size_t i : at)
      byDepth[numbering[i].depth].push_back(i);
    const Row &r = rows[at.front()];
    for (const auto &[depth, of] : byDepth) {
      // numbered rows judged on their own, so that the rest of the style does not sink them;
      // a numbering few of the style's rows have is chance ("2 ways to ...")
      if (depth > 0 && (of.size() < 2 || 10 * of.size() < at.size()))
        continue;
      if (depth == 0 && of.size() < 3)
        continue;
      if (!judged(of, depth > 0))
        continue;
      Candidate c{r.font, r.size, r.bold, {}, of};
      std::map<std::string, size_t> shapes;
      for (size_t i : of)
        ++shapes[numbering[i].shape];
      c.numbering.shape =
          std::max_element(shapes.begin(), shapes.end(), [](const auto &a, const auto &b) {
            return a.second < b.second;
          })->first;
      c.numbering.depth = depth;
      kept.push_back(std::move(c));
    }
  }
  // The largest type first; at one size, numbered before unnumbered, shallow before deep,
  // bold before regular.
  std::sort(kept.begin(), kept.end(), [](const Candidate &a, const Candidate &b) {
    if (std::fabs(a.size - b.size) > 0.5)
      return a.size > b.size;
    if ((a.numbering.depth == 0) != (b.numbering.depth == 0))
      return a.numbering.depth != 0;
    if (a.numbering.depth != b.numbering.depth)
      return a.numbering.depth < b.numbering.depth;
    if (a.bold != b.bold)
      return a.bold;
    return a.rows.size() > b.rows.size();
  });

  // Labels over a larger title ("Chapter 2" over "Introduction", "CHAPTER TWO" over its name):
  // a style whose rows mostly stand just above a row of a larger heading style is no level.
  std::map<size_t, size_t> styleOfRow; // row -> index into kept
  for (size_t k = 0; k < kept.size(); ++k)
    for (size_t i : kept[k].rows)
      styleOfRow[i] = k;
  std::vector<bool> label(kept.size(), false);
  for (size_t k = 0; k < kept.size(); ++k) {
    size_t above = 0;
    for (size_t i : kept[k].rows) {
      const auto next = styleOfRow.find(i + 1);
      if (next != styleOfRow.end() && rows[i + 1].page == rows[i].page &&
          kept[next->second].size > kept[k].size + 0.5 &&
          rows[i].bottom - rows[i + 1].top < 3 * rows[i].size)
        ++above;
    }
    label[k] = above >= 2 && 10 * above >= 6 * kept[k].rows.size();
  }
  for (size_t k = kept.size(); k-- > 0;)
    if (label[k]) {
      out.labelRows += int32_t(kept[k].rows.size());
      kept.erase(kept.begin() + ptrdiff_t(k));
    }

  // Unnumbered headings above numbered ones: the level above them (parts, chapters) when they
  // are larger and numbered headings follow them; else they would leave the numbered ones
  // without parents.
  for (size_t k = kept.size(); k-- > 0;) {
    if (kept[k].numbering.depth != 0)
      continue;
    double largestNumbered = 0;
    for (size_t j = k + 1; j < kept.size(); ++j)
      if (kept[j].numbering.depth > 0)
        largestNumbered = std::max(largestNumbered, kept[j].size);
    if (largestNumbered == 0)
      continue;
    std::set<size_t> others, numberedRows;
    for (size_t j = 0; j < kept.size(); ++j)
      if (j != k)
        for (size_t i : kept[j].rows) {
          others.insert(i);
          if (kept[j].numbering.depth > 0)
            numberedRows.insert(i);
        }
    size_t leadsNumbered = 0;
    for (size_t i : kept[k].rows) {
      const auto next = others.upper_bound(i);
      leadsNumbered += next != others.end() && numberedRows.count(*next) ? 1 : 0;
    }
    if (kept[k].size <= largestNumbered + 0.5 || 2 * leadsNumbered < kept[k].rows.size())
      kept.erase(kept.begin() + ptrdiff_t(k));
  }
  // A style that repeats the titles of a larger one (a chapter's title page) adds nothing.
  std::vector<Candidate> distinct;
  std::set<std::string> seen;
  for (Candidate &c : kept) {
    size_t repeats = 0;
    for (size_t i : c.rows)
      repeats += seen.count(comparableTitle(rows[i].text));
    if (2 * repeats >= c.rows.size())
      continue;
    for (size_t i : c.rows)
      seen.insert(comparableTitle(rows[i].text));
    distinct.push_back(std::move(c));
  }
  kept = std::move(distinct);
  if (int32_t(kept.size()) > maxLevels)
    kept.resize(size_t(std::max(maxLevels, 0)));

  // The outline: chapters keep their numbers (readers look them up by number); below, the
  // nesting shows where a section is, and titles go without.
  std::vector<std::pair<size_t, OutlineMark>> marks;
  for (size_t k = 0; k < kept.size(); ++k) {
    HeadingStyle style;
    style.depth = int32_t(k) + 1;
    style.font = kept[k].font;
    style.size = kept[k].size;
    style.numbering = kept[k].numbering.shape;
    style.rows = int32_t(kept[k].rows.size());
    for (size_t i : kept[k].rows) {
      std::string title = rows[i].text;
      if (i + 1 < rows.size() && continuation[i + 1])
        title += " " + rows[i + 1].text;
      if (k > 0 && numbering[i].depth > 0 && numbering[i].end < title.size())
        title.erase(0, numbering[i].end);
      if (style.samples.size() < 3)
        style.samples.push_back(title);
      marks.push_back({i, {style.depth, std::move(title), rows[i].page}});
    }
    out.styles.push_back(std::move(style));
  }
  std::sort(marks.begin(), marks.end(),
            [](const auto &a, const auto &b) { return a.first < b.first; });
  for (auto &[i, m] : marks)
    out.marks.push_back(std::move(m));
  return out;
}

} // namespace sorvane
