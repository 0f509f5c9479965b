// Bringing what a window just opened or answered into view inside a scrolling pane.
#pragma once

class QWidget;

namespace forms {

// Scrolls the scroll area that holds first and last (first above last, both shown) so the block
// from first's top to last's bottom is in view: all of it when it fits, else from its top. Widgets
// shown a moment ago are laid out first. Outside a scroll area it does nothing.
void scrollIntoView(QWidget *first, QWidget *last);

}  // namespace forms
