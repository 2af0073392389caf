#include "plugin/values/text_case.h"

#include "sdk/text_codec.h"

namespace sorvane {
namespace {

template <class Map> std::string mapText(std::string_view text, Map map) {
  std::string out;
  out.reserve(text.size());
  for (size_t pos = 0; pos < text.size();) {
    const size_t start = pos;
    const char32_t c = decodeUtf8(text, pos);
    if (c == kReplacementChar && pos == start + 1)
      out += text[start]; // a byte that is no character stays as it is
    else
      appendUtf8(out, map(c));
  }
  return out;
}

// Latin Extended-A pairs capital and small letters on even/odd or odd/even code points.
bool latinExtendedUpperIsEven(char32_t c) {
  return (c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177);
}
bool latinExtendedUpperIsOdd(char32_t c) {
  return (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
}

} // namespace

char32_t toUpperChar(char32_t c) {
  if (c >= 'a' && c <= 'z')
    return c - 32;
  if (c < 0x80)
    return c;
  if ((c >= 0xE0 && c <= 0xFE && c != 0xF7))
    return c - 32;
  if (c == 0xFF)
    return 0x178;
  if (latinExtendedUpperIsEven(c))
    return c & ~char32_t(1);
  if (latinExtendedUpperIsOdd(c))
    return (c & 1) ? c : c - 1;
  if (c == 0x131)
    return 'I';
  if (c == 0x17F)
    return 'S';
  if (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2)
    return c - 32;
  if (c == 0x3C2)
    return 0x3A3;               // final sigma
  if (c >= 0x3AC && c <= 0x3AF) // accented small Greek vowels
    return c == 0x3AC ? 0x386 : c - 37;
  if (c >= 0x430 && c <= 0x44F)
    return c - 32;
  if (c >= 0x450 && c <= 0x45F)
    return c - 80;
  return c;
}

char32_t toLowerChar(char32_t c) {
  if (c >= 'A' && c <= 'Z')
    return c + 32;
  if (c < 0x80)
    return c;
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7)
    return c + 32;
  if (c == 0x178)
    return 0xFF;
  if (c == 0x130)
    return 'i';
  if (latinExtendedUpperIsEven(c))
    return c | 1;
  if (latinExtendedUpperIsOdd(c))
    return (c & 1) ? c + 1 : c;
  if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2)
    return c + 32;
  if (c == 0x386)
    return 0x3AC;
  if (c >= 0x388 && c <= 0x38A)
    return c + 37;
  if (c >= 0x410 && c <= 0x42F)
    return c + 32;
  if (c >= 0x400 && c <= 0x40F)
    return c + 80;
  return c;
}

bool isLetterChar(char32_t c) {
  if (c < 0x80)
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
  if (c <= 0xBF)
    return c == 0xAA || c == 0xB5 || c == 0xBA;
  if (c == 0xD7 || c == 0xF7 || c == kReplacementChar)
    return false;
  // Digits of other scripts, punctuation, symbols and spaces.
  if ((c >= 0x660 && c <= 0x669) || (c >= 0x6F0 && c <= 0x6F9) || (c >= 0x966 && c <= 0x96F))
    return false;
  if ((c >= 0x2000 && c <= 0x2BFF) || (c >= 0x3000 && c <= 0x303F) ||
      (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF20) ||
      (c >= 0xFF3B && c <= 0xFF40) || (c >= 0xFF5B && c <= 0xFF65) || c >= 0xFFF0)
    return false;
  return true;
}

std::string toUpperText(std::string_view text) { return mapText(text, toUpperChar); }

std::string toLowerText(std::string_view text) { return mapText(text, toLowerChar); }

} // namespace sorvane
