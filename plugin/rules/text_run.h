// One run of page text as the level rules see it.
#pragma once

#include <string>

#include "plugin/values/color_value.h"
#include "plugin/values/fixed_rect.h"
#include "sdk/atom.h"

namespace sorvane {

struct TextRun {
  std::string text;           // UTF-8
  Atom fontName = Atom::Null; // the exact name of the run's font
  double fontSize = 0;        // points
  FixedRect box;              // page space, points
  ColorValue color;           // runs carry no colour: always the reset value
  bool valid = false;         // the run was read completely
};

} // namespace sorvane
