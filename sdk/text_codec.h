// Conversions between the host code page (UTF-8) and Unicode text.
//
// Plug-in strings are UTF-8 byte strings; lengths stay byte counts, but no operation may leave a
// broken sequence behind. Invalid input never throws: each bad sequence reads as U+FFFD.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace sorvane {

inline constexpr char32_t kReplacementChar = 0xFFFD;

// True when `s` is well-formed UTF-8 (no overlong forms, surrogates or values past U+10FFFF).
bool isValidUtf8(std::string_view s);

// `s` with every ill-formed sequence replaced by U+FFFD.
std::string sanitizeUtf8(std::string_view s);

// Decodes one character at `pos`, advancing `pos` past it (past one byte for a bad sequence,
// which decodes as U+FFFD). `pos` must be below s.size().
char32_t decodeUtf8(std::string_view s, size_t &pos);

// Appends the UTF-8 form of `c` (U+FFFD for a surrogate or a value past U+10FFFF).
void appendUtf8(std::string &out, char32_t c);

std::u16string utf8ToUtf16(std::string_view s);
// An unpaired surrogate becomes U+FFFD.
std::string utf16ToUtf8(std::u16string_view s);

// The longest prefix of `s` of at most `maxBytes` bytes that does not end inside a character.
std::string_view truncateUtf8(std::string_view s, size_t maxBytes);

} // namespace sorvane
