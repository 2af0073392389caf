// The engine side of an open PDF document, for the code of the PDF adapter only: the MuPDF
// context and document, the page map, the slots that give handles to PDF objects, and the
// outline's bookkeeping.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "host/pdf/metric_fonts.h"
#include "host/pdf/pdf_object.h"
#include "host/pdf/pdf_ops.h"

namespace sorvane::host {

class DocumentEngine {
public:
  // The context and document given by setEngine and setDocument belong to this object.
  explicit DocumentEngine(std::string path);
  ~DocumentEngine();
  DocumentEngine(const DocumentEngine &) = delete;
  DocumentEngine &operator=(const DocumentEngine &) = delete;

  fz_context *ctx() const { return m_ctx; }
  pdf_document *doc() const { return m_doc; }
  PdfOps ops() const { return PdfOps(m_ctx, m_doc); }
  const std::string &path() const { return m_path; }
  void setEngine(fz_context *ctx) { m_ctx = ctx; }
  void setDocument(pdf_document *doc) { m_doc = doc; }
  // The pages the page tree holds, found by walking it (never taken from its /Count).
  int32_t pageCount();

  std::vector<std::string> &warnings() { return m_warnings; }
  // The fonts read from their dictionaries alone that the store holds for page reading.
  MetricFontSet &metricFonts() { return m_metricFonts; }

  // ---- pages
  // A new indirect reference to the page at `index`. Throws HostError(BadParameter) for an
  // index outside the document.
  PdfObject pageReference(int index);
  // The index of the page `obj` refers to, or -1 when it is no page of this document.
  int pageIndexOf(pdf_obj *obj);

  // ---- slots: handles to PDF objects
  // Slot kRootSlot stands for the outline root, which may not exist yet; slot 0 for nothing.
  static constexpr uint32_t kRootSlot = 1;
  // The slot of `obj`: the same object always gets the same slot (an indirect object by its
  // number, a direct one by its identity), so asking again costs no memory.
  uint32_t slotFor(pdf_obj *obj);
  // The slot of an object made for a handle (nothing else refers to it); it lives as long as
  // the document.
  uint32_t adopt(PdfObject made);
  // Null for the missing outline root; throws HostError(InvalidHandle) for a bad slot.
  pdf_obj *objectAt(uint32_t slot);
  // Forgets what stands for objects that changes now taken back had made (numbers from
  // `firstNew` on) or replaced (objects held directly rather than by number): they are looked
  // up afresh when asked for again. Handles to them from before no longer reach the document.
  void forgetObjectsFrom(int firstNew);
  // The go-to action standing for the plain destination `dest` of the outline item `item`:
  // made once per item and destination.
  uint32_t goToSlotFor(pdf_obj *item, pdf_obj *dest);

  // ---- the outline
  // The outline root dictionary, made (and linked from the catalog) when `create` is set.
  pdf_obj *outlineRoot(bool create);
  // Open state of bookmarks without children, which /Count cannot hold.
  std::unordered_set<int> &openLeaves() { return m_openLeaves; }
  // Brings every /Count of the outline in line with the tree and the open states.
  void updateOutlineCounts();

private:
  void loadPageMap();

  std::string m_path;
  fz_context *m_ctx = nullptr;
  pdf_document *m_doc = nullptr;
  std::vector<std::string> m_warnings;
  MetricFontSet m_metricFonts;
  // Page object numbers by index and back, made on first use. (MuPDF's own page map leaks
  // page dictionaries when pages are looked up through it, and trusts /Count.)
  bool m_pageMapLoaded = false;
  std::vector<int> m_pageNums;
  std::unordered_map<int, int> m_pageIndex;
  // Slot 0 is never used, slot 1 is the root. Declared after the context and document, but
  // released before them by the destructor.
  std::vector<PdfObject> m_slots;
  std::unordered_map<int, uint32_t> m_slotByNum;
  std::unordered_map<const pdf_obj *, uint32_t> m_slotByIdentity;
  std::unordered_map<int, uint32_t> m_goToByItem;
  std::unordered_set<int> m_openLeaves;
};

} // namespace sorvane::host
