#include "host/pdf/text_selection.h"

#include <algorithm>

#include "host/base/view_kinds.h"
#include "host/pdf/page_text.h"

namespace sorvane::host {

DocSelection selectText(PdfDocument &doc, int pageIndex, const HostRect &rect,
                        std::vector<HostRect> *boxes) {
  const auto text = extractPageText(doc, pageIndex);
  const double left = std::min(rect.left, rect.right), right = std::max(rect.left, rect.right);
  const double bottom = std::min(rect.bottom, rect.top), top = std::max(rect.bottom, rect.top);
  DocSelection selection;
  for (const ExtractedElement &element : text->elements)
    for (const ExtractedRun &run : element.runs) {
      const HostRect &b = run.box;
      if (b.right < left || b.left > right || b.top < bottom || b.bottom > top)
        continue;
      SelectedTextPiece piece;
      if (run.font >= 0 && size_t(run.font) < text->fonts.size())
        piece.fontName = text->fonts[size_t(run.font)].name;
      piece.size = run.size;
      piece.text = run.text; // (the page text does not keep colours: black)
      selection.pieces.push_back(std::move(piece));
      if (boxes)
        boxes->push_back(b);
    }
  if (!selection.pieces.empty())
    selection.type = std::string(nameOf(SelectionType::Text));
  return selection;
}

} // namespace sorvane::host
