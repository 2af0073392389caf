#include "plugin/engine/heading_preview.h"

#include "plugin/engine/bookmark_builder.h"
#include "plugin/engine/generation_run.h"
#include "plugin/rules/page_content.h"
#include "plugin/values/fixed_point.h"
#include "sdk/imported_tables.h"

namespace sorvane {

std::vector<HeadingPreview> previewHeadings(const BookmarkBuilder &settings, DocHandle doc,
                                            int32_t page) {
  std::vector<HeadingPreview> out;
  if (settings.levels.empty() || page < std::max<int32_t>(settings.firstPage, 0) ||
      (settings.lastPage >= 0 && page > settings.lastPage))
    return out;
  PDModelTable &pd = hostTables().pdModel.must();
  // A run with no progress to show: the preview is quick and must not move the host's bar.
  static const ProgressMonitor quiet;
  GenerationRun run(settings, &quiet, nullptr);
  PageContent content(doc, page);
  const HostRect box = pd.pageGetCropBox(content.page());
  content.gatherRuns(FixedRect{fixedFromDouble(box.left), fixedFromDouble(box.top),
                               fixedFromDouble(box.right), fixedFromDouble(box.bottom)});
  run.scanPage(content, page);
  for (const BookmarkNode &node : run.found()) {
    HeadingPreview heading;
    heading.level = node.level;
    heading.title = node.title;
    heading.box =
        HostRect{node.source.left, node.source.bottom, node.source.right, node.source.top};
    out.push_back(std::move(heading));
  }
  return out;
}

} // namespace sorvane
