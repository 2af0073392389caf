// The platform's user interface and the viewer, as the dialogs reach them.
#pragma once

#include "sdk/imported_tables.h"
#include "sdk/platform_ui.h"

namespace sorvane {

inline ui::UiServices &platformUi() { return hostTables().win.must().ui(); }
inline AcroViewTable &viewer() { return hostTables().acroView.must(); }

} // namespace sorvane
