// Rules that take body text for headings: found by a trial run before anything is written.
#include "host/cli/generate_command.h"

#include <gtest/gtest.h>
#include <sstream>

#include "tests/support/fixture_helpers.h"
#include "tests/support/pdf_builder.h"
#include "tests/support/temp_dir.h"

namespace sorvane::cli {
namespace {

// A settings file's text with one level: `font` at `size` points, no other test.
std::string oneLevel(const std::string &font, double size) {
  return R"({"format": "sorvane-cabinet", "version": 1, "cabinet": {"BuildSettings": {
    "NumLevels": 1, "Level0": {"TextStyle": {"Tolerance": 0.3, "FontDesc": {
      "FontSize": )" +
         std::to_string(size) + R"(, "Fonts": {"NumItems": 1, "0": ")" + font +
         R"("}}}, "TextMatch": {"MultilineTitles": false}}}}})";
}

TEST(Flood, RulesThatTakeTheBodyTextAreTold) {
  test::TempDir dir;
  test::PdfSpec spec = test::pages(3);
  for (int p = 0; p < 3; ++p) {
    auto &t = spec.pages[size_t(p)].texts;
    t.push_back(test::textAt("Chapter " + std::to_string(p + 1), 72, 740, 18, "Helvetica-Bold"));
    for (int i = 0; i < 30; ++i)
      t.push_back(
          test::textAt("Body line " + std::to_string(i), 72, 700 - 20 * i, 10, "Times-Roman"));
  }
  test::writePdf(spec, dir.file("doc.pdf"));
  std::ostringstream err;
  const std::string flood = floodOf(dir.file("doc.pdf"), "", oneLevel("Times-Roman", 10), err);
  EXPECT_NE(flood.find("they would make 90 bookmarks on 3 pages, Level 1 alone 90"),
            std::string::npos)
      << flood << err.str();
  EXPECT_TRUE(floodOf(dir.file("doc.pdf"), "", oneLevel("Helvetica-Bold", 18), err).empty());
}

} // namespace
} // namespace sorvane::cli
