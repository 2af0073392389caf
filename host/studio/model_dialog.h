// A dialog model shown as a Qt dialog. The layout comes from the model alone: groups become
// frames, a field and the fields that continue it share a row, the buttons after a list stand in
// a column beside it, the closing buttons (OK, Cancel, Close, Help and the like) sit at the
// bottom, and a tab control holds the controls of its pages. What the user does is moved into
// the model, handed to the dialog's handlers, and the model is shown again, so enabling and
// texts stay live.
#pragma once

#include <functional>

#include <QDialog>
#include <map>
#include <set>
#include <vector>

#include "sdk/platform_ui.h"

class QBoxLayout;
class QGridLayout;
class QLabel;
class QTabWidget;

namespace sorvane::studio {

class ModelDialog final : public QDialog {
  Q_OBJECT
public:
  ModelDialog(ui::Dialog &model, QWidget *parent);

  // Runs onInit and the dialog until a handler ends it; the model's result. When `besidePage`
  // (asked once the dialog is set up) answers true, the dialog stands beside its window and
  // leaves it usable while it runs; else it blocks the application.
  ui::DialogResult run(const std::function<bool()> &besidePage = {});
  // Shows the model's current state (controls a handler changed while it works).
  void refresh();
  // True when button `id` was clicked while a handler was at work; forgets the click.
  bool takeClick(int id);
  ui::Dialog &model() { return m_model; }
  // Whether it stands beside its window, leaving it usable.
  bool besidePage() const { return m_besidePage; }
  // The widget that shows control `id` (a check box, field, list, button...), or null.
  QWidget *widgetFor(int id) const;

protected:
  void reject() override;
  void showEvent(QShowEvent *event) override;
  bool event(QEvent *event) override;

private:
  struct Shown {
    size_t index = 0;          // into the model's controls
    QWidget *widget = nullptr; // the control itself
    QLabel *label = nullptr;   // the text beside a field
    std::vector<ui::TreeItem> tree;
    std::vector<std::string> items;
  };

  void build();
  // Moves the dialog beside its window, over as little of the page view as the screen allows.
  void placeBesideWindow();
  // Keeps the window at least as large as its rows need, wrapped texts included.
  void fitWrappedTexts();
  // Lays out controls [first, end) into `layout`.
  void layOut(const std::vector<size_t> &indexes, QBoxLayout *layout);
  QWidget *makeWidget(size_t index);
  void showControl(Shown &shown);
  // True (and `shown` takes the model's entries) when the list widget showing `c` with `count`
  // entries must be filled again.
  static bool entriesChanged(Shown &shown, const ui::Control &c, int count);
  void userDid(int id, ui::Event event);
  ui::Control &control(size_t index) {
    return const_cast<ui::Control &>(m_model.controls()[index]);
  }

  ui::Dialog &m_model;
  std::vector<Shown> m_shown;
  std::map<int, size_t> m_byId; // control id -> index into m_shown
  std::vector<size_t> m_boxButtons;
  bool m_busy = false;
  bool m_refreshing = false;
  bool m_besidePage = false;
  std::set<int> m_pendingClicks;
};

} // namespace sorvane::studio
