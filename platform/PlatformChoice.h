#pragma once

#include <QString>

struct xcb_connection_t;

namespace taskwick {

// Wayland sessions run the program through XWayland: the window's position, its level and
// its own edge handling need X11. Picks Qt's xcb platform when none is chosen and an X
// display is there; must run before the application object is made.
void preferX11Platform();

// A connection to an X display, made to learn whether the display opens at all before the
// toolkit tries, and held until the toolkit has made its own: an X server without any other
// client (a fresh Xvfb) resets itself when its last client leaves, which would hold up the
// toolkit's connection by tens of milliseconds.
class XDisplayProbe {
public:
    // An empty name opens nothing.
    explicit XDisplayProbe(const QString& name);
    ~XDisplayProbe();
    XDisplayProbe(const XDisplayProbe&) = delete;
    XDisplayProbe& operator=(const XDisplayProbe&) = delete;

    bool opens() const { return opens_; }

private:
    xcb_connection_t* connection_ = nullptr;
    bool opens_ = false;
};

}  // namespace taskwick
