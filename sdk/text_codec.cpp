#include "sdk/text_codec.h"

namespace sorvane {
namespace {

bool isContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

// Length of the well-formed sequence starting at `pos`, or 0 when it is ill-formed.
size_t sequenceLength(std::string_view s, size_t pos, char32_t &out) {
  const auto b0 = static_cast<unsigned char>(s[pos]);
  if (b0 < 0x80) {
    out = b0;
    return 1;
  }
  size_t len = 0;
  char32_t c = 0;
  char32_t min = 0;
  if ((b0 & 0xE0) == 0xC0) {
    len = 2, c = b0 & 0x1F, min = 0x80;
  } else if ((b0 & 0xF0) == 0xE0) {
    len = 3, c = b0 & 0x0F, min = 0x800;
  } else if ((b0 & 0xF8) == 0xF0) {
    len = 4, c = b0 & 0x07, min = 0x10000;
  } else {
    return 0;
  }
  if (pos + len > s.size())
    return 0;
  for (size_t i = 1; i < len; ++i) {
    const auto b = static_cast<unsigned char>(s[pos + i]);
    if (!isContinuation(b))
      return 0;
    c = (c << 6) | (b & 0x3F);
  }
  if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
    return 0;
  out = c;
  return len;
}

} // namespace

bool isValidUtf8(std::string_view s) {
  for (size_t pos = 0; pos < s.size();) {
    char32_t c;
    const size_t len = sequenceLength(s, pos, c);
    if (len == 0)
      return false;
    pos += len;
  }
  return true;
}

char32_t decodeUtf8(std::string_view s, size_t &pos) {
  char32_t c;
  const size_t len = sequenceLength(s, pos, c);
  if (len == 0) {
    ++pos;
    return kReplacementChar;
  }
  pos += len;
  return c;
}

void appendUtf8(std::string &out, char32_t c) {
  if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
    c = kReplacementChar;
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

std::string sanitizeUtf8(std::string_view s) {
  if (isValidUtf8(s))
    return std::string(s);
  std::string out;
  out.reserve(s.size() + 8);
  for (size_t pos = 0; pos < s.size();)
    appendUtf8(out, decodeUtf8(s, pos));
  return out;
}

std::u16string utf8ToUtf16(std::string_view s) {
  std::u16string out;
  out.reserve(s.size());
  for (size_t pos = 0; pos < s.size();) {
    const char32_t c = decodeUtf8(s, pos);
    if (c >= 0x10000) {
      const char32_t v = c - 0x10000;
      out += static_cast<char16_t>(0xD800 + (v >> 10));
      out += static_cast<char16_t>(0xDC00 + (v & 0x3FF));
    } else {
      out += static_cast<char16_t>(c);
    }
  }
  return out;
}

std::string utf16ToUtf8(std::u16string_view s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    const char16_t u = s[i];
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 &&
        s[i + 1] <= 0xDFFF) {
      appendUtf8(out, 0x10000 + ((char32_t(u) - 0xD800) << 10) + (char32_t(s[i + 1]) - 0xDC00));
      ++i;
    } else {
      appendUtf8(out, u); // a lone surrogate becomes U+FFFD there
    }
  }
  return out;
}

std::string_view truncateUtf8(std::string_view s, size_t maxBytes) {
  if (s.size() <= maxBytes)
    return s;
  // Walk whole characters (a stray byte counts as one) up to the limit.
  size_t pos = 0;
  while (pos < s.size()) {
    char32_t c;
    size_t len = sequenceLength(s, pos, c);
    if (len == 0)
      len = 1;
    if (pos + len > maxBytes)
      break;
    pos += len;
  }
  return s.substr(0, pos);
}

} // namespace sorvane
