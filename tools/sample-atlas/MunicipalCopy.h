// A municipal-scale copy of the sample atlas for the benchmarks: every province cut into cells,
// each cell a territory of its own with its rows in every table and one polygon in the province
// layers, so the real windows run on thousands of territories.
#pragma once

#include <QString>

namespace atlas {

// Builds the full sample atlas in `folder`, then replaces each province by cells (about as many
// per province as its area asks) until the territory table holds `territories` units in all.
// A cell copies its province's rows with every number scaled by a factor of its own; it keeps the
// province's type, region and NUTS code and gets its own code ("C00001"), name ("Torino 3") and
// province number (1, 2, ...), which the province layers match. Returns the territories written.
// Throws vb::Error on failure.
int buildMunicipalFolder(const QString &folder, int territories = 8000);

}  // namespace atlas
