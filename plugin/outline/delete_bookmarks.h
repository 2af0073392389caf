// Removing every bookmark of a document.
#pragma once

#include "sdk/handles.h"

namespace sorvane {

// Destroys every top-level bookmark of `doc` with everything below it; a damaged outline whose
// list loops back is emptied all the same. True when the outline is empty afterwards. Host
// failures throw.
bool deleteAllBookmarks(DocHandle doc);

} // namespace sorvane
