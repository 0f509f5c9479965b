// Every metadata window shows its fixed captions with their exact blanks, and every control
// carries a name for assistive technology.
#include "MetadataTestSupport.h"
#include "WindowTexts.h"

#include "frmListaMetadati.h"
#include "frmMetadati.h"
#include "frmSchedaIndicatori.h"
#include "frmSchedaVariabili.h"
#include "frm_Glossario.h"
#include "app/core/AppState.h"
#include "app/core/Utility.h"

#include "forms/FormRegistry.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>

using namespace pendra;
using forms::FormRegistry;

namespace {

using WindowTextsTest = metadatatest::MetadataTest;

// Controls a user reaches without a name of their own.
QStringList unnamedControls(const QWidget *w)
{
    QStringList out;
    for (const QWidget *c : w->findChildren<QWidget *>()) {
        const bool control = qobject_cast<const QAbstractButton *>(c) || qobject_cast<const QLineEdit *>(c) ||
                             qobject_cast<const QComboBox *>(c) || qobject_cast<const QPlainTextEdit *>(c) ||
                             (qobject_cast<const QAbstractItemView *>(c) && !c->parentWidget()->inherits("QComboBox") &&
                              !c->inherits("QComboBoxListView"));
        if (control && !c->isHidden() && c->accessibleName().isEmpty())
            out << c->objectName() + " (" + c->metaObject()->className() + ")";
    }
    return out;
}

TEST_F(WindowTextsTest, CaptionsKeepTheirBlanksAndEveryControlIsNamed)
{
    app().SqlScheda = GetSqlScheda("Variabili", "AS013");
    QWidget *variable = FormRegistry::show<frmSchedaVariabili>();
    app().SqlScheda = GetSqlScheda("Indicatori", "IAS013");
    QWidget *indicator = FormRegistry::show<frmSchedaIndicatori>();
    const QStringList sheet = {" Visualizza Scheda Metadati ", "Stampa ", "Help", "Chiudi", "Anni disponibili",
                               "1996", "2008", "P: livello territoriale provinciale",
                               "R: livello territoriale regionale", "N.A.: dato non aggiornabile", "Area",
                               "Sottoarea"};
    struct Case {
        QWidget *window;
        QStringList captions;
    };
    const Case cases[] = {
        {variable, sheet + QStringList{"Scheda metadati variabili ", "Variabile", "Fonte", "Pubblicazione",
                                       "Ente che pubblica", "Livello territoriale", "Numero province",
                                       "Unità di misura", "Periodo di riferimento", "Note sull' intera serie",
                                       "Note sui singoli anni"}},
        {indicator, sheet + QStringList{"Scheda metadati indicatori", "Indicatore", "Psm", "Bdvexa", "Dimensione",
                                        "Modalità di calcolo", "Varaibili associate", "Note tecniche",
                                        "Destinazione", "Prov", "SLL", "Comune", "Dato puntuale",
                                        "Utilizza sintesi"}},
        {FormRegistry::show<frmMetadati>(),
         {"Metadati", " Visualizza Metadati ", "Settori - Argomenti", "Aree -Sottoaree", "Variabili_Disponibili",
          "Variabili disponibili", "Help", "Chiudi"}},
        {FormRegistry::show<frmListaMetadati>(),
         {" Variabili e indicatori", " Lista variabili e indicatori", "Descrizione", "Sottoarea", "Area",
          "Anni disponibili", "1996", "2008", "P: livello territoriale provinciale",
          "R: livello territoriale regionale", "N.A.: dato non aggiornabile", "Help", "Chiudi"}},
        {FormRegistry::show<frm_Glossario>(),
         {"Glossario", " Ricerca", "Il termine contiene :", "Ricerca per lettera", "Il termine inizia per :",
          "Visualizza tutti i termini", "Ricerca per settore", "Ricerca", "Denominazione", "Definizione", "Stampa",
          "Help", "Chiudi"}},
    };
    for (const Case &c : cases) {
        const QStringList shown = guitest::windowTexts(c.window);
        for (const QString &caption : c.captions)
            EXPECT_TRUE(shown.contains(caption)) << c.window->objectName().toStdString() << ": \""
                                                 << caption.toStdString() << "\" not shown";
        EXPECT_EQ(unnamedControls(c.window), QStringList()) << c.window->objectName().toStdString();
    }
    EXPECT_TRUE(logLines().isEmpty());
}

}  // namespace
