// A text selection made from a rectangle of a page, as a selection tool makes it.
#pragma once

#include "host/pdf/pdf_document.h"
#include "sdk/document_tables.h"
#include "sdk/view_tables.h"

namespace sorvane::host {

// The text runs of page `pageIndex` whose boxes meet `rect` (default user space), in content
// order, as a "Text" selection; a selection of no type when no run meets it. With `boxes`, the
// runs' boxes too (what a view highlights). Throws HostError as extractPageText does.
DocSelection selectText(PdfDocument &doc, int pageIndex, const HostRect &rect,
                        std::vector<HostRect> *boxes = nullptr);

} // namespace sorvane::host
