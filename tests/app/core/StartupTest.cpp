// Start-up in-process on small program folders: each check, each failure and its outcome.
#include "CoreTestSupport.h"

#include "app/core/AppState.h"
#include "app/core/Program.h"
#include "app/core/Utility.h"
#include "app/core/frmMainMDI.h"
#include "app/core/frmStart.h"

#include "forms/FormRegistry.h"
#include "com/Registry.h"
#include "jet/Database.h"
#include "jet/KeyCache.h"

#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QFile>
#include <QLockFile>
#include <QMenu>
#include <QMenuBar>

using namespace pendra;
using forms::DialogCall;
using forms::FormRegistry;

namespace {
const QString NoDatabases = "Impossibile trovare i Databases\r\nL'Applicazione sarà chiusa.";
const QString NoMaps = "Nessun File delle cartine trovato. In questa sessione non sarà possibile vedere le cartine!";

class StartupTest : public coretest::CoreTest {
protected:
    QString missingDatabases(const QString &dataPath)
    {
        return "Sono mancanti alcuni Database!\r\nControllare l'esistenza dei Database nella cartella : \r\n" +
               dataPath + " \r\n\r\nL'applicazione sarà chiusa.";
    }
    // A second folder that holds the databases, for path files and the picker.
    QString elsewhere()
    {
        const QString dir = scratch.path() + "/altrove";
        QDir().mkpath(dir);
        QFile::rename(small.file("Databases/Metadati.mdb"), dir + "/Metadati.mdb");
        return dir;
    }
    jet::TableDef tableDef(const QString &database, const QString &name)
    {
        jet::Database db = jet::Database::open(small.file("Databases/" + database), false, true,
                                               daoConnect(DatabasePassword));
        return db.tableDef(name).value_or(jet::TableDef());
    }
    bool logged(const QString &piece) const
    {
        for (const QString &l : logLines())
            if (l.contains(piece))
                return true;
        return false;
    }
    coretest::SmallFolder small;
};
}  // namespace

TEST_F(StartupTest, SecondInstanceIsTurnedAwayBeforeAnythingElse)
{
    setProgramFolder(small.path());
    QLockFile first(instanceLockPath());
    ASSERT_TRUE(first.tryLock(0));
    start(small.path());
    EXPECT_EQ(ends, 1);
    ASSERT_EQ(dialogs.calls().size(), 1);
    EXPECT_EQ(dialogs.calls()[0].prompt, "Programma già aperto! La nuova istanza sarà chiusa.");
    EXPECT_EQ(dialogs.calls()[0].style, forms::vbCritical);
    EXPECT_TRUE(dialogs.calls()[0].title.isEmpty());
    EXPECT_TRUE(app().DataPath.isEmpty());
    EXPECT_FALSE(QFile::exists(small.file("Files/DBPath.kvr")));
    EXPECT_TRUE(FormRegistry::find<frmMainMDI>()->startupEnded());
}

TEST_F(StartupTest, TheFirstInstanceHoldsTheLockForItsRun)
{
    start(small.path());
    QLockFile other(instanceLockPath());
    EXPECT_FALSE(other.tryLock(0));
    FormRegistry::unload<frmMainMDI>();
    EXPECT_TRUE(other.tryLock(0));
}

TEST_F(StartupTest, OwnDatabasesFolderWinsAndThePathFileIsNotTouched)
{
    start(small.path());
    EXPECT_EQ(app().DataPath, small.path() + "/Databases/");
    EXPECT_EQ(app().FilesPath, small.path() + "/Files/");
    EXPECT_EQ(app().ExcelPath, small.path() + "/Excel/");
    EXPECT_EQ(app().Password, "mirabella1994");
    EXPECT_EQ(app().ConnPrefix, "Driver={Microsoft Access Driver (*.mdb)};Pwd=mirabella1994;Dbq= ");
    EXPECT_EQ(app().DaoConnect, "MS Access;pwd=mirabella1994");
    EXPECT_EQ(app().ShapePath, small.path() + "/Shape/");
    EXPECT_EQ(app().HelpFile, small.path() + "/Files/Help/Helvora.chm");
    EXPECT_FALSE(QFile::exists(small.file("Files/DBPath.kvr")));
    EXPECT_EQ(ends, 0);
    EXPECT_TRUE(dialogs.calls(DialogCall::Folder).isEmpty());
}

