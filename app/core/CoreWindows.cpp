// Menu openers of the application core's dialogs.
#include "CoreWindows.h"

#include "MainMenu.h"
#include "frmInfo.h"
#include "frmMainMDI.h"

#include "forms/FormRegistry.h"

namespace pendra {

void registerCoreOpeners()
{
    registerFormOpener("FRMINFO", [] {
        forms::FormRegistry::showModal<frmInfo>(forms::FormRegistry::find<frmMainMDI>());
    });
}

}  // namespace pendra
