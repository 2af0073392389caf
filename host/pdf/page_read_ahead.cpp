#include "host/pdf/page_read_ahead.h"

#include <algorithm>

#include "host/pdf/document_engine.h"
#include "host/pdf/page_text.h"
#include "host/pdf/pdf_document.h"

namespace sorvane::host {

PageReadAhead::PageReadAhead(const PdfDocument &doc, int readers)
    : m_doc(doc), m_window(2 * (size_t(std::max(readers, 1)) + 1)) {
  for (int i = 0; i < readers; ++i)
    m_readers.emplace_back([this] { readerLoop(); });
}

PageReadAhead::~PageReadAhead() {
  {
    std::lock_guard lock(m_mutex);
    m_stop = true;
  }
  m_wake.notify_all();
  for (std::thread &t : m_readers)
    t.join();
}

void PageReadAhead::plan(std::vector<int32_t> pages, std::shared_ptr<const RunFontFilter> filter) {
  std::lock_guard lock(m_mutex);
  ++m_generation;
  m_plan = std::move(pages);
  m_filter = std::move(filter);
  m_cursor = 0;
  m_slots.clear();
  m_chunks.clear();
  m_queue.clear();
}

void PageReadAhead::fillWindow(size_t from) {
  const size_t first = from / kChunk;
  for (size_t chunk = first; chunk < first + m_window && chunk * kChunk < m_plan.size(); ++chunk) {
    if (!m_chunks.try_emplace(chunk, Claim::Open).second)
      continue;
    const size_t end = std::min(m_plan.size(), (chunk + 1) * kChunk);
    for (size_t k = std::max(chunk * kChunk, from); k < end; ++k)
      m_slots.try_emplace(k);
    m_queue.push_back(chunk);
  }
}

std::unique_ptr<PageText> PageReadAhead::take(PdfDocument &doc, int32_t index) {
  std::unique_lock lock(m_mutex);
  size_t pos = m_plan.size();
  if (m_cursor < m_plan.size() && m_plan[m_cursor] == index) {
    pos = m_cursor;
  } else {
    // Asked out of order: the plan goes on from where this page is next.
    auto it = std::find(m_plan.begin() + ptrdiff_t(std::min(m_cursor, m_plan.size())), m_plan.end(),
                        index);
    pos = size_t(it - m_plan.begin());
  }
  const std::shared_ptr<const RunFontFilter> filter = m_filter;
  if (pos >= m_plan.size() || m_readers.empty()) {
    lock.unlock();
    return doc.readPageText(index, filter.get());
  }
  // Pages planned before this one will not be asked for any more. One a reader is still on
  // stays until it is done, and goes with the next page asked.
  for (auto it = m_slots.begin(); it != m_slots.end() && it->first < pos;)
    it = it->second.state == State::Reading ? std::next(it) : m_slots.erase(it);
  for (auto it = m_chunks.begin(); it != m_chunks.end() && it->first < pos / kChunk;)
    it = m_chunks.erase(it);
  m_cursor = pos + 1;
  fillWindow(pos);
  m_wake.notify_all();

  auto slot = m_slots.find(pos);
  if (slot->second.state == State::Queued) {
    // No reader got to it yet: read here, while the readers go on with the pages after it.
    // Its chunk is this thread's from now on, unless a reader is in it already.
    if (auto chunk = m_chunks.find(pos / kChunk); chunk->second == Claim::Open)
      chunk->second = Claim::Asker;
    m_slots.erase(slot);
    lock.unlock();
    return doc.readPageText(index, filter.get());
  }
  // A reader is on it. Rather than wait idle, read a page of the window that no thread has
  // begun (a reader passes over it then), for as long as there is one.
  while (slot->second.state != State::Done) {
    auto next = std::find_if(m_slots.begin(), m_slots.end(),
                             [](const auto &entry) { return entry.second.state == State::Queued; });
    if (next == m_slots.end()) {
      m_done.wait(lock);
      continue;
    }
    readInto(next, doc, lock);
  }
  std::unique_ptr<PageText> text = std::move(slot->second.text);
  const std::exception_ptr error = slot->second.error;
  const std::vector<std::string> warnings = std::move(slot->second.warnings);
  m_slots.erase(slot);
  lock.unlock();
  std::vector<std::string> &told = doc.engine().warnings();
  told.insert(told.end(), warnings.begin(), warnings.end());
  if (error)
    std::rethrow_exception(error);
  return text;
}

void PageReadAhead::readerLoop() {
  std::unique_ptr<PdfDocument> own;
  try {
    own = m_doc.reopen();
  } catch (...) {
    return; // the asking thread reads this reader's share itself
  }
  std::unique_lock lock(m_mutex);
  for (;;) {
    m_wake.wait(lock, [&] { return m_stop || !m_queue.empty(); });
    if (m_stop)
      return;
    const size_t chunk = m_queue.front();
    m_queue.pop_front();
    auto claim = m_chunks.find(chunk);
    if (claim == m_chunks.end() || claim->second != Claim::Open)
      continue;
    claim->second = Claim::Reader;
    // Its pages in order; the asking thread may take one that is still queued meanwhile.
    const uint64_t generation = m_generation;
    for (size_t k = chunk * kChunk; k < (chunk + 1) * kChunk && !m_stop; ++k) {
      if (generation != m_generation)
        break;
      auto slot = m_slots.find(k);
      if (slot != m_slots.end() && slot->second.state == State::Queued)
        readInto(slot, *own, lock);
    }
  }
}

void PageReadAhead::readInto(std::map<size_t, Slot>::iterator slot, PdfDocument &doc,
                             std::unique_lock<std::mutex> &lock) {
  slot->second.state = State::Reading;
  const size_t pos = slot->first;
  const int32_t page = m_plan[pos];
  const uint64_t generation = m_generation;
  const std::shared_ptr<const RunFontFilter> filter = m_filter;
  lock.unlock();
  std::unique_ptr<PageText> text;
  std::exception_ptr error;
  try {
    text = doc.readPageText(page, filter.get());
  } catch (...) {
    error = std::current_exception();
  }
  // A reader's own opening of the file warns into its own list; the asker's document warns
  // into the list the user sees already.
  std::vector<std::string> warnings;
  if (&doc != &m_doc)
    warnings.swap(doc.engine().warnings());
  lock.lock();
  if (generation != m_generation)
    return;
  // (The slot may have gone meanwhile: it was planned before a page asked out of order.)
  slot = m_slots.find(pos);
  if (slot != m_slots.end()) {
    slot->second.text = std::move(text);
    slot->second.error = error;
    slot->second.warnings = std::move(warnings);
    slot->second.state = State::Done;
  }
  m_done.notify_all();
}

} // namespace sorvane::host
