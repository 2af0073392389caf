// PDF files built to break a reader: every one gives a clear result, never a crash.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "sdk/text_codec.h"
#include "tests/support/fixture_helpers.h"
#include "tests/support/pdf_builder.h"
#include "tests/support/raw_pdf.h"
#include "tests/support/run_program.h"
#include "tests/support/temp_dir.h"

namespace sorvane {
namespace {

class HostileInput : public ::testing::Test {
protected:
  // Generates the bookmarks of `pdf` with one level: Helvetica-Bold at `size` points.
  test::ProgramResult generate(const std::string &pdf, const std::string &size) {
    test::writeFile(dir.file("s.svb"), R"({"format": "sorvane-cabinet", "version": 1,
      "cabinet": {"BuildSettings": {"NumLevels": 1, "Level0": {"TextStyle": {"FontDesc": {
        "FontSize": )" + size + R"(, "Fonts": {"NumItems": 1, "0": "Helvetica-Bold"}}}}}}})");
    return test::runSorvane(
        {"generate", dir.file(pdf), "-s", dir.file("s.svb"), "-o", dir.file("out.pdf")});
  }
  test::TempDir dir;
};

TEST_F(HostileInput, TitlesAndFontNamesThatAreNoTextBecomeValidUtf8) {
  test::PdfSpec spec = test::pages(1);
  const std::string titles[] = {
      std::string("\xFE\xFF\xD8\x00", 4),                 // a lone high surrogate, big-endian
      std::string("\xFF\xFE\x00\xDC", 4),                 // a lone low surrogate, little-endian
      std::string("\xEF\xBB\xBF\xFF\xFE", 5),             // UTF-8 byte-order mark, then junk
      std::string("\xFE\xFF\x00\x41\xD8\x3D\x00\x42", 8), // "A", a cut pair, "B"
  };
  for (const std::string &raw : titles) {
    test::OutlineSpec item;
    item.rawTitle = raw;
    spec.outline.push_back(item);
  }
  spec.pages[0].texts = {test::textAt("Odd font", 72, 700, 12,
                                      "Helv\xFF\xFE"
                                      "etica")};
  test::writePdf(spec, dir.file("odd.pdf"));

  const auto list = test::runSorvane({"list", dir.file("odd.pdf"), "--json"});
  ASSERT_EQ(list.exitCode, 0) << list.err;
  EXPECT_TRUE(isValidUtf8(list.out));
  const auto outline = nlohmann::json::parse(list.out);
  ASSERT_EQ(outline.size(), 4u) << list.out;
  EXPECT_NE(outline[3]["title"].get<std::string>().find("A\xEF\xBF\xBD"), std::string::npos);
  const auto tree = test::runSorvane({"list", dir.file("odd.pdf")});
  EXPECT_EQ(tree.exitCode, 0) << tree.err;
  EXPECT_TRUE(isValidUtf8(tree.out));

  const auto inspect = test::runSorvane({"inspect", dir.file("odd.pdf"), "--json"});
  ASSERT_EQ(inspect.exitCode, 0) << inspect.err;
  EXPECT_TRUE(isValidUtf8(inspect.out));
  EXPECT_NE(inspect.out.find("Helv\xEF\xBF\xBD\xEF\xBF\xBD"
                             "etica"),
            std::string::npos)
      << inspect.out;
}

TEST_F(HostileInput, MarkedContentNestedAHundredThousandDeepIsReadWithAWarning) {
  std::string open, close;
  for (int i = 0; i < 100000; ++i) {
    open += "/T BMC ";
    close += "EMC ";
  }
  test::PdfSpec spec = test::pages(1);
  test::TextSpec deep = test::textAt("Deep heading", 72, 700, 14, "Helvetica-Bold");
  deep.showOperation = open + "(Deep heading) Tj " + close;
  spec.pages[0].texts = {deep};
  test::writePdf(spec, dir.file("deep.pdf"));

  const auto r = test::runSorvane({"inspect", dir.file("deep.pdf")});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("Deep heading"), std::string::npos) << r.out;
  EXPECT_NE(r.err.find("deeper than 256 levels"), std::string::npos) << r.err;

