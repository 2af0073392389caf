// Copying pages of a document into a new PDF file: what the command line prints to.
#pragma once

#include <string>
#include <vector>

namespace sorvane::host {

class PdfDocument;

// Writes a new PDF file at `target` holding the pages of `source` at the zero-based indexes
// `pages`, in that order and with repeats. The target is replaced only when the file is
// complete. Throws HostError.
void writePagesToFile(PdfDocument &source, const std::vector<int> &pages,
                      const std::string &target);

} // namespace sorvane::host
