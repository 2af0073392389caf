// Gathering a page's runs and building the TextRuns the rules test.
#include "plugin/rules/page_content.h"

#include <gtest/gtest.h>

#include "sdk/imported_tables.h"
#include "tests/support/open_doc.h"
#include "tests/support/pdf_builder.h"
#include "tests/support/temp_dir.h"

namespace sorvane {
namespace {

FixedRect box(double top, double bottom) {
  return {0, fixedFromDouble(top), fixedFromDouble(100), fixedFromDouble(bottom)};
}

TEST(CompareLines, RunsOnTheSameLineAndOnLinesAboveEachOther) {
  EXPECT_EQ(compareLines(box(700, 688), box(699, 689)), 0);
  EXPECT_EQ(compareLines(box(700, 688), box(680, 668)), -1);
  EXPECT_EQ(compareLines(box(680, 668), box(700, 688)), 1);
  // A superscript overlapping the line's top half stays on the line.
  EXPECT_EQ(compareLines(box(700, 688), box(705, 695)), 0);
}

TEST(CleanRunText, DropsOnlyWhatDoesNotShow) {
  EXPECT_EQ(cleanRunText(std::string("A\0B", 3)), "AB");
  EXPECT_EQ(cleanRunText("Tab\there\x01\x7F"), "Tab here");
  EXPECT_EQ(cleanRunText("\xE2\x80\x9C"
                         "fi\xC3\xA9"
                         "\xE2\x80\x9D"),
            "\xE2\x80\x9C"
            "fi\xC3\xA9"
            "\xE2\x80\x9D");
  EXPECT_EQ(cleanRunText("bad \xFF"), "bad \xEF\xBF\xBD");
}

class PageContentTest : public ::testing::Test {
protected:
  void open(std::vector<test::TextSpec> texts, std::optional<std::array<double, 4>> crop = {}) {
    test::PdfSpec spec = test::pages(1);
    spec.pages[0].texts = std::move(texts);
    spec.pages[0].cropBox = crop;
    test::writePdf(spec, dir.file("p.pdf"));
    doc = std::make_unique<test::OpenDoc>(host, dir.file("p.pdf"));
  }
  static test::TextSpec text(std::string t, double x, double y) {
    test::TextSpec s;
    s.text = std::move(t);
    s.x = x;
    s.y = y;
    return s;
  }
  test::TestHost host;
  test::TempDir dir;
  std::unique_ptr<test::OpenDoc> doc;
};

TEST_F(PageContentTest, FindsRunsInFormsAndContainersAndCountsTextElementsOnly) {
  test::TextSpec inForm = text("Form text", 72, 680);
  inForm.inForm = true;
  test::TextSpec marked = text("Marked text", 72, 660);
  marked.markedContent = "P";
  open({text("Plain", 72, 700), inForm, marked});
  {
    PageContent page(doc->handle(), 0);
    ASSERT_TRUE(page.gatherRuns(std::nullopt));
    ASSERT_EQ(page.runs().size(), 3u);
    std::vector<std::string> texts;
    for (const RunRef &ref : page.runs()) {
      TextRun run;
      ASSERT_TRUE(page.buildTextRun(ref, false, run));
      EXPECT_TRUE(run.valid);
      EXPECT_EQ(hostTables().core->atomGetString(run.fontName), "Helvetica");
      EXPECT_DOUBLE_EQ(run.fontSize, 12);
      texts.push_back(run.text);
    }
    EXPECT_EQ(texts, (std::vector<std::string>{"Plain", "Form text", "Marked text"}));
    EXPECT_EQ(page.runs()[0].ordinal, 0);
    EXPECT_EQ(page.runs()[1].ordinal, 1);
    EXPECT_EQ(page.runs()[2].ordinal, 2);
  }
  EXPECT_EQ(host.pdf().heldContents(), 0u); // released with the handle
}

TEST_F(PageContentTest, AnAreaLeavesOutRunsThatDoNotOverlapIt) {
  open({text("Inside", 100, 400), text("Outside", 100, 770)},
       std::array<double, 4>{0, 0, 612, 700});
  PageContent page(doc->handle(), 0);
  const HostRect crop = hostTables().pdModel->pageGetCropBox(page.page());
  const FixedRect area{fixedFromDouble(crop.left), fixedFromDouble(crop.top),
                       fixedFromDouble(crop.right), fixedFromDouble(crop.bottom)};
  ASSERT_TRUE(page.gatherRuns(area));
  ASSERT_EQ(page.runs().size(), 1u);
  TextRun run;
  page.buildTextRun(page.runs()[0], false, run);
  EXPECT_EQ(run.text, "Inside");
  page.gatherRuns(std::nullopt);
  EXPECT_EQ(page.runs().size(), 2u);
}

TEST_F(PageContentTest, TrimmingMovesTheLeftEdgeToTheFirstCharacterShown) {
  open({text("   Indented", 72, 700)});
  PageContent page(doc->handle(), 0);
  page.gatherRuns(std::nullopt);
  TextRun untrimmed, trimmed;
  ASSERT_TRUE(page.buildTextRun(page.runs()[0], false, untrimmed));
  ASSERT_TRUE(page.buildTextRun(page.runs()[0], true, trimmed));
  EXPECT_EQ(untrimmed.text, "   Indented");
  EXPECT_EQ(trimmed.text, "Indented");
  EXPECT_NEAR(fixedToDouble(untrimmed.box.left), 72, 0.01);
  EXPECT_GT(fixedToDouble(trimmed.box.left), 72 + 6); // three Helvetica blanks are 10 pt
  EXPECT_EQ(trimmed.box.right, untrimmed.box.right);
  EXPECT_EQ(trimmed.box.top, untrimmed.box.top);
}

TEST_F(PageContentTest, ARunOfBlanksOnlyTrimsToItsLastCharacter) {
  test::TextSpec blanks = text("", 72, 700);
  blanks.showOperation = "(   ) Tj";
  open({blanks});
  PageContent page(doc->handle(), 0);
  page.gatherRuns(std::nullopt);
  ASSERT_EQ(page.runs().size(), 1u);
  TextRun run;
  ASSERT_TRUE(page.buildTextRun(page.runs()[0], true, run));
  EXPECT_EQ(run.text, "");
  EXPECT_GT(fixedToDouble(run.box.left), 72 + 4); // the third blank's left edge
}

} // namespace
} // namespace sorvane