  // Generation reads the same page.
  const auto g = generate("deep.pdf", "14.0");
  EXPECT_EQ(g.exitCode, 0) << g.err;
  EXPECT_NE(g.out.find("Bookmarks added: 1"), std::string::npos) << g.err;
}

TEST_F(HostileInput, APageTreeClaimingTwoBillionPagesIsReadAsTheOneItHolds) {
  test::writeFile(dir.file("lie.pdf"), test::pageTreePdf("2147483647", 1));
  const auto g = generate("lie.pdf", "18.0");
  EXPECT_EQ(g.exitCode, 0) << g.err;
  EXPECT_NE(g.err.find("claims 2147483647 pages but holds 1"), std::string::npos) << g.err;
  EXPECT_NE(g.out.find("Bookmarks added: 1"), std::string::npos) << g.err;
  const auto list = test::runSorvane({"list", dir.file("out.pdf")});
  EXPECT_EQ(list.exitCode, 0) << list.err;
}

// A document whose one bookmark names `name`; the name tree, shaped as `shape` says, holds
// "here" (page 2) and "zebra" (page 3).
test::PdfSpec namedDestDocument(const std::string &name, test::NameTreeShape shape) {
  test::PdfSpec fixture = test::pages(3);
  fixture.outline = {{"Named", {}, test::ActionSpec::namedDest(name), false, {}, 0, {}}};
  fixture.namedDests = {{"here", 1, true, false}, {"zebra", 2, true, false}};
  fixture.nameTree = shape;
  return fixture;
}

constexpr unsigned kPrompt = 20; // seconds; a run takes well under one

TEST_F(HostileInput, ANameTreeThirtyLevelsDeepIsSearchedPromptlyForAMissingName) {
  // Every node's range holds the name, yet no leaf does.
  test::writePdf(namedDestDocument("missing", {0, 30, false}), dir.file("deep.pdf"));
  const auto list = test::runSorvane({"list", dir.file("deep.pdf"), "--json"}, kPrompt);
  ASSERT_FALSE(list.timedOut);
  ASSERT_EQ(list.exitCode, 0) << list.err;
  const auto outline = nlohmann::json::parse(list.out);
  ASSERT_EQ(outline.size(), 1u) << list.out;
  EXPECT_TRUE(outline[0]["page"].is_null()) << list.out;

  const auto validate = test::runSorvane({"validate", dir.file("deep.pdf")}, kPrompt);
  ASSERT_FALSE(validate.timedOut);
  EXPECT_EQ(validate.exitCode, 1) << validate.err;
  EXPECT_NE(validate.out.find("Destination page is invalid."), std::string::npos) << validate.out;
}

TEST_F(HostileInput, ANameTreeWhoseKidsLoopEnds) {
  test::writePdf(namedDestDocument("missing", {0, 3, true}), dir.file("loop.pdf"));
  const auto list = test::runSorvane({"list", dir.file("loop.pdf"), "--json"}, kPrompt);
  ASSERT_FALSE(list.timedOut);
  ASSERT_EQ(list.exitCode, 0) << list.err;
  EXPECT_TRUE(nlohmann::json::parse(list.out)[0]["page"].is_null()) << list.out;
}

TEST_F(HostileInput, ANameInATreeOfManyLevelsWithRangesIsFound) {
  test::PdfSpec fixture = namedDestDocument("here", {2, 30, false});
  for (const char *name : {"a", "b", "c", "d", "i", "j", "k"})
    fixture.namedDests.push_back({name, 2, true, false});
  test::writePdf(fixture, dir.file("tree.pdf"));
  const auto list = test::runSorvane({"list", dir.file("tree.pdf"), "--json"}, kPrompt);
  ASSERT_FALSE(list.timedOut);
  ASSERT_EQ(list.exitCode, 0) << list.err;
  EXPECT_EQ(nlohmann::json::parse(list.out)[0]["page"], 2) << list.out;
  const auto validate = test::runSorvane({"validate", dir.file("tree.pdf")}, kPrompt);
  EXPECT_EQ(validate.exitCode, 0) << validate.out << validate.err;
  EXPECT_NE(validate.out.find("No errors found"), std::string::npos) << validate.out;
}

} // namespace
} // namespace sorvane
