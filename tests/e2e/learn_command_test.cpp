// `sorvane learn` on fixture volumes: rules learned from the first volume's outline make the
// second volume's.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <nlohmann/json.hpp>

#include "tests/support/fixture_helpers.h"
#include "tests/support/pdf_builder.h"
#include "tests/support/pdf_inspect.h"
#include "tests/support/run_program.h"
#include "tests/support/temp_dir.h"

namespace sorvane {
namespace {

// A volume: per chapter a page with the chapter heading (numbered, 18 pt), two numbered
// sections (14 pt), body text and an unnumbered 14-point "Example" line; a running head on
// each page repeats the chapter title. With `withOutline`, bookmarks without the numbers.
test::PdfSpec volume(const std::vector<std::string> &chapters, bool withOutline) {
  test::PdfSpec spec = test::pages(int(chapters.size()));
  for (size_t c = 0; c < chapters.size(); ++c) {
    const std::string n = std::to_string(c + 1);
    auto &texts = spec.pages[c].texts;
    texts = {test::textAt(chapters[c], 72, 770, 8, "Times-Italic"),
             test::textAt(n + " " + chapters[c], 72, 700, 18, "Helvetica-Bold"),
             test::textAt("Body text of the chapter.", 72, 680, 10, "Times-Roman"),
             test::textAt(n + ".1 First part", 72, 640, 14, "Helvetica-Bold"),
             test::textAt("Example", 72, 600, 14, "Helvetica-Bold"),
             test::textAt("More body text.", 72, 580, 10, "Times-Roman"),
             test::textAt(n + ".2 Second part", 72, 540, 14, "Helvetica-Bold")};
    if (withOutline) {
      test::OutlineSpec chapter{chapters[c], {}, test::ActionSpec::goTo(int(c)), false, {}, 0, {}};
      chapter.children = {{"First part", {}, test::ActionSpec::goTo(int(c)), false, {}, 0, {}},
                          {"Second part", {}, test::ActionSpec::goTo(int(c)), false, {}, 0, {}}};
      spec.outline.push_back(chapter);
    }
  }
  return spec;
}

TEST(LearnCommand, RulesFromTheFirstVolumeMakeTheSecondVolumesOutline) {
  test::TempDir dir;
  test::writePdf(volume({"Getting started", "Going further", "Reference"}, true),
                 dir.file("volume1.pdf"));
  test::writePdf(volume({"Installation", "Configuration"}, false), dir.file("volume2.pdf"));

  const auto learned =
      test::runSorvane({"learn", dir.file("volume1.pdf"), "-o", dir.file("series.svb")});
  ASSERT_EQ(learned.exitCode, 0) << learned.out << learned.err;
  EXPECT_NE(learned.out.find("Learned 2 levels from the 9 bookmarks"), std::string::npos)
      << learned.out;
  EXPECT_NE(learned.out.find("Level 1 (depth 1): Helvetica-Bold 18.00 pt"), std::string::npos)
      << learned.out;
  EXPECT_NE(learned.out.find("3 of 3 bookmarks of this depth found on their pages; makes 3"),
            std::string::npos)
      << learned.out;
  EXPECT_NE(learned.out.find("reproduces 9 of 9 bookmarks (100 %) and makes 0 others"),
            std::string::npos)
      << learned.out;
  const auto check = test::runSorvane({"settings", "check", dir.file("series.svb")});
  EXPECT_EQ(check.exitCode, 0) << check.out << check.err;

  const auto generated = test::runSorvane({"generate", dir.file("volume2.pdf"), "-s",
                                           dir.file("series.svb"), "-o", dir.file("out.pdf")});
  ASSERT_EQ(generated.exitCode, 0) << generated.err;
  const auto outline = test::inspectPdf(dir.file("out.pdf")).outline;
  ASSERT_EQ(outline.size(), 2u);
  EXPECT_EQ(outline[0].title, "Installation");
  EXPECT_EQ(outline[1].title, "Configuration");
  ASSERT_EQ(outline[1].children.size(), 2u);
  EXPECT_EQ(outline[1].children[0].title, "First part");
  EXPECT_EQ(outline[1].children[1].page, 1);

  // The report as JSON.
  const auto json = test::runSorvane(
      {"learn", dir.file("volume1.pdf"), "-o", dir.file("series.svb"), "--force", "--json"});
  ASSERT_EQ(json.exitCode, 0) << json.err;
  const auto report = nlohmann::json::parse(json.out);
  EXPECT_EQ(report["reproduced"], 9);
  EXPECT_EQ(report["made"], 9);
  EXPECT_EQ(report["levels"][1]["depth"], 2);
  EXPECT_NE(report["levels"][1]["takes"].get<std::string>().find("Helvetica-Bold 14.00 pt"),
            std::string::npos)
      << report.dump();
}

TEST(LearnCommand, RefusesWhatItCannotDoAndSaysSo) {
  test::TempDir dir;
  test::writePdf(volume({"Alone"}, false), dir.file("bare.pdf"));
  const auto bare = test::runSorvane({"learn", dir.file("bare.pdf"), "-o", dir.file("r.svb")});
  EXPECT_EQ(bare.exitCode, 1);
  EXPECT_NE(bare.err.find("has no bookmarks to learn from"), std::string::npos) << bare.err;

  // Bookmarks whose titles are on no page.
  test::PdfSpec odd = volume({"Alone"}, false);
  odd.outline = {{"Not in the text", {}, test::ActionSpec::goTo(0), false, {}, 0, {}}};
  test::writePdf(odd, dir.file("odd.pdf"));
  const auto nothing = test::runSorvane({"learn", dir.file("odd.pdf"), "-o", dir.file("r.svb")});
  EXPECT_EQ(nothing.exitCode, 1);
  EXPECT_NE(nothing.err.find("nothing was learned or written"), std::string::npos) << nothing.err;
  EXPECT_FALSE(std::filesystem::exists(dir.file("r.svb")));

  // Headings set like the body: the best rules would make far more bookmarks than the outline
  // has, so none are written.
  test::PdfSpec flat = test::pages(4);
  for (int p = 0; p < 4; ++p) {
    for (int i = 0; i < 40; ++i)
      flat.pages[size_t(p)].texts.push_back(
          test::textAt("Line " + std::to_string(i) + " of page " + std::to_string(p + 1), 72,
                       720 - 14 * i, 10, "Times-Roman"));
    flat.outline.push_back({"Line 3 of page " + std::to_string(p + 1),
                            {},
                            test::ActionSpec::goTo(p),
                            false,
                            {},
                            0,
                            {}});
  }
  test::writePdf(flat, dir.file("flat.pdf"));
  const auto runaway = test::runSorvane({"learn", dir.file("flat.pdf"), "-o", dir.file("r.svb")});
  EXPECT_EQ(runaway.exitCode, 1) << runaway.out << runaway.err;
  EXPECT_NE(runaway.err.find("more than twice the 4 of the outline"), std::string::npos)
      << runaway.err;
  EXPECT_FALSE(std::filesystem::exists(dir.file("r.svb")));

  test::writeFile(dir.file("keep.svb"), "mine");
  test::writePdf(volume({"One"}, true), dir.file("one.pdf"));
  const auto kept = test::runSorvane({"learn", dir.file("one.pdf"), "-o", dir.file("keep.svb")});
  EXPECT_EQ(kept.exitCode, 2);
  EXPECT_EQ(test::readFile(dir.file("keep.svb")), "mine");
  const auto missing = test::runSorvane({"learn", dir.file("one.pdf")});
  EXPECT_EQ(missing.exitCode, 2);
  // Rules that cannot be written are an output failure (suggest's likewise, below).
  const auto unwritable =
      test::runSorvane({"learn", dir.file("one.pdf"), "-o", dir.file("no/such/folder/r.svb")});
  EXPECT_EQ(unwritable.exitCode, 4) << unwritable.err;
}

TEST(SuggestCommand, ProposesTheHeadingStylesAndGenerateAutoUsesThem) {
  test::TempDir dir;
  test::writePdf(volume({"Installation", "Configuration", "Reference"}, false),
                 dir.file("book.pdf"));
  const auto r = test::runSorvane({"suggest", dir.file("book.pdf"), "-o", dir.file("book.svb")});
  ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
  EXPECT_NE(r.out.find("Suggested 2 levels"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("from its text styles (body text Times-Roman 10.00 pt)"), std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("Level 1: Helvetica-Bold 18.00 pt +/- 0.30; text matching ^[0-9]+(\\s|$)"),
            std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("    1 Installation"), std::string::npos) << r.out;
  EXPECT_NE(r.err.find(": no printed table of contents was found; the rules come from the text "
                       "styles."),
            std::string::npos)
      << r.err;
  EXPECT_NE(r.out.find(": a guess from the styles; no table of contents confirms it)"),
            std::string::npos)
      << r.out;
  const auto check = test::runSorvane({"settings", "check", dir.file("book.svb")});
  EXPECT_EQ(check.exitCode, 0) << check.out << check.err;

  const auto json = test::runSorvane(
      {"suggest", dir.file("book.pdf"), "-o", dir.file("book.svb"), "--force", "--json"});
  ASSERT_EQ(json.exitCode, 0) << json.err;
  const nlohmann::json shown = nlohmann::json::parse(json.out);
  EXPECT_EQ(shown["levels"].size(), 2u);
  EXPECT_EQ(shown["source"], "styles");
  EXPECT_GT(shown["confidence"].get<double>(), 0.5);
  EXPECT_EQ(
      test::runSorvane({"suggest", dir.file("book.pdf"), "-o", dir.file("book.svb")}).exitCode,
      2); // exists, no --force
  EXPECT_EQ(
      test::runSorvane({"suggest", dir.file("book.pdf"), "-o", dir.file("no/such/r.svb")}).exitCode,
      4);
  EXPECT_EQ(
      test::runSorvane({"suggest", dir.file("book.pdf"), "-o", dir.file("x.svb"), "--levels", "0"})
          .exitCode,
      2);

  // The rules of a --auto run stay in memory: nothing goes into the temporary folder (which
  // here cannot take a file), so nothing can be left there by a run that is killed.
  const char *tmp = std::getenv("TMPDIR");
  const std::string savedTmp = tmp ? tmp : "";
  ::setenv("TMPDIR", dir.file("no/such/folder").c_str(), 1);
  const auto autoRun =
      test::runSorvane({"generate", dir.file("book.pdf"), "--auto", "-o", dir.file("out.pdf")});
  if (tmp)
    ::setenv("TMPDIR", savedTmp.c_str(), 1);
  else
    ::unsetenv("TMPDIR");
  ASSERT_EQ(autoRun.exitCode, 0) << autoRun.err;
  EXPECT_NE(autoRun.err.find("Suggested 2 levels"), std::string::npos) << autoRun.err;
  const auto outline = test::inspectPdf(dir.file("out.pdf")).outline;
  ASSERT_EQ(outline.size(), 3u);
  EXPECT_EQ(outline[0].title, "1 Installation"); // chapters keep their numbers
  ASSERT_EQ(outline[2].children.size(), 2u);
  EXPECT_EQ(outline[2].children[1].title, "Second part"); // sections go without
  EXPECT_EQ(test::runSorvane({"generate", dir.file("book.pdf"), "--auto", "-s",
                              dir.file("book.svb"), "-o", dir.file("o.pdf")})
                .exitCode,
            2);
}

TEST(SuggestCommand, PlainTextSuggestsNothingAndWritesNothing) {
  test::TempDir dir;
  test::PdfSpec spec = test::pages(3);
  for (auto &page : spec.pages)
    page.texts = {test::textAt("Only body text here.", 72, 700, 10, "Times-Roman"),
                  test::textAt("And more of it.", 72, 688, 10, "Times-Roman")};
  test::writePdf(spec, dir.file("plain.pdf"));
  const auto r = test::runSorvane({"suggest", dir.file("plain.pdf"), "-o", dir.file("p.svb")});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("no text style stands out"), std::string::npos) << r.err;
  EXPECT_FALSE(std::filesystem::exists(dir.file("p.svb")));
  const auto autoRun =
      test::runSorvane({"generate", dir.file("plain.pdf"), "--auto", "-o", dir.file("o.pdf")});
  EXPECT_EQ(autoRun.exitCode, 1);
  EXPECT_FALSE(std::filesystem::exists(dir.file("o.pdf")));
}

} // namespace
} // namespace sorvane

