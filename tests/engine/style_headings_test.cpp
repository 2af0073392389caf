// Headings told by their text styles in documents without an outline or usable contents: what
// becomes a depth, and what body text, code, running heads and labels stay out.
#include "plugin/engine/style_headings.h"

#include <gtest/gtest.h>

#include "plugin/engine/kept_text.h"
#include "tests/support/fixture_helpers.h"
#include "tests/support/open_doc.h"
#include "tests/support/pdf_builder.h"
#include "tests/support/temp_dir.h"

namespace sorvane {
namespace {

using test::textAt;
using Titles = std::vector<std::string>;

class StyleHeadings : public ::testing::Test {
protected:
  StyleOutline read(const test::PdfSpec &spec) {
    const std::string path = dir.file("doc" + std::to_string(++m_count) + ".pdf");
    test::writePdf(spec, path);
    test::OpenDoc doc(host, path);
    return readStyleHeadings(KeptText::read(doc.handle()));
  }

  static Titles titlesAt(const StyleOutline &s, int32_t depth) {
    Titles out;
    for (const OutlineMark &m : s.marks)
      if (m.depth == depth)
        out.push_back(m.title);
    return out;
  }

  // Body lines of a page from `top` down, in Times 10.
  static void body(std::vector<test::TextSpec> &t, double top, int lines) {
    for (int i = 0; i < lines; ++i)
      t.push_back(textAt("Body text of the manual, line " + std::to_string(i) + " goes on.", 72,
                         top - 12 * i, 10, "Times-Roman"));
  }