TEST_F(StartupTest, PathFileNamesTheDatabasesFolder)
{
    const QString dir = elsewhere();
    small.write("Files/DBPath.kvr", ("  " + dir + "  \r\n").toUtf8());
    start(small.path());
    EXPECT_EQ(app().DataPath, dir + "/");
    EXPECT_TRUE(dialogs.calls(DialogCall::Folder).isEmpty());
    EXPECT_EQ(small.read("Files/DBPath.kvr"), ("  " + dir + "  \r\n").toUtf8());  // not rewritten
}

TEST_F(StartupTest, PickedDatabasesFolderIsUsedAndRecorded)
{
    const QString dir = elsewhere();
    dialogs.answerFolder(dir);
    start(small.path());
    EXPECT_EQ(ends, 0);
    EXPECT_EQ(app().DataPath, dir + "/");
    const auto picks = dialogs.calls(DialogCall::Folder);
    ASSERT_EQ(picks.size(), 1);
    EXPECT_EQ(picks[0].title, "Selezionare la cartella contenente i Databases");
    EXPECT_TRUE(picks[0].startFolder.isEmpty());  // the path file was missing: created empty
    EXPECT_TRUE(picks[0].hadOwner);
    EXPECT_EQ(small.read("Files/DBPath.kvr"), (dir + "/\r\n").toUtf8());
}

TEST_F(StartupTest, APickedFolderThatCannotBeRecordedServesThisRunOnly)
{
    const QString dir = elsewhere();
    ASSERT_TRUE(QDir().mkpath(small.file("Files/DBPath.kvr")));  // a folder in the way of the file
    dialogs.answerFolder(dir);
    start(small.path());
    EXPECT_EQ(ends, 0);
    EXPECT_EQ(app().DataPath, dir + "/");
    ASSERT_FALSE(logLines().isEmpty());
    EXPECT_TRUE(logLines()[0].contains(" - Module:frmMainMDI Function: WriteDBPath Error N.75 "));
    EXPECT_TRUE(QFileInfo(small.file("Files/DBPath.kvr")).isDir());
    EXPECT_FALSE(app().ShapePath.isEmpty());  // start-up went on
}

TEST_F(StartupTest, NoDatabasesFolderEndsTheProgram)
{
    small.remove("Databases/Metadati.mdb");
    small.write("Files/DBPath.kvr", "/non/esiste\r\n");
    dialogs.answerFolder(scratch.path());  // picked, but without Metadati.mdb
    start(small.path());
    EXPECT_EQ(ends, 1);
    ASSERT_EQ(dialogs.calls(DialogCall::Folder).size(), 1);
    EXPECT_EQ(dialogs.calls(DialogCall::Folder)[0].startFolder, "/non/esiste/");
    ASSERT_EQ(dialogs.calls(DialogCall::MsgBox).size(), 1);
    const DialogCall msg = dialogs.calls(DialogCall::MsgBox)[0];
    EXPECT_EQ(msg.prompt, NoDatabases);
    EXPECT_EQ(msg.style, forms::vbCritical);
    EXPECT_EQ(msg.title, "Attenzione");
    EXPECT_EQ(small.read("Files/DBPath.kvr"), "/non/esiste\r\n");
    EXPECT_TRUE(logLines().isEmpty());
}

TEST_F(StartupTest, CancelledDatabasesPickerEndsTheProgram)
{
    small.remove("Databases/Metadati.mdb");
    start(small.path());
    EXPECT_EQ(ends, 1);
    EXPECT_EQ(dialogs.messages(), QStringList({NoDatabases}));
}

