// Menu openers of the maps windows.
#include "MapWindows.h"

#include "app/core/MainMenu.h"

namespace pendra {

void registerMapOpeners()
{
}

}  // namespace pendra
