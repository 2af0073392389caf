#include "host/pdf/action_model.h"

#include <cmath>

#include "host/base/view_kinds.h"

namespace sorvane::host {
namespace {

// The explicit destination array of a destination object (an array, or a dictionary with /D).
pdf_obj *destArray(const Ref &r) {
  return r.ops.isDict(r.obj) ? r.ops.get(r.obj, PDF_NAME(D)) : r.obj;
}

} // namespace

ActionHandle ActionModel::bookmarkGetAction(BookmarkHandle bm) {
  Ref b = deref(m_reg, bm);
  if (OutlineModel::isRoot(bm))
    return ActionHandle();
  pdf_obj *action = b.ops.get(b.obj, PDF_NAME(A));
  if (b.ops.isDict(action))
    return handleOf<ActionHandle>(b, action);
  pdf_obj *dest = b.ops.get(b.obj, PDF_NAME(Dest));
  if (b.ops.isNull(dest))
    return ActionHandle();
  // A plain destination acts as a go-to action to it.
  return makeHandle<ActionHandle>(m_reg, b.doc, b.engine().goToSlotFor(b.obj, dest));
}

void ActionModel::bookmarkSetAction(BookmarkHandle bm, ActionHandle action) {
  Ref b = m_outline.mustItem(bm);
  Ref a = deref(m_reg, action);
  if (&a.doc != &b.doc || !a.ops.isDict(a.obj))
    throw HostError(ErrorCode::BadParameter, "The action is not valid for this bookmark.");
  b.ops.put(b.obj, PDF_NAME(A), a.obj);
  b.ops.remove(b.obj, PDF_NAME(Dest)); // a bookmark has a destination or an action, not both
}

bool ActionModel::actionIsValid(ActionHandle action) {
  if (!action)
    return false;
  try {
    Ref a = deref(m_reg, action);
    return a.ops.isDict(a.obj) && a.ops.type(a.ops.get(a.obj, PDF_NAME(S))) == CosType::Name;
  } catch (const HostError &) {
    return false;
  }
}

Atom ActionModel::actionGetSubtype(ActionHandle action) {
  Ref a = deref(m_reg, action);
  return atomOf(a.ops.name(a.ops.get(a.obj, PDF_NAME(S))));
}

ViewDestHandle ActionModel::actionGetDest(ActionHandle action) {
  Ref a = deref(m_reg, action);
  pdf_obj *d = a.ops.get(a.obj, PDF_NAME(D));
  return a.ops.isNull(d) ? ViewDestHandle() : handleOf<ViewDestHandle>(a, d);
}

FileSpecHandle ActionModel::actionGetFileSpec(ActionHandle action) {
  Ref a = deref(m_reg, action);
  pdf_obj *f = a.ops.get(a.obj, PDF_NAME(F));
  if (a.ops.isNull(f)) {
    // Launch actions may name the file only in their platform dictionaries.
    for (const char *platform : {"Unix", "Win", "Mac"}) {
      f = a.ops.get(a.ops.get(a.obj, platform), "F");
      if (!a.ops.isNull(f))
        break;
    }
  }
  return a.ops.isNull(f) ? FileSpecHandle() : handleOf<FileSpecHandle>(a, f);
}

CosObjHandle ActionModel::actionGetCosObj(ActionHandle action) {
  Ref a = deref(m_reg, action);
  return handleOf<CosObjHandle>(a, a.obj);
}

ActionHandle ActionModel::actionNewFromDest(DocHandle doc, ViewDestHandle dest, DocHandle target) {
  if (doc != target)
    throw HostError(ErrorCode::BadParameter, "A go-to action leads into its own document.");
  PdfDocument &d = m_reg.docById(doc);
  Ref r = deref(m_reg, dest);
  if (&r.doc != &d)
    throw HostError(ErrorCode::BadParameter, "The destination is in another document.");
  return makeHandle<ActionHandle>(m_reg, d, d.engine().adopt(r.ops.newGoToAction(r.obj)));
}

ViewDestHandle ActionModel::viewDestCreate(DocHandle doc, PageHandle page, Atom fitType,
                                           const HostRect &rect, double zoom) {
  PdfDocument &d = m_reg.docById(doc);
  Ref p = deref(m_reg, page);
  if (&p.doc != &d)
    throw HostError(ErrorCode::BadParameter, "The page is in another document.");
  const std::string name(AtomTable::instance().name(fitType));
  const std::optional<FitType> fit = fitTypeNamed(name);
  if (!fit)
    throw HostError(ErrorCode::BadParameter, "Unknown view fit type \"" + name + "\".");
  // The numbers that follow the fit type's name.
  double params[4] = {};
  const int n = numbersAfter(*fit);
  switch (*fit) {
  case FitType::XYZ: params[0] = rect.left, params[1] = rect.top, params[2] = zoom; break;
  case FitType::FitH:
  case FitType::FitBH: params[0] = rect.top; break;
  case FitType::FitV:
  case FitType::FitBV: params[0] = rect.left; break;
  case FitType::FitR:
    params[0] = rect.left, params[1] = rect.bottom, params[2] = rect.right, params[3] = rect.top;
    break;
  case FitType::Fit:
  case FitType::FitB: break;
  }
  for (int i = 0; i < n; ++i)
    if (!std::isfinite(params[i]))
      params[i] = 0.0;
  return makeHandle<ViewDestHandle>(
      m_reg, d, d.engine().adopt(p.ops.newDestArray(p.obj, name.c_str(), params, n)));
}

bool ActionModel::viewDestIsValid(ViewDestHandle dest) {
  if (!dest)
    return false;
  try {
    return viewDestGetPageIndex(dest) >= 0;
  } catch (const HostError &) {
    return false;
  }
}

ViewDestHandle ActionModel::viewDestResolve(ViewDestHandle dest, DocHandle doc) {
  Ref r = deref(m_reg, dest);
  if (&r.doc != &m_reg.docById(doc))
    throw HostError(ErrorCode::BadParameter, "The destination is in another document.");
  pdf_obj *explicitDest = r.obj;
  const CosType type = r.ops.type(r.obj);
  if (type == CosType::Name || type == CosType::String)
    explicitDest = r.ops.lookupDest(r.obj);
  if (r.ops.isDict(explicitDest))
    explicitDest = r.ops.get(explicitDest, PDF_NAME(D));
  if (!r.ops.isArray(explicitDest))
    return ViewDestHandle();
  return handleOf<ViewDestHandle>(r, explicitDest);
}

int32_t ActionModel::viewDestGetPageIndex(ViewDestHandle dest) {
  Ref r = deref(m_reg, dest);
  pdf_obj *array = destArray(r);
  if (!r.ops.isArray(array) || r.ops.arrayLength(array) < 1)
    return -1;
  pdf_obj *page = r.ops.arrayGet(array, 0);
  if (r.ops.isDict(page))
    return r.engine().pageIndexOf(page);
  if (r.ops.type(page) == CosType::Integer) { // what some producers write
    const int64_t index = r.ops.toInt(page);
    return index >= 0 && index < r.doc.pageCount() ? static_cast<int32_t>(index) : -1;
  }
  return -1;
}

Atom ActionModel::viewDestGetFitType(ViewDestHandle dest) {
  Ref r = deref(m_reg, dest);
  return atomOf(r.ops.name(r.ops.arrayGet(destArray(r), 1)));
}

bool ActionModel::fileSpecIsValid(FileSpecHandle spec) {
  if (!spec)
    return false;
  try {
    Ref r = deref(m_reg, spec);
    const CosType t = r.ops.type(r.obj);
    return t == CosType::String || t == CosType::Dict;
  } catch (const HostError &) {
    return false;
  }
}

std::string ActionModel::fileSpecGetDIPath(FileSpecHandle spec) {
  Ref r = deref(m_reg, spec);
  if (r.ops.type(r.obj) == CosType::String)
    return r.ops.textString(r.obj);
  for (const char *key : {"UF", "F", "Unix", "DOS", "Mac"}) {
    pdf_obj *v = r.ops.get(r.obj, key);
    if (r.ops.type(v) == CosType::String)
      return r.ops.textString(v);
  }
  return {};
}

std::optional<std::string> ActionModel::fileSpecGetPlatformPath(FileSpecHandle spec,
                                                                DocHandle doc) {
  const std::string di = fileSpecGetDIPath(spec);
  if (di.empty())
    return std::nullopt;
  if (di.front() == '/')
    return di;
  const std::string &own = m_reg.docById(doc).path();
  const auto slash = own.rfind('/');
  return slash == std::string::npos ? di : own.substr(0, slash + 1) + di;
}

} // namespace sorvane::host
