// A PDF document open in the host: the file, its pages, security and saving.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "sdk/font_names.h"

struct stat;

namespace sorvane::host {

class DocumentEngine;
class PageReadAhead;
struct PageText;

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
  // made for. Throws HostError; FileChanged, writing nothing, when the file the document was
  // read from changed since it was opened (its unread parts would be read from the new bytes).
  void save(const std::string &target, SaveMode mode = SaveMode::Auto);

  // ---- changes that can be taken back
  // From now on keeps what the document was, so that takeBackChanges() can restore it: a
  // command stopped halfway by the user leaves the document as it found it. keepChanges() ends
  // that and keeps what changed; so does the end of the document. Throws HostError.
  void beginChanges();
  void keepChanges();
  // Restores the document as beginChanges() found it and ends the keeping. Throws HostError
  // when it cannot (nothing was begun, or the engine had to repair the file since).
  void takeBackChanges();
  bool keepingChanges() const { return m_keepingChanges; }

  // The same file opened again, as a document of its own (for another thread). Throws
  // HostError(Generic) when the file is no longer the one this document was opened from.
  std::unique_ptr<PdfDocument> reopen() const;

  // ---- page text
  // Reads pages in `readers` threads besides the caller's, ahead of the pages asked for
  // (0: none). The text is the same as read one page at a time.
  void setReadAhead(int readers);
  // What one reader thread of this document is expected to take, in bytes: it opens the file
  // again, and the engine's cross-reference tables and object streams take about the file's
  // size, besides a store of its own.
  uint64_t readerBytes() const;
  // How many of `wanted` readers of `eachBytes` fit in half of `availableBytes`.
  static int affordableReaders(int wanted, uint64_t eachBytes, uint64_t availableBytes);
  // How many of `wanted` readers have work enough in `pages` pages to be worth opening the file
  // again: each takes runs of pages, and one that would read fewer than two runs costs more than
  // it saves (a ten-page file has none; many cores do not open a short file many times); and
  // never more than kMaxReaders.
  static int worthwhileReaders(int wanted, int32_t pages);
  // The thread that asks for the pages opens the file and scans every page alone: about a third
  // of the time one thread takes on a reference manual, a sixth on a music manual. More readers
  // than this would wait for it, each with the file open again.
  static constexpr int kMaxReaders = 7;
  // The pages whose text will be asked for next, in order: what the readers read ahead.
  void planPageReads(std::vector<int32_t> pages);
  // The fonts whose runs pageText gives whole (extractPageText); nothing: all of them. What
  // was read ahead under another filter is read again.
  void setRunFontFilter(std::optional<RunFontFilter> filter);
  // The text of the page at `index`. Throws as extractPageText does.
  std::unique_ptr<PageText> pageText(int32_t index);
  // The same with `filter`, always read here and now (this document is not shared between
  // threads).
  std::unique_ptr<PageText> readPageText(int32_t index, const RunFontFilter *filter);
  // How many fonts the engine holds read from their dictionaries alone, for runs the filter
  // of the last read does not keep (see metric_fonts.h).
  size_t fontsReadInPart() const;

  // Messages MuPDF gave while reading the file (repairs, damaged objects), oldest first.
  const std::vector<std::string> &warnings() const;

  // The engine side, for the PDF adapter's own code (document_engine.h).
  DocumentEngine &engine() const { return *m_engine; }

private:
  PdfDocument() = default;

  // What tells whether the file on disk is still the one opened.
  struct FileStamp {
    uint64_t device = 0, inode = 0, size = 0;
    int64_t modified = 0; // nanoseconds
    bool operator==(const FileStamp &) const = default;
  };
  static FileStamp stampOf(const std::string &path);
  static FileStamp stampOf(const struct stat &st);
  // Throws HostError(FileChanged) when the file opened is no longer as it was.
  void requireUnchanged() const;

  std::unique_ptr<DocumentEngine> m_engine;
  std::string m_path;
  std::string m_password;
  FileStamp m_stamp;
  int m_file = -1; // the file as opened, whatever its path leads to later
  int32_t m_pageCount = 0;
  bool m_repaired = false;
  bool m_saved = false;
  bool m_keepingChanges = false;
  int m_firstNewObject = 0; // the lowest object number a change since beginChanges() may make
  std::optional<uint32_t> m_permissions;
  std::shared_ptr<const RunFontFilter> m_filter;
  std::unique_ptr<PageReadAhead> m_readAhead; // its readers stop before the rest goes
};

} // namespace sorvane::host
