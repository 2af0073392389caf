#include "host/cli/rule_learning.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <regex>
#include <set>
#include <unordered_map>

#include "sdk/font_names.h"

namespace sorvane::cli {
namespace {

// The texts of a page's rows, alone and joined with the next row, as bookmark titles are
// compared with them; found by text and by text without its number.
struct PageHeadingTexts {
  struct Candidate {
    size_t line = 0;      // the first row
    bool twoRows = false; // joined with the row after it
    std::string text;     // normalized
    std::string bare;     // normalized, without its number
  };
  std::vector<Candidate> candidates; // in page order, a row before its pair
  std::unordered_map<std::string, std::vector<size_t>> byText, byBare;
};

constexpr size_t kMaxStopWords = 40;

bool blank(const std::string &s) {
  return std::all_of(s.begin(), s.end(), [](char c) { return c == ' '; });
}

std::string trimmed(const std::string &s) {
  const size_t a = s.find_first_not_of(' ');
  if (a == std::string::npos)
    return {};
  return s.substr(a, s.find_last_not_of(' ') - a + 1);
}

// The numbering a heading starts with, as a regular expression ("[0-9]+\.[0-9]+",
// "Chapter [0-9]+"), or empty when it starts with none.
std::string numberingShape(const std::string &text) {
  static const std::regex number(R"(^([0-9]+|[A-Z])(\.([0-9]+|[A-Z]))*\.?(?= |$))");
  static const std::regex word(R"(^(Chapter|CHAPTER|Appendix|APPENDIX|Part|PART|Section) )");
  std::string shape;
  std::string rest = text;
  std::smatch m;
  if (std::regex_search(rest, m, word)) {
    shape = m.str(1) + " ";
    rest = m.suffix();
  }
  if (!std::regex_search(rest, m, number))
    return {};
  const std::string token = m.str(0);
  // Letters alone ("A") are numbering only beside a word or digits.
  if (shape.empty() && token.find_first_of("0123456789") == std::string::npos && token.size() < 2)
    return {};
  std::string out;
  for (size_t i = 0; i < token.size(); ++i) {
    const char c = token[i];
    if (c >= '0' && c <= '9') {
      out += "[0-9]+";
      while (i + 1 < token.size() && token[i + 1] >= '0' && token[i + 1] <= '9')
        ++i;
    } else if (c >= 'A' && c <= 'Z') {
      out += "[A-Z]";
    } else {
      out += "\\.";
    }
  }
  return shape + out;
}

struct Rule {
  std::set<std::string> fonts;
  double size = 0;
  double tolerance = 0;
  std::optional<std::regex> pattern;
  std::optional<std::pair<double, double>> indent;

  bool fits(const TextLine &line) const {
    if (line.styles.empty())
      return false;
    for (const TextLine::Style &s : line.styles)
      if (!fonts.count(std::string(withoutSubsetPrefix(s.font))) ||
          std::fabs(s.size - size) > tolerance)
        return false;
    if (indent && std::fabs(line.box.left - indent->first) > indent->second)
      return false;
    return !pattern || std::regex_search(trimmed(line.text), *pattern);
  }
};

// The texts of `repeated` (text: its lines) found at least `min` times, the most frequent first
// and at most kMaxStopWords, added to `stopWords`; returns the lines they leave out.
std::vector<size_t> takeAsStopWords(const std::map<std::string, std::vector<size_t>> &repeated,
                                    size_t min, std::vector<std::string> &stopWords) {
  std::vector<std::pair<size_t, std::string>> byCount;
  for (const auto &[text, at] : repeated)
    if (at.size() >= min)
      byCount.emplace_back(at.size(), text);
  std::sort(byCount.rbegin(), byCount.rend());
  std::vector<size_t> out;
  for (size_t k = 0; k < byCount.size() && k < kMaxStopWords; ++k) {
    stopWords.push_back(byCount[k].second);
    const std::vector<size_t> &at = repeated.at(byCount[k].second);
    out.insert(out.end(), at.begin(), at.end());
  }
  return out;
}

} // namespace

std::vector<TextLine> pageLines(const host::PageText &text, int page) {
  std::vector<TextLine> lines;
  TextLine line;
  HostRect last{};
  auto finish = [&] {
    line.text = trimmed(line.text);
    if (!line.text.empty())
      lines.push_back(std::move(line));
    line = TextLine();
  };
  for (const host::ExtractedRun *run : host::runsInContentOrder(text)) {
    if (run->text.empty())
      continue;
    const bool goesOn =
        !line.text.empty() && host::onOneRow(last, run->box) && run->box.left >= last.left - 1;
    if (!goesOn) {
      finish();
      line.page = page;
      line.box = run->box;
    } else {
      const double gap = run->box.left - last.right;
      if (gap > 0.1 * (run->box.top - run->box.bottom) && line.text.back() != ' ' &&
          run->text.front() != ' ')
        line.text += ' ';
      line.box.left = std::min(line.box.left, run->box.left);
      line.box.right = std::max(line.box.right, run->box.right);
      line.box.bottom = std::min(line.box.bottom, run->box.bottom);
      line.box.top = std::max(line.box.top, run->box.top);
    }
    line.text += run->text;
    if (!blank(run->text))
      line.styles.push_back({text.fonts[size_t(run->font)].name, run->size});
    last = run->box;
  }
  finish();
  return lines;
}

std::string normalizedTitle(const std::string &text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c >= 0x80) {
      out += char(c);
    } else if (std::isalnum(c)) {
      out += char(std::tolower(c));
    } else if (c == '-' && i + 1 < text.size() && text[i + 1] == ' ' && i > 0 &&
               std::isalpha(static_cast<unsigned char>(text[i - 1]))) {
      ++i; // a word broken at the end of a row
    } else if (!out.empty() && out.back() != ' ') {
      out += ' ';
    }
  }
  while (!out.empty() && out.back() == ' ')
    out.pop_back();
  return out;
}

