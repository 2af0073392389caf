#include "bench/corpus/outline_score.h"

#include <algorithm>
#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <map>
#include <sstream>
#include <stdexcept>
#include <tuple>
#include <utility>

#include <nlohmann/json.hpp>

namespace sorvane::corpus {

namespace {

// "1.2 title", "1.2. title", "1.title", "1.2title", "a.1 title" (lower case by now) -> "title"; a
// title that is only a number stays, and so does "3d graphics".
std::string withoutSectionNumber(const std::string &title) {
  size_t i = 0;
  const auto digits = [&] {
    const size_t from = i;
    while (i < title.size() && std::isdigit(static_cast<unsigned char>(title[i])))
      ++i;
    return i > from;
  };
  bool number = digits();
  if (!number && title.size() > 2 && std::islower(static_cast<unsigned char>(title[0])) &&
      title[1] == '.' && std::isdigit(static_cast<unsigned char>(title[2]))) {
    i = 1; // an appendix's section: "a.1"
    number = true;
  }
  if (!number)
    return title;
  bool parts = false;
  while (i + 1 < title.size() && title[i] == '.' &&
         std::isdigit(static_cast<unsigned char>(title[i + 1]))) {
    ++i;
    digits();
    parts = true;
  }
  if (parts && i < title.size() && std::isalpha(static_cast<unsigned char>(title[i])))
    return title.substr(i); // "1.1sample production": an outline that left the blank out
  if (i < title.size() && title[i] == '.') {
    ++i;
    if (i < title.size() && std::isalpha(static_cast<unsigned char>(title[i])))
      return title.substr(i); // "1.overview": the blank left out
  }
  if (i + 1 >= title.size() || title[i] != ' ')
    return title; // "3d graphics", "1st", or the number alone
  return title.substr(i + 1);
}

} // namespace

std::string normalisedTitle(std::string_view title) {
  std::string out;
  bool blank = false;
  for (size_t i = 0; i < title.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(title[i]);
    if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == 0xA0) {
      blank = true;
      continue;
    }
    if (blank && !out.empty()) {
      // "hyphen- ated" at a line break reads as one word
      if (out.back() == '-' && out.size() > 1 &&
          std::isalpha(static_cast<unsigned char>(out[out.size() - 2])) && std::islower(c))
        out.pop_back();
      else
        out += ' ';
    }
    blank = false;
    // quote marks as typed in a source ("`main'", "``x''") and as set on the page ("‘main’",
    // "“x”"): single ones as ', double ones (and two single ones) as "
    char quote = c == '`' || c == '\'' ? '\'' : c == '"' ? '"' : 0;
    if (c == 0xE2 && i + 2 < title.size() && static_cast<unsigned char>(title[i + 1]) == 0x80 &&
        static_cast<unsigned char>(title[i + 2]) >= 0x98 &&
        static_cast<unsigned char>(title[i + 2]) <= 0x9F) {
      quote = static_cast<unsigned char>(title[i + 2]) <= 0x9B ? '\'' : '"';
      i += 2;
    }
    if (quote == '\'' && !out.empty() && out.back() == '\'')
      out.back() = '"';
    else if (quote)
      out += quote;
    if (quote)
      continue;
    out += char(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  }
  return withoutSectionNumber(out);
}

Score score(const std::vector<Entry> &expected, const std::vector<Entry> &found) {
  // per title and page, how many expected entries wait at each depth
  std::map<std::pair<std::string, int>, std::map<int, int>> wanted;
  for (const Entry &e : expected)
    ++wanted[{normalisedTitle(e.title), e.page}][e.depth];
  Score s;
  s.expected = int(expected.size());
  s.found = int(found.size());
  // Entries at the expected depth are matched first, so that a bookmark found twice, once at the
  // right depth, counts as right.
  std::vector<const Entry *> later;
  for (const Entry &f : found) {
    auto it = wanted.find({normalisedTitle(f.title), f.page});
    if (it == wanted.end())
      continue;
    auto depth = it->second.find(f.depth);
    if (depth != it->second.end() && depth->second > 0) {
      --depth->second;
      ++s.matched;
      ++s.depthRight;
    } else {
      later.push_back(&f);
    }
  }
  for (const Entry *f : later) {
    auto &depths = wanted[{normalisedTitle(f->title), f->page}];
    for (auto &[depth, count] : depths)
      if (count > 0) {
        --count;
        ++s.matched;
        break;
      }
  }
  return s;
}

namespace {

void collect(const nlohmann::json &list, int depth, std::vector<Entry> &out) {
  if (!list.is_array())
    throw std::runtime_error("an outline listing is a JSON array of bookmarks");
  for (const nlohmann::json &b : list) {
    if (!b.is_object() || !b.contains("title") || !b["title"].is_string())
      throw std::runtime_error("a bookmark of the listing has no title");
    Entry e;
    e.title = b["title"].get<std::string>();
    if (b.contains("page") && b["page"].is_number_integer())
      e.page = b["page"].get<int>();
    e.depth = depth;
    out.push_back(std::move(e));
    if (b.contains("children"))
      collect(b["children"], depth + 1, out);
  }
}

} // namespace

std::vector<Entry> entriesFromListing(std::string_view json) {
  nlohmann::json parsed;
  try {
    parsed = nlohmann::json::parse(json);
  } catch (const nlohmann::json::exception &e) {
    throw std::runtime_error(std::string("not JSON: ") + e.what());
  }
  std::vector<Entry> out;
  collect(parsed, 1, out);
  return out;
}

namespace {

std::vector<std::string> words(std::string_view line) {
  std::istringstream in{std::string(line)};
  std::vector<std::string> out;
  for (std::string w; in >> w;)
    out.push_back(w);
  return out;
}

} // namespace

std::vector<Document> documentsFromList(std::string_view text) {
  std::vector<Document> out;
  std::istringstream in{std::string(text)};
  int number = 0;
  for (std::string line; std::getline(in, line);) {
    ++number;
    const std::vector<std::string> w = words(line);
    if (w.empty() || w[0][0] == '#')
      continue;
    if (w.size() != 5)
      throw std::runtime_error("line " + std::to_string(number) +
                               ": a document is `name half producer package path`");
    if (w[1] != "tune" && w[1] != "check")
      throw std::runtime_error("line " + std::to_string(number) +
                               ": the half is \"tune\" or \"check\", not \"" + w[1] + "\"");
    out.push_back({w[0], w[1], w[2], w[3], w[4]});
  }
  return out;
}

std::map<std::string, std::string> halvesByRule(const std::vector<Document> &documents) {
  std::vector<const Document *> order;
  for (const Document &d : documents)
    order.push_back(&d);
  std::sort(order.begin(), order.end(), [](const Document *a, const Document *b) {
    return std::tie(a->producer, a->package, a->name) < std::tie(b->producer, b->package, b->name);
  });
  std::map<std::string, std::string> half;
  for (size_t i = 0; i < order.size(); ++i)
    half[order[i]->name] = i % 2 == 0 ? "tune" : "check";
  return half;
}

Row rowFromLine(std::string_view line) {
  const std::vector<std::string> w = words(line);
  if (w.size() != 8)
    throw std::runtime_error(
        "a row is `name half pages expected found matched depthRight seconds`: " +
        std::string(line));
  Row r;
  r.name = w[0];
  r.half = w[1];
  r.pages = w[2];
  try {
    r.score.expected = std::stoi(w[3]);
    r.score.found = std::stoi(w[4]);
    r.score.matched = std::stoi(w[5]);
    r.score.depthRight = std::stoi(w[6]);
    r.seconds = std::stod(w[7]);
  } catch (const std::exception &) {
    throw std::runtime_error("a row's counts are numbers: " + std::string(line));
  }
  if (r.score.matched > r.score.expected || r.score.matched > r.score.found ||
      r.score.depthRight > r.score.matched || r.score.matched < 0)
    throw std::runtime_error("a row's counts do not add up: " + std::string(line));
  return r;
}

namespace {

__attribute__((format(printf, 1, 2))) std::string format(const char *pattern, ...) {
  char line[256];
  va_list values;
  va_start(values, pattern);
  std::vsnprintf(line, sizeof line, pattern, values);
  va_end(values);
  return line;
}

std::string documentLine(const Row &r) {
  const Score &s = r.score;
  return format("%-20s %-5s %5s %6d %6d %6d %6d %6d %6.3f %6.3f %6.3f %6.3f %7.2fs\n",
                r.name.c_str(), r.half.c_str(), r.pages.c_str(), s.expected, s.found, s.matched,
                s.missed(), s.extra(), s.precision(), s.recall(), s.f1(), s.depthAccuracy(),
                r.seconds);
}

// The micro and macro lines of a group of rows.
std::string totalLines(const std::string &group, const std::vector<const Row *> &rows) {
  Score sum;
  double seconds = 0, p = 0, r = 0, f = 0, d = 0;
  int withMatches = 0; // the depth of documents where nothing matched is not known
  for (const Row *row : rows) {
    sum += row->score;
    seconds += row->seconds;
    p += row->score.precision();
    r += row->score.recall();
    f += row->score.f1();
    if (row->score.matched > 0) {
      d += row->score.depthAccuracy();
      ++withMatches;
    }
  }
  const double n = rows.empty() ? 1 : double(rows.size());
  d = withMatches ? d / withMatches : 1.0;
  const std::string label = group + ": " + std::to_string(rows.size());
  std::string out = format("%-20s %-5s %5s %6d %6d %6d %6d %6d %6.3f %6.3f %6.3f %6.3f %7.2fs\n",
                           (label + " (micro)").c_str(), "", "", sum.expected, sum.found,
                           sum.matched, sum.missed(), sum.extra(), sum.precision(), sum.recall(),
                           sum.f1(), sum.depthAccuracy(), seconds);
  out += format("%-20s %-5s %5s %6s %6s %6s %6s %6s %6.3f %6.3f %6.3f %6.3f\n",
                (label + " (macro)").c_str(), "", "", "", "", "", "", "", p / n, r / n, f / n, d);
  return out;
}

} // namespace

std::string table(const std::vector<Row> &rows) {
  std::string out = format("%-20s %-5s %5s %6s %6s %6s %6s %6s %6s %6s %6s %6s %8s\n", "document",
                           "half", "pages", "expect", "found", "match", "missed", "extra", "prec",
                           "recall", "f1", "depth", "time");
  std::vector<const Row *> all;
  std::vector<std::string> halves = {"tune", "check"};
  for (const Row &r : rows)
    if (std::find(halves.begin(), halves.end(), r.half) == halves.end())
      halves.push_back(r.half);
  std::string totals;
  for (const std::string &half : halves) {
    std::vector<const Row *> group;
    for (const Row &r : rows)
      if (r.half == half) {
        out += documentLine(r);
        group.push_back(&r);
        all.push_back(&r);
      }
    if (!group.empty())
      totals += totalLines(half, group);
  }
  out += totals;
  out += totalLines("all", all);
  return out;
}

} // namespace sorvane::corpus
