#include "host/studio/model_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEventLoop>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QScrollBar>
#include <QStylePainter>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <exception>

#include "host/studio/owner_drawing.h"
#include "host/studio/qt_text.h"
#include "host/studio/studio_icons.h"

namespace sorvane::studio {
namespace {

using ui::Control;
using ui::ControlKind;

QStringList qsList(const std::vector<std::string> &items) {
  QStringList out;
  for (const std::string &item : items)
    out << qs(item);
  return out;
}

int extraHeight(QLayout *layout, int width);

// How much more than its minimum a laid-out item needs at `width`.
int extraItemHeight(QLayoutItem *item, int width) {
  QWidget *w = item->widget();
  if (auto *label = qobject_cast<QLabel *>(w); label && label->wordWrap())
    return std::max(0, label->heightForWidth(width) - item->minimumSize().height());
  if (auto *group = qobject_cast<QGroupBox *>(w); group && group->layout()) {
    const int frame =
        group->minimumSizeHint().width() - group->layout()->totalMinimumSize().width();
    return extraHeight(group->layout(), width - frame);
  }
  if (auto *tabs = qobject_cast<QTabWidget *>(w)) {
    int extra = 0;
    for (int i = 0; i < tabs->count(); ++i)
      if (QLayout *page = tabs->widget(i)->layout()) {
        const int frame = tabs->minimumSizeHint().width() - page->totalMinimumSize().width();
        extra = std::max(extra, extraHeight(page, width - std::max(0, frame)));
      }
    return extra;
  }
  if (QLayout *inner = item->layout())
    return extraHeight(inner, width);
  return 0;
}

// How much more than its minimum `layout` needs at `width`: Qt's minimum counts a wrapped text
// as one line, but at the width it gets it may take more.
int extraHeight(QLayout *layout, int width) {
  auto *column = qobject_cast<QBoxLayout *>(layout);
  if (!column || column->direction() != QBoxLayout::TopToBottom)
    return 0;
  const QMargins margins = layout->contentsMargins();
  int extra = 0;
  for (int i = 0; i < layout->count(); ++i) {
    QLayoutItem *item = layout->itemAt(i);
    if (!item->widget() || !item->widget()->isHidden())
      extra += extraItemHeight(item, width - margins.left() - margins.right());
  }
  return extra;
}

bool sameTree(const std::vector<ui::TreeItem> &a, const std::vector<ui::TreeItem> &b) {
  if (a.size() != b.size())
    return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (a[i].text != b[i].text || a[i].icon != b[i].icon || a[i].parent != b[i].parent ||
        a[i].expanded != b[i].expanded || a[i].data != b[i].data)
      return false;
  return true;
}

// The entries of an owner-drawn list, drawn by the dialog.
class OwnerDrawnDelegate final : public QStyledItemDelegate {
public:
  OwnerDrawnDelegate(ui::Dialog &model, int id, QObject *parent)
      : QStyledItemDelegate(parent), m_model(model), m_id(id) {}
  void paint(QPainter *painter, const QStyleOptionViewItem &option,
             const QModelIndex &index) const override {
    ui::DrawItemState state;
    state.index = index.row();
    state.selected = option.state & QStyle::State_Selected;
    state.focused = false;
    state.disabled = !(option.state & QStyle::State_Enabled);
    drawOwnerDrawnItem(m_model, m_id, state, *painter, option.rect, option.palette);
  }
  QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.setHeight(std::max(size.height(), option.fontMetrics.height() + 6));
    return size;
  }

private:
  ui::Dialog &m_model;
  int m_id;
};

// A tree whose rows are never cut: a row wider than the view scrolls sideways, and a short one
// still fills the row (its selection spans the view).
class WholeRowsTree final : public QTreeWidget {
public:
  explicit WholeRowsTree(QWidget *parent) : QTreeWidget(parent) {
    setHeaderHidden(true);
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
  }

protected:
  bool viewportEvent(QEvent *event) override {
    if (event->type() == QEvent::Resize)
      header()->setMinimumSectionSize(viewport()->width());
    return QTreeWidget::viewportEvent(event);
  }
};

// A drop-down whose shown entry the dialog draws too.
class OwnerDrawnCombo final : public QComboBox {
public:
  OwnerDrawnCombo(ui::Dialog &model, int id, QWidget *parent)
      : QComboBox(parent), m_model(model), m_id(id) {
    setItemDelegate(new OwnerDrawnDelegate(model, id, this));
  }

protected:
  void paintEvent(QPaintEvent *) override {
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.currentText.clear();
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    const QRect field =
        style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    ui::DrawItemState state;
    state.index = currentIndex();
    state.focused = hasFocus();
    state.disabled = !isEnabled();
    drawOwnerDrawnItem(m_model, m_id, state, painter, field.adjusted(1, 1, -1, -1), palette());
  }

private:
  ui::Dialog &m_model;
  int m_id;
};

} // namespace

