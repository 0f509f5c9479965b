// Printer presence from Qt's printer list, with a test override.
#include "Printers.h"

#include <QPrinterInfo>

namespace forms {

namespace {
std::optional<bool> g_pinned;
}

bool hasPrinter()
{
    if (g_pinned)
        return *g_pinned;
    return !QPrinterInfo::availablePrinterNames().isEmpty();
}

void setHasPrinter(std::optional<bool> answer)
{
    g_pinned = answer;
}

}  // namespace forms
