// Menu openers of the metadata windows and the sheet opener.
#include "MetadataWindows.h"

#include "app/core/AppState.h"
#include "app/core/MainMenu.h"
#include "frmListaMetadati.h"
#include "frmMetadati.h"
#include "frmSchedaIndicatori.h"
#include "frmSchedaVariabili.h"
#include "frm_Glossario.h"

#include "forms/FormRegistry.h"

namespace pendra {

using forms::FormRegistry;

void openSheet(SheetKind kind)
{
    if (kind == SheetKind::Variabili)
        FormRegistry::unload<frmSchedaVariabili>();
    else
        FormRegistry::unload<frmSchedaIndicatori>();
    app().SchedaAperta = false;
    if (kind == SheetKind::Variabili)
        FormRegistry::show<frmSchedaVariabili>();
    else
        FormRegistry::show<frmSchedaIndicatori>();
}

void registerMetadataOpeners()
{
    registerFormOpener("FRMMETADATI", [] { FormRegistry::show<frmMetadati>(); });
    registerFormOpener("GLOSSARIO", [] { FormRegistry::show<frm_Glossario>(); });
    registerFormOpener("FRMLISTAMETADATI", [] { FormRegistry::show<frmListaMetadati>(); });
    registerFormOpener("FRMSCHEDAVARIABILI", [] { openSheet(SheetKind::Variabili); });
    registerFormOpener("FRMSCHEDAINDICATORI", [] { openSheet(SheetKind::Indicatori); });
}

}  // namespace pendra