ModelDialog::ModelDialog(ui::Dialog &model, QWidget *parent) : QDialog(parent), m_model(model) {
  setObjectName("dialog");
  setWindowTitle(qs(model.title()));
}

QWidget *ModelDialog::widgetFor(int id) const {
  const auto at = m_byId.find(id);
  return at == m_byId.end() ? nullptr : m_shown[at->second].widget;
}

ui::DialogResult ModelDialog::run(const std::function<bool()> &besidePage) {
  m_model.restart();
  try {
    m_model.onInit();
  } catch (const std::exception &e) {
    QMessageBox::critical(parentWidget(), qs(m_model.title()), QString::fromUtf8(e.what()));
    return ui::DialogResult::Cancel;
  }
  if (m_model.ended())
    return m_model.result();
  build();
  refresh();
  m_besidePage = besidePage && besidePage();
  if (m_besidePage) {
    setWindowModality(Qt::NonModal);
    placeBesideWindow();
    QEventLoop loop;
    connect(this, &QDialog::finished, &loop, &QEventLoop::quit);
    show();
    loop.exec(QEventLoop::DialogExec);
  } else {
    exec();
  }
  if (!m_model.ended())
    m_model.end(ui::DialogResult::Cancel);
  return m_model.result();
}

void ModelDialog::fitWrappedTexts() {
  // A layout's minimum counts a wrapped text as one line; at the narrowest the dialog can be,
  // it takes more, and the rows below would be cut.
  // Measured again whenever what the dialog shows changes: its rows may grow.
  if (!layout())
    return;
  ensurePolished(); // the style's sizes, as shown
  const QSize least = layout()->totalMinimumSize();
  const QSize needs(least.width(), least.height() + extraHeight(layout(), least.width()));
  if (needs != minimumSize())
    setMinimumSize(needs);
  if (width() < minimumWidth() || height() < minimumHeight())
    resize(std::max(width(), minimumWidth()), std::max(height(), minimumHeight()));
}

void ModelDialog::showEvent(QShowEvent *event) {
  QDialog::showEvent(event);
  fitWrappedTexts();
}

bool ModelDialog::event(QEvent *event) {
  const bool handled = QDialog::event(event);
  if (event->type() == QEvent::LayoutRequest) // rows changed size: measured again
    fitWrappedTexts();
  return handled;
}

void ModelDialog::placeBesideWindow() {
  QWidget *owner = parentWidget() ? parentWidget()->window() : nullptr;
  if (!owner)
    return;
  adjustSize();
  const QRect frame = owner->frameGeometry();
  const QRect room = owner->screen() ? owner->screen()->availableGeometry() : frame;
  // Right of the window where the screen has room, else over its right edge (the page view is
  // in the middle), never past the screen.
  int x = frame.right() + 8;
  if (x + width() > room.right())
    x = std::max(room.left(), std::min(frame.right(), room.right()) - width() - 8);
  move(x, std::max(room.top(), frame.top() + 40));
}

