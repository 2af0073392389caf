// Writes the example manual that `scripts/run-example.sh` generates bookmarks for:
//   make_example examples/manual.pdf
#include <cstdio>
#include <string>

#include "tests/support/pdf_builder.h"

namespace {

using sorvane::test::TextSpec;

TextSpec line(std::string text, double y, double size, const char *font, double x = 72) {
  TextSpec t;
  t.text = std::move(text);
  t.x = x;
  t.y = y;
  t.size = size;
  t.font = font;
  return t;
}

} // namespace

int main(int argc, char **argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_example OUT.pdf\n");
    return 2;
  }
  sorvane::test::PdfSpec spec = sorvane::test::pages(8);
  const char *body = "Times-Roman";
  const char *bold = "Helvetica-Bold";
  struct Heading {
    int page;
    int level; // 0 chapter, 1 section
    const char *text;
  };
  const Heading headings[] = {
      {0, -1, "Contents"},
      {1, 0, "Chapter 1 Getting started"},
      {1, 1, "1.1 Installing"},
      {2, 1, "1.2 A first run"},
      {3, 0, "Chapter 2 Level rules"},
      {3, 1, "2.1 Fonts and sizes"},
      {4, 1, "2.2 Patterns"},
      {5, 1, "2.3 Indentation"},
      {6, 0, "Chapter 3 Settings files"},
      {7, 1, "3.1 Sharing settings"},
  };
  double y[8] = {740, 740, 740, 740, 740, 740, 740, 740};
  for (const Heading &h : headings) {
    auto &texts = spec.pages[size_t(h.page)].texts;
    const double size = h.level == 1 ? 14 : 20;
    texts.push_back(line(h.text, y[h.page], size, bold));
    y[h.page] -= size * 1.8;
    for (int i = 0; i < 4; ++i) {
      texts.push_back(line("This paragraph stands for the text of the manual; level rules skip it "
                           "because its font is not a heading font.",
                           y[h.page], 10, body));
      y[h.page] -= 14;
    }
    y[h.page] -= 10;
  }
  sorvane::test::writePdf(spec, argv[1]);
  return 0;
}
