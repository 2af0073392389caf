// Writes the seed corpus of the fuzz drivers from the test fixtures: make_fuzz_seeds DIR writes
// DIR/pdf, DIR/cabinet_stream, DIR/page_num_script and DIR/pattern.
#include <cstdio>
#include <filesystem>
#include <string>

#include "tests/support/fixture_helpers.h"
#include "tests/support/pdf_builder.h"
#include "tests/support/raw_pdf.h"
#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;
using namespace sorvane;

namespace {

void writePdfs(const fs::path &dir) {
  using test::ActionSpec;
  test::PdfSpec text = test::pages(2);
  text.pages[0].texts = {test::textAt("Chapter 1", 72, 700, 18, "Helvetica-Bold"),
                         test::textAt("Body text.", 72, 680, 10, "Times-Roman")};
  test::TextSpec form = test::textAt("In a form", 72, 600, 12, "Courier");
  form.inForm = true;
  form.markedContent = "Span";
  test::TextSpec wide = test::textAt("Wide", 72, 560, 12, "Helvetica");
  wide.type0 = true;
  test::TextSpec jumps = test::textAt("", 72, 540, 12, "Helvetica");
  jumps.showOperation = "[(Chap) -2000 (ter)] TJ";
  text.pages[1].texts = {form, wide, jumps};
  test::writePdf(text, (dir / "text.pdf").string());

  test::PdfSpec actions = test::pages(3);
  const ActionSpec kinds[] = {ActionSpec::goTo(1, "XYZ", {72, 700, 0}),
                              ActionSpec::dest(2),
                              ActionSpec::namedGoTo("intro"),
                              ActionSpec::namedDest("intro"),
                              ActionSpec::uriTo("https://example.org/"),
                              ActionSpec::launch("x.sh"),
                              ActionSpec::goToR("other.pdf", 1),
                              ActionSpec::javaScript("this.pageNum = 2;"),
                              ActionSpec::thread(),
                              ActionSpec::named()};
  for (const ActionSpec &a : kinds)
    actions.outline.push_back({"Item", {}, a, true, std::array<double, 3>{1, 0, 0}, 3, {}});
  actions.outline[0].children = {{"Child", {}, ActionSpec::goTo(0), false, {}, 0, {}}};
  actions.namedDests = {{"intro", 1, true, true}};
  test::writePdf(actions, (dir / "actions.pdf").string());

  test::PdfSpec damaged = actions;
  damaged.damage = test::OutlineDamage::NextLoop;
  test::writePdf(damaged, (dir / "loop.pdf").string());
  test::PdfSpec locked = text;
  locked.encryption = test::EncryptionSpec{"", "owner", false};
  test::writePdf(locked, (dir / "locked.pdf").string());
  test::PdfSpec deep = test::pages(1);
  deep.chainDepth = 300;
  test::writePdf(deep, (dir / "deep.pdf").string());
  test::writeFile((dir / "count.pdf").string(), test::pageTreePdf("2147483647", 3));
}

void writeFile(const fs::path &path, const std::string &bytes) {
  test::writeFile(path.string(), bytes);
}

// A literal with NUL bytes in it, all of it.
template <size_t N> std::string bytes(const char (&literal)[N]) {
  return std::string(literal, N - 1);
}

} // namespace

int main(int argc, char **argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: make_fuzz_seeds DIR EXAMPLES_DIR\n");
    return 2;
  }
  const fs::path root(argv[1]);
  const fs::path examples(argv[2]);
  for (const char *sub : {"pdf", "cabinet_stream", "page_num_script", "pattern"})
    fs::create_directories(root / sub);
  writePdfs(root / "pdf");
  fs::copy_file(examples / "manual.pdf", root / "pdf" / "manual.pdf",
                fs::copy_options::overwrite_existing);
  fs::copy_file(examples / "manual.svb", root / "cabinet_stream" / "manual.svb",
                fs::copy_options::overwrite_existing);
  writeFile(root / "cabinet_stream" / "kinds.json",
            R"({"format": "sorvane-cabinet", "version": 1, "cabinet": {"B": true, "I": -3,
               "D": 1.5, "T": "text", "A": {"atom": "Type1"}, "C": {"NumItems": 1, "0": "x"}}})");
  writeFile(root / "page_num_script" / "plain", "this.pageNum = 12;");
  writeFile(root / "page_num_script" / "spaced", "  this . pageNum=  -3 ; app.alert(1)");
  writeFile(root / "pattern" / "regexp", bytes("\x01^[0-9]+\\.\\s+\\w+\0"
                                               "2.3 Patterns"));
  writeFile(root / "pattern" / "words", bytes("\x06"
                                              "Contents\0"
                                              "Table of Contents"));
  return 0;
}
