// Message boxes wide enough for their titles: Qt sizes a message box by its text alone, so a
// short message under a long title ("Sorvane Studio") got a title bar that cut it.
#pragma once

namespace sorvane::studio {

// Widens every message box the application shows from now on to fit its title; once per
// application, more calls do nothing.
void keepMessageTitlesWhole();

} // namespace sorvane::studio
