#include "host/pdf/outline_model.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace sorvane::host {
namespace {

void setOrRemove(const PdfOps &ops, pdf_obj *dict, pdf_obj *key, pdf_obj *value) {
  if (value)
    ops.put(dict, key, value);
  else
    ops.remove(dict, key);
}

} // namespace

BookmarkHandle OutlineModel::docGetBookmarkRoot(DocHandle doc) {
  PdfDocument &d = m_reg.docById(doc);
  return makeHandle<BookmarkHandle>(m_reg, d, DocumentEngine::kRootSlot);
}

bool OutlineModel::bookmarkIsValid(BookmarkHandle bm) {
  if (!bm)
    return false;
  try {
    Ref b = deref(m_reg, bm);
    return isRoot(bm) || b.ops.isDict(b.obj);
  } catch (const HostError &) {
    return false;
  }
}

std::string OutlineModel::bookmarkGetTitle(BookmarkHandle bm) {
  Ref b = deref(m_reg, bm);
  return b.ops.textString(b.ops.get(b.obj, PDF_NAME(Title)));
}

void OutlineModel::bookmarkSetTitle(BookmarkHandle bm, std::string_view title) {
  Ref b = mustItem(bm);
  b.ops.putTextString(b.obj, PDF_NAME(Title), title);
}

BookmarkHandle OutlineModel::link(BookmarkHandle bm, pdf_obj *key) {
  Ref b = deref(m_reg, bm);
  if (!b.obj)
    return BookmarkHandle(); // an outline that does not exist yet
  pdf_obj *target = b.ops.get(b.obj, key);
  if (!b.ops.isDict(target))
    return BookmarkHandle();
  return handleOf(b, target);
}

BookmarkHandle OutlineModel::bookmarkAddNewChild(BookmarkHandle parent, std::string_view title) {
  Ref p = deref(m_reg, parent);
  pdf_obj *parentObj = isRoot(parent) ? p.engine().outlineRoot(true) : p.obj;
  if (!p.ops.isDict(parentObj))
    throw HostError(ErrorCode::BadParameter, "The parent bookmark is not valid.");
  const PdfObject item = newItem(p, parentObj, title);
  pdf_obj *last = p.ops.get(parentObj, PDF_NAME(Last));
  if (p.ops.isDict(last)) {
    p.ops.put(last, PDF_NAME(Next), item.get());
    p.ops.put(item.get(), PDF_NAME(Prev), last);
  } else {
    p.ops.put(parentObj, PDF_NAME(First), item.get());
  }
  p.ops.put(parentObj, PDF_NAME(Last), item.get());
  return handleOf(p, item.get());
}

BookmarkHandle OutlineModel::bookmarkAddNewSibling(BookmarkHandle bm, std::string_view title) {
  Ref b = mustItem(bm);
  pdf_obj *parent = b.ops.get(b.obj, PDF_NAME(Parent));
  if (!b.ops.isDict(parent))
    throw HostError(ErrorCode::BadParameter, "The bookmark is not in an outline.");
  const PdfObject item = newItem(b, parent, title);
  pdf_obj *next = b.ops.get(b.obj, PDF_NAME(Next));
  b.ops.put(item.get(), PDF_NAME(Prev), b.obj);
  if (b.ops.isDict(next)) {
    b.ops.put(item.get(), PDF_NAME(Next), next);
    b.ops.put(next, PDF_NAME(Prev), item.get());
  } else {
    b.ops.put(parent, PDF_NAME(Last), item.get());
  }
  b.ops.put(b.obj, PDF_NAME(Next), item.get());
  return handleOf(b, item.get());
}

