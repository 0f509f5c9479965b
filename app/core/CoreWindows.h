// Menu openers of the application core's own dialogs, registered once from main().
#pragma once

namespace pendra {

// Registers "FRMINFO": the information dialog, modal, owned by the main window.
void registerCoreOpeners();

}  // namespace pendra
