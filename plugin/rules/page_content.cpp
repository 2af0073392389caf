#include "plugin/rules/page_content.h"

#include <algorithm>
#include <cmath>

#include "sdk/host_error.h"
#include "sdk/imported_tables.h"
#include "sdk/text_codec.h"

namespace sorvane {
namespace {

FixedRect toFixed(const HostRect &r) {
  return {fixedFromDouble(r.left), fixedFromDouble(r.top), fixedFromDouble(r.right),
          fixedFromDouble(r.bottom)};
}

HostRect toHost(const FixedRect &r) {
  return {fixedToDouble(r.left), fixedToDouble(r.bottom), fixedToDouble(r.right),
          fixedToDouble(r.top)};
}

bool isBlankByte(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

} // namespace

PageContent::PageContent(DocHandle doc, int32_t pageIndex)
    : m_page(hostTables().pdModel->docAcquirePage(doc, pageIndex)) {}

PageContent::~PageContent() {
  try {
    if (m_content)
      hostTables().pagePDEContent->contentRelease(m_content);
    if (m_page)
      hostTables().pdModel->pageRelease(m_page);
  } catch (const HostError &) {
    // Releasing cannot fail in a way the scan could do anything about.
  }
}

bool PageContent::gatherRuns(const std::optional<FixedRect> &area) {
  m_runs.clear();
  m_area = area;
  m_ordinal = 0;
  m_outOfReach = 0;
  if (!m_page)
    return false;
  // The content stays held while the handle lives: run references point into it.
  if (!m_content)
    m_content = hostTables().pagePDEContent->pageAcquireContent(m_page);
  walk(m_content);
  return true;
}

void PageContent::walk(ContentHandle list) {
  PDFEditReadTable &read = hostTables().pdfEditRead.must();
  // Forms and containers nest; walk them with an explicit stack so that no content can exhaust
  // the call stack.
  std::vector<std::pair<ContentHandle, int32_t>> pending{{list, 0}};
  while (!pending.empty()) {
    auto &[current, index] = pending.back();
    if (index >= read.contentNumElements(current)) {
      pending.pop_back();
      continue;
    }
    ElementHandle element = read.contentGetElement(current, index++);
    switch (read.elementGetKind(element)) {
    case ContentElementKind::Form:
    case ContentElementKind::Container:
      if (ContentHandle inner = read.elementGetContent(element))
        pending.emplace_back(inner, 0);
      break;
    case ContentElementKind::External: break;
    case ContentElementKind::Text:
    case ContentElementKind::Other: visit(element); break;
    }
  }
}

void PageContent::visit(ElementHandle element) {
  PDFEditReadTable &read = hostTables().pdfEditRead.must();
  if (read.elementGetKind(element) != ContentElementKind::Text)
    return;
  const int32_t count = read.textNumRuns(element);
  const std::optional<HostRect> area = m_area ? std::optional(toHost(*m_area)) : std::nullopt;
  for (int32_t i = 0; i < count; ++i) {
    const HostRect box = read.textRunGetBBox(element, i);
    // Fixed point ends there: such a run would be measured at the wrong place, or nowhere.
    if (std::max({std::abs(box.left), std::abs(box.right), std::abs(box.top),
                  std::abs(box.bottom)}) >= kMaxCoordinate) {
      ++m_outOfReach;
      continue;
    }
    if (area && !read.textRunIsInRect(element, i, *area))
      continue;
    m_runs.push_back(RunRef{element, 1, toFixed(box), i, m_ordinal});
  }
  ++m_ordinal;
}

bool PageContent::buildTextRun(const RunRef &ref, bool trim, TextRun &out) const {
  Fixed trimmedLeft = 0;
  uint32_t blanks = 0;
  if (!readRun(ref, trim, out, trimmedLeft, blanks))
    return false;
  if (trim) {
    out.box.left = trimmedLeft;
    out.text.erase(0, blanks);
  }
  return true;
}

bool PageContent::buildTextRunBothWays(const RunRef &ref, TextRun &out, Fixed &trimmedLeft,
                                       uint32_t &leadingBlanks) const {
  return readRun(ref, true, out, trimmedLeft, leadingBlanks);
}

bool PageContent::readRun(const RunRef &ref, bool measureTrim, TextRun &out, Fixed &trimmedLeft,
                          uint32_t &leadingBlanks) const {
  PDFEditReadTable &read = hostTables().pdfEditRead.must();
  out = TextRun();
  const int32_t chars = read.textRunGetNumChars(ref.element, ref.runIndex);
  if (chars < 0)
    return false;
  std::string text = cleanRunText(read.textRunGetText(ref.element, ref.runIndex));
  if (text.empty())
    return false;
  const TextRunFont font = read.textRunGetFont(ref.element, ref.runIndex);
  out.box = toFixed(read.textRunGetBBox(ref.element, ref.runIndex));
  trimmedLeft = out.box.left;
  leadingBlanks = 0;
  if (measureTrim) {
    const auto blanks = std::find_if_not(text.begin(), text.end(), isBlankByte) - text.begin();
    const int32_t first = read.textRunGetCharOffset(ref.element, ref.runIndex);
    const int64_t q = std::min<int64_t>(int64_t(blanks) + first, int64_t(first) + chars - 1);
    if (q >= 0) {
      trimmedLeft = fixedFromDouble(read.textGetCharBBox(ref.element, int32_t(q)).left);
      leadingBlanks = uint32_t(blanks);
    }
  }
  out.text = std::move(text);
  out.fontName = font.name;
  out.fontSize = read.textRunGetFontSize(ref.element, ref.runIndex);
  out.valid = true;
  return true;
}

std::string cleanRunText(std::string_view text) {
  // Most runs are printable ASCII and stay as they are.
  if (std::all_of(text.begin(), text.end(), [](char c) { return c >= 0x20 && c < 0x7F; }))
    return std::string(text);
  const std::string utf8 = sanitizeUtf8(text);
  std::string out;
  out.reserve(utf8.size());
  for (char c : utf8) {
    const auto b = static_cast<unsigned char>(c);
    if (b == '\t' || b == '\n' || b == '\r' || b == '\v' || b == '\f')
      out += ' ';
    else if (b >= 0x20 && b != 0x7F)
      out += c;
  }
  return out;
}

int compareLines(const FixedRect &a, const FixedRect &b) {
  const int64_t at = a.top, ab = a.bottom, bt = b.top, bb = b.bottom;
  const int64_t qb = (bt - bb) / 4;
  if (bt - ab < qb && 2 * qb < ab - bb)
    return -1;
  const int64_t qa = (at - ab) / 4;
  if (at - bb < qa && 2 * qa < bb - ab)
    return 1;
  return 0;
}

} // namespace sorvane
