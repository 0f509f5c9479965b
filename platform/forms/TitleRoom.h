// Room for a dialog's whole title in the desktop's title bar, which the program cannot measure.
#pragma once

class QWidget;

namespace forms {

// The width a top-level window needs so that the desktop shows its title whole: the title in the
// bold title-bar font, half as wide again for a desktop whose title font runs larger, plus room
// for the window icon and three buttons; never more than the screen's width. 0 for no title.
int titleRoom(const QWidget &window);

// Raises the window's minimum width to titleRoom before it is shown (through its layout when that
// is a column); a window that its controls make wide enough is left alone, and the minimum never
// drops below what its layout needs.
void makeRoomForTitle(QWidget &window);

}  // namespace forms
