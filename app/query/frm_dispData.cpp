// The data table window.
#include "frm_dispData.h"

namespace pendra {

frm_dispData::frm_dispData() : forms::Form("frm_dispData")
{
    setWindowTitle("Visualizza ed esporta dati");
}

}  // namespace pendra
