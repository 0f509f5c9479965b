// Menu openers of the query and table windows.
#include "QueryWindows.h"

#include "FormdatiTab.h"

#include "app/core/AppState.h"
#include "app/core/MainMenu.h"
#include "forms/FormRegistry.h"

namespace pendra {

void registerQueryOpeners()
{
    registerFormOpener("FORMDATITAB", [] {
        // A window loaded for another database would build its query from that database's codes
        // on this one: it starts again, as a first opening does.
        const FormdatiTab *open = forms::FormRegistry::find<FormdatiTab>();
        const AppState &s = app();
        if (open && (open->dbName() != s.CurrentDbName || open->kind() != s.Kind ||
                     open->livTerritoriale() != s.CurrentLivTerritoriale))
            forms::FormRegistry::unload<FormdatiTab>();
        forms::FormRegistry::show<FormdatiTab>();
    });
}

}  // namespace pendra
