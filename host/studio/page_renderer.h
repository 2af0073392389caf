// Draws pages in a thread of its own, with its own copy of the document (its own MuPDF
// context), so the window stays responsive while pages are drawn. Asks are served newest first;
// a newer ask for the same page replaces an older one.
#pragma once

#include <QImage>
#include <QObject>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

namespace sorvane::host {
class PdfDocument;
}

namespace sorvane::studio {

class PageRenderer final : public QObject {
  Q_OBJECT
public:
  // Opens `document`'s file again for the thread; when that fails, pages are drawn from
  // `document` itself on the caller's thread.
  explicit PageRenderer(host::PdfDocument &document, QObject *parent = nullptr);
  ~PageRenderer() override;

  // Asks for page `page` at `scale` pixels per point; rendered() answers.
  void request(int page, double scale);
  // Forgets every ask not yet begun.
  void clear();
  // Ends the thread, after the page it is drawing: no rendered() comes any more and later asks
  // are dropped. The owner calls it before the receivers of rendered() go, so that none of them
  // goes while the thread still sends it pictures.
  void stop();
  bool threaded() const { return m_own != nullptr; }

signals:
  // The picture of `page` at `scale`; a null image and the reason when it cannot be drawn.
  void rendered(int page, double scale, const QImage &image, const QString &error);

private:
  struct Ask {
    int page;
    double scale;
  };
  void work();
  void draw(host::PdfDocument &document, Ask ask);

  host::PdfDocument &m_document;
  std::unique_ptr<host::PdfDocument> m_own;
  std::mutex m_mutex;
  std::condition_variable m_wake;
  std::deque<Ask> m_asks;
  bool m_stop = false;
  std::thread m_thread;
};

} // namespace sorvane::studio
