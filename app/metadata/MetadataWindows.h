// Menu openers of the metadata windows, registered once from main().
#pragma once

namespace pendra {

void registerMetadataOpeners();

}  // namespace pendra
