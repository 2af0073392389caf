// A large synthetic document for benchmarks: chapters (18 pt), sections (14 pt) and
// subsections (12 pt, all Helvetica-Bold) and body text set the ways producers set them (one Tj
// per line, TJ arrays with kerning and word gaps).
#pragma once

#include <string>

namespace sorvane::bench {

// Writes a document of `pages` pages to `path` (unless it already exists).
void writeSyntheticDocument(const std::string &path, int pages);

// Writes a document of `pages` tall pages that each hold `perPage` headings (Helvetica-Bold,
// 9 pt) and an outline with a bookmark for each: what `learn` meets in a reference manual whose
// entries are bookmarks.
void writeCrowdedDocument(const std::string &path, int pages, int perPage);

} // namespace sorvane::bench