  test::TestHost host;
  test::TempDir dir;
  int m_count = 0;
};

// A book without an outline: numbered chapters (18 pt) and sections (14 pt) in bold, a running
// head on every page, a contents page, a code block in a larger mono face, a bold 14-point
// label that repeats.
TEST_F(StyleHeadings, NumberedStylesBecomeDepthsAndTheRestStaysOut) {
  test::PdfSpec spec = test::pages(9);
  auto &c = spec.pages[0].texts;
  c.push_back(textAt("Contents", 72, 740, 18, "Helvetica-Bold"));
  for (int ch = 1; ch <= 4; ++ch) {
    c.push_back(textAt(std::to_string(ch) + " Chapter title " + std::to_string(ch), 72,
                       700 - 20 * ch, 10, "Times-Roman"));
    c.push_back(textAt(std::to_string(2 * ch), 400, 700 - 20 * ch, 10, "Times-Roman"));
  }
  for (int page = 1; page <= 8; ++page) {
    auto &t = spec.pages[size_t(page)].texts;
    const int chapter = (page + 1) / 2;
    t.push_back(textAt("The Book, chapter " + std::to_string(chapter), 72, 770, 12, "Times-Roman"));
    if (page % 2 == 1)
      t.push_back(
          textAt(std::to_string(chapter) + " Chapter " + std::string(1, char('A' + chapter)), 72,
                 720, 18, "Helvetica-Bold"));
    body(t, 690, 6);
    t.push_back(textAt(std::to_string(chapter) + "." + std::to_string(2 - page % 2) + " Section " +
                           std::string(1, char('a' + page)) + " here",
                       72, 600, 14, "Helvetica-Bold"));
    body(t, 580, 2);
    for (int code = 0; code < 3; ++code)
      t.push_back(
          textAt("call(" + std::to_string(code) + ");", 90, 540 - 12 * code, 11, "Courier"));
    t.push_back(textAt("Example", 72, 480, 14, "Helvetica-Bold"));
    body(t, 460, 2);
    t.push_back(textAt("Page " + std::to_string(page), 300, 40, 9, "Times-Roman"));
  }
  const StyleOutline s = read(spec);
  EXPECT_EQ(s.bodyFont, "Times-Roman");
  ASSERT_EQ(s.styles.size(), 2u);
  EXPECT_DOUBLE_EQ(s.styles[0].size, 18);
  EXPECT_EQ(titlesAt(s, 1), (Titles{"1 Chapter B", "2 Chapter C", "3 Chapter D", "4 Chapter E"}));
  // below the chapters the nesting shows the numbers
  EXPECT_EQ(titlesAt(s, 2).size(), 8u);
  EXPECT_EQ(titlesAt(s, 2).front(), "Section b here");
  EXPECT_GE(s.runningHeads, 8);
  // at most one level asked for
  test::writePdf(spec, dir.file("one.pdf"));
  test::OpenDoc doc(host, dir.file("one.pdf"));
  EXPECT_EQ(readStyleHeadings(KeptText::read(doc.handle()), 1).styles.size(), 1u);
}

// Body text only, and bold words at the body's size inside paragraphs (definition terms with
// their description on the row): no heading style.
TEST_F(StyleHeadings, BodyTextAndBoldTermsAreNoHeadings) {
  test::PdfSpec spec = test::pages(3);
  for (int p = 0; p < 3; ++p) {
    auto &t = spec.pages[size_t(p)].texts;
    body(t, 740, 20);
    for (int i = 0; i < 3; ++i) {
      // a term row right under the paragraph above, no space before it
      t.push_back(textAt("term" + std::to_string(10 * p + i) + " word", 72, 488 - 24 * i, 10,
                         "Times-Bold"));
      t.push_back(textAt("Body text describing the term at length, row " + std::to_string(i), 72,
                         476 - 24 * i, 10, "Times-Roman"));
    }
  }
  EXPECT_TRUE(read(spec).styles.empty());
  EXPECT_TRUE(read(test::pages(2)).marks.empty());

  // captions set apart and larger than the body are no headings either
  for (int p = 0; p < 3; ++p)
    for (int k = 0; k < 2; ++k)
      spec.pages[size_t(p)].texts.push_back(
          textAt("Figure " + std::to_string(p + 1) + "-" + std::to_string(k + 1) + ": A drawing",
                 200, 300 - 100 * k, 12, "Helvetica-Oblique"));
  EXPECT_TRUE(read(spec).styles.empty());
}

// Unnumbered chapters (20 pt) over numbered sections (14 pt): the chapters are the depth above
// the sections, not left out; a section that starts a page is no running head.
TEST_F(StyleHeadings, AnUnnumberedLargerStyleOverNumberedHeadingsIsTheLevelAbove) {
  test::PdfSpec spec = test::pages(6);
  const char *chapters[] = {"Introduction", "Installation", "Usage"};
  for (int ch = 0; ch < 3; ++ch) {
    auto &first = spec.pages[size_t(2 * ch)].texts;
    first.push_back(textAt(chapters[ch], 72, 720, 20, "Helvetica-Bold"));
    body(first, 690, 5);
    first.push_back(textAt(std::to_string(ch + 1) + ".1 Overview of " + chapters[ch], 72, 600, 14,
                           "Helvetica-Bold"));
    body(first, 580, 5);
    auto &second = spec.pages[size_t(2 * ch + 1)].texts;
    // the page starts with a section
    second.push_back(textAt(std::to_string(ch + 1) + ".2 Details of " + chapters[ch], 72, 760, 14,
                            "Helvetica-Bold"));
    body(second, 740, 10);
  }
  const StyleOutline s = read(spec);
  ASSERT_EQ(s.styles.size(), 2u);
  EXPECT_EQ(titlesAt(s, 1), (Titles{"Introduction", "Installation", "Usage"}));
  EXPECT_EQ(titlesAt(s, 2).size(), 6u);
}

// Label rows over a larger title ("Chapter 2" over "Introduction"): the labels are no depth of
// their own; a title on two rows is one heading; titles set flush right are lined up too.
TEST_F(StyleHeadings, LabelRowsTwoRowTitlesAndRightAlignedTitles) {
  test::PdfSpec spec = test::pages(4);
  const char *names[] = {"Introduction", "Installing the programs", "Configuration", "Reference"};
  for (int ch = 0; ch < 4; ++ch) {
    auto &t = spec.pages[size_t(ch)].texts;
    t.push_back(textAt("Chapter " + std::to_string(ch + 1), 450, 740, 14, "Helvetica"));
    // flush right at 540: the left edges differ
    // Courier's letters are 0.6 of the size wide: flush right at 540
    const std::string name = names[ch];
    t.push_back(textAt(name, 540 - 12.0 * double(name.size()), 710, 20, "Courier-Bold"));
    if (ch == 1)
      t.push_back(textAt("on a fresh system", 540 - 12.0 * 17, 688, 20, "Courier-Bold"));
    body(t, 650, 12);
  }
  const StyleOutline s = read(spec);
  EXPECT_EQ(s.labelRows, 4);
  ASSERT_EQ(s.styles.size(), 1u);
  EXPECT_EQ(titlesAt(s, 1), (Titles{"Introduction", "Installing the programs on a fresh system",
                                    "Configuration", "Reference"}));
}

// A style's numbered rows are judged on their own: sections numbered "1.1" in a bold face whose
// unnumbered rows are scattered labels do not sink with them.
TEST_F(StyleHeadings, ANumberedSubsetOfAStyleStandsOnItsOwn) {
  test::PdfSpec spec = test::pages(4);
  for (int p = 0; p < 4; ++p) {
    auto &t = spec.pages[size_t(p)].texts;
    const char *names[] = {"Scope", "Terms used", "Limits of the method", "Further reading"};
    t.push_back(
        textAt("1." + std::to_string(p + 1) + " " + names[p], 72, 720, 12, "Helvetica-Bold"));
    body(t, 700, 4);
    // figure labels in the same face, many to a page, all over it
    for (int k = 0; k < 6; ++k)
      t.push_back(textAt("Figure label", 100 + 60.0 * k, 600 - 30 * k, 12, "Helvetica-Bold"));
    body(t, 380, 4);
  }
  const StyleOutline s = read(spec);
  ASSERT_EQ(s.styles.size(), 1u);
  EXPECT_EQ(s.styles[0].numbering, "[0-9]+\\.[0-9]+");
  EXPECT_EQ(titlesAt(s, 1).size(), 4u);
}

// Sections directly followed by their first subsection (another heading, not body text) are
// still headings; numbered headings set smaller than the body, in bold, are considered too.
TEST_F(StyleHeadings, HeadingsFollowedByHeadingsAndSmallNumberedHeadings) {
  test::PdfSpec spec = test::pages(4);
  for (int p = 0; p < 4; ++p) {
    auto &t = spec.pages[size_t(p)].texts;
    const std::string n = std::to_string(p + 1);
    const char *names[] = {"Getting started", "Writing files", "Reading files", "Errors"};
    t.push_back(textAt(n + " " + names[p], 72, 740, 16, "Helvetica-Bold"));
    t.push_back(textAt(n + ".1 First steps with " + names[p], 72, 715, 9, "Helvetica-Bold"));
    body(t, 700, 10);
    t.push_back(textAt(n + ".2 More about " + names[p], 72, 560, 9, "Helvetica-Bold"));
    body(t, 545, 10);
  }
  const StyleOutline s = read(spec);
  ASSERT_EQ(s.styles.size(), 2u);
  EXPECT_EQ(titlesAt(s, 1).size(), 4u);
  EXPECT_EQ(titlesAt(s, 2).size(), 8u);
  EXPECT_EQ(titlesAt(s, 2).front(), "First steps with Getting started");
}

// Running heads that name the page's section: their text changes with every page, but they
// stand at one height at the top of each page, in a style no larger than the body.
TEST_F(StyleHeadings, RunningHeadsThatNameTheirSectionStayOut) {
  test::PdfSpec spec = test::pages(6);
  const char *sections[] = {"Getting set up",   "Fixing a bug", "Packaging",
                            "Security updates", "Patches",      "Merges"};
  const char *topics[] = {"Create your key", "Configure your shell", "Upload the key",
                          "Test the fix",    "Send the patch",       "Ask for review"};
  for (int p = 0; p < 6; ++p) {
    auto &t = spec.pages[size_t(p)].texts;
    const std::string n = "1." + std::to_string(p + 1);
    t.push_back(textAt(n + ". " + sections[p] + " The Guide", 72, 770, 10, "Helvetica-Bold"));
    t.push_back(textAt(n + " " + sections[p], 72, 720, 14, "Helvetica-Bold"));
    body(t, 700, 8);
    t.push_back(textAt(topics[p], 72, 590, 10, "Helvetica-Bold"));
    body(t, 575, 8);
  }
  const StyleOutline s = read(spec);
  EXPECT_GE(s.runningHeads, 6);
  EXPECT_EQ(titlesAt(s, 1).size(), 6u);
  EXPECT_EQ(titlesAt(s, 2), Titles(topics, topics + 6));
}

} // namespace
} // namespace sorvane