TEST_F(StartupTest, RelinkingReplacesLocalTablesKeepsCaseOnlyDifferencesAndSkipsBrokenRows)
{
    const QString meta = small.path() + "/Databases/Metadati.mdb";
    small.exec("Metadati.mdb", {"CREATE TABLE Argomento (idSettore TEXT, [Codice argomento] TEXT)",
                                "CREATE TABLE land_Ind (COD TEXT)",
                                "INSERT INTO tablelink VALUES ('Settore','Metadati.mdb','Dati.mdb')",
                                "INSERT INTO tablelink VALUES ('Manca','Metadati.mdb','Dati.mdb')",
                                "INSERT INTO tablelink VALUES ('Argomento','Metadati.mdb','Dati.mdb')",
                                "INSERT INTO tablelink VALUES ('land_Ind','Metadati.mdb','Dati.mdb')"});
    {
        jet::Database dati = jet::Database::open(small.file("Databases/Dati.mdb"), false, false,
                                                 daoConnect(DatabasePassword));
        dati.execute("CREATE TABLE Settore (Vecchia TEXT)");  // a local table of the same name
        jet::TableDef upper;
        upper.name = "ARGOMENTO";
        upper.connect = "MS ACCESS;PWD=mirabella1994;DATABASE=" + small.path() + "/Databases/METADATI.mdb";
        upper.sourceTableName = "Argomento";
        dati.appendTableDef(upper);
    }
    start(small.path());
    EXPECT_EQ(ends, 0);

    const jet::TableDef settore = tableDef("Dati.mdb", "Settore");
    EXPECT_EQ(settore.connect, "ms access;pwd=mirabella1994;DATABASE=" + meta);
    EXPECT_EQ(settore.sourceTableName, "Settore");
    EXPECT_EQ(small.query("Dati.mdb", "select * from Settore"), QStringList({"A|Popolazione"}));
    const jet::TableDef argomento = tableDef("Dati.mdb", "Argomento");
    EXPECT_EQ(argomento.name, "ARGOMENTO");  // left alone
    EXPECT_EQ(argomento.connect, "MS ACCESS;PWD=mirabella1994;DATABASE=" + small.path() + "/Databases/METADATI.mdb");
    EXPECT_TRUE(tableDef("Dati.mdb", "land_Ind").isLink());  // the row after the broken one
    EXPECT_TRUE(logged(" - Module: Function: RecreateRelatedTables Error N."));
    EXPECT_EQ(logLines().size(), 2);  // the broken row, then the missing library
}

TEST_F(StartupTest, ALocalTableStaysWhenItsSourceIsMissing)
{
    small.exec("Metadati.mdb", {"INSERT INTO tablelink VALUES ('Locale','Metadati.mdb','Dati.mdb')"});
    {
        jet::Database dati = jet::Database::open(small.file("Databases/Dati.mdb"), false, false,
                                                 daoConnect(DatabasePassword));
        dati.execute("CREATE TABLE Locale (X TEXT)");
        dati.execute("INSERT INTO Locale VALUES ('dato')");
    }
    start(small.path());
    EXPECT_EQ(ends, 0);
    EXPECT_FALSE(tableDef("Dati.mdb", "Locale").isLink());
    EXPECT_EQ(small.query("Dati.mdb", "select * from Locale"), QStringList({"dato"}));
    EXPECT_TRUE(logged("Function: RecreateRelatedTables"));
}

TEST_F(StartupTest, UnreadableTablelinkOrReceivingDatabaseEndsTheProgram)
{
    struct Case { const char *name; QStringList statements; const char *removeFile; };
    const Case cases[] = {
        {"null cell", {"INSERT INTO tablelink VALUES ('Settore',Null,'Dati.mdb')"}, nullptr},
        {"missing receiver", {"INSERT INTO tablelink VALUES ('Settore','Metadati.mdb','Nessuno.mdb')"}, nullptr},
        {"missing table", {"DROP TABLE tablelink"}, nullptr},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        coretest::SmallFolder f;
        f.exec("Metadati.mdb", c.statements);
        dialogs.clear();
        ends = 0;
        start(f.path());
        EXPECT_EQ(ends, 1);
        const QStringList msgs = dialogs.messages();
        ASSERT_GE(msgs.size(), 2);
        EXPECT_EQ(msgs[0], missingDatabases(f.path() + "/Databases/"));
        EXPECT_EQ(dialogs.calls()[0].title, "Attenzione");
        EXPECT_EQ(dialogs.calls()[0].style, forms::vbCritical);
        EXPECT_TRUE(msgs[1].startsWith("Errore : "));
        ASSERT_EQ(logLines().size(), 1);
        EXPECT_TRUE(logLines()[0].contains(" - Module:frmMainMDI Function: RefreshLinkOnDB_2 Error N."));
        EXPECT_TRUE(app().ShapePath.isEmpty());  // nothing after the check ran
        FormRegistry::unloadAll();
        releaseInstanceLock();
    }
}