std::string withoutNumber(const std::string &normalized) {
  std::vector<std::string> tokens;
  for (size_t at = 0; at < normalized.size();) {
    const size_t end = std::min(normalized.find(' ', at), normalized.size());
    tokens.push_back(normalized.substr(at, end - at));
    at = end + 1;
  }
  auto digits = [](const std::string &t) {
    return !t.empty() &&
           std::all_of(t.begin(), t.end(), [](char c) { return c >= '0' && c <= '9'; });
  };
  auto roman = [](const std::string &t) {
    return !t.empty() && t.size() <= 5 && t.find_first_not_of("ivxlc") == std::string::npos;
  };
  size_t k = 0;
  bool numbered = false;
  if (tokens.size() > 1 && (tokens[0] == "chapter" || tokens[0] == "appendix" ||
                            tokens[0] == "part" || tokens[0] == "section")) {
    k = 1;
    numbered = true;
  }
  // "1 2 3", "a 1", "iv": numbers, and single letters beside them.
  auto numberLike = [&](size_t i) {
    if (digits(tokens[i]))
      return true;
    if (tokens[i].size() == 1) // a letter: beside a word or a number only
      return numbered || digits(tokens[i + 1]);
    return i == 0 && roman(tokens[i]) && tokens.size() > 2;
  };
  while (k + 1 < tokens.size() && numberLike(k)) {
    numbered = numbered || digits(tokens[k]) || tokens[k].size() == 1;
    ++k;
  }
  if (!numbered || k == 0)
    return normalized;
  std::string out;
  for (size_t i = k; i < tokens.size(); ++i)
    out += (out.empty() ? "" : " ") + tokens[i];
  return out;
}

namespace {

bool boldName(std::string_view font) {
  for (const char *mark : {"Bold", "bold", "BX", "Bd", "Black", "Heavy", "Semibold", "Demi"})
    if (font.find(mark) != std::string_view::npos)
      return true;
  return false;
}

// How deep a numbering goes: "3" 1, "3.2" 2, "A.1.4" 3; 0 for none.
int numberingDepth(const std::string &shape) {
  if (shape.empty())
    return 0;
  int depth = 1;
  for (size_t at = shape.find("\\."); at != std::string::npos; at = shape.find("\\.", at + 2))
    if (at + 2 < shape.size())
      ++depth;
  return depth;
}

// A line whose end is a page number (or a row of dots): a contents line.
bool endsInPageNumber(const std::string &text) {
  static const std::regex contents(R"((\.\s*){3,}|\s[0-9ivxlc]{1,4}$)");
  return std::regex_search(text, contents);
}

// Lines of `at` whose text is found at most twice among them: labels repeat, headings do not.
size_t uniqueLines(const std::vector<size_t> &at, const std::vector<TextLine> &lines) {
  std::map<std::string, size_t> texts;
  for (size_t i : at)
    ++texts[lines[i].text];
  size_t unique = 0;
  for (const auto &[text, n] : texts)
    unique += n < 3 ? n : 0;
  return unique;
}

// Headings line up: most start at one left edge (or two, for facing pages), or are centred
// on one axis. Words scattered over figures and music do not.
bool aligned(const std::vector<size_t> &at, const std::vector<TextLine> &lines) {
  for (const bool centred : {false, true}) {
    std::map<long, size_t> bins; // 3-point bins
    for (size_t i : at) {
      const HostRect &b = lines[i].box;
      ++bins[std::lround((centred ? (b.left + b.right) / 2 : b.left) / 3)];
    }
    std::vector<size_t> counts;
    for (const auto &[bin, n] : bins)
      counts.push_back(n + (bins.count(bin + 1) ? bins.at(bin + 1) : 0));
    std::sort(counts.rbegin(), counts.rend());
    const size_t best = counts[0] + (counts.size() > 1 ? counts[1] : 0);
    if (2 * best >= at.size())
      return true;
  }
  return false;
}

struct Candidate {
  std::string font; // of the lines' first runs, without a subset prefix
  double size = 0;
  int depth = 0;     // of the numbering; 0: unnumbered
  std::string shape; // the most common numbering
  std::vector<size_t> lines;
  bool bold = false;
};

} // namespace

