// Menu openers of the application core's own dialogs and the help key, registered once from main().
#pragma once

namespace pendra {

// Registers "FRMINFO": the information dialog, modal, owned by the main window.
void registerCoreOpeners();
// F1 in a window with a help context opens the help file at it (ShowHelp); a failure is logged
// with the window as source and "Form_KeyDown".
void registerHelpKey();

}  // namespace pendra