TEST_F(StartupTest, ShapesFolderFromThePickerIsRecordedOnlyWhenItHoldsShapes)
{
    small.remove("Shape/confini.shp");
    const QString maps = scratch.path() + "/carte";
    const QString empty = scratch.path() + "/vuota";
    QDir().mkpath(maps);
    QDir().mkpath(empty);
    QFile(maps + "/REGIONI.SHP").open(QIODevice::WriteOnly);

    dialogs.answerFolder(empty);
    start(small.path());
    EXPECT_EQ(app().ShapePath, empty + "/");
    EXPECT_TRUE(dialogs.messages().contains(NoMaps));
    EXPECT_EQ(dialogs.calls(DialogCall::MsgBox)[0].style, forms::vbInformation);
    EXPECT_EQ(dialogs.calls(DialogCall::Folder)[0].title, "Selezionare la cartella contenente i File delle cartine");
    EXPECT_EQ(small.read("Files/SHPath.kvr"), "");
    EXPECT_EQ(ends, 0);

    FormRegistry::unloadAll();
    releaseInstanceLock();
    resetAppState();
    dialogs.clear();
    dialogs.answerFolder(maps);
    start(small.path());
    EXPECT_EQ(app().ShapePath, maps + "/");
    EXPECT_FALSE(dialogs.messages().contains(NoMaps));
    EXPECT_EQ(small.read("Files/SHPath.kvr"), (maps + "/\r\n").toUtf8());

    // Next run: the path file is enough.
    FormRegistry::unloadAll();
    releaseInstanceLock();
    dialogs.clear();
    start(small.path());
    EXPECT_EQ(app().ShapePath, maps + "/");
    EXPECT_TRUE(dialogs.calls(DialogCall::Folder).isEmpty());
}

TEST_F(StartupTest, CancelledShapesPickerGoesOnWithoutMaps)
{
    small.remove("Shape/confini.shp");
    start(small.path());
    EXPECT_EQ(ends, 0);
    EXPECT_EQ(app().ShapePath, "");
    EXPECT_EQ(dialogs.messages().first(), NoMaps);
    EXPECT_EQ(app().HelpFile, small.path() + "/Files/Help/Helvora.chm");  // later steps still ran
}

TEST_F(StartupTest, NormalRoadBuildsTheMenuCreatesTheLibraryObjectsAndShowsTheStartPage)
{
    ASSERT_TRUE(coretest::registerLibrary()) << "libKVR_UTIL_prov.so is not built";
    small.setMenu({"0|-1|1|Dati|0|0|0|<null>|<null>|<null>|<null>",
                   "0|0|1|Variabili|0|0|0|FORMDATITAB|Dati.mdb|Variabili|<null>",
                   "0|0|2|Indicatori|0|0|0|FORMDATITAB|DatiInd.mdb|Indicatori|R"});
    start(small.path());
    EXPECT_EQ(ends, 0);
    EXPECT_TRUE(dialogs.calls().isEmpty());
    EXPECT_TRUE(logLines().isEmpty());

    frmMainMDI *main = FormRegistry::find<frmMainMDI>();
    ASSERT_EQ(main->menuBar()->actions().size(), 1);
    EXPECT_EQ(main->menuBar()->actions()[0]->menu()->actions().size(), 2);
    EXPECT_TRUE(main->isVisible());
    EXPECT_TRUE(main->windowState() & Qt::WindowMaximized);

    ASSERT_TRUE(app().objFiles);
    vb::Variant conn;
    com::check(app().objFiles->get_ConnString(&conn));
    EXPECT_EQ(conn.toString(), app().ConnPrefix + small.path() + "/Databases/");
    ASSERT_TRUE(app().objDBInform);
    qint16 count = 0;
    com::check(app().objDBInform->get_Dbcount(&count));
    EXPECT_EQ(count, 2);

    frmStart *page = FormRegistry::find<frmStart>();
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->infoText(), QString::fromUtf8("Prima riga\r\nSeconda città\r\n"));
    EXPECT_FALSE(main->picture().isNull());
}

// The first map or formula of a session opens the user database: its key is ready by then.
TEST_F(StartupTest, TheUserDatabasesKeyIsDerivedDuringStartUp)
{
    ASSERT_TRUE(coretest::registerLibrary());
    small.setMenu({"0|-1|1|Dati|0|0|0|<null>|<null>|<null>|<null>"});
    jet::Database::create(small.file("Files/qxt_utente.mdb"), DatabasePassword).close();
    jet::KeyCache::clear();
    start(small.path());
    ASSERT_EQ(ends, 0);
    // The keys are derived on threads of their own: one still under way would count as the open's own.
    jet::KeyCache::settle();
    const int derived = jet::KeyCache::derivations();
    jet::Database::open(small.file("Files/qxt_utente.mdb"), false, false, daoConnect(DatabasePassword)).close();
    EXPECT_EQ(jet::KeyCache::derivations(), derived);
}

