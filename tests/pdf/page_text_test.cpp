// Text runs read from pages built the ways real producers build them.
#include "host/pdf/page_text.h"

#include <gtest/gtest.h>

#include "host/pdf/pdf_document.h"
#include "tests/support/pdf_builder.h"
#include "tests/support/temp_dir.h"

namespace sorvane::host {
namespace {

test::TextSpec text(std::string t, double y, double size = 12, std::string font = "Helvetica") {
  test::TextSpec s;
  s.text = std::move(t);
  s.y = y;
  s.size = size;
  s.font = std::move(font);
  return s;
}

test::TextSpec shown(std::string operation, double y, std::string font = "Helvetica") {
  test::TextSpec s = text("", y, 12, std::move(font));
  s.showOperation = std::move(operation);
  return s;
}

struct SeenRun {
  std::string text;
  std::string font;
  double size;
  HostRect box;
};

class PageTextTest : public ::testing::Test {
protected:
  // The runs of page `page`, forms and containers included, in content order.
  std::vector<SeenRun> runs(const test::PdfSpec &spec, int page = 0) {
    test::writePdf(spec, dir.file("page.pdf"));
    auto doc = PdfDocument::open(dir.file("page.pdf"));
    auto content = extractPageText(*doc, page);
    std::vector<SeenRun> out;
    collect(*content, 0, out);
    return out;
  }
  static void collect(const PageText &t, int list, std::vector<SeenRun> &out) {
    for (int i : t.lists[size_t(list)]) {
      const ExtractedElement &e = t.elements[size_t(i)];
      if (e.list >= 0)
        collect(t, e.list, out);
      for (const ExtractedRun &r : e.runs)
        out.push_back({r.text, t.fonts[size_t(r.font)].name, r.size, r.box});
    }
  }
  static std::vector<std::string> texts(const std::vector<SeenRun> &rs) {
    std::vector<std::string> out;
    for (const SeenRun &r : rs)
      out.push_back(r.text);
    return out;
  }
  test::PdfSpec page(std::vector<test::TextSpec> texts) {
    test::PdfSpec spec = test::pages(1);
    spec.pages[0].texts = std::move(texts);
    return spec;
  }
  test::TempDir dir;
};

TEST_F(PageTextTest, WordsDrawnOneByOneOrWithPenJumpsReadWithOneBlank) {
  const auto rs = runs(page({
      shown("(Chapter) Tj ( ) Tj (One) Tj", 700),
      shown("[(Chap) 20 (ter) -333 (Two)] TJ", 680),
      shown("(Part) Tj 40 0 Td (Three) Tj", 660),
      shown("[(Sec) -30 (tion) -1000 ( Four)] TJ", 640),
  }));
  EXPECT_EQ(texts(rs),
            (std::vector<std::string>{"Chapter One", "Chapter Two", "Part Three", "Section Four"}));
}

TEST_F(PageTextTest, SizeBoxAndFontAreWhatAReaderSees) {
  test::TextSpec scaled = shown("14 0 0 14 100 500 Tm (Scaled) Tj", 0);
  scaled.size = 1; // "1 Tf" with the size in the matrix
  test::TextSpec longName =
      text("Subset", 400, 10, "ABCDEF+AVeryLongFontNameForTesting-BoldItalic");
  const auto rs = runs(page({text("Heading", 700, 18, "Helvetica-Bold"), scaled, longName}));
  ASSERT_EQ(rs.size(), 3u);
  EXPECT_EQ(rs[0].font, "Helvetica-Bold");
  EXPECT_NEAR(rs[0].size, 18, 0.01);
  EXPECT_NEAR(rs[0].box.left, 72, 0.01);
  EXPECT_LT(rs[0].box.bottom, 700);   // the descent reaches below the baseline
  EXPECT_GT(rs[0].box.top, 700 + 12); // the ascent above it
  EXPECT_GT(rs[0].box.right, 72 + 50);
  EXPECT_NEAR(rs[1].size, 14, 0.01);
  EXPECT_NEAR(rs[1].box.left, 100, 0.01);
  EXPECT_EQ(rs[2].font, "ABCDEF+AVeryLongFontNameForTesting-BoldItalic");
}

TEST_F(PageTextTest, FormsMarkedContentAndInvisibleTextAreRead) {
  test::TextSpec inForm = text("In a form", 600);
  inForm.inForm = true;
  test::TextSpec marked = text("Marked", 580);
  marked.markedContent = "Span";
  const auto rs = runs(page({inForm, marked, shown("3 Tr (Hidden layer) Tj", 560),
                             shown("2 Tr (Filled and stroked) Tj", 540)}));
  EXPECT_EQ(texts(rs), (std::vector<std::string>{"In a form", "Marked", "Hidden layer",
                                                 "Filled and stroked"}));
}

TEST_F(PageTextTest, EncodingsGiveTheCharactersTheyShow) {
  test::TextSpec mac = text("\xDE"
                            "nal \xD2quoted\xD3 Caf\x8E",
                            700, 12, "Times-Roman");
  mac.encoding = "MacRomanEncoding";
  test::TextSpec win = text("\x93Quoted\x94 \x96 na\xEFve", 680, 12, "Times-Roman");
  test::TextSpec cid = text("Type0 text", 660, 12, "ABCDEF+SomeCIDFont");
  cid.type0 = true;
  const auto rs = runs(page({mac, win, cid}));
  ASSERT_EQ(rs.size(), 3u);
  EXPECT_EQ(rs[0].text, "final \xE2\x80\x9Cquoted\xE2\x80\x9D Caf\xC3\xA9");
  EXPECT_EQ(rs[1].text, "\xE2\x80\x9CQuoted\xE2\x80\x9D \xE2\x80\x93 na\xC3\xAFve");
  EXPECT_EQ(rs[2].text, "Type0 text");
  EXPECT_EQ(rs[2].font, "ABCDEF+SomeCIDFont");
}

TEST_F(PageTextTest, RotatedAndCroppedPagesKeepUserSpaceCoordinates) {
  test::PdfSpec spec = page({text("Corner", 100, 12)});
  spec.pages[0].rotate = 90;
  spec.pages[0].cropBox = std::array<double, 4>{50, 50, 500, 700};
  const auto rs = runs(spec);
  ASSERT_EQ(rs.size(), 1u);
  EXPECT_NEAR(rs[0].box.left, 72, 0.01);
  EXPECT_LT(rs[0].box.bottom, 100);
  EXPECT_GT(rs[0].box.top, 100);
}

TEST_F(PageTextTest, LinesInOneTextObjectAreRunsOfTheirOwn) {
  const auto rs = runs(page({shown("(First line) Tj 0 -14 Td (Second line) Tj", 700)}));
  EXPECT_EQ(texts(rs), (std::vector<std::string>{"First line", "Second line"}));
  EXPECT_GT(rs[0].box.bottom, rs[1].box.top - 4);
}

TEST_F(PageTextTest, CharacterBoxesFollowTheText) {
  test::writePdf(page({shown("(   Indented) Tj", 700)}), dir.file("page.pdf"));
  auto doc = PdfDocument::open(dir.file("page.pdf"));
  auto content = extractPageText(*doc, 0);
  const ExtractedElement &e = content->elements[size_t(content->lists[0][0])];
  ASSERT_EQ(e.runs.size(), 1u);
  const ExtractedRun &r = e.runs[0];
  EXPECT_EQ(r.text, "   Indented");
  EXPECT_EQ(r.charCount, 11);
  ASSERT_EQ(e.charBoxes.size(), 11u);
  EXPECT_NEAR(e.charBoxes[0].left, 72, 0.01);
  EXPECT_GT(e.charBoxes[3].left, 72 + 3 * 2); // past three blanks of Helvetica
  for (size_t i = 1; i < e.charBoxes.size(); ++i)
    EXPECT_GE(e.charBoxes[i].left, e.charBoxes[i - 1].left);
}

// TeX draws "\_" in fonts without an underscore as a short rule on the baseline, stroked or
// filled, right after the letter before it. Underlines and table rules stay lines.
TEST_F(PageTextTest, AShortRuleAfterTheTextIsItsUnderscore) {
  // 12-point Courier: "glp" ends at 93.6.
  auto after = [](std::string rule, double x = 98.2) {
    test::TextSpec first = text("", 700, 12, "Courier");
    first.showOperation = "(glp) Tj ET " + rule + " BT";
    test::TextSpec second = text("create", 700, 12, "Courier");
    second.x = x;
    return std::vector<test::TextSpec>{first, second};
  };
  EXPECT_EQ(texts(runs(page(after("q 0.4 w 93.8 700.2 m 98 700.2 l S Q")))),
            (std::vector<std::string>{"glp_", "create"}));
  EXPECT_EQ(texts(runs(page(after("93.8 700 4.2 0.4 re f")))),
            (std::vector<std::string>{"glp_", "create"}));
  // an underline under the word, a table rule, a rule far off, a rule above the letters
  for (const char *line : {"q 0.4 w 72 698 m 93.6 698 l S Q", "q 0.4 w 93.8 700 m 300 700 l S Q",
                           "q 0.4 w 120 700.2 m 124 700.2 l S Q", "93.8 708 4.2 0.4 re f"})
    EXPECT_EQ(texts(runs(page(after(line, 130)))), (std::vector<std::string>{"glp", "create"}))
        << line;
}

} // namespace
} // namespace sorvane::host

namespace sorvane {
namespace {

// The boxes of upright glyphs are worked out without MuPDF's rectangle functions: they must be
// what those functions give, to the bit, or the same page would read differently by the way
// its text is set.
TEST(GlyphBoxes, AreWhatTheEnginesRectangleFunctionsGive) {
  EXPECT_EQ(host::glyphBoxMismatches(1, 200000), 0);
  EXPECT_EQ(host::glyphBoxMismatches(20261211, 200000), 0);
}

} // namespace
} // namespace sorvane
