// Actions, destinations and file specifications of the open documents, as the "PDModel" table
// offers them.
#pragma once

#include <optional>
#include <string>

#include "host/pdf/outline_model.h"
#include "host/pdf/table_registry.h"

namespace sorvane::host {

class ActionModel {
public:
  ActionModel(Registry &r, OutlineModel &outline) : m_reg(r), m_outline(outline) {}

  ActionHandle bookmarkGetAction(BookmarkHandle bm);
  void bookmarkSetAction(BookmarkHandle bm, ActionHandle action);

  bool actionIsValid(ActionHandle action);
  Atom actionGetSubtype(ActionHandle action);
  ViewDestHandle actionGetDest(ActionHandle action);
  FileSpecHandle actionGetFileSpec(ActionHandle action);
  CosObjHandle actionGetCosObj(ActionHandle action);
  ActionHandle actionNewFromDest(DocHandle doc, ViewDestHandle dest, DocHandle target);

  ViewDestHandle viewDestCreate(DocHandle doc, PageHandle page, Atom fitType, const HostRect &rect,
                                double zoom);
  bool viewDestIsValid(ViewDestHandle dest);
  ViewDestHandle viewDestResolve(ViewDestHandle dest, DocHandle doc);
  int32_t viewDestGetPageIndex(ViewDestHandle dest);
  Atom viewDestGetFitType(ViewDestHandle dest);

  bool fileSpecIsValid(FileSpecHandle spec);
  std::string fileSpecGetDIPath(FileSpecHandle spec);
  std::optional<std::string> fileSpecGetPlatformPath(FileSpecHandle spec, DocHandle doc);

private:
  template <class H> H handleOf(const Ref &r, pdf_obj *obj) {
    return makeHandle<H>(m_reg, r.doc, r.engine().slotFor(obj));
  }

  Registry &m_reg;
  OutlineModel &m_outline;
};

} // namespace sorvane::host
