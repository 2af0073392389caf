#include "tests/support/fixture_helpers.h"

#include "sdk/imported_tables.h"

namespace sorvane::test {

TextSpec textAt(std::string text, double x, double y, double size, std::string font) {
  TextSpec s;
  s.text = std::move(text);
  s.x = x;
  s.y = y;
  s.size = size;
  s.font = std::move(font);
  return s;
}

LevelRule fontLevel(const char *font, double size) {
  LevelRule rule;
  rule.textStyleRule.fontDesc.fonts = {hostTables().core->atomFromString(font)};
  rule.textStyleRule.fontDesc.fontSize = size;
  return rule;
}

} // namespace sorvane::test
