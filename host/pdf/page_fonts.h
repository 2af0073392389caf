// The fonts a page's content can draw text in, found from its resources alone: no content is
// interpreted, so asking is cheap next to reading the page's text.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace sorvane::host {

class PdfDocument;

// Every name a text run of the page at `pageIndex` can carry as its font (as extractPageText
// names fonts: /BaseFont, else /Name), from the page's resources, inherited ones included, and
// those of the forms it can draw, at any depth. Nothing when the resources cannot promise it:
// a font without a name, text that patterns, soft masks or Type 3 glyphs could draw with fonts
// of their own, or resources that cannot be read. Throws HostError(BadParameter) for an index
// outside the document.
std::optional<std::vector<std::string>> pageFontNames(PdfDocument &doc, int pageIndex);

} // namespace sorvane::host
