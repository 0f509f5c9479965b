// Variable sheet: code, sub-area, yearly sources, level, notes and availability.
#include "frmSchedaVariabili.h"

#include "MetadataValues.h"
#include "rptVariabili.h"

#include "jet/Recordset.h"

namespace pendra {

frmSchedaVariabili::frmSchedaVariabili()
    : SheetWindow("frmSchedaVariabili", "Scheda metadati variabili ", 2100,
                  "Informazioni per la variabile non disponibili!", 5)
{
    txtVariabili = addBox("txtVariabili", "Variabile");
    txtSettore = addBox("txtSettore", "Area");
    txtArgomento = addBox("txtArgomento", "Sottoarea");
    txtFonti = addBox("txtFonti", "Fonte", true);
    txtPubblicazioni = addBox("txtPubblicazioni", "Pubblicazione", true);
    txtEnti = addBox("txtEnti", "Ente che pubblica", true);
    txtLivelloTerr = addBox("txtLivelloTerr", "Livello territoriale");
    txtNumProv = addBox("txtNumProv", "Numero province");
    txtUnita_mis = addBox("txtUnità_mis", "Unità di misura");
    txtPeriodo_rif = addBox("txtPeriodo_rif", "Periodo di riferimento");
    txtNoteSerie = addBox("txtNoteSerie", "Note sull' intera serie", true);
    txtNoteAnni = addBox("txtNoteAnni", "Note sui singoli anni", true);
}

void frmSchedaVariabili::fill(const jet::Recordset &r)
{
    txtVariabili->setText(r.value("IdVariabile").toString() + " - " + NullToString(r.value("DescVariabile")));
    txtSettore->setText(NullToString(r.value("Descrizione Settore")));
    txtArgomento->setText(
        variableSubArea(NullToString(r.value("CodiceArgomento")), NullToString(r.value("Desc argomento"))));
    txtFonti->setText(txtFonti->text() + yearlyText(r, "Fonte_"));
    txtPubblicazioni->setText(txtPubblicazioni->text() + yearlyText(r, "Pubblicazione_"));
    txtEnti->setText(txtEnti->text() + yearlyText(r, "Ente_"));
    if (const std::optional<QString> word = levelWord(NullToString(r.value("LivelloTerritoriale"))))
        txtLivelloTerr->setText(*word);
    txtNumProv->setText(NullToString(r.value("NumProvince")));
    txtUnita_mis->setText(NullToString(r.value("UnitaMisura")));
    txtPeriodo_rif->setText(NullToString(r.value("PeriodoRif")));
    QString notes = NullToString(r.value("NoteSerie"));
    txtNoteSerie->setText(PulisciTesto(notes));
    txtNoteAnni->setText(txtNoteAnni->text() + yearlyText(r, "Note_"));
    fillAvailability(r);
}

std::unique_ptr<Report> frmSchedaVariabili::newReport() const
{
    return std::make_unique<rptVariabili>();
}

}  // namespace pendra
