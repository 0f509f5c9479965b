// The help topics the windows open: context id, stored page and the page's title.
#pragma once

#include <QString>

#include <vector>

namespace helptest {

struct Topic {
    qint32 contextId;
    const char *page;
    const char *title;
};

inline const std::vector<Topic> &mappedTopics()
{
    static const std::vector<Topic> topics = {
        {1000, "/pagine/interrogazione.html", "Interrogazione dei dati"},
        {1100, "/pagine/tabella.html", "Visualizza ed esporta dati"},
        {1200, "/pagine/mappa.html", "Modulo cartografico"},
        {1300, "/pagine/stampa.html", "Stampa cartogramma"},
        {2000, "/pagine/metadati.html", "Metadati"},
        {2100, "/pagine/scheda-variabili.html", "Scheda metadati variabili"},
        {2200, "/pagine/scheda-indicatori.html", "Scheda metadati indicatori"},
        {3000, "/pagine/glossario.html", "Glossario"},
    };
    return topics;
}

// Ids no window maps (0 is the code list's and the start page's); they open the first page.
inline const std::vector<qint32> &unmappedIds()
{
    static const std::vector<qint32> ids = {0, -1, 1, 999, 1001, 4000};
    return ids;
}

constexpr const char *FirstPage = "/index.html";
constexpr const char *FirstTitle = "Guida di Pendra";

}  // namespace helptest
