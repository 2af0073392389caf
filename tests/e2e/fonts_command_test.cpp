// `sorvane fonts`: the text styles of a document, largest first, the body marked.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "tests/support/fixture_helpers.h"
#include "tests/support/pdf_builder.h"
#include "tests/support/run_program.h"
#include "tests/support/temp_dir.h"

namespace sorvane {
namespace {

class FontsCommand : public ::testing::Test {
protected:
  void SetUp() override {
    test::PdfSpec spec = test::pages(3);
    for (int p = 0; p < 3; ++p) {
      auto &texts = spec.pages[size_t(p)].texts;
      texts.push_back(
          test::textAt("Chapter " + std::to_string(p + 1), 72, 700, 18, "Helvetica-Bold"));
      for (int i = 0; i < 4; ++i)
        texts.push_back(test::textAt("Body line " + std::to_string(i) + " of the text", 90,
                                     660 - 14 * i, 10, "Times-Roman"));
    }
    // A heading of two runs on one row is one line; a note on the last page only.
    spec.pages[1].texts.push_back(test::textAt("1.1", 72, 580, 14, "Helvetica-Bold"));
    spec.pages[1].texts.push_back(test::textAt("Scope", 100, 580, 14, "Helvetica-Bold"));
    spec.pages[2].texts.push_back(test::textAt("Note", 72, 500, 9.96, "Courier"));
    test::writePdf(spec, dir.file("book.pdf"));
  }
  test::TempDir dir;
};

TEST_F(FontsCommand, OneRowPerStyleLargestFirstWithTheBodyMarked) {
  const auto r = test::runSorvane({"fonts", dir.file("book.pdf"), "--json"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const auto styles = nlohmann::json::parse(r.out);
  ASSERT_EQ(styles.size(), 4u);
  EXPECT_EQ(styles[0]["font"], "Helvetica-Bold");
  EXPECT_EQ(styles[0]["size"], 18.0);
  EXPECT_EQ(styles[0]["lines"], 3);
  EXPECT_EQ(styles[0]["samples"],
            (std::vector<std::string>{"Chapter 1", "Chapter 2", "Chapter 3"}));
  EXPECT_EQ(styles[1]["size"], 14.0);
  EXPECT_EQ(styles[1]["lines"], 1);
  EXPECT_EQ(styles[1]["samples"], (std::vector<std::string>{"1.1 Scope"}));
  EXPECT_EQ(styles[1]["firstPage"], 2);
  // Equal sizes by font name: Courier (9.96 to the tenth is 10.0), then the body.
  EXPECT_EQ(styles[2]["font"], "Courier");
  EXPECT_EQ(styles[2]["size"], 10.0);
  EXPECT_EQ(styles[2]["firstPage"], 3);
  EXPECT_EQ(styles[3]["font"], "Times-Roman");
  EXPECT_EQ(styles[3]["lines"], 12);
  EXPECT_EQ(styles[3]["left"], 90);
  EXPECT_TRUE(styles[3]["body"]);
  EXPECT_FALSE(styles[0]["body"]);
  double share = 0;
  for (const auto &s : styles)
    share += s["share"].get<double>();
  EXPECT_NEAR(share, 100.0, 0.3);

  const auto text = test::runSorvane({"fonts", dir.file("book.pdf")});
  EXPECT_NE(text.out.find("pages 1 to 3: 4 text styles, largest first"), std::string::npos)
      << text.out;
  EXPECT_NE(text.out.find("<- body text"), std::string::npos);
}

TEST_F(FontsCommand, APageRangeAndItsMistakes) {
  const auto r = test::runSorvane({"fonts", dir.file("book.pdf"), "--pages", "3", "--json"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const auto styles = nlohmann::json::parse(r.out);
  ASSERT_EQ(styles.size(), 3u); // no 14-point heading on page 3
  EXPECT_EQ(styles[0]["lines"], 1);
  EXPECT_EQ(test::runSorvane({"fonts", dir.file("book.pdf"), "--pages", "2-"}).exitCode, 0);
  for (const char *bad : {"0", "3-2", "x", "4", "1-x"})
    EXPECT_EQ(test::runSorvane({"fonts", dir.file("book.pdf"), "--pages", bad}).exitCode, 2) << bad;
  EXPECT_NE(test::runSorvane({"fonts", dir.file("book.pdf"), "--pages", "3-2"})
                .err.find("--pages 3-2 is reversed: the first page comes first (2-3)"),
            std::string::npos);
  test::writePdf(test::pages(2), dir.file("blank.pdf"));
  const auto blank = test::runSorvane({"fonts", dir.file("blank.pdf")});
  EXPECT_EQ(blank.exitCode, 1);
  EXPECT_NE(blank.err.find("no text found"), std::string::npos) << blank.err;
}

} // namespace
} // namespace sorvane
