// corpus_score: the figures of the corpus scripts.
//   corpus_score EXPECTED.json FOUND.json  compares two `sorvane list --json` listings and prints
//       "expected found matched missed extra precision recall f1 depthRight" on one line;
//   corpus_score --table ROWS              prints the table of a run's rows (outline_score.h);
//   corpus_score --split DOCUMENTS.txt     checks that each document's half is the one the
//       fixed rule gives, and prints "name half" for each document.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>

#include "bench/corpus/outline_score.h"

namespace {

using namespace sorvane::corpus;

std::string readFile(const char *path) {
  std::ifstream in(path, std::ios::binary);
  if (!in)
    throw std::runtime_error(std::string(path) + ": cannot be read");
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

int printTable(const char *path) {
  std::vector<Row> rows;
  std::istringstream in(readFile(path));
  for (std::string line; std::getline(in, line);)
    if (line.find_first_not_of(" \t") != std::string::npos)
      rows.push_back(rowFromLine(line));
  std::cout << table(rows);
  return 0;
}

int checkSplit(const char *path) {
  const std::vector<Document> documents = documentsFromList(readFile(path));
  const auto rule = halvesByRule(documents);
  int wrong = 0;
  for (const Document &d : documents) {
    if (rule.at(d.name) != d.half) {
      std::cerr << "corpus_score: " << path << ": " << d.name << " is in the " << d.half
                << " half; the split rule puts it in " << rule.at(d.name) << "\n";
      ++wrong;
    }
    std::cout << d.name << " " << d.half << "\n";
  }
  return wrong ? 1 : 0;
}

} // namespace

int main(int argc, char **argv) {
  try {
    if (argc == 3 && std::strcmp(argv[1], "--table") == 0)
      return printTable(argv[2]);
    if (argc == 3 && std::strcmp(argv[1], "--split") == 0)
      return checkSplit(argv[2]);
    if (argc != 3 || argv[1][0] == '-') {
      std::cerr << "usage: corpus_score EXPECTED.json FOUND.json | --table ROWS | --split "
                   "DOCUMENTS.txt\n";
      return 2;
    }
    const Score s =
        score(entriesFromListing(readFile(argv[1])), entriesFromListing(readFile(argv[2])));
    std::printf("%d %d %d %d %d %.3f %.3f %.3f %d\n", s.expected, s.found, s.matched, s.missed(),
                s.extra(), s.precision(), s.recall(), s.f1(), s.depthRight);
    return 0;
  } catch (const std::exception &e) {
    std::cerr << "corpus_score: " << e.what() << "\n";
    return 3;
  }
}
