#include "host/pdf/document_engine.h"

#include <mupdf/pdf.h>

#include "host/pdf/mupdf_call.h"
#include "host/pdf/outline_tree.h"

namespace sorvane::host {

DocumentEngine::DocumentEngine(std::string path) : m_path(std::move(path)) {
  m_slots.resize(2); // slot 0 is never used, slot 1 is the root
}

DocumentEngine::~DocumentEngine() {
  if (!m_ctx)
    return;
  m_slots.clear(); // every reference goes before the document
  m_metricFonts.clear(m_ctx);
  fz_try(m_ctx) { pdf_drop_document(m_ctx, m_doc); }
  fz_catch(m_ctx) {}
  fz_drop_context(m_ctx);
}

void DocumentEngine::loadPageMap() {
  if (m_pageMapLoaded)
    return;
  m_pageMapLoaded = true;
  // The page tree as it is, walked in page order with an explicit stack: the /Count entries
  // are not trusted (a tree may claim two billion pages, or list one page many times), and a
  // tree node met a second time is not entered again.
  std::vector<int> nums;
  std::string problem;
  fz_context *ctx = m_ctx;
  pdf_document *doc = m_doc;
  mupdfCall(ctx, ErrorCode::PdfDamaged, "cannot read the page tree", [&] {
    pdf_obj *root = pdf_dict_getp(ctx, pdf_trailer(ctx, doc), "Root/Pages");
    struct Frame {
      pdf_obj *kids;
      int next;
      int length;
    };
    std::vector<Frame> *stack = new std::vector<Frame>();
    std::unordered_set<int> *entered = new std::unordered_set<int>();
    fz_try(ctx) {
      if (pdf_is_dict(ctx, root)) {
        entered->insert(pdf_to_num(ctx, root));
        pdf_obj *kids = pdf_dict_get(ctx, root, PDF_NAME(Kids));
        stack->push_back(Frame{kids, 0, pdf_array_len(ctx, kids)});
      }
      while (!stack->empty()) {
        Frame &top = stack->back();
        if (top.next >= top.length) {
          stack->pop_back();
          continue;
        }
        pdf_obj *kid = pdf_array_get(ctx, top.kids, top.next++);
        if (!pdf_is_dict(ctx, kid))
          continue;
        pdf_obj *kids = pdf_dict_get(ctx, kid, PDF_NAME(Kids));
        const bool isNode =
            pdf_is_array(ctx, kids) &&
            !pdf_name_eq(ctx, pdf_dict_get(ctx, kid, PDF_NAME(Type)), PDF_NAME(Page));
        if (!isNode) {
          nums.push_back(pdf_is_indirect(ctx, kid) ? pdf_to_num(ctx, kid)
                                                   : pdf_obj_parent_num(ctx, kid));
          continue;
        }
        if (!entered->insert(pdf_to_num(ctx, kid)).second) {
          problem = "the page tree leads back into itself; the pages are read up to there";
          continue;
        }
        stack->push_back(Frame{kids, 0, pdf_array_len(ctx, kids)});
      }
    }
    fz_always(ctx) {
      delete stack;
      delete entered;
    }
    fz_catch(ctx) { fz_rethrow(ctx); }
  });
  if (!problem.empty())
    m_warnings.push_back(m_path + ": " + problem + ".");
  m_pageNums = std::move(nums);
  for (size_t i = 0; i < m_pageNums.size(); ++i)
    m_pageIndex.emplace(m_pageNums[i], int(i)); // a page listed twice keeps its first index
}

int32_t DocumentEngine::pageCount() {
  loadPageMap();
  return static_cast<int32_t>(m_pageNums.size());
}

PdfObject DocumentEngine::pageReference(int index) {
  loadPageMap();
  if (index < 0 || size_t(index) >= m_pageNums.size())
    throw HostError(ErrorCode::BadParameter, "Page " + std::to_string(index + 1) +
                                                 " is not in the document (it has " +
                                                 std::to_string(m_pageNums.size()) + ").");
  pdf_obj *ref = nullptr;
  const int num = m_pageNums[size_t(index)];
  mupdfCall(m_ctx, ErrorCode::Generic, "cannot refer to the page",
            [&] { ref = pdf_new_indirect(m_ctx, m_doc, num, 0); });
  return PdfObject(m_ctx, ref);
}

int DocumentEngine::pageIndexOf(pdf_obj *obj) {
  const int num = ops().num(obj);
  if (num == 0)
    return -1;
  loadPageMap();
  auto it = m_pageIndex.find(num);
  return it == m_pageIndex.end() ? -1 : it->second;
}

uint32_t DocumentEngine::slotFor(pdf_obj *obj) {
  if (!obj)
    return 0;
  const int n = ops().num(obj);
  if (n != 0) {
    if (pdf_obj *root = outlineRoot(false); root && ops().num(root) == n)
      return kRootSlot;
    if (auto it = m_slotByNum.find(n); it != m_slotByNum.end())
      return it->second;
  } else if (auto it = m_slotByIdentity.find(obj); it != m_slotByIdentity.end()) {
    // The slot keeps a reference, so the object cannot have gone and another taken its place.
    return it->second;
  }
  PdfObject kept = PdfObject::keep(m_ctx, obj);
  m_slots.push_back(std::move(kept));
  const auto slot = static_cast<uint32_t>(m_slots.size() - 1);
  if (n != 0)
    m_slotByNum.emplace(n, slot);
  else
    m_slotByIdentity.emplace(obj, slot);
  return slot;
}

uint32_t DocumentEngine::adopt(PdfObject made) {
  if (!made)
    return 0;
  const pdf_obj *identity = made.get();
  m_slots.push_back(std::move(made));
  const auto slot = static_cast<uint32_t>(m_slots.size() - 1);
  m_slotByIdentity.emplace(identity, slot);
  return slot;
}

uint32_t DocumentEngine::goToSlotFor(pdf_obj *item, pdf_obj *dest) {
  const PdfOps o = ops();
  const int num = o.num(item);
  if (auto it = m_goToByItem.find(num); num != 0 && it != m_goToByItem.end()) {
    // Still the same destination: the action made before stands for it.
    if (o.get(m_slots[it->second].get(), PDF_NAME(D)) == dest)
      return it->second;
  }
  const uint32_t slot = adopt(o.newGoToAction(dest));
  if (num != 0)
    m_goToByItem[num] = slot;
  return slot;
}

void DocumentEngine::forgetObjectsFrom(int firstNew) {
  std::erase_if(m_slotByNum, [&](const auto &entry) { return entry.first >= firstNew; });
  std::erase_if(m_openLeaves, [&](int num) { return num >= firstNew; });
  m_slotByIdentity.clear();
  m_goToByItem.clear();
}

pdf_obj *DocumentEngine::objectAt(uint32_t slot) {
  if (slot == kRootSlot)
    return outlineRoot(false);
  if (slot == 0 || slot >= m_slots.size())
    throw HostError(ErrorCode::InvalidHandle, "Invalid PDF object handle.");
  return m_slots[slot].get();
}

pdf_obj *DocumentEngine::outlineRoot(bool create) {
  const PdfOps o = ops();
  pdf_obj *catalog = o.trailerGet(PDF_NAME(Root));
  pdf_obj *root = o.get(catalog, PDF_NAME(Outlines));
  if (o.isDict(root))
    return root;
  if (!create)
    return nullptr;
  if (!o.isDict(catalog))
    throw HostError(ErrorCode::PdfDamaged, m_path + ": the document has no catalog.");
  PdfObject made = o.newIndirectDict();
  o.putName(made.get(), PDF_NAME(Type), "Outlines");
  o.put(catalog, PDF_NAME(Outlines), made.get());
  return o.get(catalog, PDF_NAME(Outlines));
}

void DocumentEngine::updateOutlineCounts() {
  pdf_obj *root = outlineRoot(false);
  if (!root)
    return;
  OutlineTree tree = OutlineTree::read(*this, root);
  const PdfOps o = ops();
  // Children come after their parents, so going backwards sums each subtree before its parent.
  std::vector<int64_t> visible(tree.nodes.size(), 0);
  for (size_t i = tree.nodes.size(); i-- > 0;) {
    const OutlineTree::Node &node = tree.nodes[i];
    const bool open = node.parent < 0 || node.open;
    if (node.parent >= 0)
      visible[size_t(node.parent)] += 1 + (open ? visible[i] : 0);
    int64_t wanted = 0;
    bool keep = false;
    if (node.parent < 0) {
      wanted = visible[i];
      keep = wanted > 0;
    } else if (node.childCount > 0) {
      wanted = open ? visible[i] : -visible[i];
      keep = true;
    }
    pdf_obj *current = o.get(node.obj, PDF_NAME(Count));
    const bool has = o.type(current) == CosType::Integer;
    if (keep && (!has || o.toInt(current) != wanted))
      o.putInt(node.obj, PDF_NAME(Count), wanted);
    else if (!keep && !o.isNull(current))
      o.remove(node.obj, PDF_NAME(Count));
  }
}

} // namespace sorvane::host