Learned suggestRules(const std::vector<TextLine> &lines, int maxLevels) {
  Learned learned;
  // The body: the style with the most text.
  std::map<std::pair<std::string, long>, size_t> characters;
  for (const TextLine &line : lines)
    if (!line.styles.empty())
      characters[{std::string(withoutSubsetPrefix(line.styles.front().font)),
                  std::lround(line.styles.front().size * 10)}] += line.text.size();
  if (characters.empty())
    return learned;
  const auto body =
      std::max_element(characters.begin(), characters.end(), [](const auto &a, const auto &b) {
        return a.second < b.second;
      })->first;
  const double bodySize = double(body.second) / 10;
  const bool bodyBold = boldName(body.first);

  // The top and bottom line of each page: where running heads and footers sit.
  std::map<int, std::pair<size_t, size_t>> edges;
  for (size_t i = 0; i < lines.size(); ++i) {
    auto [it, added] = edges.try_emplace(lines[i].page, i, i);
    if (lines[i].box.top > lines[it->second.first].box.top)
      it->second.first = i;
    if (lines[i].box.bottom < lines[it->second.second].box.bottom)
      it->second.second = i;
  }
  std::set<size_t> edgeLines;
  for (const auto &[page, e] : edges) {
    edgeLines.insert(e.first);
    edgeLines.insert(e.second);
  }

  // Heading styles: lines larger or bolder than the body, with words in them.
  static const std::regex words(R"([A-Za-z\x80-\xff].*[A-Za-z\x80-\xff].*[A-Za-z\x80-\xff])");
  std::map<std::pair<std::string, long>, std::vector<size_t>> styles;
  for (size_t i = 0; i < lines.size(); ++i) {
    const TextLine &line = lines[i];
    if (line.styles.empty() || line.text.size() > 120 || endsInPageNumber(line.text) ||
        !std::regex_search(line.text, words))
      continue;
    const std::string font(withoutSubsetPrefix(line.styles.front().font));
    const double size = line.styles.front().size;
    const bool larger = size > bodySize + 0.5;
    const bool bolder = std::fabs(size - bodySize) <= 0.5 && boldName(font) && !bodyBold;
    if (larger || bolder)
      styles[{font, std::lround(size * 10)}].push_back(i);
  }
  std::vector<Candidate> kept;
  for (const auto &[key, at] : styles) {
    std::set<int> pages;
    std::map<std::string, size_t> texts;
    size_t atEdges = 0;
    size_t followed = 0; // by a line of the same style: blocks of text, not headings
    size_t leading = 0;  // by body text or a larger line: they start a block
    for (size_t i : at) {
      pages.insert(lines[i].page);
      ++texts[lines[i].text];
      atEdges += edgeLines.count(i);
      if (i + 1 >= lines.size() || lines[i + 1].page != lines[i].page ||
          lines[i + 1].styles.empty())
        continue;
      const TextLine::Style &next = lines[i + 1].styles.front();
      if (withoutSubsetPrefix(next.font) == key.first && std::lround(next.size * 10) == key.second)
        ++followed;
      if ((withoutSubsetPrefix(next.font) == body.first &&
           std::fabs(next.size - bodySize) <= 0.5) ||
          next.size > bodySize + 0.5)
        ++leading;
    }
    // Lines that repeat ("See also") become stop words; the rest must be most of the style.
    size_t unique = 0;
    for (const auto &[text, n] : texts)
      unique += n < 3 ? n : 0;
    // On one page only (a title page), mostly at the page edges (running heads), many to a
    // page (emphasis in body text), in blocks (code), not followed by body text (words in
    // figures and music), or mostly repeated labels: no heading style.
    if (pages.size() < 2 || 10 * atEdges >= 6 * at.size() || at.size() > 3 * pages.size() ||
        2 * followed > at.size() || 4 * leading < at.size() || unique < 2 ||
        10 * unique < 3 * at.size() || !aligned(at, lines))
      continue;
    // A level for each depth of numbering that enough of its lines have; without one, a
    // level for all of them.
    std::map<int, std::vector<size_t>> byDepth;
    std::map<int, std::set<std::string>> shapesAt;
    for (size_t i : at) {
      const std::string shape = numberingShape(trimmed(lines[i].text));
      byDepth[numberingDepth(shape)].push_back(i);
      shapesAt[numberingDepth(shape)].insert(shape);
    }
    bool numbered = false;
    for (const auto &[depth, of] : byDepth) {
      if (depth == 0 || of.size() < 2 || 10 * of.size() < at.size())
        continue;
      numbered = true;
      Candidate c{key.first, double(key.second) / 10, depth, {}, of, boldName(key.first)};
      for (const std::string &shape : shapesAt[depth])
        c.shape += (c.shape.empty() ? "" : "|") + shape;
      kept.push_back(std::move(c));
    }
    // Its unnumbered lines: a level of their own beside numbered ones (headings below the
    // numbered depths), else the whole style.
    const std::vector<size_t> &plain = byDepth[0];
    if (!numbered && at.size() >= 3)
      kept.push_back(Candidate{key.first, double(key.second) / 10, 0, {}, at, boldName(key.first)});
    else if (numbered && plain.size() >= 3 && 10 * plain.size() >= at.size() &&
             10 * uniqueLines(plain, lines) >= 3 * plain.size())
      kept.push_back(
          Candidate{key.first, double(key.second) / 10, 0, {}, plain, boldName(key.first)});
  }
  // The largest type first; at one size, numbered before unnumbered, shallow before deep,
  // bold before regular.
  std::sort(kept.begin(), kept.end(), [](const Candidate &a, const Candidate &b) {
    if (std::fabs(a.size - b.size) > 0.5)
      return a.size > b.size;
    if ((a.depth == 0) != (b.depth == 0))
      return a.depth != 0;
    if (a.depth != b.depth)
      return a.depth < b.depth;
    if (a.bold != b.bold)
      return a.bold;
    return a.lines.size() > b.lines.size();
  });
  // Unnumbered headings above numbered ones would leave those without their parents.
  for (size_t k = kept.size(); k-- > 0;)
    if (kept[k].depth == 0 && std::any_of(kept.begin() + ptrdiff_t(k) + 1, kept.end(),
                                          [](const Candidate &c) { return c.depth > 0; }))
      kept.erase(kept.begin() + ptrdiff_t(k));
  // A style that repeats the titles of a larger one (a chapter's title page, a contents
  // page) adds nothing.
  std::vector<Candidate> distinct;
  std::set<std::string> seen;
  for (Candidate &c : kept) {
    size_t repeats = 0;
    for (size_t i : c.lines)
      repeats += seen.count(withoutNumber(normalizedTitle(lines[i].text)));
    if (2 * repeats >= c.lines.size())
      continue;
    for (size_t i : c.lines)
      seen.insert(withoutNumber(normalizedTitle(lines[i].text)));
    distinct.push_back(std::move(c));
  }
  kept = std::move(distinct);
  if (int(kept.size()) > maxLevels)
    kept.resize(size_t(maxLevels));

  std::vector<size_t> claimed(lines.size(), 0);
  for (const Candidate &c : kept) {
    // The style's own size; the fonts its lines use at that size (a title's number in one
    // face, a word in another).
    Rule rule;
    rule.size = c.size;
    rule.tolerance = 0.3;
    std::map<std::string, size_t> used; // lines that use a font at the style's size
    for (size_t i : c.lines) {
      std::set<std::string> inLine;
      for (const TextLine::Style &st : lines[i].styles)
        if (std::fabs(st.size - c.size) <= rule.tolerance)
          inLine.insert(std::string(withoutSubsetPrefix(st.font)));
      for (const std::string &font : inLine)
        ++used[font];
    }
    rule.fonts.insert(c.font);
    for (const auto &[font, n] : used)
      if (4 * n >= c.lines.size())
        rule.fonts.insert(font);
    LearnedLevel level;
    level.depth = int(learned.levels.size()) + 1;
    if (c.depth > 0) {
      // Numbered headings: chapters keep their numbers (readers look them up by number);
      // below, the outline's nesting shows where a section is, and titles go without.
      level.pattern = "^(?:" + c.shape + ")( |$)";
      rule.pattern = std::regex(level.pattern);
      level.removeNumbers = !learned.levels.empty();
    }
    level.fonts.assign(rule.fonts.begin(), rule.fonts.end());
    level.size = rule.size;
    level.tolerance = rule.tolerance;
    for (size_t i = 0; i < lines.size(); ++i)
      if (!claimed[i] && rule.fits(lines[i]) && !endsInPageNumber(lines[i].text)) {
        claimed[i] = learned.levels.size() + 1;
        ++level.lines;
        if (level.samples.size() < 3)
          level.samples.push_back(lines[i].text);
      }
    learned.levels.push_back(std::move(level));
  }
  // Lines the levels take that repeat many times ("See also"): not headings but labels.
  std::map<std::string, std::vector<size_t>> repeated;
  for (size_t i = 0; i < lines.size(); ++i)
    if (claimed[i])
      repeated[lines[i].text].push_back(i);
  for (size_t i : takeAsStopWords(repeated, 3, learned.stopWords))
    --learned.levels[claimed[i] - 1].lines;
  // A level left with nothing to take is no level.
  std::erase_if(learned.levels, [](const LearnedLevel &l) { return l.lines <= 0; });
  for (size_t k = 0; k < learned.levels.size(); ++k)
    learned.levels[k].depth = int(k) + 1;
  return learned;
}

