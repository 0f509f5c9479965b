// Indicator sheet: code, sub-area, dimension, method, flags and availability.
#include "frmSchedaIndicatori.h"

#include "MetadataValues.h"
#include "rptIndicatori.h"

#include "jet/Recordset.h"

#include <QCheckBox>

namespace pendra {

namespace {
QString NullToStr(const vb::Variant &value)
{
    return NullToString(value);
}
}  // namespace

frmSchedaIndicatori::frmSchedaIndicatori()
    : SheetWindow("frmSchedaIndicatori", "Scheda metadati indicatori", 2200,
                  "Informazioni per l'indicatore non disponibili!", 6)
{
    txtIndicatore = addBox("txtIndicatore", "Indicatore");
    txtSettore = addBox("txtSettore", "Area");
    txtArgomento = addBox("txtArgomento", "Sottoarea");
    txtPsm = addBox("txtPsm", "Psm");
    txtBdvexa = addBox("txtBdvexa", "Bdvexa");
    txtValutazione = addBox("txtValutazione", "Dimensione");
    txtModalitaCalcolo = addBox("txtModalitaCalcolo", "Modalità di calcolo", true);
    txtVariabiliAssociate = addBox("txtVariabiliAssociate", "Varaibili associate");
    txtNoteTecniche = addBox("txtNoteTecniche", "Note tecniche", true);
    txtDestinazione = addBox("txtDestinazione", "Destinazione");
    chkProv = addCheck("chkProv", "Prov");
    chkSll = addCheck("chkSll", "SLL");
    chkComune = addCheck("chkComune", "Comune");
    chkDatoP = addCheck("chkDatoP", "Dato puntuale");
    chkSintesi = addCheck("chkSintesi", "Utilizza sintesi");
}

void frmSchedaIndicatori::fill(const jet::Recordset &r)
{
    txtIndicatore->setText(r.value("IdIndicatore").toString() + " - " + NullToStr(r.value("DescIndicatore")));
    txtSettore->setText(NullToStr(r.value("Descrizione Settore")));
    txtArgomento->setText(NullToStr(r.value("Argomento")) + " - " + NullToStr(r.value("Desc argomento")));
    txtPsm->setText(NullToStr(r.value("PSM")));
    txtBdvexa->setText(NullToStr(r.value("BdVexa")));
    txtValutazione->setText(dimensionWord(NullToStr(r.value("Valutazione"))));
    txtModalitaCalcolo->setText(NullToStr(r.value("ModalitaCalcolo")));
    txtVariabiliAssociate->setText(NullToStr(r.value("IdVariabilAssociate")));
    txtNoteTecniche->setText(NullToStr(r.value("NoteTecniche")));
    txtDestinazione->setText(NullToStr(r.value("Destinazione")));
    const std::pair<QCheckBox *, const char *> flags[] = {
        {chkProv, "Prov"}, {chkSll, "SLL"}, {chkComune, "Comune"}, {chkDatoP, "DatoPuntuale"}};
    for (const auto &[box, column] : flags) {
        if (NullToStr(r.value(column)).toLower() == u"1")
            box->setChecked(true);
    }
    if (NullToStr(r.value("UtilizzSintesi")).compare(QLatin1String("si"), Qt::CaseInsensitive) == 0)
        chkSintesi->setChecked(true);
    fillAvailability(r);
}

std::unique_ptr<Report> frmSchedaIndicatori::newReport() const
{
    return std::make_unique<rptIndicatori>();
}

}  // namespace pendra