void OutlineModel::bookmarkUnlink(BookmarkHandle bm) {
  Ref b = mustItem(bm);
  pdf_obj *parent = b.ops.get(b.obj, PDF_NAME(Parent));
  pdf_obj *prev = b.ops.get(b.obj, PDF_NAME(Prev));
  pdf_obj *next = b.ops.get(b.obj, PDF_NAME(Next));
  const bool hasPrev = b.ops.isDict(prev);
  const bool hasNext = b.ops.isDict(next);
  if (hasPrev)
    setOrRemove(b.ops, prev, PDF_NAME(Next), hasNext ? next : nullptr);
  else if (b.ops.isDict(parent))
    setOrRemove(b.ops, parent, PDF_NAME(First), hasNext ? next : nullptr);
  if (hasNext)
    setOrRemove(b.ops, next, PDF_NAME(Prev), hasPrev ? prev : nullptr);
  else if (b.ops.isDict(parent))
    setOrRemove(b.ops, parent, PDF_NAME(Last), hasPrev ? prev : nullptr);
  b.ops.remove(b.obj, PDF_NAME(Prev));
  b.ops.remove(b.obj, PDF_NAME(Next));
  b.ops.remove(b.obj, PDF_NAME(Parent));
}

void OutlineModel::linkBeside(BookmarkHandle bm, BookmarkHandle sibling, bool before) {
  Ref b = mustUnlinked(bm);
  Ref s = mustItem(sibling);
  if (&b.doc != &s.doc)
    throw HostError(ErrorCode::BadParameter, "The bookmarks are in different documents.");
  pdf_obj *toward = before ? PDF_NAME(Prev) : PDF_NAME(Next);
  pdf_obj *away = before ? PDF_NAME(Next) : PDF_NAME(Prev);
  pdf_obj *parent = s.ops.get(s.obj, PDF_NAME(Parent));
  pdf_obj *neighbour = s.ops.get(s.obj, toward);
  b.ops.put(b.obj, PDF_NAME(Parent), parent);
  b.ops.put(b.obj, away, s.obj);
  s.ops.put(s.obj, toward, b.obj);
  if (b.ops.isDict(neighbour)) {
    b.ops.put(neighbour, away, b.obj);
    b.ops.put(b.obj, toward, neighbour);
  } else {
    b.ops.put(parent, before ? PDF_NAME(First) : PDF_NAME(Last), b.obj);
  }
}

void OutlineModel::bookmarkLinkAsLastChild(BookmarkHandle bm, BookmarkHandle parent) {
  Ref b = mustUnlinked(bm);
  Ref p = deref(m_reg, parent);
  pdf_obj *parentObj = isRoot(parent) ? p.engine().outlineRoot(true) : p.obj;
  if (&p.doc != &b.doc || !p.ops.isDict(parentObj))
    throw HostError(ErrorCode::BadParameter, "The parent bookmark is not valid.");
  pdf_obj *last = p.ops.get(parentObj, PDF_NAME(Last));
  b.ops.put(b.obj, PDF_NAME(Parent), parentObj);
  if (p.ops.isDict(last)) {
    p.ops.put(last, PDF_NAME(Next), b.obj);
    b.ops.put(b.obj, PDF_NAME(Prev), last);
  } else {
    p.ops.put(parentObj, PDF_NAME(First), b.obj);
  }
  p.ops.put(parentObj, PDF_NAME(Last), b.obj);
}

void OutlineModel::bookmarkDestroy(BookmarkHandle bm) {
  if (isRoot(bm)) {
    Ref r = deref(m_reg, bm);
    if (r.obj) {
      r.ops.remove(r.obj, PDF_NAME(First));
      r.ops.remove(r.obj, PDF_NAME(Last));
    }
    return;
  }
  // Unlinked, the bookmark and its subtree are no longer part of the outline.
  bookmarkUnlink(bm);
}

bool OutlineModel::bookmarkIsOpen(BookmarkHandle bm) {
  Ref b = deref(m_reg, bm);
  if (isRoot(bm))
    return true;
  pdf_obj *count = b.ops.get(b.obj, PDF_NAME(Count));
  const int num = b.ops.num(b.obj);
  return (b.ops.type(count) == CosType::Integer && b.ops.toInt(count) > 0) ||
         (num != 0 && b.engine().openLeaves().count(num));
}

