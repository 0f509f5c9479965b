// Entry point of the program's help: opens the help file at a window's help context id.
#pragma once

#include <QString>

namespace forms {

class HelpWindow;

// Opens the help file at the topic mapped to contextId (an unmapped id, 0 included, opens the
// first page) in the help window, and brings that window forward. There is one help window,
// owned by no other window and reused by every call; it does not keep the program running.
// Needs a QApplication. Throws vb::Error 53 ("File not found: <path>") when the file is missing,
// unreadable or holds no page; the help window is then left as it was.
void showHelp(const QString &chmPath, qint32 contextId);

// The help window that showHelp reuses; nullptr before the first call and once it was closed.
HelpWindow *helpWindow();

}  // namespace forms
