#include "host/pdf/pdf_document.h"

#include <sys/stat.h>
#include <unistd.h>

#include <mupdf/pdf.h>

#include "host/pdf/mupdf_call.h"
#include "host/pdf/outline_tree.h"
#include "host/pdf/pdf_ops.h"
#include "host/runtime/file_io.h"

namespace sorvane::host {
namespace {

void onWarning(void *user, const char *message) {
  try {
    static_cast<PdfDocument *>(user)->addWarning(message);
  } catch (...) {
    // A lost warning is better than an exception inside MuPDF.
  }
}

// Errors arrive as HostErrors; MuPDF need not print them as well.
void onError(void *, const char *) {}

void checkReadable(const std::string &path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0)
    throw HostError(ErrorCode::FileNotFound, path + ": no such file.");
  if (S_ISDIR(st.st_mode))
    throw HostError(ErrorCode::FileAccess, path + ": is a folder, not a PDF file.");
  if (::access(path.c_str(), R_OK) != 0)
    throw HostError(ErrorCode::FileAccess, path + ": cannot be read (permission denied).");
}

} // namespace

std::unique_ptr<PdfDocument> PdfDocument::open(const std::string &path,
                                               const std::string &password) {
  checkReadable(path);
  std::unique_ptr<PdfDocument> d(new PdfDocument());
  d->m_path = path;
  d->m_ctx = fz_new_context(nullptr, nullptr, FZ_STORE_DEFAULT);
  if (!d->m_ctx)
    throw HostError(ErrorCode::OutOfMemory, "The PDF engine cannot start.");
  fz_context *ctx = d->m_ctx;
  fz_set_warning_callback(ctx, onWarning, d.get());
  fz_set_error_callback(ctx, onError, nullptr);

  const std::string notPdf = path + ": not a PDF file, or damaged beyond repair";
  pdf_document *doc = nullptr;
  mupdfCall(ctx, ErrorCode::PdfDamaged, notPdf.c_str(),
            [&] { doc = pdf_open_document(ctx, path.c_str()); });
  d->m_doc = doc;

  int needsPassword = 0;
  int access = 0;
  const char *pw = password.c_str();
  mupdfCall(ctx, ErrorCode::PdfDamaged, notPdf.c_str(), [&] {
    needsPassword = pdf_needs_password(ctx, doc);
    if (doc->crypt)
      access = pdf_authenticate_password(ctx, doc, pw);
  });
  if (needsPassword && password.empty())
    throw HostError(ErrorCode::PdfPassword, path + ": the file is encrypted and needs a password.");
  if (!password.empty() && doc->crypt && access == 0)
    throw HostError(ErrorCode::PdfPassword, path + ": the password is not correct.");
  if (doc->crypt) {
    int p = 0;
    mupdfCall(ctx, ErrorCode::PdfDamaged, notPdf.c_str(),
              [&] { p = pdf_document_permissions(ctx, doc); });
    // The owner may do anything, whatever the permission word says.
    d->m_permissions = (access & 4) ? 0xFFFFFFFFu : static_cast<uint32_t>(p);
  }

  int pages = 0;
  int repaired = 0;
  mupdfCall(ctx, ErrorCode::PdfDamaged, notPdf.c_str(), [&] {
    pages = pdf_count_pages(ctx, doc);
    repaired = pdf_was_repaired(ctx, doc);
  });
  d->m_pageCount = pages;
  d->m_repaired = repaired != 0;
  if (pages <= 0 && d->m_repaired)
    throw HostError(ErrorCode::PdfDamaged,
                    path + ": the file is damaged; no page could be recovered.");
  return d;
}

PdfDocument::~PdfDocument() {
  if (!m_ctx)
    return;
  for (pdf_obj *obj : m_slots)
    pdf_drop_obj(m_ctx, obj);
  fz_try(m_ctx) { pdf_drop_document(m_ctx, m_doc); }
  fz_catch(m_ctx) {}
  fz_drop_context(m_ctx);
}

void PdfDocument::loadPageMap() {
  if (!m_pageNums.empty() || m_pageCount <= 0)
    return;
  std::vector<int> nums(size_t(m_pageCount), 0);
  int *out = nums.data();
  const int count = m_pageCount;
  mupdfCall(m_ctx, ErrorCode::PdfDamaged, "cannot read the page tree", [&] {
    for (int i = 0; i < count; ++i) {
      pdf_obj *page = pdf_lookup_page_obj(m_ctx, m_doc, i);
      out[i] =
          pdf_is_indirect(m_ctx, page) ? pdf_to_num(m_ctx, page) : pdf_obj_parent_num(m_ctx, page);
    }
  });
  m_pageNums = std::move(nums);
  for (int i = 0; i < count; ++i)
    m_pageIndex.emplace(m_pageNums[size_t(i)], i); // a page listed twice keeps its first index
}

