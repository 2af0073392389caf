#include "plugin/rules/pattern_matcher.h"

#include <atomic>

#include <pcre2.h>

namespace sorvane {
namespace {

std::atomic<uint64_t> g_limitHits{0};

} // namespace

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

std::string PatternMatcher::compileError(std::string_view pattern, bool caseless) {
  int error = 0;
  PCRE2_SIZE offset = 0;
  pcre2_code *code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.data()), pattern.size(),
                                   caseless ? PCRE2_CASELESS : 0, &error, &offset, nullptr);
  if (code) {
    pcre2_code_free(code);
    return {};
  }
  PCRE2_UCHAR message[256];
  if (pcre2_get_error_message(error, message, sizeof message) < 0)
    return "error " + std::to_string(error) + " at offset " + std::to_string(offset);
  return reinterpret_cast<const char *>(message) + std::string(" at offset ") +
         std::to_string(offset);
}

bool PatternMatcher::matchesOnlyEmptyText() const {
  static const char *const kProbes[] = {"Chapter 1 Introduction",
                                        "1.2 Scope and purpose",
                                        "APPENDIX A",
                                        "a",
                                        "Z",
                                        "9",
                                        "x.y-z (note)",
                                        "\303\234ber", // "Über"
                                        " "};
  bool emptyMatch = false;
  for (const char *probe : kProbes) {
    if (run(probe, PCRE2_NOTEMPTY) >= 0)
      return false;
    emptyMatch = emptyMatch || run(probe, 0) >= 0;
  }
  return emptyMatch;
}

uint64_t PatternMatcher::limitHits() { return g_limitHits.load(std::memory_order_relaxed); }

bool PatternMatcher::execute(std::string_view subject) const {
  if (subject.empty())
    return false;
  // 0 means the match had more pairs than the match data holds: still a match.
  return run(subject, PCRE2_NOTEMPTY) >= 0;
}

int PatternMatcher::run(std::string_view subject, uint32_t options) const {
  if (!m_code)
    return -1;
  pcre2_match_data *data = pcre2_match_data_create(10, nullptr);
  pcre2_match_context *context = pcre2_match_context_create(nullptr);
  if (!data || !context) {
    pcre2_match_data_free(data);
    pcre2_match_context_free(context);
    return -1;
  }
  pcre2_set_match_limit(context, kMatchLimit);
  pcre2_set_depth_limit(context, kMatchLimit / 10);
  const int rc = pcre2_match(m_code, reinterpret_cast<PCRE2_SPTR>(subject.data()), subject.size(),
                             0, options, data, context);
  if (rc == PCRE2_ERROR_MATCHLIMIT || rc == PCRE2_ERROR_DEPTHLIMIT)
    g_limitHits.fetch_add(1, std::memory_order_relaxed);
  pcre2_match_data_free(data);
  pcre2_match_context_free(context);
  return rc;
}

StopWords::StopWords(const std::vector<std::string> &words, const StopWordOptions &options) {
  if (!options.ignoreStopWords)
    return;
  for (const std::string &word : words) {
    const BuiltPattern built =
        buildPattern({word, options.useRegExp, options.wholeWords, options.matchCase});
    auto matcher = std::make_unique<PatternMatcher>();
    if (matcher->compile(built.pattern, built.caseless))
      m_matchers.push_back(std::move(matcher));
  }
}

bool StopWords::contain(std::string_view title) const {
  for (const auto &matcher : m_matchers)
    if (matcher->execute(title))
      return true;
  return false;
}

bool containsStopWord(const std::vector<std::string> &words, const StopWordOptions &options,
                      std::string_view title) {
  return StopWords(words, options).contain(title);
}

} // namespace sorvane
