#pragma once

#include <QString>

namespace taskwick {

// Wayland sessions run the program through XWayland: the window's position, its level and
// its own edge handling need X11. Picks Qt's xcb platform when none is chosen and an X
// display is there; must run before the application object is made.
void preferX11Platform();

// Whether the X display of this name can be opened now (a connection is made and closed
// again); an empty name opens none.
bool xDisplayOpens(const QString& name);

}  // namespace taskwick
