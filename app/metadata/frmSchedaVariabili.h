// Metadata sheet of one variable, read from SqlScheda when the window loads.
#pragma once

#include "SheetWindow.h"

namespace pendra {

class frmSchedaVariabili : public SheetWindow {
    Q_OBJECT
public:
    frmSchedaVariabili();

    TextBox *txtVariabili, *txtSettore, *txtArgomento, *txtFonti, *txtPubblicazioni, *txtEnti,
        *txtLivelloTerr, *txtNumProv, *txtUnita_mis, *txtPeriodo_rif, *txtNoteSerie, *txtNoteAnni;

protected:
    void fill(const jet::Recordset &record) override;
    std::unique_ptr<Report> newReport() const override;
};

}  // namespace pendra