void ModelDialog::build() {
  const std::vector<Control> &controls = m_model.controls();
  m_shown.clear();
  m_byId.clear();
  m_shown.resize(controls.size());
  for (size_t i = 0; i < controls.size(); ++i) {
    m_shown[i].index = i;
    if (!m_byId.count(controls[i].id))
      m_byId[controls[i].id] = i;
  }
  // The closing buttons: the last buttons of the dialog, but not those that open something
  // more ("Save...") or stand in a row or group with the controls above them ("Update Fonts"
  // beside its list).
  size_t tail = controls.size();
  while (tail > 0 && controls[tail - 1].kind == ControlKind::Button &&
         controls[tail - 1].page < 0 && !controls[tail - 1].sameRow &&
         !controls[tail - 1].endsGroup)
    --tail;
  bool closes = false;
  for (size_t i = tail; i < controls.size(); ++i)
    closes = closes || controls[i].id == ui::kIdOk || controls[i].id == ui::kIdCancel;
  m_boxButtons.clear();
  std::vector<size_t> always;
  for (size_t i = 0; i < controls.size(); ++i) {
    const Control &c = controls[i];
    if (closes && i >= tail && !c.opensMore)
      m_boxButtons.push_back(i);
    else if (c.page < 0)
      always.push_back(i);
  }

  auto *top = new QVBoxLayout(this);
  layOut(always, top);
  auto *buttons = new QHBoxLayout;
  bool stretched = false;
  for (size_t i : m_boxButtons) {
    const Control &c = controls[i];
    // The buttons that close the dialog to the right; the others (Help) to the left.
    if (!stretched && (c.id == ui::kIdOk || c.id == ui::kIdCancel || c.isDefault)) {
      buttons->addStretch(1);
      stretched = true;
    }
    buttons->addWidget(makeWidget(i));
  }
  if (!stretched)
    buttons->insertStretch(0, 1);
  top->addSpacing(4);
  top->addLayout(buttons);
}

void ModelDialog::layOut(const std::vector<size_t> &indexes, QBoxLayout *layout) {
  const std::vector<Control> &controls = m_model.controls();
  QHBoxLayout *row = nullptr;
  auto closeRow = [&] {
    if (row)
      row->addStretch(1);
    row = nullptr;
  };
  auto openRow = [&] {
    closeRow();
    row = new QHBoxLayout;
    layout->addLayout(row);
  };
  for (size_t at = 0; at < indexes.size(); ++at) {
    const size_t i = indexes[at];
    const Control &c = controls[i];
    switch (c.kind) {
    case ControlKind::Group: {
      closeRow();
      // A group holds what follows it up to the control that ends it (a group left open
      // ends where the next one begins).
      std::vector<size_t> inside;
      while (at + 1 < indexes.size()) {
        const Control &next = controls[indexes[at + 1]];
        if (next.kind == ControlKind::Group)
          break;
        inside.push_back(indexes[++at]);
        if (next.endsGroup)
          break;
      }
      auto *box = static_cast<QGroupBox *>(makeWidget(i));
      auto *boxLayout = new QVBoxLayout(box);
      layOut(inside, boxLayout);
      layout->addWidget(box);
      break;
    }
    case ControlKind::List:
    case ControlKind::Tree: {
      closeRow();
      if (!c.text.empty())
        layout->addWidget(new QLabel(qs(c.text), this));
      QWidget *list = makeWidget(i);
      // Buttons on its row work on it: they stand in a column beside it.
      std::vector<size_t> beside;
      while (at + 1 < indexes.size() && controls[indexes[at + 1]].kind == ControlKind::Button &&
             controls[indexes[at + 1]].sameRow && !c.endsGroup) {
        beside.push_back(indexes[++at]);
        if (controls[beside.back()].endsGroup)
          break;
      }
      if (beside.empty()) {
        layout->addWidget(list, 1);
        break;
      }
      auto *pair = new QHBoxLayout;
      pair->addWidget(list, 1);
      auto *column = new QVBoxLayout;
      for (size_t b : beside)
        column->addWidget(makeWidget(b));
      column->addStretch(1);
      pair->addLayout(column);
      layout->addLayout(pair, 1);
      break;
    }
    case ControlKind::CheckBox:
    case ControlKind::Button:
      if (!row || !c.sameRow)
        openRow();
      row->addWidget(makeWidget(i));
      break;
    case ControlKind::Edit:
    case ControlKind::DropDown:
    case ControlKind::OwnerDrawnList: {
      if (c.multiLine) {
        closeRow();
        if (!c.text.empty())
          layout->addWidget(new QLabel(qs(c.text), this));
        layout->addWidget(makeWidget(i), 1);
        break;
      }
      if (!row || !c.sameRow)
        openRow();
      QWidget *field = makeWidget(i);
      if (!c.text.empty()) {
        auto *label = new QLabel(qs(c.text).trimmed(), this);
        label->setBuddy(field);
        m_shown[i].label = label;
        row->addWidget(label);
      }
      row->addWidget(field);
      break;
    }
    case ControlKind::Tabs: {
      closeRow();
      auto *tabs = static_cast<QTabWidget *>(makeWidget(i));
      for (size_t p = 0; p < c.items.size(); ++p) {
        auto *page = new QWidget(tabs);
        auto *pageLayout = new QVBoxLayout(page);
        std::vector<size_t> onPage;
        for (size_t k = 0; k < controls.size(); ++k)
          if (controls[k].page == int(p) &&
              std::find(m_boxButtons.begin(), m_boxButtons.end(), k) == m_boxButtons.end())
            onPage.push_back(k);
        layOut(onPage, pageLayout);
        pageLayout->addStretch(1);
        tabs->addTab(page, qs(c.items[p]));
      }
      layout->addWidget(tabs, 1);
      break;
    }
    case ControlKind::Static:
    case ControlKind::Radio:
    case ControlKind::Picture:
      closeRow();
      layout->addWidget(makeWidget(i));
      break;
    }
  }
  closeRow();
}

