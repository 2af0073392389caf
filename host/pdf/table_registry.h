// How the document tables give handles: a handle holds the id of its open document in its upper
// half and the object's slot (document_engine.h) in its lower half.
#pragma once

#include <cstdint>
#include <string_view>
#include <unordered_map>

#include "host/base/atom_table.h"
#include "host/pdf/document_engine.h"
#include "host/pdf/pdf_document.h"
#include "sdk/host_error.h"

namespace sorvane::host {

struct Registry {
  std::unordered_map<uint32_t, PdfDocument *> docs;
  uint32_t next = 1;

  // The document of a handle to one of its objects.
  PdfDocument &doc(uint64_t handle) const { return byId(static_cast<uint32_t>(handle >> 32)); }
  PdfDocument &docById(DocHandle h) const { return byId(static_cast<uint32_t>(h.value())); }
  PdfDocument &byId(uint32_t id) const {
    auto it = docs.find(id);
    if (it == docs.end())
      throw HostError(ErrorCode::InvalidHandle, "The document is no longer open.");
    return *it->second;
  }
  uint32_t idOf(const PdfDocument &d) const {
    for (const auto &[id, doc] : docs)
      if (doc == &d)
        return id;
    throw HostError(ErrorCode::InvalidHandle, "The document is no longer open.");
  }
};

template <class H> H makeHandle(const Registry &r, const PdfDocument &d, uint32_t slot) {
  return slot ? H((uint64_t(r.idOf(d)) << 32) | slot) : H();
}

inline uint32_t slotOf(uint64_t handle) { return static_cast<uint32_t>(handle & 0xFFFFFFFFu); }

// The object a handle stands for, borrowed from its document's slot.
struct Ref {
  PdfDocument &doc;
  pdf_obj *obj;
  PdfOps ops;
  DocumentEngine &engine() const { return doc.engine(); }
};

template <class H> Ref deref(const Registry &r, H h) {
  PdfDocument &d = r.doc(h.value());
  pdf_obj *obj = d.engine().objectAt(slotOf(h.value()));
  return Ref{d, obj, d.engine().ops()};
}

inline Atom atomOf(std::string_view name) { return AtomTable::instance().intern(name); }

} // namespace sorvane::host
