// Menu openers of the metadata windows, registered once from main(), and the sheet opener.
#pragma once

namespace pendra {

// Registers "FRMMETADATI", "GLOSSARIO", "FRMLISTAMETADATI" and the sheet openers
// "FRMSCHEDAVARIABILI" and "FRMSCHEDAINDICATORI" (callers set SqlScheda first).
void registerMetadataOpeners();

enum class SheetKind { Variabili, Indicatori };
// Unloads the loaded sheet of that kind whatever SchedaAperta says (so it never keeps an earlier
// code), clears the flag, then shows the sheet modelessly; it reads SqlScheda as it loads.
void openSheet(SheetKind kind);

}  // namespace pendra
