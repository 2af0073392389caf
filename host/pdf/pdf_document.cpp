#include "host/pdf/pdf_document.h"

#include <algorithm>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <mupdf/pdf.h>

#include "host/base/file_io.h"
#include "host/pdf/document_engine.h"
#include "host/pdf/mupdf_call.h"
#include "host/pdf/page_read_ahead.h"
#include "host/pdf/page_text.h"

namespace sorvane::host {
namespace {

void onWarning(void *user, const char *message) {
  try {
    static_cast<DocumentEngine *>(user)->warnings().emplace_back(message);
  } catch (...) {
    // A lost warning is better than an exception inside MuPDF.
  }
}

// What MuPDF may keep of a document for reuse (fonts, decoded objects). Its own default, 256
// MB, fills up on a large manual (a 930-page one reached 200 MB) for little gain: text
// extraction seldom meets the same resource twice except fonts, which stay while in use.
constexpr size_t kStoreBytes = size_t(12) << 20;

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
  d->m_password = password;
  d->m_file = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  d->m_stamp = stampOf(path);
  d->m_engine = std::make_unique<DocumentEngine>(path);
  fz_context *ctx = fz_new_context(nullptr, nullptr, kStoreBytes);
  if (!ctx)
    throw HostError(ErrorCode::OutOfMemory, "The PDF engine cannot start.");
  d->m_engine->setEngine(ctx);
  fz_set_warning_callback(ctx, onWarning, d->m_engine.get());
  fz_set_error_callback(ctx, onError, nullptr);

  const std::string notPdf = path + ": not a PDF file, or damaged beyond repair";
  pdf_document *doc = nullptr;
  mupdfCall(ctx, ErrorCode::PdfDamaged, notPdf.c_str(),
            [&] { doc = pdf_open_document(ctx, path.c_str()); });
  d->m_engine->setDocument(doc);

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

