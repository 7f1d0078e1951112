#pragma once

namespace taskwick {

// Wayland sessions run the program through XWayland: the window's position, its level and
// its own edge handling need X11. Picks Qt's xcb platform when none is chosen and an X
// display is there; must run before the application object is made.
void preferX11Platform();

}  // namespace taskwick
