// Whether a printer is installed: the one question the report and layout windows ask before printing.
#pragma once

#include <optional>

namespace forms {

// True when the system lists at least one printer, unless a test pinned the answer.
bool hasPrinter();
// Pins the answer for tests; std::nullopt asks the system again.
void setHasPrinter(std::optional<bool> answer);

}  // namespace forms
