// The data databases as plain values before they are written: one per family and level, one
// table per code group and year, and the IndVarAnno rows that find them.
#pragma once

#include "Catalogue.h"
#include "Territories.h"
#include "ValueModel.h"

#include <QString>
#include <QStringList>
#include <QVector>
#include <optional>

namespace atlas {

struct DataTable {
    QString name;                 // "AS_2005": group prefix and year
    int year = 0;
    QStringList codes;            // the numeric columns after COD_TERR
    QStringList territories;      // COD_TERR of each row
    QVector<QVector<std::optional<double>>> values;  // [row][column]; empty = Null
};

struct DataDatabase {
    QString fileName;             // "VariabiliProvince.mdb"
    QString kind;                 // "Variabili" or "Indicatori"
    bool regional = false;
    QString description;          // DbConfigs.dbdesc
    QString selectionWord;        // the caption word of the query window
    QVector<DataTable> tables;
};

struct IndVarAnnoRow {
    QString code;
    int year = 0;
    QString level;                // "T" provincial, "R" regional
    QString table;
    QString area;
    QString subArea;
    QString type;                 // "V" or "I"
};

class DataPlan {
public:
    DataPlan(const Catalogue &catalogue, const Territories &territories, const ValueModel &model);

    const QVector<DataDatabase> &databases() const { return m_databases; }
    const QVector<IndVarAnnoRow> &indVarAnno() const { return m_indVarAnno; }

    // Group of a code: its first two letters for variables, three for indicators.
    static QString groupOf(const QString &code, bool indicator);

private:
    void plan(DataDatabase db, const Catalogue &catalogue, const Territories &territories, const ValueModel &model);

    QVector<DataDatabase> m_databases;
    QVector<IndVarAnnoRow> m_indVarAnno;
};

}  // namespace atlas
