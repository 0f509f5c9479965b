// The screen-wide mouse pointer: default or hourglass while a long operation runs.
#pragma once

namespace forms {

enum class MousePointer { Default = 0, Hourglass = 11 };

// Setting the same pointer twice does not stack: one Default always restores the normal cursor.
// Without a GUI application only the state is kept (tests without a screen).
void setMousePointer(MousePointer pointer);
MousePointer mousePointer();

// Hourglass for the life of the object; the default pointer afterwards.
class BusyCursor {
public:
    BusyCursor() { setMousePointer(MousePointer::Hourglass); }
    ~BusyCursor() { setMousePointer(MousePointer::Default); }
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;
};

}  // namespace forms
