#include "plugin/rules/title_format.h"

#include "plugin/rules/level_rule.h"
#include "plugin/values/text_case.h"
#include "sdk/text_codec.h"

namespace sorvane {
namespace {

void collapseBlanks(std::string &t) {
  std::string out;
  out.reserve(t.size());
  for (char c : t)
    if (!(c == ' ' && !out.empty() && out.back() == ' '))
      out += c;
  t.swap(out);
}

// Quote marks that open the word they stand against.
bool opensWord(char32_t c) {
  switch (c) {
  case '\'':
  case '"':
  case '`':
  case 0x2018: // ‘
  case 0x201A: // ‚
  case 0x201C: // “
  case 0x201E: // „
  case 0x00AB: // «
  case 0x2039: // ‹
    return true;
  default: return false;
  }
}

// Leaves out what stands before the first letter: a section number and its punctuation. A
// number the letter follows directly is part of the word ("1st", "3D graphics") and stays, and
// so does a quote mark that opens the first word ("2.1 ‘main’" gives "‘main’", not
// "main’"); a title with no letter at all (a year, a number alone) keeps it all rather than
// become empty.
void removeLeadingNumbers(std::string &t) {
  for (size_t pos = 0; pos < t.size();) {
    size_t start = pos;
    if (isLetterChar(decodeUtf8(t, pos))) {
      while (start > 0 && t[start - 1] >= '0' && t[start - 1] <= '9')
        --start;
      size_t open = start;
      while (open > 0) {
        size_t before = open - 1;
        while (before > 0 && (static_cast<unsigned char>(t[before]) & 0xC0) == 0x80)
          --before;
        size_t at = before;
        if (!opensWord(decodeUtf8(t, at)))
          break;
        open = before;
      }
      if (open < start && (open == 0 || t[open - 1] == ' '))
        start = open;
      t.erase(0, start);
      return;
    }
  }
}

// Upper-cases the character at `pos` (a character start) in place.
void raiseAt(std::string &t, size_t pos) {
  size_t end = pos;
  const char32_t c = decodeUtf8(t, end);
  std::string upper;
  appendUtf8(upper, toUpperChar(c));
  if (c != kReplacementChar || end - pos > 1)
    t.replace(pos, end - pos, upper);
}

void titleCase(std::string &t) {
  t = toLowerText(t);
  bool wordStart = true;
  for (size_t pos = 0; pos < t.size();) {
    const size_t start = pos;
    if (wordStart)
      raiseAt(t, start);
    const char32_t c = decodeUtf8(t, pos);
    wordStart = c == ' ';
  }
}

void removeHyphenBlanks(std::string &t) {
  for (size_t at = t.find("- "); at != std::string::npos; at = t.find("- ", at))
    t.erase(at, 2);
}

} // namespace

void bumpCounter(LevelCounters &counters, int32_t level) {
  if (level < 0 || size_t(level) > counters.size())
    return;
  counters.resize(size_t(level) + 1, 0);
  ++counters[size_t(level)];
}

std::string formatLabelNumber(const LevelCounters &counters, int32_t level, int32_t leadingType) {
  if (level < 0 || size_t(level) >= counters.size())
    return {};
  const int32_t value = counters[size_t(level)];
  std::string out;
  switch (LeadingType(leadingType)) {
  case LeadingType::Letters:
    for (int64_t n = int64_t(value) - 1; n >= 0; n -= 26)
      out += static_cast<char>('a' + n % 26);
    return out;
  case LeadingType::RomanNumerals: {
    static const std::pair<int32_t, const char *> kTable[] = {
        {1000, "M"}, {900, "CM"}, {500, "D"}, {400, "CD"}, {100, "C"}, {90, "XC"}, {50, "L"},
        {40, "XL"},  {10, "X"},   {9, "IX"},  {5, "V"},    {4, "IV"},  {1, "I"}};
    int32_t rest = value;
    for (const auto &[amount, numeral] : kTable)
      for (; rest >= amount; rest -= amount)
        out += numeral;
    return out;
  }
  case LeadingType::Numbers: break;
  }
  return std::to_string(value);
}

std::string labelAndFormat(std::string title, int32_t level, const LevelCounters &counters,
                           const std::vector<LevelRule> &rules) {
  std::string label;
  for (int32_t j = 0; j <= level && size_t(j) < rules.size(); ++j) {
    const ContentFormat &format = rules[size_t(j)].contentFormat;
    if (format.leadingNumbers != int32_t(LeadingNumbers::Add))
      continue;
    if (!label.empty())
      label += '.';
    label += formatLabelNumber(counters, j, format.leadingType);
  }
  if (!label.empty())
    title = label + " " + title;
  if (level >= 0 && size_t(level) < rules.size())
    formatTitle(rules[size_t(level)].contentFormat, title);
  return title;
}

void formatTitle(const ContentFormat &format, std::string &title) {
  collapseBlanks(title);
  if (format.leadingNumbers == int32_t(LeadingNumbers::Remove))
    removeLeadingNumbers(title);
  switch (CaseStyle(format.caseStyle)) {
  case CaseStyle::Uppercase: title = toUpperText(title); break;
  case CaseStyle::Lowercase: title = toLowerText(title); break;
  case CaseStyle::TitleCase: titleCase(title); break;
  case CaseStyle::SentenceCase:
    title = toLowerText(title);
    if (!title.empty())
      raiseAt(title, 0);
    break;
  case CaseStyle::DoNotChange: break;
  }
  if (format.removeLineChangeDefis)
    removeHyphenBlanks(title);
  title = format.prefixText + title + format.suffixText;
  const size_t limit = format.maxTextLength > 0 ? size_t(format.maxTextLength) : 0;
  if (title.size() > limit)
    title = std::string(truncateUtf8(title, limit));
}

} // namespace sorvane
