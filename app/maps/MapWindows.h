// Menu openers of the maps windows, registered once from main().
#pragma once

namespace pendra {

void registerMapOpeners();

}  // namespace pendra
