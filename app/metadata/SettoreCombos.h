// The shared fill of a pair of parallel area lists (descriptions and codes), area "A" left out.
#pragma once

class QComboBox;

namespace pendra {

// Empties both lists and appends, row by row, the description to the first and the code to the
// second, with their own connection. A failure is logged (FillSettoreCombos, "Utility"); the
// rows added so far stay. Selects nothing.
void FillSettoreCombos(QComboBox &descriptions, QComboBox &codes);

}  // namespace pendra
