// A small atlas of databases built through the engine: metadata, a data database linked to it,
// the territory database and the user database, with just the rows the statements need.
#pragma once

#include "JetTestSupport.h"

namespace jettest {

class AtlasFixture {
public:
    AtlasFixture();

    QString metadati() const { return m_folder.file("Metadati.mdb"); }
    QString dati() const { return m_folder.file("Dati.mdb"); }
    QString territorio() const { return m_folder.file("Territorio.mdb"); }
    QString utente() const { return m_folder.file("qxt_utente.mdb"); }
    const Folder &folder() const { return m_folder; }

private:
    Folder m_folder;
};

}  // namespace jettest
