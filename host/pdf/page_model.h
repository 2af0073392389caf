// The pages of the open documents, as the "PDModel" table offers them.
#pragma once

#include <optional>

#include "host/pdf/table_registry.h"

namespace sorvane::host {

class PageModel {
public:
  explicit PageModel(Registry &r) : m_reg(r) {}

  int32_t docGetNumPages(DocHandle doc);
  PageHandle docAcquirePage(DocHandle doc, int32_t index);
  void pageRelease(PageHandle page);
  int32_t pageGetIndex(PageHandle page);
  HostRect pageGetCropBox(PageHandle page);
  std::optional<uint32_t> docGetPermissions(DocHandle doc);
  void docEnumFonts(DocHandle doc, int32_t first, int32_t last,
                    const std::function<void(std::string_view)> &onFont,
                    const ProgressMonitor *monitor, void *clientData);

private:
  Registry &m_reg;
};

} // namespace sorvane::host
