// "Visualizza Dati" on the window: the statement on the fixture's tables, run by the engine, and closing.
#include "QueryWindowTestSupport.h"
#include "WindowTexts.h"

#include "app/core/AppState.h"
#include "app/core/frmMainMDI.h"
#include "app/query/FormdatiTab.h"
#include "app/query/frm_dispData.h"

#include "forms/FormRegistry.h"
#include "grid/FlexGrid.h"
#include "jet/Database.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>

using namespace pendra;
using namespace querytest;

namespace {
class QueryWindowQueryTest : public QueryWindowTest {};
}

TEST_F(QueryWindowQueryTest, WorkedExampleWithAnApostropheRunsOnTheEngine)
{
    open(ProvVariabili);
    pick("AS013", {"2005"});
    pick("DG030", {"2005"});
    pick("AS014", {"2005"});
    pick("AS013", {"2006"});
    selectTerritories({"Valle d'Aosta", "Aosta"});
    w->serie()->click();

    EXPECT_EQ(app().SqlQuery.toStdString(),
              "SELECT land_Ind.COD_TIPO_TERR as TipoTerritorio, land_Ind.COD_TERR, land_Ind.PROV, land_Ind.REG, "
              "land_Ind.COD_NUTS, land_Ind.DES_TERR as Territorio, Format(AS_2005.AS013, '0.00') as AS013_2005, "
              "Format(AS_2006.AS013, '0.00') as AS013_2006, Format(AS_2005.AS014, '0.00') as AS014_2005, "
              "Format(DG_2005.DG030, '0.00') as DG030_2005 FROM ((AS_2005 INNER JOIN land_Ind  ON AS_2005.COD_TERR = "
              "land_Ind.COD_TERR) INNER JOIN AS_2006 ON AS_2006.COD_TERR = AS_2005.COD_TERR) INNER JOIN DG_2005 ON "
              "DG_2005.COD_TERR = AS_2006.COD_TERR WHERE land_Ind.DES_TERR IN( 'Valle d''Aosta', 'Aosta')");
    EXPECT_EQ(app().CodVariabile, "AS013");
    EXPECT_EQ(app().QueryDbName, "VariabiliProvince.mdb");
    EXPECT_NE(forms::FormRegistry::find<frm_dispData>(), nullptr);
    EXPECT_TRUE(w->cmdmetadati()->isEnabled());
    EXPECT_TRUE(dialogs.calls().isEmpty()) << dialogs.messages().join('\n').toStdString();
    EXPECT_TRUE(logLines().isEmpty()) << logLines().join('\n').toStdString();

    const QStringList result = rows("VariabiliProvince.mdb", app().SqlQuery);
    ASSERT_FALSE(result.isEmpty());
    for (const QString &row : result)
        EXPECT_TRUE(row.section('|', 5, 5) == "Aosta" || row.section('|', 5, 5) == "Valle d'Aosta")
            << row.toStdString();
}

TEST_F(QueryWindowQueryTest, NoTerritoryAsksForOneAndBuildsNothing)
{
    open(ProvVariabili);
    pick("TE001", {"2004"});
    app().SqlQuery = "prima";
    w->serie_Click();
    ASSERT_EQ(dialogs.calls().size(), 1);
    EXPECT_EQ(dialogs.calls()[0].prompt, "Selezionare un territorio!");
    EXPECT_EQ(dialogs.calls()[0].style, forms::vbExclamation);
    EXPECT_EQ(dialogs.calls()[0].title, "");
    EXPECT_EQ(app().SqlQuery, "prima");
    EXPECT_EQ(forms::FormRegistry::find<frm_dispData>(), nullptr);
    EXPECT_FALSE(w->cmdmetadati()->isEnabled());
}

