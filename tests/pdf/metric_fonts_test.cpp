// Fonts read from their dictionaries alone serve runs read in part: such runs must be what
// they are when their fonts are loaded whole, and nothing else may ever meet those fonts.
#include <gtest/gtest.h>

#include "host/pdf/page_image.h"
#include "host/pdf/page_text.h"
#include "host/pdf/pdf_document.h"
#include "tests/support/fixture_helpers.h"
#include "tests/support/pdf_builder.h"
#include "tests/support/temp_dir.h"

namespace sorvane {
namespace {

// The glyph names of the codes 32 to 126 in WinAnsiEncoding.
const char *const kAsciiNames[] = {"space",       "exclam",
                                   "quotedbl",    "numbersign",
                                   "dollar",      "percent",
                                   "ampersand",   "quotesingle",
                                   "parenleft",   "parenright",
                                   "asterisk",    "plus",
                                   "comma",       "hyphen",
                                   "period",      "slash",
                                   "zero",        "one",
                                   "two",         "three",
                                   "four",        "five",
                                   "six",         "seven",
                                   "eight",       "nine",
                                   "colon",       "semicolon",
                                   "less",        "equal",
                                   "greater",     "question",
                                   "at",          "A",
                                   "B",           "C",
                                   "D",           "E",
                                   "F",           "G",
                                   "H",           "I",
                                   "J",           "K",
                                   "L",           "M",
                                   "N",           "O",
                                   "P",           "Q",
                                   "R",           "S",
                                   "T",           "U",
                                   "V",           "W",
                                   "X",           "Y",
                                   "Z",           "bracketleft",
                                   "backslash",   "bracketright",
                                   "asciicircum", "underscore",
                                   "grave",       "a",
                                   "b",           "c",
                                   "d",           "e",
                                   "f",           "g",
                                   "h",           "i",
                                   "j",           "k",
                                   "l",           "m",
                                   "n",           "o",
                                   "p",           "q",
                                   "r",           "s",
                                   "t",           "u",
                                   "v",           "w",
                                   "x",           "y",
                                   "z",           "braceleft",
                                   "bar",         "braceright",
                                   "asciitilde"};

// A program with a glyph for each of the codes 32 to 126, of widths that differ.
struct Program {
  std::string bytes;
  std::vector<int> widths; // by code from 32
};

Program asciiProgram() {
  Program p;
  std::vector<std::pair<std::string, int>> glyphs;
  for (int c = 32; c < 127; ++c) {
    p.widths.push_back(400 + (c * 37) % 300);
    glyphs.emplace_back(kAsciiNames[c - 32], p.widths.back());
  }
  p.bytes = test::cffProgram(glyphs);
  return p;
}

// "Hello" in the symbolic font below: codes 33 to 36 are named H, e, l, o.
constexpr const char *kSymbolicHello = "!\"##$";

class MetricFonts : public ::testing::Test {
protected:
  void SetUp() override {
    program = asciiProgram();
    ASSERT_FALSE(program.bytes.empty());
    test::PdfSpec spec = test::pages(2);
    test::EmbeddedFontSpec named;
    named.name = "ABCDEF+Body";
    named.program = program.bytes;
    // Widths a little wider than the program's, as a producer rounding them up writes them.
    for (int w : program.widths)
      named.widths.push_back(w + 3);
    test::EmbeddedFontSpec symbolic = named;
    symbolic.name = "ABCDEF+Symbols";
    symbolic.symbolic = true;
    symbolic.firstChar = 33;
    symbolic.widths.clear();
    for (char c : std::string("Helo"))
      symbolic.widths.push_back(program.widths[size_t(c - 32)]);
    symbolic.differences = "33 /H /e /l /o";
    // Codes with no name anywhere in the file but a ToUnicode entry.
    test::EmbeddedFontSpec mapped = named;
    mapped.name = "ABCDEF+Mapped";
    mapped.encoding.clear();
    mapped.toUnicode = "2 beginbfchar <4D> <004D> <61> <0061> endbfchar";
    mapped.firstChar = 'M';
    mapped.widths.assign('a' - 'M' + 1, 0); // the codes between are never drawn
    mapped.widths.front() = program.widths['M' - 32u];
    mapped.widths.back() = program.widths['a' - 32u];
    // No widths: only the program can say where its glyphs end.
    test::EmbeddedFontSpec widthless = named;
    widthless.name = "ABCDEF+Widthless";
    widthless.widths.clear();
    spec.embeddedFonts = {named, symbolic, mapped, widthless};
    for (auto &page : spec.pages) {
      page.texts = {test::textAt("Heading", 72, 700, 18, "Helvetica-Bold"),
                    test::textAt("Body text, two words", 72, 680, 10, "ABCDEF+Body"),
                    test::textAt("", 72, 660, 10, "ABCDEF+Body"),
                    test::textAt(kSymbolicHello, 72, 640, 12, "ABCDEF+Symbols"),
                    test::textAt("Ma", 72, 620, 9, "ABCDEF+Mapped"),
                    test::textAt("In a form", 72, 600, 10, "ABCDEF+Body"),
                    test::textAt("No widths", 72, 580, 10, "ABCDEF+Widthless")};
      page.texts[2].showOperation = "[(spaced) -3000 (out ) -3000 (words)] TJ";
      page.texts[5].inForm = true;
    }
    test::writePdf(spec, dir.file("embedded.pdf"));
    doc = host::PdfDocument::open(dir.file("embedded.pdf"));
    filter.anyPrefix = {"Helvetica-Bold"};
  }

