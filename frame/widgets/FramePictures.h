#pragma once

#include <QPixmap>

namespace taskwick {

// The pictures of the window frame. The built-in ones come with the program; a skin replaces
// the strips, the two corner pieces and the two zoom corners.
struct FramePictures {
    QPixmap top, bottom, right;               // stretched to their boxes
    QPixmap topRight, bottomRight;            // natural size, anchored top-left, clipped
    QPixmap leftZoomCorner, rightZoomCorner;  // none built in
    QPixmap redBar;                           // stretched
    QPixmap logo;                             // natural size, clipped

    static FramePictures builtIn();
};

// The three pictures of a small button: as it is, under the pointer, pressed.
struct ButtonPictures {
    QPixmap normal, hover, pressed;

    // ":/frame/<name>.<ext>", "<name>-hover.<ext>" and "<name>-pressed.<ext>".
    static ButtonPictures builtIn(const char* name, const char* extension);
};

}  // namespace taskwick
