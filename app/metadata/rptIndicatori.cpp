// Printed sheet of one indicator: identity, sub-area, dimension, method, availability, notes.
#include "rptIndicatori.h"

#include "MetadataValues.h"

namespace pendra {

rptIndicatori::rptIndicatori() : Report("rptIndicatori", "Stampa Scheda Indicatore") {}

QString rptIndicatori::query(const QString &key) const
{
    return "SELECT MetadatiIndicatori.*, Argomento.[Desc argomento] as DescArg, Valutazioni.Descrizione FROM "
           "Valutazioni INNER JOIN (Argomento INNER JOIN MetadatiIndicatori ON Argomento.[Codice argomento] = "
           "MetadatiIndicatori.Argomento) ON Valutazioni.Valutazione = MetadatiIndicatori.Valutazione where  "
           "idindicatore = '" + sqlText(key) + "'";
}

QVector<ReportBlock> rptIndicatori::detail(const std::function<QString(const QString &)> &value) const
{
    QStringList years;
    for (const QString &y : reportYears())
        years << value(y);
    return {
        {"Indicatore", {value("IdIndicatore"), value("DescIndicatore")}},
        {"Argomento", {value("Argomento"), value("descarg")}},
        {"Aspetto", {value("Descrizione")}},
        {"Modalità di calcolo", {value("ModalitaCalcolo")}},
        {"Id varibili associate", {value("IdVariabilAssociate")}},
        {"Anni disponibili", years, reportYears(), true},
        {"Note tecniche", {value("NoteTecniche")}},
    };
}

}  // namespace pendra
