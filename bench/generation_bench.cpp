// Generates bookmarks for a large document with three levels and compares the cost with reading
// its text runs alone (the same pages, the same run) and with pdftotext.
//
// Usage: bench_generation [PDF]   (without a file: the synthetic document of 1,200 pages)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/resource.h>

#include "bench/synthetic_document.h"
#include "plugin/engine/bookmark_builder.h"
#include "plugin/rules/page_content.h"
#include "sdk/imported_tables.h"
#include "tests/support/open_doc.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace sorvane;

double since(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

LevelRule level(double size) {
  LevelRule rule;
  rule.textStyleRule.fontDesc.fonts = {hostTables().core->atomFromString("Helvetica-Bold")};
  rule.textStyleRule.fontDesc.fontSize = size;
  return rule;
}

double readRuns(DocHandle doc, int pages) {
  const auto start = Clock::now();
  for (int p = 0; p < pages; ++p) {
    PageContent page(doc, p);
    page.gatherRuns(std::nullopt);
    TextRun run;
    for (const RunRef &ref : page.runs())
      page.buildTextRun(ref, true, run);
  }
  return since(start);
}

} // namespace

int main(int argc, char **argv) {
  std::string path = argc > 1 ? argv[1] : "";
  if (path.empty()) {
    path = (std::filesystem::temp_directory_path() / "sorvane-bench-1200.pdf").string();
    bench::writeSyntheticDocument(path, 1200);
  }
  test::TestHost host;
  test::OpenDoc doc(host, path);
  const int pages = doc.doc().pageCount();

  const double runs = readRuns(doc.handle(), pages);
  BookmarkBuilder builder;
  builder.levels = {level(18), level(14), level(12)};
  const auto start = Clock::now();
  const RunOutcome outcome = builder.generate(doc.handle());
  const double generation = since(start);

  const auto textStart = Clock::now();
  const int rc = std::system(("pdftotext '" + path + "' /dev/null >/dev/null 2>&1").c_str());
  const double pdftotext = rc == 0 ? since(textStart) : -1;

  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("%s: %d pages, %d bookmarks\n", path.c_str(), pages, outcome.bookmarksInserted);
  std::printf("  text runs only:  %6.2f s  %6.0f pages/s\n", runs, pages / runs);
  std::printf("  generation:      %6.2f s  %6.0f pages/s  (%.2f x the text runs)\n", generation,
              pages / generation, generation / runs);
  if (pdftotext > 0)
    std::printf("  pdftotext:       %6.2f s  %6.0f pages/s\n", pdftotext, pages / pdftotext);
  std::printf("  peak memory:     %.1f MB\n", static_cast<double>(usage.ru_maxrss) / 1024.0);
}
