// Menu openers of the application core's dialogs, and what F1 does.
#include "CoreWindows.h"

#include "Guarded.h"
#include "MainMenu.h"
#include "Utility.h"
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

void registerHelpKey()
{
    forms::Form::setHelpHandler([](forms::Form &window, qint32 contextId) {
        guarded(&window, "Form_KeyDown", [contextId] { ShowHelp(contextId); });
    });
}

}  // namespace pendra
