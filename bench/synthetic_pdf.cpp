// Writes the synthetic benchmark document: `bench_synthetic_pdf OUT.pdf PAGES`.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/synthetic_document.h"

int main(int argc, char **argv) {
  const int pages = argc == 3 ? std::atoi(argv[2]) : 0;
  if (pages < 1) {
    std::fprintf(stderr, "usage: bench_synthetic_pdf OUT.pdf PAGES\n");
    return 2;
  }
  sorvane::bench::writeSyntheticDocument(argv[1], pages);
  return 0;
}
