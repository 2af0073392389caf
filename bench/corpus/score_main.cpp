// corpus_score EXPECTED.json FOUND.json: compares two `sorvane list --json` listings and prints
// "expected found matched missed extra precision recall f1" on one line.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>

#include "bench/corpus/outline_score.h"

namespace {

std::string readFile(const char *path) {
  std::ifstream in(path, std::ios::binary);
  if (!in)
    throw std::runtime_error(std::string(path) + ": cannot be read");
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

} // namespace

int main(int argc, char **argv) {
  if (argc != 3) {
    std::cerr << "usage: corpus_score EXPECTED.json FOUND.json\n";
    return 2;
  }
  try {
    using namespace sorvane::corpus;
    const Score s =
        score(entriesFromListing(readFile(argv[1])), entriesFromListing(readFile(argv[2])));
    std::printf("%d %d %d %d %d %.3f %.3f %.3f\n", s.expected, s.found, s.matched, s.missed(),
                s.extra(), s.precision(), s.recall(), s.f1());
    return 0;
  } catch (const std::exception &e) {
    std::cerr << "corpus_score: " << e.what() << "\n";
    return 3;
  }
}
