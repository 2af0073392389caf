#include "host/studio/page_renderer.h"

#include <QTimer>
#include <algorithm>

#include "host/pdf/page_image.h"
#include "host/pdf/pdf_document.h"
#include "sdk/host_error.h"

namespace sorvane::studio {

PageRenderer::PageRenderer(host::PdfDocument &document, QObject *parent)
    : QObject(parent), m_document(document) {
  try {
    m_own = document.reopen();
  } catch (const HostError &) {
    m_own.reset(); // the file changed on disk: draw from the open document
  }
  if (m_own)
    m_thread = std::thread([this] { work(); });
}

PageRenderer::~PageRenderer() { stop(); }

void PageRenderer::stop() {
  {
    std::lock_guard lock(m_mutex);
    m_stop = true;
    m_asks.clear();
  }
  m_wake.notify_all();
  if (m_thread.joinable())
    m_thread.join();
}

void PageRenderer::request(int page, double scale) {
  {
    std::lock_guard lock(m_mutex);
    if (m_stop)
      return;
    m_asks.erase(std::remove_if(m_asks.begin(), m_asks.end(),
                                [page](const Ask &a) { return a.page == page; }),
                 m_asks.end());
    m_asks.push_front(Ask{page, scale});
  }
  if (m_own) {
    m_wake.notify_one();
    return;
  }
  // Without a thread of its own, the asks are drawn when the event loop is next idle.
  QTimer::singleShot(0, this, [this] {
    Ask ask{};
    {
      std::lock_guard lock(m_mutex);
      if (m_asks.empty())
        return;
      ask = m_asks.front();
      m_asks.pop_front();
    }
    draw(m_document, ask);
  });
}

void PageRenderer::clear() {
  std::lock_guard lock(m_mutex);
  m_asks.clear();
}

void PageRenderer::work() {
  for (;;) {
    Ask ask{};
    {
      std::unique_lock lock(m_mutex);
      m_wake.wait(lock, [this] { return m_stop || !m_asks.empty(); });
      if (m_stop)
        return;
      ask = m_asks.front();
      m_asks.pop_front();
    }
    draw(*m_own, ask);
  }
}

void PageRenderer::draw(host::PdfDocument &document, Ask ask) {
  QImage image;
  QString error;
  try {
    const host::PageImage picture = host::renderPage(document, ask.page, ask.scale);
    image = QImage(picture.pixels.data(), picture.width, picture.height, picture.stride,
                   QImage::Format_RGB888)
                .copy();
  } catch (const HostError &e) {
    error = QString::fromStdString(e.text());
  } catch (const std::bad_alloc &) {
    error = "Not enough memory to draw the page.";
  }
  emit rendered(ask.page, ask.scale, image, error);
}

} // namespace sorvane::studio
