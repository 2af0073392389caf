#include "plugin/engine/rule_learning.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <optional>
#include <set>
#include <tuple>
#include <unordered_map>

#include "plugin/engine/generation_run.h"
#include "plugin/rules/page_content.h"
#include "plugin/rules/pattern_matcher.h"
#include "plugin/rules/text_style_rule.h"
#include "plugin/rules/title_format.h"
#include "sdk/font_names.h"
#include "sdk/imported_tables.h"
#include "sdk/text_codec.h"

namespace sorvane {
namespace {

// Plain forms of the characters titles differ in between a page and an outline.
void appendPlain(std::string &out, char32_t c) {
  switch (c) {
  case 0xFB00: out += "ff"; return;
  case 0xFB01: out += "fi"; return;
  case 0xFB02: out += "fl"; return;
  case 0xFB03: out += "ffi"; return;
  case 0xFB04: out += "ffl"; return;
  case 0xFB05:
  case 0xFB06: out += "st"; return;
  case '`':
  case 0x2018:
  case 0x2019:
  case 0x201B:
  case 0x2032: out += '\''; return;
  case '-':
  case 0x00AD:
  case 0x2010:
  case 0x2011:
  case 0x2012:
  case 0x2013:
  case 0x2014:
  case 0x2015:
  case 0x2212: return; // dashes do not count: "non-regular" and "nonregular" are one title
  case 0x201C:
  case 0x201D:
  case 0x201F: out += '"'; return;
  case '_': // drawn as a rule by some producers, so missing from the page's text
  case 0x00A0:
  case 0x2002:
  case 0x2003:
  case 0x2009:
  case 0x200A:
  case 0x202F:
  case '\t':
  case '\n':
  case '\r': out += ' '; return;
  case 0x2026: out += "..."; return;
  case 0x223C:
  case 0x02DC: out += '~'; return;
  default: break;
  }
  if (c >= 'A' && c <= 'Z')
    c = c - 'A' + 'a';
  appendUtf8(out, c);
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isLower(char c) { return c >= 'a' && c <= 'z'; }
bool isUpper(char c) { return c >= 'A' && c <= 'Z'; }

// Where a leading section number ends in `t` (the position of the text after it and its
// blank), or 0 when `t` does not start with one: "2.1 ", "2.1. ", "a.1 ", "1.x" (no blank).
size_t sectionNumberEnd(const std::string &t, bool lowered) {
  size_t i = 0;
  while (i < t.size() && isDigit(t[i]))
    ++i;
  bool number = i > 0;
  const bool letter = lowered ? (t.size() > 2 && isLower(t[0])) : (t.size() > 2 && isUpper(t[0]));
  if (!number && letter && t[1] == '.' && isDigit(t[2])) {
    i = 1;
    number = true;
  }
  if (!number)
    return 0;
  while (i + 1 < t.size() && t[i] == '.' && isDigit(t[i + 1])) {
    ++i;
    while (i < t.size() && isDigit(t[i]))
      ++i;
  }
  if (i < t.size() && t[i] == '.') {
    ++i;
    if (i < t.size() && (isLower(t[i]) || isUpper(t[i])))
      return i;
  }
  if (i + 1 >= t.size() || t[i] != ' ')
    return 0;
  return i + 1;
}

// Where a numbering of two parts or more that runs into its word ends ("1.1sample production",
// as some outlines write "1.1 Sample Production"); 0 for anything else, "1st" and "3d" too.
size_t gluedNumberEnd(const std::string &t) {
  size_t i = 0;
  while (i < t.size() && isDigit(t[i]))
    ++i;
  if (i == 0 || i + 1 >= t.size() || t[i] != '.' || !isDigit(t[i + 1]))
    return 0;
  while (i + 1 < t.size() && t[i] == '.' && isDigit(t[i + 1])) {
    ++i;
    while (i < t.size() && isDigit(t[i]))
      ++i;
  }
  return i < t.size() && (isLower(t[i]) || isUpper(t[i])) ? i : 0;
}

// Where a label with its number ends in a lowered title ("chapter 1. ", "part iv: ",
// "appendix b "): contents often list "1. Introduction" for the heading "Chapter 1.
// Introduction". 0 when the title starts with none.
size_t labelEnd(const std::string &t) {
  size_t i = 0;
  for (std::string_view label : {"chapter ", "part ", "appendix ", "section "})
    if (t.compare(0, label.size(), label) == 0)
      i = label.size();
  if (i == 0)
    return 0;
  const size_t from = i;
  while (i < t.size() && isDigit(t[i]))
    ++i;
  if (i == from)
    while (i < t.size() && std::string_view("ivxlcdm").find(t[i]) != std::string_view::npos)
      ++i;
  if (i == from && i < t.size() && isLower(t[i]))
    ++i; // an appendix letter
  if (i == from || i - from > 6)
    return 0;
  if (i < t.size() && (t[i] == '.' || t[i] == ':'))
    ++i;
  if (i < t.size() && t[i] != ' ')
    return 0;
  return i < t.size() ? i + 1 : i;
}

// The numbering a title starts with, as a pattern for it ("[0-9]+\.[0-9]+"), or empty.
std::string numberShape(const std::string &text) {
  const size_t end = sectionNumberEnd(text, false);
  if (end == 0)
    return {};
  std::string shape;
  for (size_t i = 0; i < end; ++i) {
    const char c = text[i];
    if (isDigit(c)) {
      shape += "[0-9]+";
      while (i + 1 < end && isDigit(text[i + 1]))
        ++i;
    } else if (isUpper(c)) {
      shape += "[A-Z]";
    } else if (c == '.') {
      shape += "\\.";
    }
  }
  return shape;
}

int components(const std::string &shape) {
  int n = 0;
  for (size_t i = 0; i < shape.size(); ++i)
    n += shape.compare(i, 6, "[0-9]+") == 0 || shape.compare(i, 5, "[A-Z]") == 0 ? 1 : 0;
  return n;
}

// A bookmark's heading as found on its page.
struct Located {
  const OutlineMark *mark = nullptr;
  int32_t page = 0;
  std::vector<uint32_t> runs; // the title's runs, in order
  bool twoRows = false;
  bool runIn = false; // the title is the start of a longer row
  std::string pageText;
  double left = 0; // of the first run, trimmed
  double size = 0; // of the first run
  Atom font = Atom::Null;
};

// Where a bookmark's title reads on its page: a row, two rows, a row under a label, or the
// start of a row.
struct Place {
  size_t row = 0;
  size_t runCount = 0; // of the row's runs, those of the title
  bool twoRows = false;
  bool runIn = false;
  int rank = 0; // 0: the row itself ... 3: the start of a longer row
  std::string pageText;
  std::pair<Atom, long> style; // the first run's font and size in tenths of a point
  long edge = 0;               // its left edge in steps of 3 points
};

std::vector<Place> placesOf(const OutlineMark &m, const KeptPage &page,
                            const std::vector<TextRow> &rows,
                            const std::vector<std::string> &keys) {
  std::vector<Place> out;
  const std::string want = comparableTitle(m.title);
  if (want.empty())
    return out;
  auto add = [&](size_t r, size_t runCount, bool twoRows, bool runIn, int rank, std::string text) {
    const KeptRun &first = page.runs[rows[r].runs.front()];
    out.push_back({r,
                   runCount,
                   twoRows,
                   runIn,
                   rank,
                   std::move(text),
                   {first.run.fontName, std::lround(first.run.fontSize * 10)},
                   std::lround(fixedToDouble(first.trimmedLeft) / 3)});
  };
  for (size_t r = 0; r < rows.size(); ++r)
    if (keys[r] == want)
      add(r, rows[r].runs.size(), false, false, 0, rows[r].text);
  for (size_t r = 0; r + 1 < rows.size(); ++r)
    if (comparableTitle(rows[r].text + " " + rows[r + 1].text) == want)
      add(r, rows[r].runs.size(), true, false, 1, rows[r].text + " " + rows[r + 1].text);
  // a label row above the title ("File a" over "ltdirchk.dtx" for "a ltdirchk.dtx"): the title
  // row is the heading, the label's last words are not on it
  for (size_t r = 1; r < rows.size(); ++r) {
    if (keys[r].empty() || want.size() <= keys[r].size() ||
        want.compare(want.size() - keys[r].size(), keys[r].size(), keys[r]) != 0)
      continue;
    const std::string label = want.substr(0, want.size() - keys[r].size());
    const std::string above = comparableTitle(rows[r - 1].text, false) + " ";
    if (label.size() <= 12 && above.size() >= label.size() &&
        above.compare(above.size() - label.size(), label.size(), label) == 0)
      add(r, rows[r].runs.size(), false, false, 2, rows[r].text);
  }
  for (size_t r = 0; r < rows.size(); ++r) {
    if (keys[r].size() <= want.size() || keys[r].compare(0, want.size(), want) != 0)
      continue;
    for (size_t j = 0; j + 1 < rows[r].runs.size(); ++j) {
      const std::string prefix = rows[r].text.substr(0, rows[r].runEnds[j]);
      if (comparableTitle(prefix) == want) {
        add(r, j + 1, false, true, 3, prefix);
        break;
      }
    }
  }
  return out;
}

// Each bookmark's heading on its page. A title often reads in more than one place there (a
// running head, a contents entry, a line of code): of its places, the one in the style most of
// its depth's titles can be found in is taken, then the one at the left edge most of them share
// in that style, then a whole row before a part of one, then the largest type (a running head
// that repeats the chapter's title is smaller than it).
std::vector<Located> locateHeadings(const KeptText &text, const std::vector<OutlineMark> &marks) {
  std::map<int32_t, std::vector<const OutlineMark *>> byPage;
  for (const OutlineMark &m : marks)
    if (m.page >= 0 && size_t(m.page) < text.pages.size())
      byPage[m.page].push_back(&m);
  struct PageFinds {
    int32_t page;
    std::vector<TextRow> rows;
    std::vector<std::pair<const OutlineMark *, std::vector<Place>>> marks;
  };
  std::vector<PageFinds> finds;
  // by depth: of its titles, how many read in a style, and how many at a left edge in it
  std::map<int32_t, std::map<std::pair<Atom, long>, int>> styleCounts;
  std::map<int32_t, std::map<std::tuple<Atom, long, long>, int>> edgeCounts;
  for (const auto &[p, onPage] : byPage) {
    const KeptPage &page = text.pages[size_t(p)];
    PageFinds f{p, pageRows(page), {}};
    std::vector<std::string> keys;
    for (const TextRow &r : f.rows)
      keys.push_back(comparableTitle(r.text));
    for (const OutlineMark *m : onPage) {
      std::vector<Place> places = placesOf(*m, page, f.rows, keys);
      std::set<std::pair<Atom, long>> styles;
      std::set<std::tuple<Atom, long, long>> edges;
      for (const Place &place : places) {
        styles.insert(place.style);
        edges.emplace(place.style.first, place.style.second, place.edge);
      }
      for (const auto &s : styles)
        ++styleCounts[m->depth][s];
      for (const auto &e : edges)
        ++edgeCounts[m->depth][e];
      if (!places.empty())
        f.marks.emplace_back(m, std::move(places));
    }
    finds.push_back(std::move(f));
  }
  std::vector<Located> out;
  for (const PageFinds &f : finds) {
    const KeptPage &page = text.pages[size_t(f.page)];
    std::vector<bool> used(f.rows.size(), false);
    for (const auto &[m, places] : f.marks) {
      const auto &counts = styleCounts[m->depth];
      const auto &atEdges = edgeCounts[m->depth];
      const Place *best = nullptr;
      auto better = [&](const Place &a, const Place &b) {
        const int ca = counts.at(a.style), cb = counts.at(b.style);
        if (ca != cb)
          return ca > cb;
        const int ea = atEdges.at({a.style.first, a.style.second, a.edge});
        const int eb = atEdges.at({b.style.first, b.style.second, b.edge});
        if (ea != eb)
          return ea > eb;
        if (a.rank != b.rank)
          return a.rank < b.rank;
        return a.style.second > b.style.second;
      };
      for (const Place &place : places)
        if (!used[place.row] && (!best || better(place, *best)))
          best = &place;
      if (!best)
        continue;
      Located found;
      found.mark = m;
      found.page = f.page;
      const TextRow &row = f.rows[best->row];
      found.runs.assign(row.runs.begin(), row.runs.begin() + long(best->runCount));
      if (best->twoRows)
        found.runs.insert(found.runs.end(), f.rows[best->row + 1].runs.begin(),
                          f.rows[best->row + 1].runs.end());
      found.twoRows = best->twoRows;
      found.runIn = best->runIn;
      found.pageText = best->pageText;
      const KeptRun &first = page.runs[found.runs.front()];
      found.left = fixedToDouble(first.trimmedLeft);
      found.size = first.run.fontSize;
      found.font = first.run.fontName;
      used[best->row] = true;
      out.push_back(std::move(found));
    }
  }
  return out;
}

// ---------------------------------------------------------------------------------------------
// Candidate rules of one depth.

struct Candidate {
  std::set<std::string> fonts; // without subset prefixes
  double size = 0;
  double tolerance = 0.3;
  std::string pattern; // PCRE2, empty for none
  bool allCapitals = false;
  std::optional<std::pair<double, double>> indent; // left edge, tolerance
  bool multiline = false;
  bool inlineRuns = true; // words in other fonts inside a title's row stay in it
  bool removeNumbers = false;
  bool operator==(const Candidate &) const = default;
};

struct DepthChoices {
  int32_t depth = 1;
  std::vector<const Located *> located;
  std::vector<Candidate> styles;     // size clusters, each with its fonts
  std::vector<std::string> patterns; // "" first
  bool capitalsPossible = false;
  std::optional<std::pair<double, double>> indent;
  // all its left edges, however far apart (entries set in a margin, right-aligned there)
  std::optional<std::pair<double, double>> indentRange;
  // the left edge most of them share, when a few lie elsewhere
  std::optional<std::pair<double, double>> indentCore;
  bool anyTwoRows = false;
  bool numbersDropped = false; // the outline leaves out numbers the page shows
};

std::string bareFont(Atom font) {
  return std::string(withoutSubsetPrefix(hostTables().core->atomGetString(font)));
}

std::vector<std::vector<const Located *>> sizeClusters(std::vector<const Located *> located) {
  std::sort(located.begin(), located.end(),
            [](const Located *a, const Located *b) { return a->size < b->size; });
  std::vector<std::vector<const Located *>> clusters;
  for (const Located *l : located) {
    if (clusters.empty() || l->size - clusters.back().back()->size > 0.6)
      clusters.emplace_back();
    clusters.back().push_back(l);
  }
  std::sort(clusters.begin(), clusters.end(),
            [](const auto &a, const auto &b) { return a.size() > b.size(); });
  return clusters;
}

// The body text's style: the font and size (tenths of a point) with the most text.
// The style of a group of headings: the size range of their first runs and the fonts their runs
// use at that size: the one that starts most of them, and the others (a code word, a symbol;
// `strict`: those a quarter of them use), but not the body text's font at its own size (words
// of body text after a run-in title, a heading found in a paragraph).
Candidate styleOf(const std::vector<const Located *> &group, const KeptText &text,
                  const BodyStyle &body, bool strict = false) {
  Candidate c;
  double low = 1e9, high = -1e9;
  for (const Located *l : group) {
    low = std::min(low, l->size);
    high = std::max(high, l->size);
  }
  c.size = std::round((low + high) / 2 * 100) / 100;
  c.tolerance = std::max(0.3, std::ceil(((high - low) / 2 + 0.05) * 100) / 100);
  std::map<Atom, size_t> starting, users; // headings a font starts, headings that use it
  for (const Located *l : group) {
    std::set<Atom> used;
    for (uint32_t k : l->runs) {
      const TextRun &run = text.pages[size_t(l->page)].runs[k].run;
      if (std::fabs(run.fontSize - c.size) > c.tolerance)
        continue;
      if (k == l->runs.front())
        ++starting[run.fontName];
      used.insert(run.fontName);
    }
    for (Atom f : used)
      ++users[f];
  }
  if (starting.empty())
    return c;
  const Atom primary =
      std::max_element(starting.begin(), starting.end(), [](const auto &a, const auto &b) {
        return a.second < b.second;
      })->first;
  c.fonts.insert(bareFont(primary));
  for (const auto &[font, n] : users) {
    const bool bodyText = font == body.font && std::lround(c.size * 10) == body.tenths;
    if (!bodyText && (!strict || n * 4 >= group.size()))
      c.fonts.insert(bareFont(font));
  }
  return c;
}

// `c` widened to the sizes of all the headings' runs in its fonts, when their rows hold more
// than the first run's size (capitals and small capitals faked in two sizes of one font:
// "S" 10 pt, "TOCK PAPER SIZES" 8 pt); nothing when they do not, or spread too far.
std::optional<Candidate> spanningStyle(const std::vector<const Located *> &group,
                                       const KeptText &text, const Candidate &c) {
  double low = c.size - c.tolerance, high = c.size + c.tolerance;
  const double firstLow = low, firstHigh = high;
  for (const Located *l : group)
    for (uint32_t k : l->runs) {
      const TextRun &run = text.pages[size_t(l->page)].runs[k].run;
      if (c.fonts.count(bareFont(run.fontName)) == 0)
        continue;
      low = std::min(low, run.fontSize);
      high = std::max(high, run.fontSize);
    }
  if ((low > firstLow - 0.5 && high < firstHigh + 0.5) || high - low > 7)
    return std::nullopt;
  Candidate wide = c;
  wide.size = std::round((low + high) / 2 * 100) / 100;
  wide.tolerance = std::ceil(((high - low) / 2 + 0.05) * 100) / 100;
  return wide;
}

DepthChoices choicesFor(int32_t depth, std::vector<const Located *> located, const KeptText &text,
                        const BodyStyle &body) {
  DepthChoices d;
  d.depth = depth;
  d.located = located;
  const auto clusters = sizeClusters(located);
  size_t taken = 0;
  for (const auto &cluster : clusters) {
    if (cluster.size() * 10 < located.size() && !d.styles.empty())
      break;
    if (taken++ >= 3)
      break;
    d.styles.push_back(styleOf(cluster, text, body));
    if (auto wide = spanningStyle(cluster, text, d.styles.back()))
      d.styles.push_back(std::move(*wide));
    // without the fonts few of them use (a code font that is everywhere in the text)
    Candidate strict = styleOf(cluster, text, body, true);
    if (strict.fonts != d.styles.back().fonts)
      d.styles.push_back(std::move(strict));
  }
  if (clusters.size() > 1) {
    // one rule over all the sizes, when they are not far apart
    Candidate all = styleOf(located, text, body);
    if (all.tolerance <= 3.5)
      d.styles.push_back(all);
  }
  // numbering
  std::map<std::string, int> shapes;
  int numbered = 0, dropped = 0, capitals = 0, withLetters = 0;
  double lowLeft = 1e9, highLeft = -1e9;
  std::vector<double> lefts;
  for (const Located *l : located) {
    const std::string shape = numberShape(l->pageText);
    if (!shape.empty()) {
      ++shapes[shape];
      ++numbered;
      if (numberShape(l->mark->title).empty())
        ++dropped;
    }
    bool letters = false, lower = false;
    for (char c : l->pageText) {
      letters |= isUpper(c) || isLower(c);
      lower |= isLower(c);
    }
    withLetters += letters ? 1 : 0;
    capitals += letters && !lower ? 1 : 0;
    d.anyTwoRows |= l->twoRows;
    lowLeft = std::min(lowLeft, l->left);
    highLeft = std::max(highLeft, l->left);
    lefts.push_back(l->left);
  }
  d.patterns.push_back("");
  if (!shapes.empty()) {
    const auto top =
        std::max_element(shapes.begin(), shapes.end(),
                         [](const auto &a, const auto &b) { return a.second < b.second; });
    d.patterns.push_back("^" + top->first + "(\\s|$)");
    const int n = components(top->first);
    std::string general = "^([0-9]+|[A-Z])";
    for (int i = 1; i < n; ++i)
      general += "\\.[0-9]+";
    general += "\\.?(\\s|$)";
    if (general != d.patterns.back())
      d.patterns.push_back(general);
  }
  if (numbered * 10 <= int(located.size()))
    d.patterns.push_back("^[^0-9]"); // an unnumbered level beside numbered ones in its style
  d.capitalsPossible = withLetters > 0 && capitals == withLetters;
  // Numbers are left out of titles when that gives more of the outline's titles as they are
  // (leaving them out also takes other marks that stand before the first letter: "\\index"
  // loses its backslash).
  if (numbered > 0 && dropped * 2 > numbered) {
    ContentFormat removing;
    removing.leadingNumbers = int32_t(LeadingNumbers::Remove);
    removing.maxTextLength = 256;
    int with = 0, without = 0, broken = 0;
    for (const Located *l : located) {
      const std::string want = comparableTitle(l->mark->title, false);
      std::string removed = l->pageText;
      formatTitle(removing, removed);
      with += comparableTitle(removed, false) == want ? 1 : 0;
      without += comparableTitle(l->pageText, false) == want ? 1 : 0;
      // a title that reads as the bookmark's until the removal takes more than its number
      broken += comparableTitle(removed) != comparableTitle(l->mark->title) &&
                        comparableTitle(l->pageText) == comparableTitle(l->mark->title)
                    ? 1
                    : 0;
    }
    d.numbersDropped = with > without && broken * 50 <= int(located.size());
  }
  if (!lefts.empty()) {
    std::sort(lefts.begin(), lefts.end());
    const double median = lefts[lefts.size() / 2];
    if (highLeft - lowLeft <= 8) {
      d.indent = std::make_pair(std::round(median * 100) / 100,
                                std::max(1.5, std::ceil((highLeft - lowLeft) / 2 * 100) / 100 + 1));
    } else {
      d.indentRange = std::make_pair(std::round((lowLeft + highLeft) / 2 * 100) / 100,
                                     std::ceil((highLeft - lowLeft) / 2 * 100) / 100 + 1);
      // most of them at one left edge, a few elsewhere (found in a paragraph, not as the heading)
      const auto near = std::count_if(lefts.begin(), lefts.end(),
                                      [&](double x) { return std::fabs(x - median) <= 1.5; });
      if (size_t(near) * 3 >= lefts.size() * 2)
        d.indentCore = std::make_pair(std::round(median * 100) / 100, 1.5);
    }
  }
  return d;
}

bool patternTakes(const std::string &pattern, const std::string &text) {
  if (pattern.empty())
    return true;
  PatternMatcher matcher;
  return matcher.compile(pattern, false) && matcher.execute(text);
}

// Whether a heading's first run has the style of `c` (font and size).
bool styleTakes(const Candidate &c, const Located &l) {
  return std::fabs(l.size - c.size) <= c.tolerance && c.fonts.count(bareFont(l.font)) > 0;
}

// The depth's first rule: its most common size and fonts, and of its numbering patterns the
// one that takes most of its own headings and fewest of the other depths' headings in the same
// style (chapters unnumbered, sections "2.1" in one font and size).
Candidate startingCandidate(const DepthChoices &d, const std::vector<DepthChoices> &all) {
  Candidate c = d.styles.front();
  double bestValue = -1e9;
  for (const std::string &p : d.patterns) {
    int own = 0, others = 0, otherTotal = 0;
    for (const Located *l : d.located)
      own += patternTakes(p, l->pageText) ? 1 : 0;
    for (const DepthChoices &o : all) {
      if (o.depth == d.depth)
        continue;
      for (const Located *l : o.located)
        if (styleTakes(c, *l)) {
          ++otherTotal;
          others += patternTakes(p, l->pageText) ? 1 : 0;
        }
    }
    const double coverage = d.located.empty() ? 0 : double(own) / double(d.located.size());
    if (coverage < 0.8)
      continue;
    const double intrusion =
        otherTotal ? double(others) / double(d.located.size() + otherTotal) : 0;
    const double value = coverage - 2 * intrusion + (p.empty() ? 0 : 0.01);
    if (value > bestValue) {
      bestValue = value;
      c.pattern = p;
    }
  }
  c.multiline = d.anyTwoRows;
  c.removeNumbers = d.numbersDropped;
  return c;
}

LevelRule levelFrom(const Candidate &c) {
  LevelRule level;
  TextStyleRule &style = level.textStyleRule;
  style.ignoreSubsetPrefix = true;
  style.tolerance = c.tolerance;
  style.fontDesc.fontSize = c.size;
  style.fontDesc.fonts.clear();
  for (const std::string &f : c.fonts)
    style.fontDesc.fonts.push_back(hostTables().core->atomFromString(f));
  TextMatchRule &match = level.textMatchRule;
  match.multilineTitles = c.multiline;
  match.inlineRuns = c.inlineRuns;
  match.query.pattern = c.pattern;
  match.query.useRegExp = !c.pattern.empty();
  match.query.matchCase = true;
  match.caseMatching =
      int32_t(c.allCapitals ? CaseMatching::AllCapitals : CaseMatching::NoRestrictions);
  if (c.indent) {
    level.indentRule.enabled = true;
    level.indentRule.leftIndent = c.indent->first;
    level.indentRule.tolerance = c.indent->second;
    level.indentRule.displayUnits = int32_t(DisplayUnits::Points);
  }
  if (c.removeNumbers)
    level.contentFormat.leadingNumbers = int32_t(LeadingNumbers::Remove);
  level.contentFormat.maxTextLength = 256;
  return level;
}

std::string points(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", v);
  return text;
}

// What a level takes, in words: "TeXGyreHeros-Bold 14.35 pt +/- 0.30; numbered ...".
std::string describeCandidate(const Candidate &c) {
  std::string out;
  for (const std::string &f : c.fonts)
    out += (out.empty() ? "" : ", ") + f;
  out += " " + points(c.size) + " pt +/- " + points(c.tolerance);
  if (!c.pattern.empty())
    out += "; text matching " + c.pattern;
  if (c.allCapitals)
    out += "; all capitals";
  if (c.indent)
    out += "; left edge " + points(c.indent->first) + " +/- " + points(c.indent->second) + " pt";
  out += c.multiline ? "; titles may take more rows" : "; one row";
  if (!c.inlineRuns)
    out += "; a word in another font ends a title";
  if (c.removeNumbers)
    out += "; numbers left out of titles";
  return out;
}

struct RuleSet {
  std::vector<std::optional<Candidate>> levels; // per depth choice; nothing: the depth is left out
  bool keepOrphans = false;
  bool skipContents = true;
  std::vector<std::string> stopWords; // regular expressions
};

BookmarkBuilder settingsFrom(const RuleSet &set) {
  BookmarkBuilder b;
  b.reset();
  b.insertType = int32_t(InsertType::Replace);
  b.skipDupBookmarks = true;
  b.keepOrphanHeadings = set.keepOrphans;
  b.skipContentsLines = set.skipContents;
  if (!set.stopWords.empty()) {
    b.ignoreStopWords = true;
    b.stopWordsUseRegExp = true;
    b.stopWordsMatchCase = true;
    b.stopWordsMatchWholeWords = false;
    b.stopWords = set.stopWords;
  }
  for (const auto &c : set.levels)
    if (c)
      b.levels.push_back(levelFrom(*c));
  for (size_t i = 0; i < b.levels.size(); ++i)
    b.levels[i].level = int32_t(i);
  return b;
}

void flatten(const BookmarkNode &node, int32_t depth, std::vector<SimulatedBookmark> &out) {
  out.push_back({node.title, node.action.dest.pageNum, depth, node.level});
  for (const BookmarkNode &child : node.children)
    flatten(child, depth + 1, out);
}

} // namespace

std::string comparableTitle(std::string_view title, bool withoutNumber, bool withoutLabel) {
  std::string plain;
  plain.reserve(title.size());
  for (size_t pos = 0; pos < title.size();)
    appendPlain(plain, decodeUtf8(title, pos));
  // `` and '' are the quotes of TeX sources
  for (size_t at; (at = plain.find("''")) != std::string::npos;)
    plain.replace(at, 2, "\"");
  std::string out;
  bool blank = false;
  for (size_t i = 0; i < plain.size(); ++i) {
    const char c = plain[i];
    if (c == ' ') {
      blank = true;
      continue;
    }
    if (blank && !out.empty())
      out += ' ';
    blank = false;
    out += c;
  }
  if (withoutNumber) {
    if (const size_t end = sectionNumberEnd(out, true))
      out.erase(0, end);
    else if (const size_t glued = gluedNumberEnd(out))
      out.erase(0, glued);
  }
  if (withoutLabel) {
    if (const size_t end = labelEnd(out); end < out.size())
      out.erase(0, end);
    if (const size_t end = sectionNumberEnd(out, true))
      out.erase(0, end);
  }
  return out;
}

namespace {

constexpr size_t kMaxStopWords = 40;

// Chapter numbers set as words above the title ("ONE", "Twenty-Three").
const std::string kNumberWords =
    "^(?i:(one|two|three|four|five|six|seven|eight|nine|ten|eleven|twelve|thirteen|fourteen|"
    "fifteen|sixteen|seventeen|eighteen|nineteen|twenty|thirty|forty|fifty|sixty|seventy|"
    "eighty|ninety|hundred)[ -]?)+$";

bool isNumberWord(const std::string &title) {
  PatternMatcher matcher;
  return matcher.compile(kNumberWords, false) && matcher.execute(title);
}

std::string escapedPattern(const std::string &text) {
  std::string out;
  for (char c : text) {
    if (std::string_view("\\^$.|?*+()[]{}").find(c) != std::string_view::npos)
      out += '\\';
    out += c;
  }
  return out;
}

} // namespace

std::vector<SimulatedBookmark> simulateGeneration(const BookmarkBuilder &settings,
                                                  const KeptText &text, size_t limit,
                                                  bool &overflow) {
  overflow = false;
  std::vector<SimulatedBookmark> out;
  if (settings.levels.empty())
    return out;
  std::vector<bool> takes(text.fonts.size(), false);
  bool anyFont = false;
  for (const LevelRule &level : settings.levels)
    anyFont |= !level.textStyleRule.matchName || level.textStyleRule.fontDesc.fonts.empty();
  for (size_t f = 0; f < text.fonts.size(); ++f) {
    TextRun probe;
    probe.fontName = text.fonts[f];
    takes[f] = anyFont ||
               std::any_of(settings.levels.begin(), settings.levels.end(), [&](const LevelRule &l) {
                 return l.textStyleRule.matchesFontName(probe);
               });
  }
  const bool inlineRuns =
      std::any_of(settings.levels.begin(), settings.levels.end(),
                  [](const LevelRule &l) { return l.textMatchRule.inlineRuns; });
  GenerationRun run(settings);
  const int32_t count = int32_t(text.pages.size());
  const int32_t first = std::clamp(settings.firstPage, 0, std::max(count - 1, 0));
  const int32_t last =
      settings.lastPage < 0 || settings.lastPage >= count ? count - 1 : settings.lastPage;
  for (int32_t p = first; p <= last; ++p) {
    const KeptPage &page = text.pages[size_t(p)];
    if (std::none_of(page.runs.begin(), page.runs.end(),
                     [&](const KeptRun &r) { return takes[size_t(r.font)]; }))
      continue;
    const std::vector<uint32_t> chosen = text.runsFor(p, takes, inlineRuns);
    run.scanRuns(KeptPageView(page, chosen), p);
    if (run.found().size() > limit) {
      overflow = true;
      return out;
    }
  }
  bool anyTopLevel = false;
  for (const BookmarkNode &tree : run.assembleTrees(anyTopLevel))
    flatten(tree, 1, out);
  return out;
}

Reproduction compareWithOutline(const std::vector<SimulatedBookmark> &made,
                                const std::vector<OutlineMark> &marks) {
  Reproduction r;
  // (comparable title, page) -> the outline bookmarks waiting there
  std::map<std::pair<std::string, int32_t>, std::vector<const OutlineMark *>> wanted;
  for (const OutlineMark &m : marks)
    if (m.page >= 0) {
      wanted[{comparableTitle(m.title), m.page}].push_back(&m);
      ++r.expected;
    }
  r.made = int32_t(made.size());
  std::set<const OutlineMark *> taken;
  std::vector<const SimulatedBookmark *> later;
  auto match = [&](const SimulatedBookmark &b, const OutlineMark *m) {
    taken.insert(m);
    ++r.matched;
    r.atDepth += m->depth == b.depth ? 1 : 0;
    r.sameText += comparableTitle(m->title, false) == comparableTitle(b.title, false) ? 1 : 0;
  };
  for (const SimulatedBookmark &b : made) {
    auto it = wanted.find({comparableTitle(b.title), b.page});
    if (it == wanted.end()) {
      r.extra.push_back(b);
      continue;
    }
    const OutlineMark *at = nullptr;
    for (const OutlineMark *m : it->second)
      if (!taken.count(m) && m->depth == b.depth) {
        at = m;
        break;
      }
    if (at)
      match(b, at);
    else
      later.push_back(&b);
  }
  for (const SimulatedBookmark *b : later) {
    const OutlineMark *any = nullptr;
    for (const OutlineMark *m : wanted[{comparableTitle(b->title), b->page}])
      if (!taken.count(m)) {
        any = m;
        break;
      }
    if (any)
      match(*b, any);
    else
      r.extra.push_back(*b);
  }
  for (const OutlineMark &m : marks)
    if (m.page >= 0 && !taken.count(&m))
      r.missed.push_back(m);
  return r;
}

namespace {

struct Search {
  const KeptText &text;
  const std::vector<OutlineMark> &marks;
  int32_t maxSets;
  size_t limit;
  int32_t tried = 0;