QWidget *ModelDialog::makeWidget(size_t index) {
  const Control &c = m_model.controls()[index];
  const int id = c.id;
  QWidget *widget = nullptr;
  switch (c.kind) {
  case ControlKind::Static: {
    auto *label = new QLabel(this);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(c.text.size() > 60);
    widget = label;
    break;
  }
  case ControlKind::Group: widget = new QGroupBox(this); break;
  case ControlKind::CheckBox: {
    auto *box = new QCheckBox(this);
    connect(box, &QCheckBox::clicked, this, [this, index, id](bool on) {
      if (m_busy)
        return refresh();
      control(index).checked = on;
      userDid(id, ui::Event::Clicked);
    });
    widget = box;
    break;
  }
  case ControlKind::Radio: {
    auto *radio = new QRadioButton(this);
    radio->setAutoExclusive(false);
    connect(radio, &QRadioButton::clicked, this, [this, index, id] {
      if (m_busy || control(index).checked)
        return refresh();
      m_model.checkRadio(id);
      userDid(id, ui::Event::Clicked);
    });
    widget = radio;
    break;
  }
  case ControlKind::Button: {
    auto *button = new QPushButton(this);
    button->setAutoDefault(false);
    button->setDefault(c.isDefault);
    connect(button, &QPushButton::clicked, this, [this, id] {
      if (m_busy)
        m_pendingClicks.insert(id); // the handler at work looks for it
      else
        userDid(id, ui::Event::Clicked);
    });
    widget = button;
    break;
  }
  case ControlKind::Edit: {
    if (c.multiLine) {
      auto *edit = new QPlainTextEdit(this);
      edit->setMinimumSize(360, 120);
      connect(edit, &QPlainTextEdit::textChanged, this, [this, index, id, edit] {
        if (m_refreshing || m_busy)
          return;
        control(index).value = utf8(edit->toPlainText());
        userDid(id, ui::Event::Changed);
      });
      widget = edit;
      break;
    }
    auto *edit = new QLineEdit(this);
    if (c.digitsOnly) {
      edit->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), edit));
      edit->setMaximumWidth(80);
    } else {
      edit->setMinimumWidth(160);
    }
    connect(edit, &QLineEdit::textEdited, this, [this, index, id](const QString &text) {
      if (m_busy)
        return;
      control(index).value = utf8(text);
      userDid(id, ui::Event::Changed);
    });
    widget = edit;
    break;
  }
  case ControlKind::DropDown:
  case ControlKind::OwnerDrawnList: {
    QComboBox *combo = c.kind == ControlKind::OwnerDrawnList
                           ? new OwnerDrawnCombo(m_model, id, this)
                           : new QComboBox(this);
    combo->setEditable(c.editable);
    combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    if (c.kind == ControlKind::OwnerDrawnList)
      combo->setMinimumWidth(160);
    connect(combo, &QComboBox::activated, this, [this, index, id](int entry) {
      if (m_busy)
        return refresh();
      Control &model = control(index);
      model.selected = entry;
      if (model.editable && entry >= 0 && size_t(entry) < model.items.size())
        model.value = model.items[size_t(entry)];
      userDid(id, ui::Event::Changed);
    });
    if (c.editable) {
      connect(combo->lineEdit(), &QLineEdit::textEdited, this,
              [this, index, id](const QString &text) {
                if (m_busy)
                  return;
                control(index).value = utf8(text);
                userDid(id, ui::Event::Changed);
              });
    }
    widget = combo;
    break;
  }
  case ControlKind::List: {
    auto *list = new QListWidget(this);
    list->setMinimumHeight(100);
    connect(list, &QListWidget::currentRowChanged, this, [this, index, id](int entry) {
      if (m_refreshing || m_busy)
        return;
      control(index).selected = entry;
      userDid(id, ui::Event::Changed);
    });
    connect(list, &QListWidget::itemDoubleClicked, this, [this, id] {
      if (!m_busy)
        userDid(id, ui::Event::DoubleClicked);
    });
    widget = list;
    break;
  }
  case ControlKind::Tree: {
    auto *tree = new WholeRowsTree(this);
    tree->setMinimumSize(360, 140);
    connect(tree, &QTreeWidget::currentItemChanged, this, [this, index, id](QTreeWidgetItem *item) {
      if (m_refreshing || m_busy)
        return;
      control(index).selected = item ? item->data(0, Qt::UserRole).toInt() : -1;
      userDid(id, ui::Event::Changed);
    });
    connect(tree, &QTreeWidget::itemDoubleClicked, this, [this, id] {
      if (!m_busy)
        userDid(id, ui::Event::DoubleClicked);
    });
    auto expand = [this, index](QTreeWidgetItem *item, bool open) {
      if (m_refreshing)
        return;
      const int entry = item->data(0, Qt::UserRole).toInt();
      Shown &shown = m_shown[index];
      if (entry >= 0 && size_t(entry) < control(index).tree.size()) {
        control(index).tree[size_t(entry)].expanded = open;
        shown.tree[size_t(entry)].expanded = open;
      }
    };
    connect(tree, &QTreeWidget::itemExpanded, this,
            [expand](QTreeWidgetItem *item) { expand(item, true); });
    connect(tree, &QTreeWidget::itemCollapsed, this,
            [expand](QTreeWidgetItem *item) { expand(item, false); });
    widget = tree;
    break;
  }
  case ControlKind::Tabs: {
    auto *tabs = new QTabWidget(this);
    connect(tabs, &QTabWidget::currentChanged, this, [this, index, id](int page) {
      if (m_refreshing || m_busy)
        return;
      control(index).selected = page;
      userDid(id, ui::Event::Changed);
    });
    widget = tabs;
    break;
  }
  case ControlKind::Picture: {
    auto *picture = new QLabel(this);
    picture->setPixmap(namedPicture(qs(c.value), 64));
    widget = picture;
    break;
  }
  }
  if (!c.name.empty())
    widget->setObjectName(qs(c.name));
  m_shown[index].widget = widget;
  return widget;
}

