#include "host/studio/bookmarks_pane.h"

#include <QHeaderView>
#include <algorithm>
#include <cmath>

namespace sorvane::studio {

BookmarksPane::BookmarksPane(QWidget *parent) : QTreeWidget(parent) {
  setObjectName("bookmarks");
  setHeaderLabel(tr("Bookmarks"));
  setUniformRowHeights(true);
  setMinimumWidth(200);
  connect(this, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem *item) {
    const int index = item->data(0, Qt::UserRole).toInt();
    if (index >= 0 && size_t(index) < m_entries.size())
      emit bookmarkActivated(m_entries[size_t(index)]);
  });
  connect(this, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem *item) {
    const int index = item->data(0, Qt::UserRole).toInt();
    if (index >= 0 && size_t(index) < m_entries.size())
      emit bookmarkActivated(m_entries[size_t(index)]);
  });
}

void BookmarksPane::show(const host::OutlineListing &listing) {
  clear();
  m_entries = listing.entries;
  m_items.clear();
  std::vector<QTreeWidgetItem *> parents; // by depth - 1
  for (size_t i = 0; i < m_entries.size(); ++i) {
    const host::OutlineEntry &e = m_entries[i];
    const size_t depth = size_t(std::max(1, e.depth));
    parents.resize(std::min(parents.size(), depth - 1));
    QTreeWidgetItem *item =
        parents.empty() ? new QTreeWidgetItem(this) : new QTreeWidgetItem(parents.back());
    item->setText(0, QString::fromStdString(e.title));
    item->setToolTip(
        0, e.page ? tr("%1 (page %2)").arg(QString::fromStdString(e.title)).arg(*e.page + 1)
                  : QString::fromStdString(e.title));
    item->setData(0, Qt::UserRole, int(i));
    const auto channel = [](double v) { return int(std::lround(std::clamp(v, 0.0, 1.0) * 255)); };
    item->setForeground(0,
                        QColor(channel(e.colour[0]), channel(e.colour[1]), channel(e.colour[2])));
    QFont font = this->font();
    font.setItalic(e.flags & 1);
    font.setBold(e.flags & 2);
    item->setFont(0, font);
    parents.push_back(item);
    m_items.push_back(item);
  }
  for (size_t i = 0; i < m_entries.size(); ++i)
    m_items[i]->setExpanded(m_entries[i].open);
}

QTreeWidgetItem *BookmarksPane::itemFor(size_t index) const {
  return index < m_items.size() ? m_items[index] : nullptr;
}

} // namespace sorvane::studio
