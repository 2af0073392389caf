#include "plugin/engine/contents_reading.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
#include <tuple>
#include <unordered_map>

#include "plugin/values/fixed_point.h"
#include "sdk/imported_tables.h"

namespace sorvane {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Leaders and blanks between a title and its page number: dots, middle dots, ellipses.
bool isLeader(const std::string &t, size_t end, size_t &start) {
  if (end == 0)
    return false;
  const char c = t[end - 1];
  if (c == ' ' || c == '.' || c == '\t') {
    start = end - 1;
    return true;
  }
  // "·" (C2 B7) and "…" (E2 80 A6)
  if (end >= 2 && t.compare(end - 2, 2, "\xC2\xB7") == 0) {
    start = end - 2;
    return true;
  }
  if (end >= 3 && t.compare(end - 3, 3, "\xE2\x80\xA6") == 0) {
    start = end - 3;
    return true;
  }
  return false;
}

// The value of a roman number ("xiv" 14), -1 when `t` is none.
int32_t romanValue(std::string_view t) {
  const auto digit = [](char c) {
    switch (c | 0x20) {
    case 'i': return 1;
    case 'v': return 5;
    case 'x': return 10;
    case 'l': return 50;
    case 'c': return 100;
    case 'd': return 500;
    case 'm': return 1000;
    default: return 0;
    }
  };
  int32_t value = 0;
  for (size_t i = 0; i < t.size(); ++i) {
    const int d = digit(t[i]);
    if (d == 0)
      return -1;
    value += i + 1 < t.size() && digit(t[i + 1]) > d ? -d : d;
  }
  return t.empty() ? -1 : value;
}

// Splits "Title . . . . 12" into the title and its page number (-1 when it is roman or none;
// `roman` is then the roman number's value, or -1).
std::string splitEntry(const std::string &text, int32_t &printed, int32_t &roman) {
  size_t end = text.size();
  while (end > 0 && text[end - 1] == ' ')
    --end;
  size_t start = end;
  while (start > 0 && isDigit(text[start - 1]))
    --start;
  printed = -1;
  if (start < end && end - start <= 5) {
    printed = std::stoi(text.substr(start, end - start));
  } else {
    while (start > 0 && std::string_view("ivxlcdm").find(text[start - 1]) != std::string_view::npos)
      --start;
    roman = romanValue(std::string_view(text).substr(start, end - start));
  }
  if (start == end || (start > 0 && text[start - 1] != ' ' && text[start - 1] != '.'))
    return {}; // no page number standing apart
  size_t cut = start;
  for (size_t before; isLeader(text, cut, before);)
    cut = before;
  return text.substr(0, cut);
}

double rowLeft(const KeptPage &page, const TextRow &row) {
  return fixedToDouble(page.runs[row.runs.front()].trimmedLeft);
}

double rowSize(const KeptPage &page, const TextRow &row) {
  return page.runs[row.runs.front()].run.fontSize;
}

// How many parts the section number a title starts with has ("2.1 " 2, "A.3 " 2, "4 " 1);
// 0 when it starts with none.
int numberDepth(const std::string &t) {
  size_t i = 0;
  int n = 0;
  while (true) {
    const size_t from = i;
    while (i < t.size() && isDigit(t[i]))
      ++i;
    if (i == from) {
      if (n == 0 && i + 1 < t.size() && t[i] >= 'A' && t[i] <= 'Z' && t[i + 1] == '.')
        ++i; // an appendix letter
      else
        break;
    }
    ++n;
    if (i + 1 < t.size() && t[i] == '.' && isDigit(t[i + 1])) {
      ++i;
      continue;
    }
    break;
  }
  if (n == 0)
    return 0;
  if (i < t.size() && t[i] == '.')
    ++i;
  return i < t.size() && t[i] == ' ' ? n : 0;
}

// A table of contents that lists only chapters ("1 Installation") says nothing of the
// sections; their numbers do ("1.2 Building"). Rows that start with a section number deeper
// than any entry's, in a style other than the body's, from the first entry's page on, are
// added as the entries the contents left out, one depth further per part of their number.
// A row's text as running heads repeat it: without the page number that ends it ("1.1. Contents
// 3") and with the section number written as the heading writes it ("1.1." as "1.1").
std::string runningHeadKey(const std::string &title) {
  std::string t = comparableTitle(title, false);
  size_t end = t.size();
  while (end > 0 && isDigit(t[end - 1]))
    --end;
  if (end < t.size() && end > 0 && t[end - 1] == ' ')
    t.erase(end - 1);
  size_t number = 0;
  while (number < t.size() && (isDigit(t[number]) || t[number] == '.'))
    ++number;
  if (number > 1 && number < t.size() && t[number] == ' ' && t[number - 1] == '.')
    t.erase(number - 1, 1);
  return t;
}

void addDeeperSections(const KeptText &text, ContentsOutline &out) {
  int deepest = 0, chapterDepth = 0;
  for (const ContentsEntry &e : out.entries) {
    const int n = numberDepth(e.title);
    deepest = std::max(deepest, n);
    if (n == 1 && chapterDepth == 0)
      chapterDepth = e.depth;
  }
  if (deepest != 1 || out.marks.empty())
    return;
  const BodyStyle body = text.bodyStyle();
  int32_t first = out.marks.front().page;
  for (const OutlineMark &m : out.marks)
    first = std::min(first, m.page);
  std::vector<OutlineMark> added;
  std::vector<double> sizes; // of each added row's first run
  for (int32_t p = first; p < int32_t(text.pages.size()); ++p) {
    const KeptPage &page = text.pages[size_t(p)];
    for (const TextRow &row : pageRows(page)) {
      const int n = numberDepth(row.text);
      const TextRun &start = page.runs[row.runs.front()].run;
      if (n < 2 || n > 5 || row.text.size() > 120 ||
          (start.fontName == body.font && std::lround(start.fontSize * 10) == body.tenths) ||
          page.contents.endsContentsRow(page.runs[row.runs.back()].run.box))
        continue;
      added.push_back({chapterDepth + n - 1, row.text, p});
      sizes.push_back(start.fontSize);
    }
  }
  // A line that repeats is a running head, not a section, unless one of its rows is set larger
  // than the others (the section's heading, under running heads that repeat its title).
  std::map<std::string, std::vector<size_t>> byText;
  for (size_t i = 0; i < added.size(); ++i)
    byText[runningHeadKey(added[i].title)].push_back(i);
  std::vector<bool> keep(added.size(), true);
  for (const auto &[key, at] : byText) {
    if (at.size() < 2)
      continue;
    double largest = 0;
    for (size_t i : at)
      largest = std::max(largest, sizes[i]);
    size_t atLargest = 0;
    for (size_t i : at)
      atLargest += sizes[i] > largest - 0.05 ? 1 : 0;
    for (size_t i : at)
      keep[i] = atLargest == 1 && sizes[i] > largest - 0.05;
  }
  std::vector<OutlineMark> kept;
  for (size_t i = 0; i < added.size(); ++i)
    if (keep[i])
      kept.push_back(std::move(added[i]));
  added.swap(kept);
  // too many for headings: these are numbered lines of another kind
  if (added.size() > std::max(20 * out.marks.size(), 3 * text.pages.size()))
    return;
  out.sectionsAdded = !added.empty();
  out.marks.insert(out.marks.end(), added.begin(), added.end());
  std::stable_sort(out.marks.begin(), out.marks.end(),
                   [](const OutlineMark &a, const OutlineMark &b) { return a.page < b.page; });
}

// Contents set in two columns: the entries of a later column are indented as those of the
// first, so their left edges are moved by the distance between the columns' left edges. A column
// is told by where its page numbers end.
void alignColumns(std::vector<ContentsEntry> &entries) {
  for (size_t from = 0; from < entries.size();) {
    size_t to = from;
    while (to < entries.size() && entries[to].contentsPage == entries[from].contentsPage)
      ++to;
    struct Column {
      double numberRight, left;
    };
    std::vector<Column> columns;
    for (size_t i = from; i < to; ++i) {
      auto it = std::find_if(columns.begin(), columns.end(), [&](const Column &c) {
        return std::fabs(c.numberRight - entries[i].numberRight) < 40;
      });
      if (it == columns.end())
        columns.push_back({entries[i].numberRight, entries[i].left});
      else
        it->left = std::min(it->left, entries[i].left);
    }
    std::sort(columns.begin(), columns.end(),
              [](const Column &a, const Column &b) { return a.numberRight < b.numberRight; });
    // a later column starts right of the one before it ends
    bool apart = columns.size() > 1;
    for (size_t c = 1; c < columns.size(); ++c)
      apart = apart && columns[c].left > columns[c - 1].numberRight;
    if (apart)
      for (size_t i = from; i < to; ++i)
        for (size_t c = 1; c < columns.size(); ++c)
          if (std::fabs(columns[c].numberRight - entries[i].numberRight) < 40)
            entries[i].left -= columns[c].left - columns[0].left;
    from = to;
  }
}

// Depth by indentation, `steps` the left edges of the indentations. Entries set larger than most
// of their indentation (parts or files over chapters at one left edge, two or more of them) are
// a depth above the others.
void depthsByIndentation(std::vector<ContentsEntry> &entries, const std::vector<double> &steps) {
  std::vector<size_t> stepOf(entries.size(), 0);
  for (size_t i = 0; i < entries.size(); ++i)
    for (size_t s = 1; s < steps.size(); ++s)
      if (entries[i].left >= steps[s] - 0.01)
        stepOf[i] = s;
  std::vector<bool> larger(entries.size(), false);
  for (size_t s = 0; s < steps.size(); ++s) {
    std::map<long, int> sizes; // in half points
    for (size_t i = 0; i < entries.size(); ++i)
      if (stepOf[i] == s)
        ++sizes[std::lround(entries[i].size * 2)];
    if (sizes.empty())
      continue;
    const long common =
        std::max_element(sizes.begin(), sizes.end(), [](const auto &a, const auto &b) {
          return a.second < b.second;
        })->first;
    int above = 0;
    for (const auto &[size, n] : sizes)
      above += size >= common + 2 ? n : 0;
    if (above < 2)
      continue;
    for (size_t i = 0; i < entries.size(); ++i)
      larger[i] = larger[i] || (stepOf[i] == s && std::lround(entries[i].size * 2) >= common + 2);
  }
  // Inside one indentation and size, the numbering tells depths apart ("1 Introduction" over
  // "2.1 Compiling", both at the left margin). Unnumbered entries go with the least numbered
  // (a preface beside the chapters).
  using Tier = std::tuple<size_t, int, int>;
  std::map<std::pair<size_t, int>, int> fewest; // the fewest number parts in each group
  std::vector<int> parts(entries.size(), 0);
  for (size_t i = 0; i < entries.size(); ++i) {
    parts[i] = numberDepth(entries[i].title);
    if (parts[i] > 0) {
      int &least = fewest.try_emplace({stepOf[i], larger[i] ? 0 : 1}, parts[i]).first->second;
      least = std::min(least, parts[i]);
    }
  }
  std::vector<Tier> tierOf(entries.size());
  for (size_t i = 0; i < entries.size(); ++i) {
    const auto group = std::make_pair(stepOf[i], larger[i] ? 0 : 1);
    const auto least = fewest.find(group);
    const int rank = parts[i] == 0 || least == fewest.end() ? 0 : parts[i] - least->second;
    tierOf[i] = {group.first, group.second, rank};
  }
  // the tiers that occur, shallowest first: by indentation, the larger before the others
  std::vector<Tier> tiers = tierOf;
  std::sort(tiers.begin(), tiers.end());
  tiers.erase(std::unique(tiers.begin(), tiers.end()), tiers.end());
  for (size_t i = 0; i < entries.size(); ++i) {
    const auto at = std::lower_bound(tiers.begin(), tiers.end(), tierOf[i]);
    entries[i].depth = std::min(int32_t(at - tiers.begin()) + 1, 6);
  }
}

} // namespace