TEST_F(QueryWindowQueryTest, QueryDbNameIsRecordedByTheMenusFlag)
{
    open(ProvVariabili);
    pick("TE001", {"2004"});
    selectTerritories({"Torino"});
    // After the second or third command item the recorded database stays...
    app().DatabaseCambiato = "True";
    app().QueryDbName = "VariabiliRegioni.mdb";
    w->serie_Click();
    EXPECT_EQ(app().QueryDbName, "VariabiliRegioni.mdb");
    // ...but an empty one is never left for the table window to run on (the table window has
    // meanwhile moved CurrentDbName to the recorded database; the menu puts it back here).
    app().CurrentDbName = "VariabiliProvince.mdb";
    app().QueryDbName = "";
    w->serie_Click();
    EXPECT_EQ(app().QueryDbName, "VariabiliProvince.mdb");
    EXPECT_TRUE(app().SqlQuery.endsWith("WHERE land_Ind.DES_TERR IN( 'Torino')"));
}

namespace {
// Stands in for the map window, which reads the table's hidden grid.
class FakeMapWindow : public forms::Form {
public:
    FakeMapWindow() : Form(QStringLiteral("frm_Mappa")) {}
};

QStringList headerOf(const frm_dispData *table)
{
    QStringList out;
    const grid::FlexGridModel &g = table->datagrid()->grid();
    for (int c = 0; c < g.Cols(); ++c)
        out << g.TextMatrix(0, c);
    return out;
}
}  // namespace

