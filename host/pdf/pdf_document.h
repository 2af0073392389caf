// A PDF document open in the host: the file, its pages, security, outline objects and saving.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "sdk/document_tables.h"

struct fz_context;
struct pdf_document;
struct pdf_obj;

namespace sorvane::host {

enum class SaveMode {
  Auto, // incremental when the file allows it, a full rewrite when it had to be repaired
  Full, // always rewrite the whole file
};

class PdfDocument {
public:
  // Opens `path`. Throws HostError: FileNotFound or FileAccess for a file that cannot be read,
  // PdfDamaged for one that is no PDF or has no page left after repair, PdfPassword when a
  // password is needed and `password` is missing or wrong.
  static std::unique_ptr<PdfDocument> open(const std::string &path,
                                           const std::string &password = {});
  ~PdfDocument();
  PdfDocument(const PdfDocument &) = delete;
  PdfDocument &operator=(const PdfDocument &) = delete;

  const std::string &path() const { return m_path; }
  int32_t pageCount() const { return m_pageCount; }
  bool wasRepaired() const { return m_repaired; }
  // Permission word of the standard security handler; nothing for an unencrypted document.
  std::optional<uint32_t> permissions() const { return m_permissions; }

  // Writes the document to `target` through a temporary file in the same folder, renamed over
  // the target only when the save succeeded. Only the first save can be incremental: later
  // ones rewrite the whole file, since an appended section can only follow the file it was
  // made for. Throws HostError.
  void save(const std::string &target, SaveMode mode = SaveMode::Auto);

  // Messages MuPDF gave while reading the file (repairs, damaged objects), oldest first.
  const std::vector<std::string> &warnings() const { return m_warnings; }
  void addWarning(std::string message);

  // ---- for the host's tables
  fz_context *ctx() const { return m_ctx; }
  pdf_document *doc() const { return m_doc; }

  // Slots give handles to PDF objects. An indirect object always gets the same slot.
  // Slot kRootSlot stands for the outline root, which may not exist yet.
  static constexpr uint32_t kRootSlot = 1;
  uint32_t slotFor(pdf_obj *obj);
  pdf_obj *objectAt(uint32_t slot); // null for the missing outline root; throws for a bad slot
  // The outline root dictionary, made (and linked from the catalog) when `create` is set.
  pdf_obj *outlineRoot(bool create);

  // A new indirect reference to the page at `index` (the caller drops it). Throws
  // HostError(BadParameter) for an index outside the document.
  pdf_obj *pageReference(int index);
  // The index of the page `obj` refers to, or -1 when it is no page of this document.
  int pageIndexOf(pdf_obj *obj);

  // Open state of bookmarks without children, which /Count cannot hold.
  std::unordered_set<int> &openLeaves() { return m_openLeaves; }
  // Brings every /Count of the outline in line with the tree and the open states.
  void updateOutlineCounts();

private:
  PdfDocument() = default;

  fz_context *m_ctx = nullptr;
  pdf_document *m_doc = nullptr;
  // Page object numbers by index and back, made on first use. (MuPDF's own page map leaks
  // page dictionaries when pages are looked up through it.)
  void loadPageMap();
  std::vector<int> m_pageNums;
  std::unordered_map<int, int> m_pageIndex;
  std::string m_path;
  int32_t m_pageCount = 0;
  bool m_repaired = false;
  bool m_saved = false;
  std::optional<uint32_t> m_permissions;
  std::vector<std::string> m_warnings;
  std::vector<pdf_obj *> m_slots{nullptr, nullptr}; // slot 0 is never used, slot 1 is the root
  std::unordered_map<int, uint32_t> m_slotByNum;
  std::unordered_set<int> m_openLeaves;
};

} // namespace sorvane::host
