#include "plugin/ui/rules_preview.h"

#include "plugin/engine/bookmark_builder.h"
#include "plugin/engine/heading_preview.h"
#include "plugin/engine/settings_files.h"
#include "plugin/ui/platform.h"
#include "sdk/host_error.h"

namespace sorvane {

RulesPreview &RulesPreview::instance() {
  static RulesPreview preview;
  return preview;
}

void RulesPreview::follow(const BookmarkBuilder *settings) {
  m_live = settings;
  changed();
}

void RulesPreview::changed() {
  try {
    viewer().appHeadingPreviewChanged();
  } catch (const HostError &) {
  }
}

std::vector<HeadingPreview> RulesPreview::headingsOnPage(DocHandle doc, int32_t page) {
  if (m_live)
    return previewHeadings(*m_live, doc, page);
  BookmarkBuilder &defaults = inMemoryDefaults();
  if (!m_defaultsRead && !m_defaultsFile.empty()) {
    // The remembered settings, as the Generate dialog would start from them.
    m_defaultsRead = true;
    loadDefaults(m_defaultsFile,
                 [&defaults](CabinetHandle cab) { defaults.readNamed(kDefaultsKey, cab); });
  }
  return previewHeadings(defaults, doc, page);
}

} // namespace sorvane