  Program program;
  test::TempDir dir;
  std::unique_ptr<host::PdfDocument> doc;
  RunFontFilter filter;
};

TEST_F(MetricFonts, RunsInFontsReadFromTheirDictionariesAreWhatTheWholeFontsMakeThem) {
  for (bool othersWhole : {false, true}) {
    SCOPED_TRACE(othersWhole ? "runs of other fonts whole" : "runs of other fonts in part");
    doc = host::PdfDocument::open(dir.file("embedded.pdf"));
    filter.othersWhole = othersWhole;
    // (Read with the filter first: a font the engine has loaded whole already is used as is.)
    const auto part = host::extractPageText(*doc, 0, &filter);
    // Every font but the widthless one and the level's was read from its dictionary.
    EXPECT_EQ(doc->fontsReadInPart(), 3u);
    const auto whole = host::extractPageText(*doc, 0);
    const auto a = host::runsInContentOrder(*whole);
    const auto b = host::runsInContentOrder(*part);
    ASSERT_EQ(a.size(), b.size());
    ASSERT_GE(a.size(), 7u);
    for (size_t i = 0; i < a.size(); ++i) {
      const std::string &font = whole->fonts[size_t(a[i]->font)].name;
      SCOPED_TRACE(a[i]->text + " in " + font);
      EXPECT_EQ(part->fonts[size_t(b[i]->font)].name, font);
      EXPECT_EQ(b[i]->size, a[i]->size);
      // A glyph ends where the file's width says rather than the program's: the same but for
      // rounding (here 3/1000 em), as where the next glyph starts is.
      EXPECT_EQ(b[i]->box.left, a[i]->box.left);
      EXPECT_NEAR(b[i]->box.right, a[i]->box.right, 0.05);
      EXPECT_EQ(b[i]->box.bottom, a[i]->box.bottom);
      EXPECT_EQ(b[i]->box.top, a[i]->box.top);
      if (filter.keepsWhole(font)) {
        EXPECT_EQ(b[i]->text, a[i]->text);
        EXPECT_EQ(b[i]->charCount, a[i]->charCount);
      } else {
        EXPECT_EQ(b[i]->charCount, 1);
        EXPECT_EQ(b[i]->text, a[i]->text.substr(0, 1));
      }
    }
    // The programs loaded as they are (a damaged one is replaced, with a warning).
    EXPECT_TRUE(doc->warnings().empty()) << doc->warnings().front();
    // What the whole fonts read, for the record: the names and the map give the characters.
    EXPECT_EQ(a[3]->text, "Hello");
    EXPECT_EQ(a[4]->text, "Ma");
  }
}

TEST_F(MetricFonts, NoReaderThatNeedsAFontWholeOrDrawsItMeetsItReadInPart) {
  const auto fresh = host::PdfDocument::open(dir.file("embedded.pdf"));
  const host::PageImage before = host::renderPage(*fresh, 1, 1.0);
  const auto whole = host::extractPageText(*fresh, 1);
  const auto a = host::runsInContentOrder(*whole);

  (void)host::extractPageText(*doc, 1, &filter);
  ASSERT_GT(doc->fontsReadInPart(), 0u);
  // Drawn: every glyph is there.
  const host::PageImage after = host::renderPage(*doc, 1, 1.0);
  EXPECT_EQ(doc->fontsReadInPart(), 0u);
  EXPECT_EQ(after.pixels, before.pixels);

  // Read with a filter that keeps the font now, and whole, after a read in part.
  doc = host::PdfDocument::open(dir.file("embedded.pdf"));
  (void)host::extractPageText(*doc, 1, &filter);
  ASSERT_GT(doc->fontsReadInPart(), 0u);
  RunFontFilter body;
  body.anyPrefix = {"Body"};
  const auto kept = host::extractPageText(*doc, 1, &body);
  const auto again = host::extractPageText(*doc, 1);
  const auto b = host::runsInContentOrder(*again);
  const auto c = host::runsInContentOrder(*kept);
  ASSERT_EQ(a.size(), b.size());
  ASSERT_EQ(a.size(), c.size());
  for (size_t i = 0; i < a.size(); ++i) {
    EXPECT_EQ(b[i]->text, a[i]->text);
    EXPECT_EQ(b[i]->box, a[i]->box);
    if (body.keeps(whole->fonts[size_t(a[i]->font)].name)) {
      EXPECT_EQ(c[i]->text, a[i]->text);
      EXPECT_EQ(c[i]->box, a[i]->box);
    }
  }
}

} // namespace
} // namespace sorvane