  int claimed = 0;
  int repaired = 0;
  mupdfCall(ctx, ErrorCode::PdfDamaged, notPdf.c_str(), [&] {
    claimed = pdf_count_pages(ctx, doc);
    repaired = pdf_was_repaired(ctx, doc);
  });
  const int32_t pages = d->m_engine->pageCount();
  if (claimed != pages)
    d->m_engine->warnings().push_back(path + ": the page tree claims " + std::to_string(claimed) +
                                      " pages but holds " + std::to_string(pages) +
                                      "; the pages it holds are read.");
  d->m_pageCount = pages;
  d->m_repaired = repaired != 0;
  if (pages <= 0 && d->m_repaired)
    throw HostError(ErrorCode::PdfDamaged,
                    path + ": the file is damaged; no page could be recovered.");
  return d;
}

PdfDocument::~PdfDocument() {
  m_readAhead.reset();
  if (m_file >= 0)
    ::close(m_file);
  if (m_keepingChanges)
    try {
      keepChanges();
    } catch (const HostError &) {
    }
}

void PdfDocument::beginChanges() {
  if (m_keepingChanges)
    throw HostError(ErrorCode::Generic, "Changes are kept for taking back already.");
  fz_context *ctx = m_engine->ctx();
  pdf_document *doc = m_engine->doc();
  // MuPDF's undo journal, for the length of one command: an edit made with a journal but
  // outside an operation is an error, so the operation spans everything until it ends.
  mupdfCall(ctx, ErrorCode::Generic, "cannot keep the document's state", [&] {
    m_firstNewObject = pdf_xref_len(ctx, doc);
    pdf_enable_journal(ctx, doc);
    pdf_begin_operation(ctx, doc, "command");
  });
  m_keepingChanges = true;
}

namespace {

void endJournal(fz_context *ctx, pdf_document *doc) {
  mupdfCall(ctx, ErrorCode::Generic, "cannot end the document's journal", [&] {
    pdf_drop_journal(ctx, doc->journal);
    doc->journal = nullptr;
  });
}

} // namespace

void PdfDocument::keepChanges() {
  if (!m_keepingChanges)
    return;
  m_keepingChanges = false;
  fz_context *ctx = m_engine->ctx();
  pdf_document *doc = m_engine->doc();
  mupdfCall(ctx, ErrorCode::Generic, "cannot end the document's journal",
            [&] { pdf_end_operation(ctx, doc); });
  endJournal(ctx, doc);
}

void PdfDocument::takeBackChanges() {
  if (!m_keepingChanges)
    throw HostError(ErrorCode::Generic, "There are no kept changes to take back.");
  m_keepingChanges = false;
  fz_context *ctx = m_engine->ctx();
  pdf_document *doc = m_engine->doc();
  bool repaired = false;
  mupdfCall(ctx, ErrorCode::Generic, "cannot take back the changes", [&] {
    pdf_end_operation(ctx, doc);
    // A repair on the way empties the journal: then there is nothing to go back to.
    repaired = pdf_was_repaired(ctx, doc) && !m_repaired;
    while (!repaired && pdf_can_undo(ctx, doc))
      pdf_undo(ctx, doc);
  });
  endJournal(ctx, doc);
  // Objects made since are gone, and numbers of theirs may be given to new ones.
  m_engine->forgetObjectsFrom(m_firstNewObject);
  if (repaired)
    throw HostError(ErrorCode::Generic,
                    m_path + ": the file had to be repaired, so the changes cannot be taken back.");
}

PdfDocument::FileStamp PdfDocument::stampOf(const struct stat &st) {
  return FileStamp{uint64_t(st.st_dev), uint64_t(st.st_ino), uint64_t(st.st_size),
                   int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

PdfDocument::FileStamp PdfDocument::stampOf(const std::string &path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0)
    return FileStamp{};
  return stampOf(st);
}

void PdfDocument::requireUnchanged() const {
  // The engine reads what it has not read yet from the open file, and an incremental save
  // copies it: bytes changed under it make a damaged result.
  struct stat st {};
  const bool changed = m_file >= 0 && ::fstat(m_file, &st) == 0 && stampOf(st) != m_stamp;
  // Before the first save the path still leads to the file opened, unless another program
  // replaced it: writing now would overwrite or ignore its work.
  const bool replaced = !m_saved && stampOf(m_path) != m_stamp;
  if (changed || replaced)
    throw HostError(ErrorCode::FileChanged,
                    m_path + ": the file was changed by another program while it was open; " +
                        "nothing was written (run again on the file as it is now).");
}

std::unique_ptr<PdfDocument> PdfDocument::reopen() const {
  const std::string changed = m_path + ": the file changed since it was opened.";
  if (stampOf(m_path) != m_stamp)
    throw HostError(ErrorCode::Generic, changed);
  std::unique_ptr<PdfDocument> again = open(m_path, m_password);
  if (again->m_stamp != m_stamp || again->pageCount() != m_pageCount)
    throw HostError(ErrorCode::Generic, changed);
  return again;
}

uint64_t PdfDocument::readerBytes() const { return m_stamp.size + kStoreBytes + (8u << 20); }

int PdfDocument::affordableReaders(int wanted, uint64_t eachBytes, uint64_t availableBytes) {
  const uint64_t fit = availableBytes / 2 / std::max<uint64_t>(eachBytes, 1);
  return static_cast<int>(std::min<uint64_t>(uint64_t(std::max(wanted, 0)), fit));
}

int PdfDocument::worthwhileReaders(int wanted, int32_t pages) {
  const int64_t work = std::max<int64_t>(pages, 0) / int64_t(2 * PageReadAhead::kChunk);
  return int(std::min<int64_t>({std::max(wanted, 0), work, kMaxReaders}));
}

void PdfDocument::setReadAhead(int readers) {
  m_readAhead.reset();
  if (readers > 0)
    m_readAhead = std::make_unique<PageReadAhead>(*this, readers);
}

void PdfDocument::planPageReads(std::vector<int32_t> pages) {
  if (m_readAhead)
    m_readAhead->plan(std::move(pages), m_filter);
}

void PdfDocument::setRunFontFilter(std::optional<RunFontFilter> filter) {
  m_filter = filter ? std::make_shared<const RunFontFilter>(std::move(*filter)) : nullptr;
  if (m_readAhead)
    m_readAhead->plan({}, m_filter);
}

std::unique_ptr<PageText> PdfDocument::pageText(int32_t index) {
  if (m_readAhead)
    return m_readAhead->take(*this, index);
  return readPageText(index, m_filter.get());
}

std::unique_ptr<PageText> PdfDocument::readPageText(int32_t index, const RunFontFilter *filter) {
  return extractPageText(*this, index, filter);
}

size_t PdfDocument::fontsReadInPart() const { return m_engine->metricFonts().size(); }

const std::vector<std::string> &PdfDocument::warnings() const { return m_engine->warnings(); }

void PdfDocument::save(const std::string &requested, SaveMode mode) {
  fz_context *ctx = m_engine->ctx();
  pdf_document *doc = m_engine->doc();
  m_engine->updateOutlineCounts();
  int incremental = 0;
  mupdfCall(ctx, ErrorCode::Generic, "cannot save the document", [&] {
    incremental = mode == SaveMode::Auto && !m_saved && !pdf_was_repaired(ctx, doc) &&
                  pdf_can_be_saved_incrementally(ctx, doc);
  });
  requireUnchanged();
  PendingFile file(requested);
  const std::string failure = file.target() + ": cannot save the document";
  pdf_write_options opts = pdf_default_write_options;
  opts.do_incremental = incremental;
  if (!incremental)
    opts.do_compress = 1;
  const char *temp = file.tempPath().c_str();
  mupdfCall(ctx, ErrorCode::FileAccess, failure.c_str(),
            [&] { pdf_save_document(ctx, doc, temp, &opts); });
  requireUnchanged(); // the pending file goes with the exception
  file.commit();
  m_saved = true;
}

} // namespace sorvane::host
