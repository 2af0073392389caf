// Fuzz driver: building the regular expression of a level's text rule or a stop word, compiling
// and running it. The first byte chooses the options, the rest is "pattern\0subject".
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "plugin/rules/pattern_matcher.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  using namespace sorvane;
  if (size < 1)
    return 0;
  const uint8_t options = data[0];
  const std::string_view rest(reinterpret_cast<const char *>(data + 1), size - 1);
  const size_t split = rest.find('\0');
  const std::string_view text = rest.substr(0, split);
  const std::string_view subject = split == std::string_view::npos ? text : rest.substr(split + 1);
  PatternDescription description;
  description.text = std::string(text);
  description.useRegExp = options & 1;
  description.wholeWords = options & 2;
  description.matchCase = options & 4;
  const BuiltPattern built = buildPattern(description);
  PatternMatcher matcher;
  if (matcher.compile(built.pattern, built.caseless))
    (void)matcher.execute(subject);
  // Plain text, escaped, always compiles.
  if (!description.useRegExp && !matcher.isCompiled())
    __builtin_trap();
  return 0;
}
