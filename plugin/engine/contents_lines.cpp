#include "plugin/engine/contents_lines.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <optional>
#include <string_view>

#include "plugin/values/fixed_point.h"

namespace sorvane {
namespace {

struct Piece {
  std::string_view text;
  double left, bottom, right, top, size;
};

// How many bytes of a blank start `s` (end it, with `atEnd`): ASCII white space, a no-break
// space, or one of the narrow and figure spaces that producers set between a leader and its
// page number. 0 for none.
size_t blankBytes(std::string_view s, bool atEnd) {
  if (s.empty())
    return 0;
  const unsigned char c = static_cast<unsigned char>(atEnd ? s.back() : s.front());
  if (std::isspace(c))
    return 1;
  for (std::string_view space :
       {std::string_view("\xC2\xA0"), std::string_view("\xE2\x80\x87"),
        std::string_view("\xE2\x80\x89"), std::string_view("\xE2\x80\xAF")})
    if (s.size() >= space.size() &&
        (atEnd ? s.substr(s.size() - space.size()) : s.substr(0, space.size())) == space)
      return space.size();
  return 0;
}

std::string_view trimmed(std::string_view s) {
  while (const size_t n = blankBytes(s, false))
    s.remove_prefix(n);
  while (const size_t n = blankBytes(s, true))
    s.remove_suffix(n);
  return s;
}

bool isPageNumber(std::string_view t) {
  if (t.empty() || t.size() > 8)
    return false;
  if (std::all_of(t.begin(), t.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return t.size() <= 4;
  const bool lower = std::all_of(t.begin(), t.end(), [](char c) {
    return std::string_view("ivxlcdm").find(c) != std::string_view::npos;
  });
  const bool upper = std::all_of(t.begin(), t.end(), [](char c) {
    return std::string_view("IVXLCDM").find(c) != std::string_view::npos;
  });
  return lower || upper;
}

// Text that ends with dot leaders: three dots or more, blanks between them allowed; two when
// the text is nothing else (a short title's leaders set apart from it).
bool endsWithLeaders(std::string_view t) {
  t = trimmed(t);
  int dots = 0;
  size_t i = t.size();
  for (; i > 0; --i) {
    const char c = t[i - 1];
    if (c == '.' || c == '\xB7')
      ++dots;
    else if (c != ' ')
      break;
  }
  return dots >= 3 || (dots == 2 && i == 0);
}

// The contents row that the pieces [first, end) (one row, left to right) make, if they make one.
std::optional<ContentsRows::Row> contentsRow(const Piece *first, const Piece *end) {
  if (first == end)
    return std::nullopt;
  const Piece &last = *(end - 1);
  // The number at the row's end: the last piece itself, or the last word of it.
  std::string_view number = last.text;
  std::string_view before;
  bool apart = false;
  if (isPageNumber(number)) {
    if (end - first < 2)
      return std::nullopt; // a lonely number: a page number in a footer
    const Piece &prev = *(end - 2);
    before = prev.text;
    apart = last.left - prev.right > 1.5 * last.size || endsWithLeaders(before);
  } else {
    const size_t blank = last.text.find_last_of(' ');
    if (blank == std::string_view::npos)
      return std::nullopt;
    number = last.text.substr(blank + 1);
    before = last.text.substr(0, blank);
    if (!isPageNumber(number))
      return std::nullopt;
    apart = endsWithLeaders(before); // inside one run only leaders show the gap
  }
  if (!apart)
    return std::nullopt;
  ContentsRows::Row row{last.bottom, last.top, first->left, last.left, last.right};
  if (!number.empty() && number.size() <= 4 &&
      std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; }))
    row.number = std::stoi(std::string(number));
  row.leaders = endsWithLeaders(before);
  for (const Piece *p = first; p != end; ++p) {
    row.bottom = std::min(row.bottom, p->bottom);
    row.top = std::max(row.top, p->top);
  }
  return row;
}

} // namespace

ContentsRows::ContentsRows(const std::vector<TextRun> &runs) {
  std::vector<Piece> pieces;
  double textRight = 0;
  for (const TextRun &r : runs) {
    const std::string_view text = trimmed(r.text);
    if (text.empty())
      continue;
    Piece p{text,
            fixedToDouble(r.box.left),
            fixedToDouble(r.box.bottom),
            fixedToDouble(r.box.right),
            fixedToDouble(r.box.top),
            r.fontSize > 0 ? r.fontSize : fixedToDouble(r.box.top - r.box.bottom)};
    textRight = std::max(textRight, p.right);
    pieces.push_back(p);
  }
  // Rows: pieces whose vertical middles lie within half a height of each other.
  std::sort(pieces.begin(), pieces.end(),
            [](const Piece &a, const Piece &b) { return a.bottom + a.top > b.bottom + b.top; });
  std::vector<Row> found;
  for (size_t i = 0; i < pieces.size();) {
    const double middle = (pieces[i].bottom + pieces[i].top) / 2;
    const double half = std::max(1.0, (pieces[i].top - pieces[i].bottom) / 2);
    size_t j = i + 1;
    while (j < pieces.size() && std::fabs((pieces[j].bottom + pieces[j].top) / 2 - middle) <= half)
      ++j;
    std::vector<Piece> row(pieces.begin() + long(i), pieces.begin() + long(j));
    i = j;
    std::sort(row.begin(), row.end(),
              [](const Piece &a, const Piece &b) { return a.left < b.left; });
    // Contents set in two columns put two entries on one row: a page number standing apart,
    // with a wide gap after it, ends the first.
    size_t from = 0;
    for (size_t k = from + 1; k + 1 < row.size(); ++k) {
      const Piece &n = row[k];
      if (k > from && isPageNumber(n.text) &&
          (n.left - row[k - 1].right > 1.5 * n.size || endsWithLeaders(row[k - 1].text)) &&
          row[k + 1].left - n.right > 3 * n.size) {
        if (std::optional<Row> found1 = contentsRow(&row[from], &row[k] + 1))
          found.push_back(*found1);
        from = k + 1;
      }
    }
    if (std::optional<Row> last = contentsRow(&row[from], row.data() + row.size()))
      found.push_back(*last);
  }
  // Line numbers are no page numbers: a column of numbers that count up by one from row to row,
  // five rows or more without dot leaders, numbers the lines of the page (legal texts, listings,
  // manuscripts under review).
  std::vector<bool> lineNumber(found.size(), false);
  std::vector<size_t> order(found.size());
  for (size_t i = 0; i < order.size(); ++i)
    order[i] = i;
  std::sort(order.begin(), order.end(),
            [&](size_t a, size_t b) { return found[a].numberLeft < found[b].numberLeft; });
  for (size_t k = 0; k < order.size();) {
    // a column: numbers whose boxes overlap across, taken top to bottom
    size_t end = k + 1;
    double right = found[order[k]].numberRight;
    while (end < order.size() && found[order[end]].numberLeft <= right) {
      right = std::max(right, found[order[end]].numberRight);
      ++end;
    }
    std::vector<size_t> column(order.begin() + long(k), order.begin() + long(end));
    std::sort(column.begin(), column.end(),
              [&](size_t a, size_t b) { return found[a].top > found[b].top; });
    for (size_t run = 0; run < column.size();) {
      size_t next = run + 1;
      while (next < column.size() && found[column[next - 1]].number >= 0 &&
             found[column[next]].number == found[column[next - 1]].number + 1 &&
             !found[column[next]].leaders && !found[column[next - 1]].leaders)
        ++next;
      if (next - run >= 5)
        for (size_t i = run; i < next; ++i)
          lineNumber[column[i]] = true;
      run = next;
    }
    k = end;
  }
  std::vector<Row> counted;
  for (size_t i = 0; i < found.size(); ++i)
    if (!lineNumber[i])
      counted.push_back(found[i]);
  found.swap(counted);
  // The page numbers of a table of contents stand in one column, aligned on the right or on the
  // left (or at the right edge of the page's text): rows whose numbers line up with two others or
  // more.
  std::vector<Row> aligned;
  for (const Row &row : found) {
    int alike = 0;
    for (const Row &other : found)
      alike += std::fabs(other.numberRight - row.numberRight) <= 2.0 ||
                       std::fabs(other.numberLeft - row.numberLeft) <= 2.0
                   ? 1
                   : 0;
    if (alike >= kMinRows || row.numberRight >= textRight - 2.0)
      aligned.push_back(row);
  }
  found.swap(aligned);
  if (int(found.size()) >= kMinRows)
    m_rows = std::move(found);
}

bool ContentsRows::endsContentsRow(const FixedRect &box) const {
  const double bottom = fixedToDouble(box.bottom), top = fixedToDouble(box.top);
  const double middle = (bottom + top) / 2;
  for (const Row &row : m_rows)
    if (middle >= row.bottom && middle <= row.top && fixedToDouble(box.left) >= row.left - 0.5 &&
        fixedToDouble(box.left) <= row.numberLeft + 0.5)
      return true;
  return false;
}

} // namespace sorvane
