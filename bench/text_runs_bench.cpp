// Reads every text run of every page the way generation does (gather, then build each run),
// and times `mutool draw -F stext` and `pdftotext` on the same file for comparison.
//
// Usage: bench_text_runs [PDF ...]   (without files: a synthetic document of 1,200 pages)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <vector>

#include "bench/synthetic_document.h"
#include "plugin/rules/page_content.h"
#include "sdk/imported_tables.h"
#include "tests/support/open_doc.h"

namespace {

using Clock = std::chrono::steady_clock;

double seconds(Clock::time_point since) {
  return std::chrono::duration<double>(Clock::now() - since).count();
}

double timeCommand(const std::string &command) {
  const auto start = Clock::now();
  const int rc = std::system((command + " >/dev/null 2>&1").c_str());
  return rc == 0 ? seconds(start) : -1;
}

struct Result {
  int pages = 0;
  long runs = 0;
  double seconds = 0;
};

Result readAllRuns(const std::string &path) {
  sorvane::test::TestHost host;
  sorvane::test::OpenDoc doc(host, path);
  Result r;
  r.pages = doc.doc().pageCount();
  const auto start = Clock::now();
  for (int p = 0; p < r.pages; ++p) {
    sorvane::PageContent page(doc.handle(), p);
    page.gatherRuns(std::nullopt);
    for (const sorvane::RunRef &ref : page.runs()) {
      sorvane::TextRun run;
      r.runs += page.buildTextRun(ref, true, run) ? 1 : 0;
    }
  }
  r.seconds = seconds(start);
  return r;
}

void report(const std::string &path) {
  const Result r = readAllRuns(path);
  std::printf("%s\n  %d pages, %ld runs\n", path.c_str(), r.pages, r.runs);
  std::printf("  sorvane runs:        %7.2f s  %8.0f pages/s\n", r.seconds, r.pages / r.seconds);
  const double mutool = timeCommand("mutool draw -F stext -o /dev/null '" + path + "'");
  const double pdftotext = timeCommand("pdftotext '" + path + "' /dev/null");
  if (mutool > 0)
    std::printf("  mutool draw -F stext: %6.2f s  %8.0f pages/s\n", mutool, r.pages / mutool);
  if (pdftotext > 0)
    std::printf("  pdftotext:           %7.2f s  %8.0f pages/s\n", pdftotext, r.pages / pdftotext);
}

} // namespace

int main(int argc, char **argv) {
  std::vector<std::string> files(argv + 1, argv + argc);
  if (files.empty()) {
    const std::string path =
        (std::filesystem::temp_directory_path() / "sorvane-bench-1200.pdf").string();
    sorvane::bench::writeSyntheticDocument(path, 1200);
    files.push_back(path);
  }
  for (const std::string &f : files)
    report(f);
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("peak memory: %.1f MB\n", static_cast<double>(usage.ru_maxrss) / 1024.0);
}
