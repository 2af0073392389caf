// Small builders for fixture text and level rules shared by the engine tests.
#pragma once

#include <string>

#include "plugin/rules/level_rule.h"
#include "tests/support/pdf_builder.h"

namespace sorvane::test {

// Text at (x, y) in `font` at `size` points.
TextSpec textAt(std::string text, double x, double y, double size, std::string font);

// A level that finds runs of `font` at `size` points (the host's atoms must be imported).
LevelRule fontLevel(const char *font, double size);

} // namespace sorvane::test
