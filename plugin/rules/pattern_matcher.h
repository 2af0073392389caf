// Patterns of level text rules and stop words: plain text or regular expressions, compiled and
// run with PCRE2.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct pcre2_real_code_8;

namespace sorvane {

// The user's entry and its switches.
struct PatternDescription {
  std::string text;
  bool useRegExp = false;
  bool wholeWords = false;
  bool matchCase = false;
};

struct BuiltPattern {
  std::string pattern;
  bool caseless = false;
};

// Plain text made safe as a regular expression: a backslash before each of [ \ ^ $ . | ? * + ( ).
// ], { and } stay as they are.
std::string escapePattern(std::string_view text);

// The regular expression and options for a description: escaped unless it is a regular
// expression, wrapped in \b( )\b for whole words, caseless unless case matters.
BuiltPattern buildPattern(const PatternDescription &description);

// One compiled regular expression. A pattern from a settings file a user was sent must not hang
// a run: a match that takes too long counts as no match.
class PatternMatcher {
public:
  // Steps the matcher may take on one subject before it gives up.
  static constexpr uint32_t kMatchLimit = 1'000'000;

  PatternMatcher() = default;
  ~PatternMatcher();
  PatternMatcher(const PatternMatcher &) = delete;
  PatternMatcher &operator=(const PatternMatcher &) = delete;

  // Compiles `pattern` (byte mode, default character tables). False, holding nothing, when it
  // does not compile.
  bool compile(std::string_view pattern, bool caseless);
  // True when the expression matches somewhere in `subject` (an empty match does not count).
  // False for an empty subject, without a compiled expression, or past the match limit.
  bool execute(std::string_view subject) const;

  bool isCompiled() const { return m_code != nullptr; }
  // How many subjects, since the process began, any matcher gave up on at the match limit
  // (counted, so that a run can say how many lines it could not test).
  static uint64_t limitHits();
  // True when the expression matches only empty text wherever it matches sample headings
  // (anchors or look-arounds alone, such as "^" or "\\b"): since an empty match does not count,
  // it never accepts anything.
  bool matchesOnlyEmptyText() const;
  // Why `pattern` does not compile, as PCRE2 says it, with the offset ("missing closing
  // parenthesis at offset 11"); empty when it compiles.
  static std::string compileError(std::string_view pattern, bool caseless);
  const std::string &pattern() const { return m_pattern; }

private:
  void release();
  int run(std::string_view subject, uint32_t options) const;
  pcre2_real_code_8 *m_code = nullptr;
  std::string m_pattern;
};

// The stop-word switches of the build settings.
struct StopWordOptions {
  bool ignoreStopWords = false; // the test is on
  bool useRegExp = false;
  bool wholeWords = false;
  bool matchCase = false;
};

// The stop words compiled once, for a run that tests many lines.
class StopWords {
public:
  StopWords() = default;
  StopWords(const std::vector<std::string> &words, const StopWordOptions &options);
  // True when `title` contains one of the words and must be ignored. Words whose pattern does
  // not compile match nothing.
  bool contain(std::string_view title) const;

private:
  std::vector<std::unique_ptr<PatternMatcher>> m_matchers;
};

// The same for one title.
bool containsStopWord(const std::vector<std::string> &words, const StopWordOptions &options,
                      std::string_view title);

} // namespace sorvane
