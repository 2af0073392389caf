// PDF files written byte by byte, for structures no well-behaved writer makes (a page tree whose
// /Count lies, a page listed thousands of times): objects numbered from 1, a classic xref table.
#pragma once

#include <string>
#include <vector>

namespace sorvane::test {

// The file whose objects are `objects` (object i + 1 is objects[i], without "obj"/"endobj");
// object 1 is the catalog.
std::string rawPdf(const std::vector<std::string> &objects);

// A stream object holding `data`.
std::string rawStream(const std::string &data);

// A one-page-object document whose page tree claims `count` pages and lists the one page
// `listed` times; the page shows "Heading" in 18-point Helvetica-Bold.
std::string pageTreePdf(const std::string &count, int listed);

} // namespace sorvane::test
