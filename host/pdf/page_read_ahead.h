// Page text read ahead of its use by threads of their own. Each reader opens the document's
// file again, with a MuPDF context of its own, so that no engine state is shared between
// threads; the pages come back in the order they are asked for, exactly as a single thread
// reads them.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace sorvane {
struct RunFontFilter;
}

namespace sorvane::host {

class PdfDocument;
struct PageText;

class PageReadAhead {
public:
  // `readers` threads for the file of `doc`, which must stay open while this object lives.
  // A reader that cannot open the file as `doc` saw it (changed on disk, say) leaves its share
  // to the thread that asks.
  PageReadAhead(const PdfDocument &doc, int readers);
  ~PageReadAhead(); // stops the readers and waits for them (at most a page each)
  PageReadAhead(const PageReadAhead &) = delete;
  PageReadAhead &operator=(const PageReadAhead &) = delete;

  // The pages that will be asked for, in order, read with `filter` (extractPageText); what was
  // read for an earlier plan goes.
  void plan(std::vector<int32_t> pages, std::shared_ptr<const RunFontFilter> filter);
  // The text of page `index` of `doc`: read ahead when it is in the plan, else read now.
  // Throws what reading the page throws.
  std::unique_ptr<PageText> take(PdfDocument &doc, int32_t index);

  // Pages go to threads in runs of this many planned pages: neighbouring pages share the
  // compressed object streams their resources are kept in, which each thread must unpack.
  static constexpr size_t kChunk = 8;

private:
  enum class State { Queued, Reading, Done };
  struct Slot {
    State state = State::Queued;
    std::unique_ptr<PageText> text;
    std::exception_ptr error;
    // What the engine warned of while a reader read the page (a repair, a damaged object):
    // told by the asking document when the page is taken.
    std::vector<std::string> warnings;
  };
  enum class Claim { Open, Reader, Asker };
  void readerLoop();
  // Reads the page of a queued `slot` from `doc`, the lock released meanwhile.
  void readInto(std::map<size_t, Slot>::iterator slot, PdfDocument &doc,
                std::unique_lock<std::mutex> &lock);
  void fillWindow(size_t from); // with the lock held

  const PdfDocument &m_doc;
  size_t m_window; // chunks read ahead of the page asked for
  std::mutex m_mutex;
  std::condition_variable m_wake; // readers: work or stop
  std::condition_variable m_done; // the asking thread: a page is read
  bool m_stop = false;
  uint64_t m_generation = 0; // of the plan
  std::vector<int32_t> m_plan;
  std::shared_ptr<const RunFontFilter> m_filter; // of the plan
  size_t m_cursor = 0;                           // the plan position the next page is expected at
  std::map<size_t, Slot> m_slots;                // by plan position, within the window
  std::map<size_t, Claim> m_chunks; // by chunk number (position / kChunk), within the window
  std::deque<size_t> m_queue;       // chunks to read, soonest first
  std::vector<std::thread> m_readers;
};

} // namespace sorvane::host
