// Menu openers of the query and table windows, registered once from main().
#pragma once

namespace pendra {

// Registers "FORMDATITAB" with the menu dispatcher.
void registerQueryOpeners();

}  // namespace pendra
