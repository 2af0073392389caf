// The headings a set of build settings finds on one page, found by the same page scan as a
// generation run, for a host that marks them on the page it shows.
#pragma once

#include <vector>

#include "sdk/handles.h"
#include "sdk/view_tables.h"

namespace sorvane {

class BookmarkBuilder;

// The headings `settings` find on page `page` of `doc`, in page order: none without levels or
// outside the settings' page range. Throws HostError when the page cannot be read.
std::vector<HeadingPreview> previewHeadings(const BookmarkBuilder &settings, DocHandle doc,
                                            int32_t page);

} // namespace sorvane