ContentsOutline readContents(const KeptText &text, int32_t searchPages) {
  ContentsOutline out;
  const int32_t last = std::min<int32_t>(int32_t(text.pages.size()), searchPages);
  for (int32_t p = 0; p < last; ++p) {
    const KeptPage &page = text.pages[size_t(p)];
    if (page.contents.count() < size_t(ContentsRows::kMinRows))
      continue;
    // the contents are one run of pages (a blank page or two between); rows of the same kind
    // further on are an index or a list of figures at the end of a short document
    if (!out.contentsPages.empty() && p > out.contentsPages.back() + 2)
      break;
    out.contentsPages.push_back(p);
    const std::vector<TextRow> rows = pageRows(page);
    for (size_t r = 0; r < rows.size(); ++r) {
      const TextRow &row = rows[r];
      if (!page.contents.endsContentsRow(page.runs[row.runs.back()].run.box))
        continue;
      ContentsEntry e;
      e.title = splitEntry(row.text, e.printed, e.roman);
      e.contentsPage = p;
      e.left = rowLeft(page, row);
      e.size = rowSize(page, row);
      e.numberRight = fixedToDouble(page.runs[row.runs.back()].run.box.right);
      // the first row of a title on two, above the row with the number
      if (r > 0) {
        const TextRow &above = rows[r - 1];
        const KeptRun &aboveEnd = page.runs[above.runs.back()];
        const KeptRun &aboveStart = page.runs[above.runs.front()];
        const KeptRun &start = page.runs[row.runs.front()];
        const bool aboveIsEntry = page.contents.endsContentsRow(aboveEnd.run.box);
        const double gap = fixedToDouble(aboveStart.run.box.bottom - start.run.box.top);
        if (!aboveIsEntry && rowLeft(page, above) <= e.left + 1 &&
            std::fabs(rowSize(page, above) - rowSize(page, row)) < 1 &&
            gap > -0.5 * rowSize(page, row) && gap < rowSize(page, row)) {
          e.title = above.text + " " + e.title;
          e.left = rowLeft(page, above);
        }
      }
      if (comparableTitle(e.title).empty())
        continue;
      out.entries.push_back(std::move(e));
    }
  }
  if (out.entries.empty())
    return out;

  // Depth: by indentation when the entries are indented, else by their numbering.
  alignColumns(out.entries);
  std::vector<double> lefts;
  for (const ContentsEntry &e : out.entries)
    lefts.push_back(e.left);
  std::sort(lefts.begin(), lefts.end());
  std::vector<double> steps; // the left edge of each indentation
  for (double l : lefts)
    if (steps.empty() || l - steps.back() > 4)
      steps.push_back(l);
  // edges used by few entries (a wrapped title's second row, a stray line) are no step
  std::vector<double> kept;
  for (double s : steps) {
    const auto n = std::count_if(lefts.begin(), lefts.end(),
                                 [s](double l) { return l >= s - 0.01 && l <= s + 4; });
    if (n * 50 >= long(lefts.size()) || n >= 3)
      kept.push_back(s);
  }
  if (kept.size() > 1)
    depthsByIndentation(out.entries, kept);
  else
    for (ContentsEntry &e : out.entries)
      e.depth = std::clamp(numberDepth(e.title), 1, 6);

  // Printed page numbers to pages: the offset that places most titles on a page that has them.
  // Titles are compared without a label ("1. Introduction" lists "Chapter 1. Introduction");
  // an entry placed only so takes the heading's own text, which the rules must reproduce.
  struct Row {
    int32_t page;
    std::string text;
  };
  const auto key = [](const std::string &title) { return comparableTitle(title, true, true); };
  std::unordered_map<std::string, std::vector<Row>> pagesWith;
  for (int32_t p = 0; p < int32_t(text.pages.size()); ++p) {
    if (std::find(out.contentsPages.begin(), out.contentsPages.end(), p) != out.contentsPages.end())
      continue;
    const std::vector<TextRow> rows = pageRows(text.pages[size_t(p)]);
    for (size_t r = 0; r < rows.size(); ++r) {
      pagesWith[key(rows[r].text)].push_back({p, rows[r].text});
      // a heading set on two rows, listed on one
      if (r + 1 < rows.size()) {
        std::string both = rows[r].text + " " + rows[r + 1].text;
        pagesWith[key(both)].push_back({p, std::move(both)});
      }
    }
  }
  std::map<int32_t, int32_t> votes;
  for (const ContentsEntry &e : out.entries) {
    if (e.printed < 0)
      continue;
    auto it = pagesWith.find(key(e.title));
    if (it == pagesWith.end())
      continue;
    int32_t lastPage = -1;
    for (const Row &row : it->second)
      if (row.page != lastPage) {
        ++votes[row.page - e.printed];
        lastPage = row.page;
      }
  }
  if (votes.empty())
    return out;
  const auto best = std::max_element(
      votes.begin(), votes.end(), [](const auto &a, const auto &b) { return a.second < b.second; });
  out.offset = best->first;
  // Front matter numbered in roman has an offset of its own, found the same way.
  std::map<int32_t, int32_t> romanVotes;
  for (const ContentsEntry &e : out.entries) {
    if (e.roman < 0)
      continue;
    if (auto it = pagesWith.find(key(e.title)); it != pagesWith.end())
      for (const Row &row : it->second)
        if (row.page < out.offset + 1) // before the arabic page 1
          ++romanVotes[row.page - e.roman];
  }
  std::optional<int32_t> romanOffset;
  if (!romanVotes.empty())
    romanOffset =
        std::max_element(romanVotes.begin(), romanVotes.end(), [](const auto &a, const auto &b) {
          return a.second < b.second;
        })->first;
  // Contents left behind by later edits give some titles a page or more away from where they
  // went: such a title goes to the nearest page that has it, in the contents' order.
  const int32_t window = std::max<int32_t>(3, int32_t(text.pages.size()) / 20);
  int32_t lastPlaced = 0;
  for (const ContentsEntry &e : out.entries) {
    if (e.printed < 0 && (e.roman < 0 || !romanOffset))
      continue;
    int32_t page = e.printed >= 0 ? e.printed + out.offset : e.roman + *romanOffset;
    std::string title = e.title;
    if (auto it = pagesWith.find(key(e.title)); it != pagesWith.end()) {
      const Row *found = nullptr;
      for (const Row &row : it->second)
        if (row.page == page && !found)
          found = &row;
      if (!found)
        for (const Row &row : it->second)
          if (row.page >= lastPlaced && std::abs(row.page - page) <= window &&
              (!found || std::abs(row.page - page) < std::abs(found->page - page)))
            found = &row;
      if (found) {
        out.moved += found->page != page ? 1 : 0;
        ++out.placed;
        page = lastPlaced = found->page;
        // the heading's own text where only its label tells it from the entry
        const std::string plain = comparableTitle(e.title);
        if (std::none_of(it->second.begin(), it->second.end(), [&](const Row &row) {
              return row.page == page && comparableTitle(row.text) == plain;
            }))
          title = found->text;
      }
    }
    if (page >= 0 && page < int32_t(text.pages.size()))
      out.marks.push_back({e.depth, std::move(title), page});
  }
  addDeeperSections(text, out);
  return out;
}

} // namespace sorvane
