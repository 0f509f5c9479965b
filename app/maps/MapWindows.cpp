// Menu openers of the maps windows.
#include "MapWindows.h"

#include "MapHandoff.h"

#include "app/core/MainMenu.h"

namespace pendra {

void registerMapOpeners()
{
    registerMapHandoff();
}

}  // namespace pendra