void ModelDialog::refresh() {
  m_refreshing = true;
  setWindowTitle(qs(m_model.title()));
  for (Shown &shown : m_shown)
    if (shown.widget)
      showControl(shown);
  m_refreshing = false;
}

bool ModelDialog::entriesChanged(Shown &shown, const ui::Control &c, int count) {
  if (shown.items == c.items && count == int(c.items.size()))
    return false;
  shown.items = c.items;
  return true;
}

void ModelDialog::showControl(Shown &shown) {
  const Control &c = m_model.controls()[shown.index];
  QWidget *w = shown.widget;
  const QSignalBlocker block(w);
  w->setEnabled(c.enabled);
  if (shown.label) {
    shown.label->setEnabled(c.enabled);
    shown.label->setText(qs(c.text).trimmed());
  }
  switch (c.kind) {
  case ControlKind::Static: static_cast<QLabel *>(w)->setText(qs(c.text)); break;
  case ControlKind::Group: static_cast<QGroupBox *>(w)->setTitle(qs(c.text)); break;
  case ControlKind::CheckBox:
  case ControlKind::Radio: {
    auto *button = static_cast<QAbstractButton *>(w);
    button->setText(qs(c.text));
    button->setChecked(c.checked);
    break;
  }
  case ControlKind::Button: static_cast<QPushButton *>(w)->setText(qs(c.text)); break;
  case ControlKind::Edit:
    if (auto *edit = qobject_cast<QLineEdit *>(w)) {
      if (utf8(edit->text()) != c.value)
        edit->setText(qs(c.value));
    } else if (auto *text = qobject_cast<QPlainTextEdit *>(w)) {
      if (utf8(text->toPlainText()) != c.value)
        text->setPlainText(qs(c.value));
    }
    break;
  case ControlKind::DropDown:
  case ControlKind::OwnerDrawnList: {
    auto *combo = static_cast<QComboBox *>(w);
    if (entriesChanged(shown, c, combo->count())) {
      combo->clear();
      combo->addItems(qsList(c.items));
    }
    combo->setCurrentIndex(c.selected);
    if (c.editable && utf8(combo->currentText()) != c.value)
      combo->setEditText(qs(c.value));
    combo->update();
    break;
  }
  case ControlKind::List: {
    auto *list = static_cast<QListWidget *>(w);
    if (entriesChanged(shown, c, list->count())) {
      list->clear();
      list->addItems(qsList(c.items));
    }
    list->setCurrentRow(c.selected);
    break;
  }
  case ControlKind::Tree: {
    auto *tree = static_cast<QTreeWidget *>(w);
    if (!sameTree(shown.tree, c.tree)) {
      tree->clear();
      std::vector<QTreeWidgetItem *> made;
      for (size_t i = 0; i < c.tree.size(); ++i) {
        const ui::TreeItem &entry = c.tree[i];
        QTreeWidgetItem *item = entry.parent >= 0 && size_t(entry.parent) < made.size()
                                    ? new QTreeWidgetItem(made[size_t(entry.parent)])
                                    : new QTreeWidgetItem(tree);
        item->setText(0, qs(entry.text));
        item->setToolTip(0, qs(entry.text)); // whole, where the column cuts a long row
        item->setData(0, Qt::UserRole, int(i));
        if (entry.icon >= 0 && size_t(entry.icon) < c.icons.size())
          item->setIcon(0, namedIcon(qs(c.icons[size_t(entry.icon)])));
        made.push_back(item);
      }
      for (size_t i = 0; i < c.tree.size(); ++i)
        made[i]->setExpanded(c.tree[i].expanded);
      shown.tree = c.tree;
      // Wide enough for its rows where the screen allows; wider rows scroll.
      int widest = 0;
      for (size_t i = 0; i < c.tree.size(); ++i) {
        int depth = 1;
        for (QTreeWidgetItem *up = made[i]->parent(); up; up = up->parent())
          ++depth;
        widest = std::max(widest, depth * tree->indentation() + tree->iconSize().width() +
                                      tree->fontMetrics().horizontalAdvance(made[i]->text(0)));
      }
      const int rows =
          widest + 16 + 2 * tree->frameWidth() + tree->verticalScrollBar()->sizeHint().width();
      tree->setMinimumWidth(std::clamp(rows, 360, 640));
    }
    QTreeWidgetItem *current = nullptr;
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
      if ((*it)->data(0, Qt::UserRole).toInt() == c.selected)
        current = *it;
    tree->setCurrentItem(current);
    break;
  }
  case ControlKind::Tabs: {
    auto *tabs = static_cast<QTabWidget *>(w);
    if (c.selected >= 0 && c.selected < tabs->count())
      tabs->setCurrentIndex(c.selected);
    break;
  }
  case ControlKind::Picture: break;
  }
}

void ModelDialog::userDid(int id, ui::Event event) {
  m_busy = true;
  try {
    m_model.handle(id, event);
  } catch (const std::exception &e) {
    // A handler that fails leaves the dialog open; the user hears why.
    QMessageBox::warning(this, qs(m_model.title()), QString::fromUtf8(e.what()));
  }
  m_busy = false;
  m_pendingClicks.clear();
  refresh();
  if (m_model.ended())
    done(m_model.result() == ui::DialogResult::Ok ? QDialog::Accepted : QDialog::Rejected);
}

bool ModelDialog::takeClick(int id) { return m_pendingClicks.erase(id) > 0; }

void ModelDialog::reject() {
  if (m_busy) {
    m_pendingClicks.insert(ui::kIdCancel);
    return;
  }
  userDid(ui::kIdCancel, ui::Event::Clicked);
}

} // namespace sorvane::studio
