// Metadata sheet of one indicator, read from SqlScheda when the window loads.
#pragma once

#include "SheetWindow.h"

class QCheckBox;

namespace pendra {

class frmSchedaIndicatori : public SheetWindow {
    Q_OBJECT
public:
    frmSchedaIndicatori();

    TextBox *txtIndicatore, *txtSettore, *txtArgomento, *txtPsm, *txtBdvexa, *txtValutazione,
        *txtModalitaCalcolo, *txtVariabiliAssociate, *txtNoteTecniche, *txtDestinazione;
    QCheckBox *chkProv, *chkSll, *chkComune, *chkDatoP, *chkSintesi;

protected:
    void fill(const jet::Recordset &record) override;
    std::unique_ptr<Report> newReport() const override;
};

}  // namespace pendra
