// `sorvane list` on fixture PDFs: the tree, the JSON, warnings and errors.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "tests/support/pdf_builder.h"
#include "tests/support/run_program.h"
#include "tests/support/temp_dir.h"

namespace sorvane {
namespace {

using test::ActionSpec;
using test::OutlineSpec;

class ListCommand : public ::testing::Test {
protected:
  std::string make(const test::PdfSpec &spec, const std::string &name = "book.pdf") {
    test::writePdf(spec, dir.file(name));
    return dir.file(name);
  }
  test::TempDir dir;
};

test::PdfSpec book() {
  test::PdfSpec spec = test::pages(9);
  OutlineSpec one{"1 Introduction", {}, ActionSpec::goTo(0), true, {}, 0, {}};
  one.children = {{"1.1 Scope", {}, ActionSpec::namedGoTo("scope"), false, {}, 0, {}},
                  {"1.2 Terms", {}, ActionSpec::dest(2), false, {}, 0, {}}};
  OutlineSpec two{"2 \xC3\x9C"
                  "bersicht",
                  {},
                  ActionSpec::goTo(4),
                  false,
                  {},
                  0,
                  {}};
  two.children = {{"Website", {}, ActionSpec::uriTo("https://example.org"), false, {}, 0, {}}};
  spec.outline = {one, two, {"Notes", {}, {}, false, {}, 0, {}}};
  spec.namedDests = {{"scope", 1, true, false}};
  return spec;
}

TEST_F(ListCommand, PrintsTheOutlineAsATree) {
  const auto r = test::runSorvane({"list", make(book())});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "[-] 1 Introduction  (page 1)\n"
                   "    [ ] 1.1 Scope  (page 2)\n"
                   "    [ ] 1.2 Terms  (page 3)\n"
                   "[+] 2 \xC3\x9C"
                   "bersicht  (page 5)\n"
                   "    [ ] Website  (URI)\n"
                   "[ ] Notes  (no action)\n");
  EXPECT_EQ(r.err, "");
}

TEST_F(ListCommand, PrintsTheOutlineAsJson) {
  const auto r = test::runSorvane({"list", make(book()), "--json"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const auto json = nlohmann::json::parse(r.out);
  ASSERT_EQ(json.size(), 3u);
  EXPECT_EQ(json[0]["title"], "1 Introduction");
  EXPECT_EQ(json[0]["page"], 1);
  EXPECT_EQ(json[0]["open"], true);
  EXPECT_EQ(json[0]["action"], "GoTo");
  EXPECT_EQ(json[0]["children"][0]["page"], 2);
  EXPECT_EQ(json[1]["title"], "2 \xC3\x9C"
                              "bersicht");
  EXPECT_EQ(json[1]["open"], false);
  EXPECT_EQ(json[1]["children"][0]["action"], "URI");
  EXPECT_TRUE(json[1]["children"][0]["page"].is_null());
  EXPECT_TRUE(json[2]["action"].is_null());
  EXPECT_TRUE(json[2]["children"].empty());
}

TEST_F(ListCommand, WarnsAboutADamagedOutlineAndListsTheRest) {
  test::PdfSpec spec = test::pages(2);
  spec.outline = {{"A", {}, ActionSpec::goTo(0), false, {}, 0, {}},
                  {"B", {}, ActionSpec::goTo(1), false, {}, 0, {}}};
  spec.damage = test::OutlineDamage::NextLoop;
  const auto r = test::runSorvane({"list", make(spec)});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out, "[ ] A  (page 1)\n[ ] B  (page 2)\n");
  EXPECT_NE(r.err.find("warning"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("loop"), std::string::npos) << r.err;
}

TEST_F(ListCommand, OpensEncryptedFilesWithTheirPassword) {
  test::PdfSpec spec = book();
  spec.encryption = test::EncryptionSpec{"secret", "owner", true};
  const std::string path = make(spec);
  const auto refused = test::runSorvane({"list", path});
  EXPECT_EQ(refused.exitCode, 3);
  EXPECT_NE(refused.err.find("password"), std::string::npos);
  const auto opened = test::runSorvane({"list", path, "--password", "secret"});
  EXPECT_EQ(opened.exitCode, 0) << opened.err;
  EXPECT_EQ(opened.out.substr(0, 19), "[-] 1 Introduction ");
}

TEST_F(ListCommand, BadInputGivesOneLineAndExitCodeThree) {
  test::writeFile(dir.file("notes.pdf"), "not a pdf");
  for (const std::string &path : {dir.file("missing.pdf"), dir.file("notes.pdf")}) {
    const auto r = test::runSorvane({"list", path});
    EXPECT_EQ(r.exitCode, 3) << path;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_NE(r.err.find(path), std::string::npos);
  }
}

TEST_F(ListCommand, UsageErrorsGiveExitCodeTwo) {
  EXPECT_EQ(test::runSorvane({"list"}).exitCode, 2);
  EXPECT_EQ(test::runSorvane({"list", "a.pdf", "b.pdf"}).exitCode, 2);
  EXPECT_EQ(test::runSorvane({"list", "a.pdf", "--frob"}).exitCode, 2);
  EXPECT_EQ(test::runSorvane({"list", "a.pdf", "--password"}).exitCode, 2);
}

TEST_F(ListCommand, ADocumentWithoutBookmarksSaysSo) {
  const auto r = test::runSorvane({"list", make(test::pages(1))});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find("no bookmarks"), std::string::npos);
  const auto json = test::runSorvane({"list", make(test::pages(1)), "--json"});
  EXPECT_EQ(json.out, "[]\n");
}

} // namespace
} // namespace sorvane
