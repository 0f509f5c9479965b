// Runtime error: construction and the one table of the Italian descriptions of error numbers.
#include "Error.h"

#include <new>

namespace vb {

namespace {

struct Description {
    qint32 number;
    const char *plain;   // without a subject
    const char *named;   // with the subject as %1; null when the text names none
};

// The texts an Italian system shows: the language runtime, the database engine and its data
// access layer, the tree and grid controls, the component loader.
constexpr Description Descriptions[] = {
    {5, "Chiamata di routine o argomento non validi", nullptr},
    {6, "Overflow", nullptr},
    {7, "Memoria esaurita", "Memoria esaurita: '%1' è troppo grande"},
    {9, "Indice non compreso nell'intervallo", nullptr},
    {11, "Divisione per zero", nullptr},
    {13, "Tipo non corrispondente", nullptr},
    {53, "Impossibile trovare il file", "Impossibile trovare il file '%1'."},
    {61, "Il disco è pieno", "Il disco è pieno: impossibile scrivere il file '%1'."},
    {75, "Errore di accesso al percorso/file", "Errore di accesso al file '%1'."},
    {76, "Impossibile trovare il percorso", "Impossibile trovare il percorso '%1'."},
    {91, "Variabile oggetto o variabile del blocco With non impostata", nullptr},
    {94, "Utilizzo non valido di Null", nullptr},
    {380, "Valore della proprietà non valido", nullptr},
    {381, "Indice della matrice di proprietà non valido", nullptr},
    {429, "Il componente non può creare l'oggetto", nullptr},
    {481, "Immagine non valida", "Immagine non valida: '%1'."},
    {482, "Errore della stampante", nullptr},
    {3010, "La tabella esiste già.", "La tabella '%1' esiste già."},
    {3011, "Il motore di database non è in grado di trovare l'oggetto.",
     "Il motore di database non è in grado di trovare l'oggetto '%1'."},
    {3012, "L'oggetto esiste già.", "L'oggetto '%1' esiste già."},
    {3020, "Update o CancelUpdate senza AddNew o Edit.", nullptr},
    {3021, "Nessun record corrente.", nullptr},
    {3024, "Impossibile trovare il file.", "Impossibile trovare il file '%1'."},
    {3026, "Spazio su disco insufficiente.", nullptr},
    {3027, "Impossibile aggiornare. Il database o l'oggetto è di sola lettura.", nullptr},
    {3031, "Password non valida.", "Password non valida per il file '%1'."},
    {3044, "Percorso non valido.", "'%1' non è un percorso valido."},
    {3045, "Impossibile utilizzare il file: è già in uso.", "Impossibile utilizzare '%1': il file è già in uso."},
    {3043, "Errore del disco o della rete.", nullptr},
    {3070, "Il motore di database non riconosce il nome di campo o l'espressione.",
     "Il motore di database non riconosce '%1' come nome di campo o espressione valida."},
    {3075, "Errore di sintassi nell'espressione della query.", "Errore di sintassi nell'espressione della query: %1."},
    {3078, "Il motore di database non è in grado di trovare la tabella o la query.",
     "Il motore di database non è in grado di trovare la tabella o la query '%1'."},
    {3129, "Istruzione SQL non valida.", nullptr},
    {3142, "Caratteri trovati dopo la fine dell'istruzione SQL.", nullptr},
    {3164, "Impossibile aggiornare il campo.", "Impossibile aggiornare il campo '%1'."},
    {3190, "Definiti troppi campi.", nullptr},
    {3204, "Il database esiste già.", "Il database '%1' esiste già."},
    {3251, "L'operazione richiesta non è supportata dall'oggetto.", nullptr},
    {3265, "Elemento non trovato nell'insieme.", "Elemento '%1' non trovato nell'insieme."},
    {3343, "Formato di database non riconosciuto.", "Formato di database '%1' non riconosciuto."},
    {3360, "Query troppo complessa.", nullptr},
    {3704, "Operazione non consentita se l'oggetto è chiuso.", nullptr},
    {3709, "La connessione è chiusa.", nullptr},
    {35600, "Indice non compreso nei limiti", nullptr},
    {35601, "Elemento non trovato", nullptr},
    {35602, "La chiave non è univoca nell'insieme", nullptr},
    {qint32(0x80004003), "Puntatore non valido", nullptr},
    {qint32(0x80004002), "Interfaccia non supportata", "Interfaccia non supportata: %1"},
    {qint32(0x80004005), "Errore non specificato", nullptr},
    {qint32(0x80040154), "Classe non registrata", "Classe non registrata: %1"},
    {qint32(0x8007007E), "Impossibile trovare il modulo specificato.", "Impossibile trovare il modulo '%1'."},
    {qint32(0x8007007F), "Impossibile trovare la procedura specificata.", nullptr},
};

}  // namespace

Error::Error(qint32 number, QString description, QString source, QString detail)
    : m_number(number), m_description(std::move(description)), m_source(std::move(source)),
      m_detail(std::move(detail)), m_what(m_description.toStdString())
{
}

QString Error::standardDescription(qint32 number, const QString &subject)
{
    for (const Description &d : Descriptions) {
        if (d.number != number)
            continue;
        if (!subject.isEmpty() && d.named)
            return QString::fromUtf8(d.named).arg(subject);
        return QString::fromUtf8(d.plain);
    }
    return QStringLiteral("Errore definito dall'applicazione o dall'oggetto");
}

Error Error::of(qint32 number, const QString &source, const QString &subject, const QString &detail)
{
    return Error(number, standardDescription(number, subject), source, detail);
}

Error Error::of(const std::exception &e, const QString &source)
{
    const qint32 number = dynamic_cast<const std::bad_alloc *>(&e) ? err::OutOfMemory : 0;
    return Error(number, standardDescription(number), source, QString::fromLocal8Bit(e.what()));
}

}  // namespace vb
