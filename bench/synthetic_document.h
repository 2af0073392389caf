// A large synthetic document for benchmarks: chapters, sections and body text set the ways
// producers set them (one Tj per line, TJ arrays with kerning and word gaps).
#pragma once

#include <string>

namespace sorvane::bench {

// Writes a document of `pages` pages to `path` (unless it already exists).
void writeSyntheticDocument(const std::string &path, int pages);

} // namespace sorvane::bench