void OutlineModel::bookmarkSetOpen(BookmarkHandle bm, bool open) {
  Ref b = mustItem(bm);
  const int num = b.ops.num(b.obj);
  if (num != 0) {
    if (open)
      b.engine().openLeaves().insert(num);
    else
      b.engine().openLeaves().erase(num);
  }
  if (!b.ops.isDict(b.ops.get(b.obj, PDF_NAME(First))))
    return; // a leaf: /Count has nothing to say until it gets children
  // Only the sign matters here; the magnitudes are brought up to date before saving.
  pdf_obj *count = b.ops.get(b.obj, PDF_NAME(Count));
  int64_t magnitude = b.ops.type(count) == CosType::Integer ? std::llabs(b.ops.toInt(count)) : 0;
  if (magnitude == 0)
    magnitude = 1;
  b.ops.putInt(b.obj, PDF_NAME(Count), open ? magnitude : -magnitude);
}

HostRgb OutlineModel::bookmarkGetColor(BookmarkHandle bm) {
  Ref b = deref(m_reg, bm);
  HostRgb rgb{0, 0, 0};
  pdf_obj *c = b.ops.get(b.obj, PDF_NAME(C));
  if (b.ops.isArray(c) && b.ops.arrayLength(c) == 3)
    for (int i = 0; i < 3; ++i)
      rgb[size_t(i)] = b.ops.toReal(b.ops.arrayGet(c, i));
  return rgb;
}

void OutlineModel::bookmarkSetColor(BookmarkHandle bm, const HostRgb &color) {
  Ref b = mustItem(bm);
  double values[3];
  for (size_t i = 0; i < 3; ++i)
    values[i] = std::isfinite(color[i]) ? std::clamp(color[i], 0.0, 1.0) : 0.0;
  if (values[0] == 0 && values[1] == 0 && values[2] == 0) {
    b.ops.remove(b.obj, PDF_NAME(C)); // black is what readers show without /C
    return;
  }
  const PdfObject array = b.ops.newRealArray(values, 3);
  b.ops.put(b.obj, PDF_NAME(C), array.get());
}

int32_t OutlineModel::bookmarkGetFlags(BookmarkHandle bm) {
  Ref b = deref(m_reg, bm);
  return static_cast<int32_t>(b.ops.toInt(b.ops.get(b.obj, PDF_NAME(F))));
}

void OutlineModel::bookmarkSetFlags(BookmarkHandle bm, int32_t flags) {
  Ref b = mustItem(bm);
  if (flags == 0)
    b.ops.remove(b.obj, PDF_NAME(F));
  else
    b.ops.putInt(b.obj, PDF_NAME(F), flags);
}

Ref OutlineModel::mustItem(BookmarkHandle bm) {
  Ref b = deref(m_reg, bm);
  if (isRoot(bm) || !b.ops.isDict(b.obj))
    throw HostError(ErrorCode::BadParameter, "Not a bookmark of the outline.");
  return b;
}

Ref OutlineModel::mustUnlinked(BookmarkHandle bm) {
  Ref b = mustItem(bm);
  if (b.ops.isDict(b.ops.get(b.obj, PDF_NAME(Parent))))
    throw HostError(ErrorCode::BadParameter, "The bookmark is still linked into the outline.");
  return b;
}

PdfObject OutlineModel::newItem(const Ref &r, pdf_obj *parent, std::string_view title) {
  PdfObject item = r.ops.newIndirectDict();
  r.ops.putTextString(item.get(), PDF_NAME(Title), title);
  r.ops.put(item.get(), PDF_NAME(Parent), parent);
  return item;
}

BookmarkHandle OutlineModel::handleOf(const Ref &r, pdf_obj *item) {
  return makeHandle<BookmarkHandle>(m_reg, r.doc, r.engine().slotFor(item));
}

} // namespace sorvane::host
