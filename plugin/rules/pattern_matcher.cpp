#include "plugin/rules/pattern_matcher.h"

#include <pcre2.h>

namespace sorvane {

std::string escapePattern(std::string_view text) {
  constexpr std::string_view kSpecial = "[\\^$.|?*+()";
  std::string out;
  out.reserve(text.size() + 8);
  for (char c : text) {
    if (kSpecial.find(c) != std::string_view::npos)
      out += '\\';
    out += c;
  }
  return out;
}

BuiltPattern buildPattern(const PatternDescription &d) {
  BuiltPattern built;
  built.pattern = d.useRegExp ? d.text : escapePattern(d.text);
  if (d.wholeWords)
    built.pattern = "\\b(" + built.pattern + ")\\b";
  built.caseless = !d.matchCase;
  return built;
}

PatternMatcher::~PatternMatcher() { release(); }

void PatternMatcher::release() {
  pcre2_code_free(m_code);
  m_code = nullptr;
  m_pattern.clear();
}

bool PatternMatcher::compile(std::string_view pattern, bool caseless) {
  release();
  int error = 0;
  PCRE2_SIZE offset = 0;
  m_code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.data()), pattern.size(),
                         caseless ? PCRE2_CASELESS : 0, &error, &offset, nullptr);
  if (!m_code)
    return false;
  m_pattern = std::string(pattern);
  return true;
}

bool PatternMatcher::execute(std::string_view subject) const {
  if (!m_code || subject.empty())
    return false;
  pcre2_match_data *data = pcre2_match_data_create(10, nullptr);
  pcre2_match_context *context = pcre2_match_context_create(nullptr);
  if (!data || !context) {
    pcre2_match_data_free(data);
    pcre2_match_context_free(context);
    return false;
  }
  pcre2_set_match_limit(context, kMatchLimit);
  pcre2_set_depth_limit(context, kMatchLimit / 10);
  const int rc = pcre2_match(m_code, reinterpret_cast<PCRE2_SPTR>(subject.data()), subject.size(),
                             0, PCRE2_NOTEMPTY, data, context);
  pcre2_match_data_free(data);
  pcre2_match_context_free(context);
  // 0 means the match had more pairs than the match data holds: still a match.
  return rc >= 0;
}

bool containsStopWord(const std::vector<std::string> &words, const StopWordOptions &options,
                      std::string_view title) {
  if (!options.ignoreStopWords)
    return false;
  for (const std::string &word : words) {
    const BuiltPattern built =
        buildPattern({word, options.useRegExp, options.wholeWords, options.matchCase});
    PatternMatcher matcher;
    if (matcher.compile(built.pattern, built.caseless) && matcher.execute(title))
      return true;
  }
  return false;
}

} // namespace sorvane