  double score(const RuleSet &set, Reproduction *out = nullptr) {
    ++tried;
    bool overflow = false;
    const auto made = simulateGeneration(settingsFrom(set), text, limit, overflow);
    Reproduction r = compareWithOutline(made, marks);
    // Bookmarks at the wrong depth are a fault a user sees: they weigh, though less than
    // missing or extra ones.
    const double depth = r.matched ? double(r.atDepth) / r.matched : 0;
    const double value =
        r.f1() * (0.8 + 0.2 * depth) + 0.001 * (r.matched ? double(r.sameText) / r.matched : 0);
    if (out)
      *out = std::move(r);
    return overflow ? -1 : value;
  }
  bool budgetLeft() const { return tried < maxSets; }
};

// The other versions of `c` worth trying for its depth.
std::vector<Candidate> variations(const Candidate &c, const DepthChoices &d) {
  std::vector<Candidate> out;
  auto add = [&](Candidate v) {
    if (!(v == c) && std::find(out.begin(), out.end(), v) == out.end())
      out.push_back(std::move(v));
  };
  for (const std::string &p : d.patterns) {
    Candidate v = c;
    v.pattern = p;
    add(v);
  }
  for (const Candidate &style : d.styles) {
    Candidate v = c;
    v.fonts = style.fonts;
    v.size = style.size;
    v.tolerance = style.tolerance;
    add(v);
  }
  if (d.capitalsPossible || c.allCapitals) {
    Candidate v = c;
    v.allCapitals = !c.allCapitals;
    add(v);
  }
  if (d.indent || c.indent) {
    Candidate v = c;
    v.indent = c.indent ? std::nullopt : d.indent;
    add(v);
  }
  for (const auto &edge : {d.indentRange, d.indentCore})
    if (edge && c.indent != edge) {
      Candidate v = c;
      v.indent = edge;
      add(v);
    }
  {
    Candidate v = c;
    v.multiline = !c.multiline;
    add(v);
  }
  {
    Candidate v = c;
    v.inlineRuns = !c.inlineRuns;
    add(v);
  }
  // (Whether numbers are left out of titles is decided by the outline, not tried: it changes
  // no bookmark's place.)
  return out;
}

// `set` with stop words for the lines it takes that are no bookmark and repeat ("See also", a
// running head) or are a chapter number in words.
RuleSet withStopWords(const RuleSet &set, Search &search) {
  Reproduction now;
  search.score(set, &now);
  std::map<std::string, int> repeats;
  for (const SimulatedBookmark &b : now.extra)
    if (b.title.size() <= 80)
      ++repeats[b.title];
  std::vector<std::pair<int, std::string>> byCount;
  for (const auto &[title, n] : repeats)
    if (n >= 2 || isNumberWord(title))
      byCount.emplace_back(n, title);
  std::sort(byCount.rbegin(), byCount.rend());
  RuleSet trial = set;
  for (size_t k = 0; k < byCount.size() && trial.stopWords.size() < kMaxStopWords; ++k) {
    if (isNumberWord(byCount[k].second))
      continue;
    const std::string word = "^" + escapedPattern(byCount[k].second) + "$";
    if (std::find(trial.stopWords.begin(), trial.stopWords.end(), word) == trial.stopWords.end())
      trial.stopWords.push_back(word);
  }
  if (std::any_of(byCount.begin(), byCount.end(),
                  [](const auto &e) { return isNumberWord(e.second); }) &&
      std::find(trial.stopWords.begin(), trial.stopWords.end(), kNumberWords) ==
          trial.stopWords.end())
    trial.stopWords.push_back(kNumberWords);
  return trial;
}

} // namespace

LearnResult learnRules(const KeptText &text, const std::vector<OutlineMark> &marks,
                       int32_t maxSets) {
  LearnResult result;
  const std::vector<Located> located = locateHeadings(text, marks);
  result.located = int32_t(located.size());
  std::map<int32_t, std::vector<const Located *>> byDepth;
  for (const Located &l : located)
    byDepth[l.mark->depth].push_back(&l);
  std::vector<DepthChoices> depths;
  const BodyStyle body = text.bodyStyle();
  for (const auto &[depth, list] : byDepth)
    depths.push_back(choicesFor(depth, list, text, body));

  if (depths.empty())
    return result; // no heading found: nothing to learn from
  int32_t withPage = 0;
  for (const OutlineMark &m : marks)
    withPage += m.page >= 0 ? 1 : 0;
  Search search{text, marks, maxSets, size_t(withPage) * 5 + 200};

  // First every depth's first rule together; then each depth's other versions in turn.
  RuleSet best;
  best.levels.assign(depths.size(), std::nullopt);
  double bestScore = 0;
  bool firstTry = true;
  auto tryIt = [&](const RuleSet &trial) {
    if (!search.budgetLeft())
      return false;
    const double s = search.score(trial);
    if (firstTry || s > bestScore + 1e-9) {
      best = trial;
      bestScore = s;
      firstTry = false;
      return true;
    }
    return false;
  };
  RuleSet full;
  for (const DepthChoices &d : depths)
    full.levels.push_back(startingCandidate(d, depths));
  full.keepOrphans = depths.front().depth != 1;
  for (size_t i = 1; i < depths.size(); ++i)
    full.keepOrphans |= depths[i].depth != depths[i - 1].depth + 1;
  tryIt(full);
  if (bestScore >= 0) {
    const RuleSet trial = withStopWords(full, search);
    if (trial.stopWords.size() > full.stopWords.size())
      tryIt(trial);
  }
  // When the whole first set makes far too many bookmarks, the deepest depths are left out
  // until it does not, and they are then added one by one, each in its best version.
  size_t kept = depths.size();
  while (bestScore < 0 && kept > 1 && search.budgetLeft()) {
    RuleSet fewer = full;
    --kept;
    for (size_t i = kept; i < fewer.levels.size(); ++i)
      fewer.levels[i].reset();
    firstTry = true;
    tryIt(fewer);
  }
  const bool depthByDepth = kept < depths.size() || bestScore < 0;
  if (bestScore < 0) {
    best = RuleSet();
    best.levels.assign(depths.size(), std::nullopt);
    firstTry = true;
    kept = 0;
  }
  for (size_t i = kept; i < depths.size() && depthByDepth; ++i) {
    const Candidate start = startingCandidate(depths[i], depths);
    std::vector<Candidate> tries = {start};
    for (Candidate &v : variations(start, depths[i]))
      tries.push_back(std::move(v));
    const RuleSet before = best;
    for (const Candidate &c : tries) {
      RuleSet trial = before;
      trial.levels[i] = c;
      // a depth above without a rule leaves this one's headings without a parent
      trial.keepOrphans = std::any_of(trial.levels.begin(), trial.levels.begin() + long(i),
                                      [](const auto &l) { return !l; }) ||
                          depths.front().depth != 1 || before.keepOrphans;
      tryIt(trial);
    }
  }
  // Then each depth again with the others fixed, with the whole-set options, until nothing
  // gets better.
  for (int pass = 0; pass < 3 && search.budgetLeft(); ++pass) {
    const double passStart = bestScore;
    for (size_t i = 0; i < depths.size(); ++i) {
      std::vector<Candidate> tries;
      if (best.levels[i])
        tries = variations(*best.levels[i], depths[i]);
      else
        tries.push_back(startingCandidate(depths[i], depths));
      const RuleSet before = best;
      for (const Candidate &c : tries) {
        RuleSet trial = before;
        trial.levels[i] = c;
        tryIt(trial);
      }
      if (best.levels[i]) {
        RuleSet trial = best;
        trial.levels[i].reset();
        trial.keepOrphans = true;
        tryIt(trial);
      }
    }
    for (int option = 0; option < 2; ++option) {
      RuleSet trial = best;
      if (option == 0)
        trial.keepOrphans = !trial.keepOrphans;
      else
        trial.skipContents = !trial.skipContents;
      tryIt(trial);
    }
    if (search.budgetLeft()) {
      const RuleSet trial = withStopWords(best, search);
      if (trial.stopWords.size() > best.stopWords.size())
        tryIt(trial);
    }
    if (bestScore <= passStart + 1e-9)
      break;
  }
  if (firstTry)
    bestScore = -1;
  result.setsTried = search.tried;
  if (depths.empty() || bestScore < 0) {
    result.runaway = bestScore < 0 && !depths.empty();
    return result;
  }
  result.settings = settingsFrom(best);
  bool overflow = false;
  auto made = simulateGeneration(result.settings, text, size_t(withPage) * 5 + 200, overflow);
  // A last level that makes nothing (an earlier one takes all it would) is left out.
  for (bool dropped = true; dropped;) {
    dropped = false;
    size_t last = best.levels.size();
    while (last > 0 && !best.levels[last - 1])
      --last;
    const int32_t lastLevel = int32_t(result.settings.levels.size()) - 1;
    if (last <= 1 || std::any_of(made.begin(), made.end(),
                                 [&](const SimulatedBookmark &b) { return b.level == lastLevel; }))
      break;
    RuleSet fewer = best;
    fewer.levels[last - 1].reset();
    const BookmarkBuilder settings = settingsFrom(fewer);
    bool over = false;
    auto fewerMade = simulateGeneration(settings, text, size_t(withPage) * 5 + 200, over);
    if (compareWithOutline(fewerMade, marks).f1() + 1e-9 < compareWithOutline(made, marks).f1())
      break; // (it did make something: orphans kept under it)
    best = std::move(fewer);
    result.settings = settings;
    made = std::move(fewerMade);
    overflow = over;
    dropped = true;
  }
  result.runaway = overflow;
  result.reproduction = compareWithOutline(made, marks);
  for (size_t i = 0; i < depths.size(); ++i) {
    if (!best.levels[i])
      continue;
    LearnedLevelReport level;
    level.depth = depths[i].depth;
    for (const OutlineMark &m : marks)
      level.bookmarks += m.depth == level.depth && m.page >= 0 ? 1 : 0;
    level.located = int32_t(depths[i].located.size());
    for (const Located *l : depths[i].located)
      level.runIn += l->runIn ? 1 : 0;
    level.takes = describeCandidate(*best.levels[i]);
    result.levels.push_back(std::move(level));
  }
  for (const SimulatedBookmark &b : made)
    if (size_t(b.level) < result.levels.size()) {
      LearnedLevelReport &level = result.levels[size_t(b.level)];
      ++level.made;
      if (level.samples.size() < 3)
        level.samples.push_back(b.title);
    }
  for (const SimulatedBookmark &b : result.reproduction.extra)
    if (size_t(b.level) < result.levels.size())
      --result.levels[size_t(b.level)].matched;
  for (LearnedLevelReport &level : result.levels)
    level.matched += level.made;
  return result;
}

} // namespace sorvane
