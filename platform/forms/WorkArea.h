// The part of the screen where the program's windows live, and keeping a window inside it.
#pragma once

#include <QRect>

class QWidget;

namespace forms {

// The work area of a window's frame, in the coordinates its position is given in: for an MDI
// subwindow the visible part of the MDI area; for a top-level window the MDI area on the screen
// when the main window shows one, else the screen less its panels. An empty rectangle: nothing is
// known yet (an MDI area that was never shown).
QRect workArea(const QWidget *frame);

// Shrinks the frame to the work area (never below what its layout needs, so its controls stay
// usable) and moves it the least that brings it inside; a frame already inside is left alone.
// Does nothing while the work area is unknown.
void fitInWorkArea(QWidget *frame);

}  // namespace forms
