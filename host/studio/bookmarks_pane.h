// The outline of a document as a tree: each bookmark in its colour and style, open where the
// file says so. A click on a bookmark asks the window to go where it leads.
#pragma once

#include <QTreeWidget>
#include <vector>

#include "host/pdf/outline_listing.h"

namespace sorvane::studio {

class BookmarksPane final : public QTreeWidget {
  Q_OBJECT
public:
  explicit BookmarksPane(QWidget *parent = nullptr);

  // Shows `listing` (read again after every change of the outline).
  void show(const host::OutlineListing &listing);
  const std::vector<host::OutlineEntry> &entries() const { return m_entries; }
  // The tree item of entry `index` (pre-order), or null.
  QTreeWidgetItem *itemFor(size_t index) const;

signals:
  // The user clicked a bookmark (entry `index` of entries()).
  void bookmarkActivated(const host::OutlineEntry &entry);

private:
  std::vector<host::OutlineEntry> m_entries;
  std::vector<QTreeWidgetItem *> m_items;
};

} // namespace sorvane::studio
