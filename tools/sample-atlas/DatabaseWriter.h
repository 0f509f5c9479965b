// Writes the databases of a program folder through the engine: metadata, territories, the data
// databases with their attached tables, and the user database.
#pragma once

#include "Catalogue.h"
#include "DataPlan.h"
#include "Territories.h"

#include <QString>

namespace atlas {

class DatabaseWriter {
public:
    // databases: the Databases folder, files: the Files folder, both ending in "/".
    DatabaseWriter(const Catalogue &catalogue, const Territories &territories, const DataPlan &plan,
                   QString password, QString databases, QString files);

    // Every file is created anew (an existing one is replaced). Throws vb::Error.
    void writeAll() const;

    void writeMetadata() const;   // Metadati.mdb
    void writeTerritory() const;  // Territorio.mdb
    void writeData() const;       // the data databases, linked to the two above
    void writeUser() const;       // Files/qxt_utente.mdb

    // The attached-table connect string of a source database in the Databases folder.
    QString linkConnect(const QString &sourceFile) const;

private:
    const Catalogue &m_catalogue;
    const Territories &m_territories;
    const DataPlan &m_plan;
    QString m_password;
    QString m_databases;
    QString m_files;
};

}  // namespace atlas
