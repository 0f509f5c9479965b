// The query window.
#include "FormdatiTab.h"

namespace pendra {

FormdatiTab::FormdatiTab() : forms::Form("FormdatiTab")
{
    setWindowTitle("Interrogazione dei dati");
}

}  // namespace pendra