namespace sorvane {
namespace {

// A book with a printed table of contents (chapters and indented sections, numbers apart at the
// right) and the headings on the pages it gives.
test::PdfSpec bookWithContents() {
  test::PdfSpec spec = test::pages(5);
  auto &c = spec.pages[0].texts;
  c.push_back(test::textAt("Contents", 72, 740, 18, "Helvetica-Bold"));
  const std::vector<std::pair<std::string, double>> rows = {
      {"1 Installation", 72},  {"1.1 Requirements", 90}, {"1.2 Building", 90},
      {"2 Configuration", 72}, {"2.1 Files", 90},        {"2.2 Options", 90}};
  const int printed[] = {1, 1, 2, 3, 3, 4};
  for (size_t i = 0; i < rows.size(); ++i) {
    c.push_back(
        test::textAt(rows[i].first, rows[i].second, 700 - 14 * double(i), 11, "Times-Roman"));
    c.push_back(
        test::textAt(std::to_string(printed[i]), 500, 700 - 14 * double(i), 11, "Times-Roman"));
  }
  for (size_t i = 0; i < rows.size(); ++i) {
    const bool chapter = rows[i].second < 80;
    auto &t = spec.pages[size_t(printed[i])].texts;
    t.push_back(
        test::textAt(rows[i].first, 72, chapter ? 720 : 600, chapter ? 18 : 14, "Helvetica-Bold"));
    t.push_back(test::textAt("Some body text.", 72, chapter ? 700 : 580, 10, "Times-Roman"));
  }
  return spec;
}

TEST(SuggestCommand, LearnsFromAPrintedTableOfContents) {
  test::TempDir dir;
  test::writePdf(bookWithContents(), dir.file("book.pdf"));
  const auto r = test::runSorvane({"suggest", dir.file("book.pdf"), "-o", dir.file("book.svb")});
  ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
  EXPECT_NE(r.out.find("learned from its printed table of contents (from page 1: 6 entries, 6 "
                       "found on the pages their numbers give)"),
            std::string::npos)
      << r.out;
  const auto json = test::runSorvane(
      {"suggest", dir.file("book.pdf"), "-o", dir.file("book.svb"), "--force", "--json"});
  ASSERT_EQ(json.exitCode, 0) << json.err;
  EXPECT_EQ(nlohmann::json::parse(json.out)["source"], "contents");
  const auto generated =
      test::runSorvane({"generate", dir.file("book.pdf"), "--auto", "--save-rules",
                        dir.file("kept.svb"), "-o", dir.file("out.pdf")});
  ASSERT_EQ(generated.exitCode, 0) << generated.err;
  EXPECT_EQ(test::runSorvane({"settings", "check", dir.file("kept.svb")}).exitCode, 0);
  // the kept rules are a new file: an existing one is left alone
  const auto again = test::runSorvane({"generate", dir.file("book.pdf"), "--auto", "--save-rules",
                                       dir.file("kept.svb"), "--dry-run"});
  EXPECT_EQ(again.exitCode, 2) << again.err;
  const auto outline = test::inspectPdf(dir.file("out.pdf")).outline;
  ASSERT_EQ(outline.size(), 2u);
  EXPECT_EQ(outline[1].title, "2 Configuration");
  EXPECT_EQ(outline[1].children.size(), 2u);
}

// Contents that list only the chapters: the numbered sections come from the pages, and the
// unnumbered headings below them from their text style.
TEST(SuggestCommand, ChapterOnlyContentsGetTheHeadingsBelowTheirSections) {
  test::TempDir dir;
  test::PdfSpec spec = test::pages(4);
  auto &c = spec.pages[0].texts;
  c.push_back(test::textAt("Contents", 72, 740, 18, "Helvetica-Bold"));
  const char *chapters[] = {"Installation", "Configuration", "Operation"};
  for (int i = 0; i < 3; ++i) {
    c.push_back(test::textAt(std::to_string(i + 1) + " " + chapters[i], 72, 700 - 14 * i, 11,
                             "Times-Roman"));
    c.push_back(test::textAt(std::to_string(i + 1), 500, 700 - 14 * i, 11, "Times-Roman"));
    auto &t = spec.pages[size_t(i + 1)].texts;
    t.push_back(
        test::textAt(std::to_string(i + 1) + " " + chapters[i], 72, 740, 18, "Helvetica-Bold"));
    for (int s = 1; s <= 2; ++s) {
      const double top = 700 - 300 * (s - 1);
      t.push_back(test::textAt(std::to_string(i + 1) + "." + std::to_string(s) + " Section " +
                                   std::to_string(s) + " of " + chapters[i],
                               72, top, 14, "Helvetica-Bold"));
      for (int k = 0; k < 1; ++k) {
        t.push_back(test::textAt("Step " + std::to_string(k + 1) + " of section " +
                                     std::to_string(i + 1) + "." + std::to_string(s),
                                 72, top - 30 - 130 * k, 11, "Helvetica-Bold"));
        for (int row = 0; row < 6; ++row)
          t.push_back(test::textAt("Body text of the step, a row of its paragraph.", 72,
                                   top - 48 - 130 * k - 14 * row, 10, "Times-Roman"));
      }
    }
  }
  test::writePdf(spec, dir.file("book.pdf"));
  const auto r =
      test::runSorvane({"generate", dir.file("book.pdf"), "--auto", "-o", dir.file("out.pdf")});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.err.find("The contents list only chapters: the numbered sections of their pages "
                       "were added, and 6 headings below them told by their text styles"),
            std::string::npos)
      << r.err;
  const auto outline = test::inspectPdf(dir.file("out.pdf")).outline;
  ASSERT_EQ(outline.size(), 3u);
  ASSERT_EQ(outline[0].children.size(), 2u);
  ASSERT_EQ(outline[0].children[1].children.size(), 1u);
  EXPECT_EQ(outline[0].children[1].children[0].title, "Step 1 of section 1.2");
}

} // namespace
} // namespace sorvane
