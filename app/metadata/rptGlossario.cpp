// Printed glossary term: name and definition.
#include "rptGlossario.h"

#include "MetadataValues.h"

namespace pendra {

rptGlossario::rptGlossario() : Report("rptGlossario", "Stampa Glossario") {}

QString rptGlossario::query(const QString &key) const
{
    return "SELECT Nome, Definizione FROM Glossario where nome = '" + sqlText(key) + "'";
}

QVector<ReportBlock> rptGlossario::detail(const std::function<QString(const QString &)> &value) const
{
    return {{"DENOMINAZIONE:", {value("nome")}}, {"DESCRIZIONE:", {value("definizione")}}};
}

}  // namespace pendra