pdf_obj *PdfDocument::pageReference(int index) {
  if (index < 0 || index >= m_pageCount)
    throw HostError(ErrorCode::BadParameter, "Page " + std::to_string(index + 1) +
                                                 " is not in the document (it has " +
                                                 std::to_string(m_pageCount) + ").");
  loadPageMap();
  pdf_obj *ref = nullptr;
  const int num = m_pageNums[size_t(index)];
  mupdfCall(m_ctx, ErrorCode::Generic, "cannot refer to the page",
            [&] { ref = pdf_new_indirect(m_ctx, m_doc, num, 0); });
  return ref;
}

int PdfDocument::pageIndexOf(pdf_obj *obj) {
  const int num = PdfOps(m_ctx, m_doc).num(obj);
  if (num == 0)
    return -1;
  loadPageMap();
  auto it = m_pageIndex.find(num);
  return it == m_pageIndex.end() ? -1 : it->second;
}

void PdfDocument::addWarning(std::string message) { m_warnings.push_back(std::move(message)); }

uint32_t PdfDocument::slotFor(pdf_obj *obj) {
  if (!obj)
    return 0;
  PdfOps ops(m_ctx, m_doc);
  const int n = ops.num(obj);
  if (n != 0) {
    if (pdf_obj *root = outlineRoot(false); root && ops.num(root) == n)
      return kRootSlot;
    if (auto it = m_slotByNum.find(n); it != m_slotByNum.end())
      return it->second;
  }
  m_slots.push_back(pdf_keep_obj(m_ctx, obj));
  const auto slot = static_cast<uint32_t>(m_slots.size() - 1);
  if (n != 0)
    m_slotByNum.emplace(n, slot);
  return slot;
}

pdf_obj *PdfDocument::objectAt(uint32_t slot) {
  if (slot == kRootSlot)
    return outlineRoot(false);
  if (slot == 0 || slot >= m_slots.size())
    throw HostError(ErrorCode::InvalidHandle, "Invalid PDF object handle.");
  return m_slots[slot];
}

pdf_obj *PdfDocument::outlineRoot(bool create) {
  PdfOps ops(m_ctx, m_doc);
  pdf_obj *catalog = ops.trailerGet(PDF_NAME(Root));
  pdf_obj *root = ops.get(catalog, PDF_NAME(Outlines));
  if (ops.isDict(root))
    return root;
  if (!create)
    return nullptr;
  if (!ops.isDict(catalog))
    throw HostError(ErrorCode::PdfDamaged, m_path + ": the document has no catalog.");
  pdf_obj *made = ops.newIndirectDict();
  try {
    ops.putName(made, PDF_NAME(Type), "Outlines");
    ops.put(catalog, PDF_NAME(Outlines), made);
  } catch (...) {
    ops.drop(made);
    throw;
  }
  ops.drop(made);
  return ops.get(catalog, PDF_NAME(Outlines));
}

void PdfDocument::updateOutlineCounts() {
  pdf_obj *root = outlineRoot(false);
  if (!root)
    return;
  OutlineTree tree = OutlineTree::read(*this, root);
  PdfOps ops(m_ctx, m_doc);
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
    pdf_obj *current = ops.get(node.obj, PDF_NAME(Count));
    const bool has = ops.type(current) == CosType::Integer;
    if (keep && (!has || ops.toInt(current) != wanted))
      ops.putInt(node.obj, PDF_NAME(Count), wanted);
    else if (!keep && !ops.isNull(current))
      ops.remove(node.obj, PDF_NAME(Count));
  }
}

void PdfDocument::save(const std::string &requested, SaveMode mode) {
  const std::string target = resolveWriteTarget(requested);
  updateOutlineCounts();
  int incremental = 0;
  mupdfCall(m_ctx, ErrorCode::Generic, "cannot save the document", [&] {
    incremental = mode == SaveMode::Auto && !m_saved && !pdf_was_repaired(m_ctx, m_doc) &&
                  pdf_can_be_saved_incrementally(m_ctx, m_doc);
  });
  const std::string temp = makeTempFileBeside(target);
  const std::string failure = target + ": cannot save the document";
  try {
    pdf_write_options opts = pdf_default_write_options;
    opts.do_incremental = incremental;
    if (!incremental)
      opts.do_compress = 1;
    mupdfCall(m_ctx, ErrorCode::FileAccess, failure.c_str(),
              [&] { pdf_save_document(m_ctx, m_doc, temp.c_str(), &opts); });
  } catch (...) {
    ::unlink(temp.c_str());
    throw;
  }
  installTempFile(temp, target);
  m_saved = true;
}

} // namespace sorvane::host
