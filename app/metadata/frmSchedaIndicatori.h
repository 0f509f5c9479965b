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

    // The key the print button passes to rptIndicatori.
    QString printKey() const;

protected:
    void fill(const jet::Recordset &record) override;
    void print() override;
};

}  // namespace pendra
