// The heading preview the plug-in offers its host: the rules of the Generate dialog while it is
// open, else the remembered ones, run over the page the host shows.
#pragma once

#include <string>

#include "sdk/view_tables.h"

namespace sorvane {

class BookmarkBuilder;

class RulesPreview final : public HeadingPreviewer {
public:
  static RulesPreview &instance();

  // Where the remembered settings are read from when no dialog edits any.
  void setDefaultsFile(std::string path) { m_defaultsFile = std::move(path); }
  // The settings a dialog edits from now on (null: the remembered ones again); the host is told
  // to ask again.
  void follow(const BookmarkBuilder *settings);
  // The followed settings changed.
  void changed();
  bool follows(const BookmarkBuilder *settings) const { return m_live == settings; }

  std::vector<HeadingPreview> headingsOnPage(DocHandle doc, int32_t page) override;
  bool rulesBeingEdited() const override { return m_live != nullptr; }

private:
  const BookmarkBuilder *m_live = nullptr;
  std::string m_defaultsFile;
  bool m_defaultsRead = false;
};

} // namespace sorvane
