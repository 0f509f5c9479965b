// Menu openers of the query and table windows.
#include "QueryWindows.h"

#include "FormdatiTab.h"

#include "app/core/MainMenu.h"
#include "forms/FormRegistry.h"

namespace pendra {

void registerQueryOpeners()
{
    registerFormOpener("FORMDATITAB", [] { forms::FormRegistry::show<FormdatiTab>(); });
}

}  // namespace pendra
