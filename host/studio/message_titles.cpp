#include "host/studio/message_titles.h"

#include <QApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QPointer>
#include <QSpacerItem>

namespace sorvane::studio {
namespace {

// Room a title bar takes besides the title: the window's icon and its buttons.
constexpr int kTitleBarExtras = 150;

class WholeTitles final : public QObject {
public:
  using QObject::QObject;

protected:
  bool eventFilter(QObject *watched, QEvent *event) override {
    if (event->type() == QEvent::Show)
      if (auto *box = qobject_cast<QMessageBox *>(watched);
          box && !box->property("titled").toBool())
        widen(*box);
    return false;
  }

private:
  static void widen(QMessageBox &box) {
    box.setProperty("titled", true);
    auto *grid = qobject_cast<QGridLayout *>(box.layout());
    if (!grid)
      return;
    // The title bar's font is the window system's; a bold one a little larger than the text's
    // is what desktops use.
    QFont font = box.font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.1);
    const int title = QFontMetrics(font).horizontalAdvance(box.windowTitle()) + kTitleBarExtras;
    // Message boxes size themselves from their layout when shown: a spacer as wide as the title
    // needs keeps them at least that wide.
    grid->addItem(new QSpacerItem(title, 0, QSizePolicy::Minimum, QSizePolicy::Minimum),
                  grid->rowCount(), 0, 1, grid->columnCount());
  }
};

} // namespace

void keepMessageTitlesWhole() {
  static QPointer<QObject> installed;
  if (installed || !qApp)
    return;
  installed = new WholeTitles(qApp);
  qApp->installEventFilter(installed);
}

} // namespace sorvane::studio
