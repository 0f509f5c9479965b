// Menu openers of the metadata windows.
#include "MetadataWindows.h"

#include "app/core/MainMenu.h"

namespace pendra {

void registerMetadataOpeners()
{
}

}  // namespace pendra
