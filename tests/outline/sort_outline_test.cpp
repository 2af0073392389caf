// Sorting existing outlines by title.
#include "plugin/outline/sort_outline.h"

#include <gtest/gtest.h>

#include "sdk/imported_tables.h"
#include "tests/support/open_doc.h"
#include "tests/support/pdf_builder.h"
#include "tests/support/pdf_inspect.h"
#include "tests/support/temp_dir.h"

namespace sorvane {
namespace {

using test::OutlineSpec;

OutlineSpec item(std::string title, std::vector<OutlineSpec> children = {}, bool open = false) {
  return {std::move(title), {}, test::ActionSpec::goTo(0), open, {}, 0, std::move(children)};
}

class Sorting : public ::testing::Test {
protected:
  void open(std::vector<OutlineSpec> outline) {
    test::PdfSpec spec = test::pages(1);
    spec.outline = std::move(outline);
    test::writePdf(spec, dir.file("d.pdf"));
    doc = std::make_unique<test::OpenDoc>(host, dir.file("d.pdf"));
  }
  std::vector<test::InspectedBookmark> sorted(const SortOptions &o) {
    PDModelTable &pd = *hostTables().pdModel.table;
    EXPECT_TRUE(sortOutline(pd.docGetBookmarkRoot(doc->handle()), o));
    doc->doc().save(dir.file("out.pdf"));
    EXPECT_EQ(test::qpdfCheck(dir.file("out.pdf")), 0);
    return test::inspectPdf(dir.file("out.pdf")).outline;
  }
  static std::vector<std::string> titles(const std::vector<test::InspectedBookmark> &l) {
    std::vector<std::string> out;
    for (const auto &b : l)
      out.push_back(b.title);
    return out;
  }
  test::TestHost host;
  test::TempDir dir;
  std::unique_ptr<test::OpenDoc> doc;
};

TEST_F(Sorting, TheChosenLevelOnlyOrWithEveryLevelBelow) {
  const auto outline = {item("b", {item("z"), item("y")}), item("a", {item("x"), item("w")})};
  open(outline);
  SortOptions o;
  auto top = sorted(o);
  EXPECT_EQ(titles(top), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(titles(top[0].children), (std::vector<std::string>{"x", "w"}));
  doc.reset();
  open(outline);
  o.level = 1;
  o.sortChildren = true;
  auto below = sorted(o);
  EXPECT_EQ(titles(below), (std::vector<std::string>{"b", "a"}));
  EXPECT_EQ(titles(below[0].children), (std::vector<std::string>{"y", "z"}));
}

TEST_F(Sorting, CaseCountsUnlessIgnoredAndNumbersCompareAsText) {
  open({item("b"), item("A"), item("a"), item("B"), item("9 Intro"), item("10 Scope")});
  SortOptions o;
  EXPECT_EQ(titles(sorted(o)),
            (std::vector<std::string>{"10 Scope", "9 Intro", "A", "B", "a", "b"}));
  o.ignoreCase = true;
  o.inverseOrder = true;
  const auto t = titles(sorted(o));
  EXPECT_EQ(t[0].size(), 1u);
  EXPECT_TRUE((t[0] == "b" || t[0] == "B") && (t[2] == "a" || t[2] == "A")) << t[0] << t[2];
  EXPECT_EQ(t.back(), "10 Scope");
}

TEST_F(Sorting, TheNameFilterSortsOnlyUnderExactTitles) {
  open({item("Appendix", {item("c"), item("a")}), item("appendix", {item("c"), item("a")})});
  SortOptions o;
  o.useNameFilter = true;
  o.title = "Appendix";
  o.level = 1;
  o.ignoreCase = true;
  const auto out = sorted(o);
  EXPECT_EQ(titles(out), (std::vector<std::string>{"Appendix", "appendix"}));
  EXPECT_EQ(titles(out[0].children), (std::vector<std::string>{"a", "c"}));
  EXPECT_EQ(titles(out[1].children), (std::vector<std::string>{"c", "a"}));
}

TEST_F(Sorting, OpenStatesSurviveTheRelinking) {
  open({item("b", {item("2"), item("1")}, true), item("a", {item("4"), item("3")}, false)});
  SortOptions o;
  o.sortChildren = true;
  const auto out = sorted(o);
  ASSERT_EQ(titles(out), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(out[0].count, -2); // closed
  EXPECT_EQ(out[1].count, 2);  // open
  EXPECT_EQ(titles(out[1].children), (std::vector<std::string>{"1", "2"}));
}

TEST_F(Sorting, OptionsKeepTheirCabinetForm) {
  ASExtraTable &x = host.asExtra();
  CabinetHandle parent = x.cabinetNew();
  SortOptions o;
  o.inverseOrder = true;
  o.title = "Anhang \xC3\x9C";
  o.level = 3;
  ASSERT_TRUE(o.write(parent));
  SortOptions back;
  EXPECT_TRUE(back.read(parent));
  EXPECT_EQ(back, o);
  x.cabinetMakeEmpty(x.cabinetGetCabinet(parent, "Sorting"));
  back.read(parent);
  EXPECT_TRUE(back.sortChildren); // the reader's default
  x.cabinetRemove(parent, "Sorting");
  EXPECT_FALSE(back.read(parent));
  EXPECT_FALSE(back.sortChildren); // reset
  x.cabinetDestroy(parent);
}

TEST(CompareTitles, BytewiseShorterFirst) {
  EXPECT_LT(compareTitles("A", "a"), 0);
  EXPECT_LT(compareTitles("ab", "abc"), 0);
  EXPECT_GT(compareTitles("\xC3\xA9", "z"), 0);
  EXPECT_EQ(compareTitles("x", "x"), 0);
}

} // namespace
} // namespace sorvane
