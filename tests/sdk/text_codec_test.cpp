#include "sdk/text_codec.h"

#include <gtest/gtest.h>

namespace sorvane {
namespace {

TEST(Utf8Validity, AcceptsWellFormedText) {
  EXPECT_TRUE(isValidUtf8(""));
  EXPECT_TRUE(isValidUtf8("Chapter 1"));
  EXPECT_TRUE(isValidUtf8("Kapitel \xC3\xBC \xE2\x82\xAC \xF0\x9F\x93\x96")); // ü € 📖
}

TEST(Utf8Validity, RefusesIllFormedSequences) {
  EXPECT_FALSE(isValidUtf8("\x80"));             // stray continuation byte
  EXPECT_FALSE(isValidUtf8("\xC3"));             // cut short
  EXPECT_FALSE(isValidUtf8("\xC0\xAF"));         // overlong '/'
  EXPECT_FALSE(isValidUtf8("\xE0\x80\xAF"));     // overlong, three bytes
  EXPECT_FALSE(isValidUtf8("\xED\xA0\x80"));     // a surrogate
  EXPECT_FALSE(isValidUtf8("\xF4\x90\x80\x80")); // past U+10FFFF
  EXPECT_FALSE(isValidUtf8("\xFF"));
}

TEST(Utf8Sanitize, ReplacesEachBadSequenceAndKeepsTheRest) {
  EXPECT_EQ(sanitizeUtf8("a\xFF"
                         "b"),
            "a\xEF\xBF\xBD"
            "b");
  EXPECT_EQ(sanitizeUtf8("\xC3\xBC"), "\xC3\xBC");
  // A cut-short sequence followed by ASCII does not swallow the ASCII.
  EXPECT_EQ(sanitizeUtf8("\xE2\x82"
                         "x"),
            "\xEF\xBF\xBD\xEF\xBF\xBD"
            "x");
}

TEST(Utf16Conversion, RoundTripsEveryPlane) {
  const std::string text = "A\xC3\xBC\xE2\x82\xAC\xF0\x9F\x93\x96";
  const std::u16string wide = utf8ToUtf16(text);
  ASSERT_EQ(wide.size(), 5u); // the book emoji takes a surrogate pair
  EXPECT_EQ(wide[3], 0xD83D);
  EXPECT_EQ(wide[4], 0xDCD6);
  EXPECT_EQ(utf16ToUtf8(wide), text);
}

TEST(Utf16Conversion, LoneSurrogatesBecomeReplacementCharacters) {
  EXPECT_EQ(utf16ToUtf8(u"a\xD800"), "a\xEF\xBF\xBD");
  EXPECT_EQ(utf16ToUtf8(std::u16string{0xDC00, u'b'}), "\xEF\xBF\xBD"
                                                       "b");
}

TEST(Utf8Truncate, NeverCutsACharacterInTwo) {
  const std::string text = "a\xC3\xBC\xE2\x82\xAC\xF0\x9F\x93\x96z"; // 1 + 2 + 3 + 4 + 1 bytes
  const size_t boundaries[] = {0, 1, 3, 6, 10, 11};
  for (size_t limit = 0; limit <= text.size() + 1; ++limit) {
    const std::string_view cut = truncateUtf8(text, limit);
    EXPECT_TRUE(isValidUtf8(cut)) << "limit " << limit;
    EXPECT_LE(cut.size(), limit);
    // The cut is the longest whole-character prefix that fits.
    size_t expected = 0;
    for (size_t b : boundaries)
      if (b <= limit)
        expected = b;
    EXPECT_EQ(cut.size(), expected) << "limit " << limit;
  }
}

TEST(Utf8Truncate, CountsAStrayByteAsOneCharacter) {
  EXPECT_EQ(truncateUtf8("ab\xFF"
                         "cd",
                         3),
            "ab\xFF");
}

} // namespace
} // namespace sorvane
