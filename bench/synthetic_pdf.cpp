// Writes the synthetic benchmark documents: `bench_synthetic_pdf OUT.pdf PAGES` (a manual), or
// `bench_synthetic_pdf --crowded OUT.pdf PAGES PER_PAGE` (pages crowded with bookmarked entries).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "bench/synthetic_document.h"

int main(int argc, char **argv) {
  if (argc == 5 && std::strcmp(argv[1], "--crowded") == 0) {
    const int pages = std::atoi(argv[3]);
    const int perPage = std::atoi(argv[4]);
    if (pages >= 1 && perPage >= 1 && perPage <= 3000) {
      sorvane::bench::writeCrowdedDocument(argv[2], pages, perPage);
      return 0;
    }
  }
  const int pages = argc == 3 ? std::atoi(argv[2]) : 0;
  if (pages < 1) {
    std::fprintf(stderr, "usage: bench_synthetic_pdf OUT.pdf PAGES\n"
                         "       bench_synthetic_pdf --crowded OUT.pdf PAGES PER_PAGE\n");
    return 2;
  }
  sorvane::bench::writeSyntheticDocument(argv[1], pages);
  return 0;
}