std::string wholeLinePattern(const std::string &text) {
  std::string out = "^\\s*";
  for (char c : text) {
    if (c == ' ') {
      if (out.size() < 3 || out.compare(out.size() - 3, 3, "\\s+") != 0)
        out += "\\s+";
      continue;
    }
    if (std::string_view("\\^$.|?*+()[]{}/").find(c) != std::string_view::npos)
      out += '\\';
    out += c;
  }
  return out + "\\s*$";
}

nlohmann::ordered_json settingsFile(const Learned &learned) {
  using json = nlohmann::ordered_json;
  json build = {{"InsertType", 1},
                {"SkipDupBookmarks", true},
                {"SkipContentsLines", true},
                {"NumLevels", learned.levels.size()}};
  if (!learned.stopWords.empty()) {
    json words = {{"NumItems", learned.stopWords.size()}};
    for (size_t i = 0; i < learned.stopWords.size(); ++i)
      words[std::to_string(i)] = wholeLinePattern(learned.stopWords[i]);
    build["IgnoreStopWords"] = true;
    build["StopWordsUseRegExp"] = true;
    build["StopWordsMatchWholeWords"] = false;
    build["StopWordsMatchCase"] = true;
    build["StopWords"] = std::move(words);
  }
  for (size_t i = 0; i < learned.levels.size(); ++i) {
    const LearnedLevel &l = learned.levels[i];
    json fonts = {{"NumItems", l.fonts.size()}};
    for (size_t f = 0; f < l.fonts.size(); ++f)
      fonts[std::to_string(f)] = l.fonts[f];
    json level = {{"TextStyle",
                   {{"IgnoreSubsetPrefix", true},
                    {"Tolerance", l.tolerance},
                    {"FontDesc", {{"FontSize", l.size}, {"Fonts", std::move(fonts)}}}}}};
    json match = {{"MultilineTitles", l.multiline}};
    if (!l.pattern.empty())
      match["Query"] = {{"Pattern", l.pattern}, {"UseRegExp", true}, {"MatchCase", true}};
    level["TextMatch"] = std::move(match);
    if (l.removeNumbers)
      level["ContentFormating"] = {{"LeadingNumbers", 2}};
    if (l.indent)
      level["TextIndentation"] = {{"Enabled", true},
                                  {"LeftIndent", std::round(l.indent->first * 100) / 100},
                                  {"Tolerance", std::round(l.indent->second * 100) / 100},
                                  {"DisplayUnits", 3}};
    build["Level" + std::to_string(i)] = std::move(level);
  }
  return json{{"format", "sorvane-cabinet"},
              {"version", 1},
              {"cabinet", {{"BuildSettings", std::move(build)}}}};
}

} // namespace sorvane::cli
