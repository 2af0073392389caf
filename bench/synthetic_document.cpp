#include "bench/synthetic_document.h"

#include <filesystem>

#include "tests/support/fixture_helpers.h"
#include "tests/support/pdf_builder.h"

namespace sorvane::bench {

void writeSyntheticDocument(const std::string &path, int pages) {
  if (std::filesystem::exists(path))
    return;
  test::PdfSpec spec = test::pages(pages);
  int chapter = 0;
  int section = 0;
  for (int p = 0; p < pages; ++p) {
    auto &texts = spec.pages[size_t(p)].texts;
    double y = 740;
    auto add = [&](std::string text, double size, const char *font, std::string op = {}) {
      test::TextSpec t;
      t.text = std::move(text);
      t.y = y;
      t.size = size;
      t.font = font;
      t.showOperation = std::move(op);
      texts.push_back(std::move(t));
      y -= size * 1.4;
    };
    if (p % 20 == 0) {
      section = 0;
      add("Chapter " + std::to_string(++chapter) + " Working with outlines", 18, "Helvetica-Bold");
      add("An opening paragraph.", 10, "Times-Roman");
    }
    if (p % 4 == 0) {
      add(std::to_string(chapter) + "." + std::to_string(++section) + " Finding headings", 14,
          "Helvetica-Bold");
      add("Some words to start the section with.", 10, "Times-Roman");
    }
    if (p % 2 == 1) {
      add(std::to_string(chapter) + "." + std::to_string(section) + "." + std::to_string(p % 4) +
              " Details",
          12, "Helvetica-Bold");
      add("Some words to start the subsection with.", 10, "Times-Roman");
    }
    while (y > 80) {
      add("", 10, "Times-Roman",
          "[(The) -250 (quick) -250 (br) 15 (own) -250 (fox) -250 (jumps) -250 (over) -250 "
          "(the) -250 (lazy) -250 (dog,) -250 (and) -250 (the) -250 (page) -250 (goes) -250 "
          "(on.)] TJ");
    }
  }
  test::writePdf(spec, path);
}

void writeCrowdedDocument(const std::string &path, int pages, int perPage) {
  if (std::filesystem::exists(path))
    return;
  test::PdfSpec spec = test::pages(pages);
  int n = 0;
  for (int p = 0; p < pages; ++p) {
    spec.pages[size_t(p)].height = 40 + 10.0 * perPage;
    for (int k = 0; k < perPage; ++k) {
      const std::string title = "Entry " + std::to_string(++n);
      spec.pages[size_t(p)].texts.push_back(
          test::textAt(title, 72, 20 + 10.0 * (perPage - k), 9, "Helvetica-Bold"));
      spec.outline.push_back({title, {}, test::ActionSpec::goTo(p), false, {}, 0, {}});
    }
  }
  test::writePdf(spec, path);
}

} // namespace sorvane::bench