TEST_F(StartupTest, UnreadableSettingsKeepTheMenuButSkipTheStartPage)
{
    ASSERT_TRUE(coretest::registerLibrary());
    small.setMenu({"0|-1|1|Dati|0|0|0|<null>|<null>|<null>|<null>",
                   "0|0|1|Variabili|0|0|0|FORMDATITAB|Dati.mdb|Variabili|<null>"});
    small.exec("Metadati.mdb", {"UPDATE DbConfigs SET HasTipos = Null"});
    start(small.path());
    EXPECT_EQ(ends, 0);
    ASSERT_EQ(logLines().size(), 1);
    EXPECT_TRUE(logLines()[0].contains(" - Module:frmMainMDI Function: Form_Load Error N.94 "));
    frmMainMDI *main = FormRegistry::find<frmMainMDI>();
    EXPECT_EQ(main->menuBar()->actions().size(), 1);
    EXPECT_TRUE(main->isVisible());
    EXPECT_FALSE(FormRegistry::isLoaded<frmStart>());
}

TEST_F(StartupTest, MainWindowReturnsToMaximizedUntilItCloses)
{
    ASSERT_TRUE(coretest::registerLibrary());
    start(small.path());
    frmMainMDI *main = FormRegistry::find<frmMainMDI>();
    ASSERT_TRUE(main->isVisible());
    main->showNormal();
    QCoreApplication::processEvents();
    EXPECT_TRUE(main->windowState() & Qt::WindowMaximized);
    main->showMinimized();
    QCoreApplication::processEvents();
    EXPECT_TRUE(main->windowState() & Qt::WindowMinimized);  // left alone
    main->setInChiusura(true);
    main->showNormal();
    QCoreApplication::processEvents();
    EXPECT_FALSE(main->windowState() & (Qt::WindowMaximized | Qt::WindowMinimized));
}

TEST_F(StartupTest, AFailingLaterStepIsLoggedAndSkipsTheRest)
{
    // No component library registered: creating the lookup-list object fails.
    start(small.path());
    EXPECT_EQ(ends, 0);
    ASSERT_EQ(logLines().size(), 1);
    EXPECT_TRUE(logLines()[0].contains(" - Module:frmMainMDI Function: Form_Load Error N."));
    frmMainMDI *main = FormRegistry::find<frmMainMDI>();
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(main->menuBar()->actions().isEmpty());
    EXPECT_FALSE(FormRegistry::isLoaded<frmStart>());
    EXPECT_FALSE(main->startupEnded());
}

TEST_F(StartupTest, WorkWindowsAreCentredUnderTheMainWindow)
{
    class frmLavoro : public forms::Form {
    public:
        frmLavoro() : forms::Form("frmLavoro") { resize(300, 200); }
    };
    start(small.path());
    frmMainMDI *main = FormRegistry::find<frmMainMDI>();
    main->resize(1000, 700);
    frmLavoro *w = FormRegistry::get<frmLavoro>();
    w->setPicture(QPixmap(4, 4));
    SetFormLayout(*w);
    EXPECT_DOUBLE_EQ(w->leftTwips(), (15000 - 4500) / 2.0);
    EXPECT_DOUBLE_EQ(w->topTwips(), 0);
    EXPECT_TRUE(w->picture().isNull());
    EXPECT_EQ(w->palette().color(QPalette::Window), QGuiApplication::palette().color(QPalette::Button));
}

TEST(QtTranslation, QtsOwnDialogTextsSpeakItalian)
{
    EXPECT_FALSE(installQtTranslation(QDir::tempPath() + "/no-such-folder"));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "Cancel");
    ASSERT_TRUE(installQtTranslation());
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "Annulla");
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Look in:"), "Cerca in:");
}

TEST_F(StartupTest, WhatACrashLeftOfReplacingTheProgramsFilesIsRemovedAndNothingElse)
{
    const QStringList left = {".ShapeConfig.xml~Ab12Cd", ".DBPath.kvr~Qw12Er", ".shpath.kvr~Zz99Yy"};
    const QStringList others = {".Error.log~Ab12Cd", "ShapeConfig.xml~Ab12Cd", ".ShapeConfig.xml~Ab12"};
    for (const QString &name : left + others)
        small.write("Files/" + name, "x");
    start(small.path());
    EXPECT_EQ(ends, 0);
    for (const QString &name : left)
        EXPECT_FALSE(QFile::exists(small.file("Files/" + name))) << name.toStdString();
    for (const QString &name : others)
        EXPECT_TRUE(QFile::exists(small.file("Files/" + name))) << name.toStdString();
}
