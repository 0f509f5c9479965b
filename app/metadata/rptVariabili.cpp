// Printed sheet of one variable: identity, sub-area, availability, notes and yearly sources.
#include "rptVariabili.h"

#include "MetadataValues.h"

#include "forms/DialogService.h"

namespace pendra {

rptVariabili::rptVariabili() : Report("rptVariabili", "Stampa Scheda Variabile") {}

QString rptVariabili::query(const QString &key) const
{
    return "SELECT MetadatiVariabili.*, Argomento.[Desc argomento] as descArg FROM Argomento INNER JOIN "
           "MetadatiVariabili ON Argomento.[Codice argomento] = MetadatiVariabili.CodiceArgomento where "
           "idvariabile = '" + sqlText(key) + "';";
}

QVector<ReportBlock> rptVariabili::detail(const std::function<QString(const QString &)> &value) const
{
    auto yearly = [&](const QString &prefix) {
        QStringList out;
        for (const QString &y : reportYears())
            out << value(prefix + y);
        return out;
    };
    return {
        {"Variabile", {value("idvariabile"), value("descvariabile")}},
        {"Argomento", {value("CodiceArgomento"), value("descArg")}},
        {"Anni disponibili", yearly(QString()), reportYears(), true},
        {"Unità di misura", {value("unitamisura")}},
        {"Periodo di riferimento dei dati", {value("periodorif")}},
        {"Note sull'intera serie", {value("noteserie")}},
        {"Note sui singoli anni", yearly("note_"), reportYears()},
        {"Fonte", yearly("Fonte_"), reportYears()},
        {"Pubblicazione", yearly("Pubblicazione_"), reportYears()},
        {"Ente", yearly("Ente_"), reportYears()},
    };
}

}  // namespace pendra