TEST_F(QueryWindowQueryTest, ASecondVisualizzaDatiShowsTheNewSelectionAndClosesTheOldMap)
{
    open(ProvVariabili);
    pick("AS013", {"2005"});
    selectTerritories({"Torino"});
    w->serie_Click();
    frm_dispData *first = forms::FormRegistry::find<frm_dispData>();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(headerOf(first).mid(5), QStringList({"Territorio", "AS013_2005"}));
    QPointer<frm_dispData> old(first);
    forms::FormRegistry::show<FakeMapWindow>();
    first->showMinimized();

    pick("AS014", {"2005"});
    selectTerritories({"Cuneo"});
    w->serie_Click();
    frm_dispData *second = forms::FormRegistry::find<frm_dispData>();
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(headerOf(second).mid(5), QStringList({"Territorio", "AS013_2005", "AS014_2005"}));
    const grid::FlexGridModel &g = second->datagrid()->grid();
    ASSERT_EQ(g.Rows(), 3);
    EXPECT_EQ(QStringList({g.TextMatrix(1, 5), g.TextMatrix(2, 5)}), QStringList({"Torino", "Cuneo"}));
    EXPECT_EQ(forms::FormRegistry::find<FakeMapWindow>(), nullptr);  // it read the old table
    EXPECT_TRUE(app().SqlQuery.contains("AS014_2005"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(old.isNull());
    EXPECT_TRUE(dialogs.calls().isEmpty()) << dialogs.messages().join('\n').toStdString();
    EXPECT_TRUE(logLines().isEmpty()) << logLines().join('\n').toStdString();
}

TEST_F(QueryWindowQueryTest, AFailingBuildIsLoggedKeepsTheStatementAndStillOpensTheTable)
{
    open(ProvVariabili);
    pick("TE001", {"2004"});
    pick("AS013", {"2005"});
    selectTerritories({"Torino"});
    app().SqlQuery = "prima";
    app().CodVariabile = "";
    // The window's data database is gone.
    ASSERT_TRUE(QFile::rename(app().DataPath + app().CurrentDbName, app().DataPath + "Altrove.mdb"));
    w->serie_Click();
    EXPECT_EQ(app().SqlQuery, "prima");
    EXPECT_EQ(app().CodVariabile, "AS013");  // the last list item, taken before the database is read
    const QStringList log = logLines();
    ASSERT_GE(log.size(), 2) << log.join('\n').toStdString();
    EXPECT_TRUE(log[1].contains("Module:FormdatiTab Function: CreaQuery")) << log[1].toStdString();
    for (const QString &line : log)
        EXPECT_FALSE(line.contains("Function: serie_Click")) << line.toStdString();
    EXPECT_NE(forms::FormRegistry::find<frm_dispData>(), nullptr);
    EXPECT_TRUE(w->cmdmetadati()->isEnabled());
    // The user reads the Italian; the engine's English is in the log only.
    const QString missing = app().DataPath + "VariabiliProvince.mdb";
    ASSERT_FALSE(dialogs.messages().isEmpty());
    EXPECT_EQ(dialogs.messages().first(),
              "Errore : Impossibile trovare il file '" + missing + "'. Il File Error.log è stato riempito.");
    for (const QString &message : dialogs.messages())
        EXPECT_FALSE(message.contains("Could not") || message.contains("no such")) << message.toStdString();
    EXPECT_TRUE(log[0].contains("[Could not find file")) << log[0].toStdString();
}

namespace {
// The captions a window shows, sorted, one a line.
std::string captionsOf(const QWidget *window)
{
    QStringList out = guitest::windowTexts(window);
    out.sort();
    return out.join(u'\n').toStdString();
}

std::string sorted(QStringList list)
{
    list.sort();
    return list.join(u'\n').toStdString();
}
}  // namespace

TEST_F(QueryWindowQueryTest, EveryControlOfBothWindowsCarriesItsCaptionAsAccessibleName)
{
    open(ProvVariabili);
    pick("TE001", {"2004"});
    selectTerritories({"Torino"});
    w->serie_Click();
    frm_dispData *table = forms::FormRegistry::find<frm_dispData>();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(captionsOf(w),
              sorted({"Interrogazione dei dati", " Selezione variabili provinciali e territorio ", "Territorio",
                      "Variabili",
                      "Visualizza", "Solo regioni", "Solo province - nuts3", "Tutto", "         Solo nuts2",
                      "Partizioni territoriali predefinite", "Tutte le province - nuts3", "Tutte le nuts2",
                      "Ripartizioni / Italia", "Aree Fondi strutturali", "Seleziona Tutto", "Tutte le regioni",
                      "Selezione Variabili", "Aree -Sottoaree", "Variabili selezionate",
                      "Nota: In corrispondenza della", "si consiglia di consultare i metadati.",
                      "Visualizza scheda metadati", "Visualizza Dati", "join con dati esterni", "dati", "Reset",
                      "Chiudi", "Help", "Note"}));
    EXPECT_EQ(captionsOf(table),
              sorted({"Visualizza ed esporta dati", " Visualizza ed esporta dati ", "Ordina ascendente",
                      "Ordina discendente", "Ricerca", "Campo :", "Crea cartogramma", "Esporta in Excel",
                      "Crea indicatore", "Help", "Chiudi", "Ordina", "Ascendente", "Discendente",
                      "Crea cartogramma da questa colonna", "Appunti", "Copia negli Appunti", "Visualizza metadati",
                      // the note button has no caption of its design; this one is ours
                      "Nota"}));
    for (QWidget *window : {static_cast<QWidget *>(w), static_cast<QWidget *>(table)}) {
        for (QWidget *c : window->findChildren<QWidget *>()) {
            const bool control = qobject_cast<QAbstractButton *>(c) || qobject_cast<QComboBox *>(c) ||
                                 qobject_cast<QLineEdit *>(c) || qobject_cast<QAbstractItemView *>(c) ||
                                 qobject_cast<QTabWidget *>(c) || qobject_cast<QPlainTextEdit *>(c) ||
                                 qobject_cast<QGroupBox *>(c);
            // the line edit inside a combo box and the parts of item views belong to their owner
            if (!control || qobject_cast<QComboBox *>(c->parentWidget()) ||
                qobject_cast<QAbstractItemView *>(c->parentWidget()))
                continue;
            EXPECT_FALSE(c->accessibleName().trimmed().isEmpty()) << c->metaObject()->className() << " "
                                                                  << c->objectName().toStdString();
            if (auto *b = qobject_cast<QAbstractButton *>(c); b && !b->text().isEmpty()) {
                EXPECT_EQ(b->accessibleName(), b->text()) << c->objectName().toStdString();
            }
            if (auto *g = qobject_cast<QGroupBox *>(c)) {
                EXPECT_EQ(g->accessibleName(), g->title());
            }
        }
    }
}

TEST_F(QueryWindowQueryTest, IndicatorsGroupOnThreeCharacters)
{
    open(ProvIndicatori);
    pick("IAS013", {"2005"});
    pick("IAS020", {"2005"});
    selectTerritories({"Torino"});
    w->serie_Click();
    EXPECT_TRUE(app().SqlQuery.contains("Format(IAS_2005.IAS013, '0.00') as IAS013_2005, Format(IAS_2005.IAS020, "
                                        "'0.00') as IAS020_2005 FROM IAS_2005 INNER JOIN land_Ind  ON "))
        << app().SqlQuery.toStdString();
    EXPECT_EQ(rows("IndicatoriProvince.mdb", app().SqlQuery).size(), 1);
}

TEST_F(QueryWindowQueryTest, ClosingDeletesTheSavedAreaQueriesAndClearsTheStatement)
{
    open(ProvVariabili);
    {
        jet::Database db = jet::Database::open(folderOf().databases() + "VariabiliProvince.mdb", false, false,
                                               folderOf().dao());
        ASSERT_TRUE(db.queryDefNames().contains("Area02"));
    }
    pick("TE001", {"2004"});
    selectTerritories({"Torino"});
    w->serie_Click();
    ASSERT_FALSE(app().SqlQuery.isEmpty());
    w->cmdChiudi()->click();
    EXPECT_EQ(forms::FormRegistry::find<FormdatiTab>(), nullptr);
    EXPECT_EQ(app().SqlQuery, "");
    EXPECT_EQ(app().LivMappa, 0);
    jet::Database db = jet::Database::open(folderOf().databases() + "VariabiliProvince.mdb", false, false,
                                           folderOf().dao());
    EXPECT_FALSE(db.queryDefNames().contains("Area02"));
    EXPECT_TRUE(logLines().isEmpty()) << logLines().join('\n').toStdString();
}

// Switching from the provincial to the regional data with the query window open: the window
// starts again on the regional database, so no provincial code reaches a regional query.
TEST_F(QueryWindowQueryTest, ChoosingAnotherDatabaseWithTheWindowOpenStartsItOnThatDatabase)
{
    open(ProvVariabili);
    pick("AS013", {"2005"});
    selectTerritories({"Torino"});
    forms::FormRegistry::find<frmMainMDI>()->menu().mnu_submnu_Click(RegVariabili);
    w = forms::FormRegistry::find<FormdatiTab>();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(app().CurrentDbName, "VariabiliRegioni.mdb");
    EXPECT_EQ(w->dbName(), "VariabiliRegioni.mdb");
    EXPECT_EQ(w->lst_allVar()->count(), 0);
    pick("TE001", {"2004"});
    selectTerritories({"Piemonte"});
    w->serie_Click();
    EXPECT_EQ(app().QueryDbName, "VariabiliRegioni.mdb");
    frm_dispData *table = forms::FormRegistry::find<frm_dispData>();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->datagrid()->grid().Rows(), 2);
    EXPECT_TRUE(dialogs.calls().isEmpty()) << dialogs.messages().join('\n').toStdString();
    EXPECT_TRUE(logLines().isEmpty()) << logLines().join('\n').toStdString();

    // The same item again keeps the window and its selection.
    forms::FormRegistry::find<frmMainMDI>()->menu().mnu_submnu_Click(RegVariabili);
    EXPECT_EQ(forms::FormRegistry::find<FormdatiTab>(), w);
    EXPECT_EQ(w->lst_allVar()->count(), 1);
}

// Another window's menu choice may move the current database while the query window stays open:
// "Visualizza Dati" still queries the database the window's codes come from.
TEST_F(QueryWindowQueryTest, TheQueryRunsOnTheDatabaseTheWindowWasOpenedFor)
{
    open(ProvVariabili);
    pick("AS013", {"2005"});
    selectTerritories({"Torino"});
    app().CurrentDbName = "VariabiliRegioni.mdb";
    w->serie_Click();
    EXPECT_EQ(app().QueryDbName, "VariabiliProvince.mdb");
    frm_dispData *table = forms::FormRegistry::find<frm_dispData>();
    ASSERT_NE(table, nullptr);
    const grid::FlexGridModel &g = table->datagrid()->grid();
    ASSERT_EQ(g.Rows(), 2);
    EXPECT_EQ(g.TextMatrix(1, 5), "Torino");
    EXPECT_TRUE(dialogs.calls().isEmpty()) << dialogs.messages().join('\n').toStdString();
}
