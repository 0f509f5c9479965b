// The print preview without the mouse.
#pragma once

class QPrintPreviewDialog;

namespace forms {

// Puts every tool button of the preview's toolbar into the Tab order (Qt leaves them out) and
// gives its print action the platform's print shortcut (Ctrl+P), so a page is printed from the
// keyboard. A preview whose print action cannot be found keeps only the Tab order.
void enablePreviewKeys(QPrintPreviewDialog *preview);

}  // namespace forms
