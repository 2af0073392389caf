// Validates and sorts an outline of 10,000 bookmarks (100 chapters of 99 sections, in shuffled
// order) and reports the times.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>

#include "plugin/outline/sort_outline.h"
#include "plugin/outline/validate_outline.h"
#include "sdk/imported_tables.h"
#include "tests/support/open_doc.h"
#include "tests/support/pdf_builder.h"

namespace {

using Clock = std::chrono::steady_clock;

double since(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

std::string makeDocument() {
  const std::string path =
      (std::filesystem::temp_directory_path() / "sorvane-bench-10000-bookmarks.pdf").string();
  if (std::filesystem::exists(path))
    return path;
  std::mt19937 random(7);
  sorvane::test::PdfSpec spec = sorvane::test::pages(200);
  for (int c = 0; c < 100; ++c) {
    sorvane::test::OutlineSpec chapter{"Chapter " + std::to_string(random() % 1000),
                                       {},
                                       sorvane::test::ActionSpec::goTo(int(random() % 200)),
                                       c % 2 == 0,
                                       {},
                                       0,
                                       {}};
    for (int s = 0; s < 99; ++s)
      chapter.children.push_back({"Section " + std::to_string(random() % 100000),
                                  {},
                                  sorvane::test::ActionSpec::goTo(int(random() % 200)),
                                  false,
                                  {},
                                  0,
                                  {}});
    spec.outline.push_back(std::move(chapter));
  }
  sorvane::test::writePdf(spec, path);
  return path;
}

} // namespace

int main() {
  using namespace sorvane;
  const std::string path = makeDocument();
  test::TestHost host;
  test::OpenDoc doc(host, path);

  std::vector<ValidationResult> results;
  size_t visited = 0;
  auto start = Clock::now();
  validateOutline(doc.handle(), results, 14, [&](BookmarkHandle) { return ++visited, true; });
  const double validation = since(start);

  SortOptions options;
  options.sortChildren = true;
  start = Clock::now();
  sortOutline(hostTables().pdModel->docGetBookmarkRoot(doc.handle()), options);
  const double sorting = since(start);

  start = Clock::now();
  doc.doc().save((std::filesystem::temp_directory_path() / "sorvane-bench-sorted.pdf").string());
  const double saving = since(start);

  std::printf("%zu bookmarks (%zu with problems)\n", visited, results.size());
  std::printf("  validation: %6.3f s\n  sorting:    %6.3f s\n  saving:     %6.3f s\n", validation,
              sorting, saving);
}
