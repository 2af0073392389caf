// A large synthetic document for benchmarks: chapters (18 pt), sections (14 pt) and
// subsections (12 pt, all Helvetica-Bold) and body text set the ways producers set them (one Tj
// per line, TJ arrays with kerning and word gaps).
#pragma once

#include <string>

namespace sorvane::bench {

// Writes a document of `pages` pages to `path` (unless it already exists).
void writeSyntheticDocument(const std::string &path, int pages);

} // namespace sorvane::bench
