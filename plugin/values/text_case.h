// Letter tests and case changes on UTF-8 text. ASCII behaves as in the C locale; accented Latin,
// Greek and Cyrillic letters change case too, and letters of scripts without case count as
// letters.
#pragma once

#include <string>
#include <string_view>

namespace sorvane {

char32_t toUpperChar(char32_t c);
char32_t toLowerChar(char32_t c);
bool isLetterChar(char32_t c);

std::string toUpperText(std::string_view text);
std::string toLowerText(std::string_view text);

} // namespace sorvane
