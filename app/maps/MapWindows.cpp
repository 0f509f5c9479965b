// Menu openers of the maps windows.
#include "MapWindows.h"

#include "MapHandoff.h"
#include "frm_Mappa.h"

#include "app/core/MainMenu.h"
#include "forms/FormRegistry.h"

namespace pendra {

void registerMapOpeners()
{
    registerMapHandoff();
    // The map hand-off opens the map window modelessly, without waiting on it.
    registerFormOpener(QStringLiteral("FRM_MAPPA"), [] { forms::FormRegistry::show<frm_Mappa>(); });
}

}  // namespace pendra
