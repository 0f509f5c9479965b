// The information dialog: labels from InfoAggiornamento, and the database and map updates from zip archives.
#include "CoreTestSupport.h"

#include "ArchiveKit.h"

#include "app/core/AppState.h"
#include "app/core/CGUnzipFiles.h"
#include "app/core/CoreWindows.h"
#include "app/core/MainMenu.h"
#include "app/core/Program.h"
#include "app/core/frmInfo.h"

#include "forms/FormRegistry.h"
#include "jet/Database.h"
#include "vb/DurableFile.h"
#include "vb/TextFile.h"

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTest>
#include <QTimer>

#include <sys/mount.h>

using namespace pendra;
using coretest::CoreTest;
using Snapshot = QMap<QString, QByteArray>;

namespace {

const QString Password = QStringLiteral("mirabella1994");

class InfoTest : public CoreTest {
protected:
    void SetUp() override
    {
        CoreTest::SetUp();
        setProgramFolder(small.path());
        small.exec("Metadati.mdb", {"CREATE TABLE InfoAggiornamento (DataAggiornamento TEXT(50), Note TEXT)"});
        AppState &s = app();
        s.DataPath = small.path() + "/Databases/";
        s.FilesPath = small.path() + "/Files/";
        s.ShapePath = small.path() + "/Shape/";
        s.Password = Password;
        s.ConnPrefix = odbcPrefix(Password);
        s.DaoConnect = daoConnect(Password);
        QDir().mkpath(zips());
    }
    QString zips() const { return scratch.path() + "/zips"; }
    frmInfo *dialog() { return forms::FormRegistry::get<frmInfo>(); }
    QByteArray log() const { return archivekit::readFile(small.file("Files/Error.log")); }

    // A zip-tool archive of a database update: Metadati.mdb in upper case with a new update row,
    // and a new database in a sub-folder.
    QString databaseArchive(const QString &date)
    {
        const QString src = zips() + "/db";
        QDir().mkpath(src + "/Storico");
        const QString copy = src + "/METADATI.MDB";
        QFile::remove(copy);
        QFile::copy(small.file("Databases/Metadati.mdb"), copy);
        {
            jet::Database db = jet::Database::open(copy, false, false, "MS Access;pwd=" + Password);
            db.execute("DELETE FROM InfoAggiornamento");
            db.execute("INSERT INTO InfoAggiornamento VALUES ('" + date + "', 'Dati ISTAT')");
        }
        archivekit::writeFile(src + "/Storico/Dati2007.mdb", "archived data");
        const QString zip = zips() + "/aggiornamento.zip";
        QFile::remove(zip);
        archivekit::runZip(src, {"-r", zip, "."});
        return zip;
    }

    coretest::SmallFolder small;
};

TEST_F(InfoTest, LabelsShowTheFirstRowOrKeepTheDesignTexts)
{
    frmInfo *f = dialog();
    EXPECT_EQ(f->windowTitle(), " Informazioni");
    EXPECT_EQ(f->lblVersione()->text(), "Versione: 2.00p");
    EXPECT_EQ(f->lblVersioneBd()->text(), "Ultimo aggiornamento dei dati: ");
    EXPECT_EQ(f->lblNote()->text(), "Note: ");
    EXPECT_EQ(f->cmdAggiornaBd()->accessibleName(), "Aggiorna BD");

    small.exec("Metadati.mdb", {"INSERT INTO InfoAggiornamento VALUES ('31/12/2008', Null)",
                                "INSERT INTO InfoAggiornamento VALUES ('01/01/2000', 'seconda')"});
    f->LoadInfoAggiornamento();
    EXPECT_EQ(f->lblVersioneBd()->text(), "Ultimo aggiornamento dei dati: 31/12/2008");
    EXPECT_EQ(f->lblNote()->text(), "Note: ");
    // A screen reader hears the date, not the design text.
    QAccessibleInterface *read = QAccessible::queryAccessibleInterface(f->lblVersioneBd());
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->text(QAccessible::Name), "Ultimo aggiornamento dei dati: 31/12/2008");
    EXPECT_TRUE(dialogs.messages().isEmpty());
}

TEST_F(InfoTest, DatabaseUpdateUnpacksIntoTheDatabasesFolderAndShowsTheNewDate)
{
    const QString zip = databaseArchive("30/06/2009");
    const Snapshot shapes = archivekit::snapshot(small.file("Shape"));
    frmInfo *f = dialog();
    dialogs.answerFile(zip);
    dialogs.answerMsgBox(forms::vbYes);
    f->cmdAggiornaBd_Click();

    const auto files = dialogs.calls(forms::DialogCall::OpenFile);
    ASSERT_EQ(files.size(), 1);
    EXPECT_EQ(files[0].file.filter, "File zip (*.zip)|*.zip");
    EXPECT_EQ(dialogs.messages(), (QStringList{"Si desidera aggiornare la banca dati con il file: " + zip + " ?",
                                               "Aggiornamento Banca Dati effettuato."}));
    EXPECT_EQ(dialogs.calls(forms::DialogCall::MsgBox)[0].style, forms::vbYesNo + forms::vbQuestion);
    EXPECT_EQ(f->lblVersioneBd()->text(), "Ultimo aggiornamento dei dati: 30/06/2009");
    EXPECT_EQ(f->lblNote()->text(), "Note: Dati ISTAT");
    // The old name is kept, the folders of the archive are recreated, the maps are not touched.
    EXPECT_EQ(QDir(small.file("Databases")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              (QStringList{"Dati.mdb", "Metadati.mdb", "Storico"}));
    EXPECT_EQ(archivekit::readFile(small.file("Databases/Storico/Dati2007.mdb")), "archived data");
    EXPECT_EQ(archivekit::snapshot(small.file("Shape")), shapes);
}

TEST_F(InfoTest, AfterAnUpdateTheLinksOfTheReleaseAreMadeAgainAndAQueryShowsTheNewData)
{
    // A release as the distributor builds it: Dati.mdb links Settore to the distributor's own folder.
    const QString release = zips() + "/release", distributor = scratch.path() + "/distributore";
    QDir().mkpath(release);
    QDir().mkpath(distributor);
    const QString daoConnect = "MS Access;pwd=" + Password;
    QFile::copy(small.file("Databases/Metadati.mdb"), distributor + "/Metadati.mdb");
    {
        jet::Database meta = jet::Database::open(distributor + "/Metadati.mdb", false, false, daoConnect);
        meta.execute("DELETE FROM Settore");
        meta.execute("INSERT INTO Settore VALUES ('B','Lavoro')");
        meta.execute("INSERT INTO tablelink VALUES ('Settore','Metadati.mdb','Dati.mdb')");
    }
    {
        jet::Database::create(release + "/Dati.mdb", Password).close();
        jet::Database dati = jet::Database::open(release + "/Dati.mdb", false, false, daoConnect);
        jet::TableDef link;
        link.name = link.sourceTableName = "Settore";
        link.connect = "ms access;pwd=" + Password + ";DATABASE=" + distributor + "/Metadati.mdb";
        dati.appendTableDef(link);
    }
    QFile::copy(distributor + "/Metadati.mdb", release + "/Metadati.mdb");
    const QString zip = zips() + "/release.zip";
    archivekit::runZip(release, {"-r", zip, "."});
    QDir(distributor).removeRecursively();  // not on the user's machine

    struct Case { const char *what; QStringList tablelink; QString last; };
    const Case cases[] = {
        {"links of the release", {}, "Aggiornamento Banca Dati effettuato."},
        {"a source table missing", {"INSERT INTO tablelink VALUES ('Manca','Metadati.mdb','Dati.mdb')"},
         "Aggiornamento Banca Dati effettuato, ma non è stato possibile ricollegare le tabelle dei Databases: "
         "riavviare il programma per usare i nuovi dati."},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        if (!c.tablelink.isEmpty()) {
            // The same release with one row more in its tablelink.
            jet::Database meta = jet::Database::open(release + "/Metadati.mdb", false, false, daoConnect);
            for (const QString &statement : c.tablelink)
                meta.execute(statement);
            meta.close();
            QFile::remove(zip);
            archivekit::runZip(release, {"-r", zip, "."});
        }
        dialogs.clear();
        dialogs.answerFile(zip);
        dialogs.answerMsgBox(forms::vbYes);
        dialog()->cmdAggiornaBd_Click();
        const QStringList shown = dialogs.messages();
        ASSERT_FALSE(shown.isEmpty());
        EXPECT_EQ(shown.last(), c.last) << shown.join('|').toStdString();
        EXPECT_EQ(small.query("Dati.mdb", "select * from Settore"), QStringList{"B|Lavoro"});
    }
    EXPECT_TRUE(QString::fromLatin1(log()).contains("Function: RecreateRelatedTables"));
}

TEST_F(InfoTest, CancelOrNoChangesNothingAndShowsNothingMore)
{
    const QString zip = databaseArchive("30/06/2009");
    const Snapshot before = archivekit::snapshot(small.path());
    frmInfo *f = dialog();
    f->cmdAggiornaBd_Click();  // the chooser cancelled
    f->cmdAggiornaMappe_Click();
    EXPECT_TRUE(dialogs.messages().isEmpty());
    dialogs.answerFile(zip);
    dialogs.answerMsgBox(forms::vbNo);
    f->cmdAggiornaMappe_Click();
    EXPECT_EQ(dialogs.messages(), QStringList{"Si desidera aggiornare le mappe con il file: " + zip + " ?"});
    EXPECT_EQ(archivekit::snapshot(small.path()), before);
}

TEST_F(InfoTest, MapUpdateGoesToTheShapesFolderInUse)
{
    archivekit::writeFile(zips() + "/maps/Regioni/regioni.shp", "shape");
    archivekit::runZip(zips() + "/maps", {"-r", zips() + "/mappe.zip", "Regioni"});
    const QString shapes = scratch.path() + "/AltreMappe/";
    QDir().mkpath(shapes);
    app().ShapePath = shapes;  // a folder picked at start-up, not the program's own
    const Snapshot databases = archivekit::snapshot(small.file("Databases"));
    dialogs.answerFile(zips() + "/mappe.zip");
    dialogs.answerMsgBox(forms::vbYes);
    dialog()->cmdAggiornaMappe_Click();
    EXPECT_EQ(dialogs.messages().last(), "Aggiornamento mappe effettuato.");
    EXPECT_EQ(archivekit::readFile(shapes + "Regioni/regioni.shp"), "shape");
    EXPECT_FALSE(QFile::exists(small.file("Shape/Regioni")));
    EXPECT_EQ(archivekit::snapshot(small.file("Databases")), databases);
}

TEST_F(InfoTest, RefusedOrUnreadableArchiveIsLoggedAndReportedAsFailure)
{
    archivekit::buildArchive(zips() + "/ostile.zip", {{"Metadati.mdb", "x"}, {"../../evil.mdb", "x"}});
    archivekit::writeFile(zips() + "/rotto.zip", "PK\x03\x04 not really a zip");
    const Snapshot before = archivekit::snapshot(small.path());
    struct Case { QString zip; bool maps; QString failure; };
    const Case cases[] = {
        {zips() + "/ostile.zip", false, "Aggiornamento Banca Dati FALLITO!"},
        {zips() + "/rotto.zip", true, "Aggiornamento mappe FALLITO!"},
    };
    for (const Case &c : cases) {
        dialogs.clear();
        dialogs.answerFile(c.zip);
        dialogs.answerMsgBox(forms::vbYes);
        c.maps ? dialog()->cmdAggiornaMappe_Click() : dialog()->cmdAggiornaBd_Click();
        const QStringList shown = dialogs.messages();
        ASSERT_EQ(shown.size(), 3) << c.zip.toStdString();
        EXPECT_TRUE(shown[1].startsWith("Errore : ")) << shown[1].toStdString();
        EXPECT_EQ(shown[2], c.failure);
    }
    const QStringList lines = QString::fromLatin1(log()).split("\r\n", Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].contains(" - Module:frmInfo Function: cmdAggiornaBd_Click Error N.2 "));
    EXPECT_TRUE(lines[1].contains(" - Module:frmInfo Function: cmdAggiornaMappe_Click Error N."));
    Snapshot after = archivekit::snapshot(small.path());
    after.remove("Files/Error.log");
    EXPECT_EQ(after, before);
    EXPECT_FALSE(QFile::exists(scratch.path() + "/evil.mdb"));
}

TEST_F(InfoTest, AnUpdateThatFailsHalfWayLeavesEveryFileAsItWasAndTheOldDate)
{
    small.exec("Metadati.mdb", {"INSERT INTO InfoAggiornamento VALUES ('31/12/2008', 'vecchi')"});
    frmInfo *f = dialog();
    f->LoadInfoAggiornamento();
    const QString newDatabase = zips() + "/db/METADATI.MDB";
    databaseArchive("30/06/2009");
    const QByteArray fresh = archivekit::readFile(newDatabase);
    const QString tooLong(300, QChar('n'));  // a name the file system refuses, after a replaced file
    struct Case { QString what; std::vector<archivekit::Member> members; qint64 room; int code; };
    const Case cases[] = {
        {"seconda voce", {{"Metadati.mdb", fresh}, {tooLong, "x"}}, -1, 50},
        {"file e cartella", {{"Metadati.mdb", fresh}, {"leggimi", "a"}, {"leggimi/nota.txt", "b"}}, -1, 2},
        {"disco pieno", {{"Metadati.mdb", fresh}, {"Storico/Dati2007.mdb", "archived data"}}, fresh.size() / 2, 50},
    };
    const Snapshot before = archivekit::snapshot(small.path());
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what.toStdString());
        const QString zip = zips() + "/fallisce.zip";
        archivekit::buildArchive(zip, c.members);
        dialogs.clear();
        dialogs.answerFile(zip);
        dialogs.answerMsgBox(forms::vbYes);
        vb::failWritesAfter(c.room);
        f->cmdAggiornaBd_Click();
        vb::failWritesAfter(-1);
        EXPECT_EQ(dialogs.messages(),
                  (QStringList{"Si desidera aggiornare la banca dati con il file: " + zip + " ?",
                               QString("Errore : Archivio non estratto: %1 (codice UnZip %2) Il File Error.log è "
                                       "stato riempito.").arg(zip).arg(c.code),
                               "Aggiornamento Banca Dati FALLITO!"}));
        EXPECT_EQ(f->lblVersioneBd()->text(), "Ultimo aggiornamento dei dati: 31/12/2008");
        Snapshot after = archivekit::snapshot(small.path());
        after.remove("Files/Error.log");
        EXPECT_EQ(after, before);
    }
    EXPECT_EQ(small.query("Metadati.mdb", "select * from InfoAggiornamento"), QStringList{"31/12/2008|vecchi"});
}

TEST_F(InfoTest, MapUpdateMakesAMissingShapesFolder)
{
    archivekit::writeFile(zips() + "/maps/regioni.shp", "shape");
    archivekit::runZip(zips() + "/maps", {"-r", zips() + "/mappe.zip", "regioni.shp"});
    QDir(small.file("Shape")).removeRecursively();
    app().ShapePath.clear();  // no shapes folder at start-up
    dialogs.answerFile(zips() + "/mappe.zip");
    dialogs.answerMsgBox(forms::vbYes);
    dialog()->cmdAggiornaMappe_Click();
    EXPECT_EQ(dialogs.messages().last(), "Aggiornamento mappe effettuato.");
    EXPECT_EQ(archivekit::readFile(small.file("Shape/regioni.shp")), "shape");
}

TEST_F(InfoTest, AnUpdateKilledBetweenTwoRenamesIsFinishedAtTheNextStartBeforeAnyDatabaseOpens)
{
    ASSERT_TRUE(coretest::registerLibrary()) << "libKVR_UTIL_prov.so is not built";
    small.exec("Metadati.mdb", {"INSERT INTO InfoAggiornamento VALUES ('31/12/2008', 'vecchi')"});
    const QString zip = databaseArchive("30/06/2009");
    const QString databases = small.path() + "/Databases/";
    ASSERT_TRUE(archivekit::killedBetweenRenames([&] { CGUnzipFiles().Unzip(zip, databases); }, 1));
    EXPECT_TRUE(QFile::exists(databases + ".unzip-journal"));

    start(small.path());
    EXPECT_EQ(ends, 0);
    EXPECT_EQ(dialogs.messages().value(0),
              "L'aggiornamento interrotto della cartella " + databases + " è stato completato.");
    EXPECT_EQ(QDir(databases).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              (QStringList{"Dati.mdb", "Metadati.mdb", "Storico"}));
    EXPECT_EQ(archivekit::readFile(databases + "Storico/Dati2007.mdb"), "archived data");
    EXPECT_EQ(small.query("Metadati.mdb", "select * from InfoAggiornamento"), QStringList{"30/06/2009|Dati ISTAT"});
}

TEST_F(InfoTest, AnUpdateThatCannotBeSettledKeepsItsDatabasesClosedAndSaysWhy)
{
    small.exec("Metadati.mdb", {"INSERT INTO InfoAggiornamento VALUES ('31/12/2008', 'vecchi')"});
    const QString zip = databaseArchive("30/06/2009");
    const QString databases = small.path() + "/Databases/";
    ASSERT_TRUE(archivekit::killedBetweenRenames([&] { CGUnzipFiles().Unzip(zip, databases); }, 1));
    // The folder is read-only at the next start: the update can be neither finished nor undone.
    const QByteArray mountPoint = QFile::encodeName(small.path() + "/Databases");
    if (::mount(mountPoint.constData(), mountPoint.constData(), nullptr, MS_BIND, nullptr) != 0)
        GTEST_SKIP() << "cannot bind-mount here";
    struct Unmount {
        QByteArray path;
        ~Unmount() { ::umount(path.constData()); }
    } unmount{mountPoint};
    ASSERT_EQ(::mount(nullptr, mountPoint.constData(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr), 0);
    const Snapshot before = archivekit::snapshot(databases);

    start(small.path());
    EXPECT_EQ(ends, 1);
    const QStringList shown = dialogs.messages();
    ASSERT_EQ(shown.size(), 2);
    EXPECT_TRUE(shown[0].startsWith("Errore : Impossibile completare o annullare l'aggiornamento interrotto della "
                                    "cartella " + databases + ": "))
        << shown[0].toStdString();
    EXPECT_TRUE(shown[0].contains("impossibile rinominarlo")) << shown[0].toStdString();
    EXPECT_TRUE(shown[0].contains("I file della cartella non saranno usati.")) << shown[0].toStdString();
    EXPECT_EQ(shown[1], "Impossibile trovare i Databases\r\nL'Applicazione sarà chiusa.");
    EXPECT_EQ(archivekit::snapshot(databases), before);
}

TEST_F(InfoTest, EncryptedArchiveAsksThePasswordAndAnEmptyAnswerExtractsNothing)
{
    archivekit::writeFile(zips() + "/enc/Nuovo.mdb", "new");
    archivekit::runZip(zips() + "/enc", {"-P", "chiave", zips() + "/enc.zip", "Nuovo.mdb"});
    for (const QString &answer : {QString(), QString("chiave")}) {
        dialogs.clear();
        dialogs.answerFile(zips() + "/enc.zip");
        dialogs.answerMsgBox(forms::vbYes);
        dialogs.answerInput(answer);
        dialog()->cmdAggiornaBd_Click();
        const auto asked = dialogs.calls(forms::DialogCall::InputBox);
        ASSERT_EQ(asked.size(), 1);
        EXPECT_EQ(asked[0].prompt, "Please Enter The Password!");
        EXPECT_EQ(QFile::exists(small.file("Databases/Nuovo.mdb")), !answer.isEmpty());
        EXPECT_EQ(dialogs.messages().last(), answer.isEmpty() ? "Aggiornamento Banca Dati FALLITO!"
                                                              : "Aggiornamento Banca Dati effettuato.");
    }
}

TEST_F(InfoTest, UnzipStartValuesAndArgumentsReplaceTheProperties)
{
    CGUnzipFiles u;
    EXPECT_EQ(u.MessageLevel, 2);
    EXPECT_TRUE(u.HonorDirectories && u.OverWriteFiles && u.CaseSensitive);
    EXPECT_FALSE(u.PromptOverwrite || u.ExtractNewer || u.ExtractOnlyNewer || u.TestZip);
    u.ZipFileName = "/nessuno.zip";
    u.ExtractDir = scratch.path();
    EXPECT_EQ(u.Unzip(QString(), QString()), 9);  // no such archive
    EXPECT_EQ(u.Unzip(scratch.path() + "/altro.zip"), 9);
    EXPECT_EQ(u.ZipFileName, scratch.path() + "/altro.zip");
    EXPECT_EQ(u.ExtractDir, scratch.path());
}

TEST_F(InfoTest, MenuItemOpensTheDialogModallyOverTheMainWindow)
{
    bool sawModal = false;
    QTimer::singleShot(0, [&] {
        frmInfo *f = forms::FormRegistry::find<frmInfo>();
        sawModal = f && f->isVisible() && f->isModal();
        if (f)
            f->cmdOK_Click();
    });
    registerCoreOpeners();
    EXPECT_TRUE(openRegisteredForm("FRMINFO"));
    EXPECT_TRUE(sawModal);
    EXPECT_FALSE(forms::FormRegistry::isLoaded<frmInfo>());
}

TEST_F(InfoTest, ReturnOrEscClosesTheModalDialog)
{
    registerCoreOpeners();
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
        SCOPED_TRACE(key);
        QWidget *focused = nullptr;
        bool closedByKey = false;
        QTimer::singleShot(0, [&] {
            frmInfo *f = forms::FormRegistry::find<frmInfo>();
            if (!f)
                return;
            f->activateWindow();
            if (QTest::qWaitForWindowActive(f))
                focused = QApplication::focusWidget();
            QTest::keyClick(focused ? focused : f, key);
            closedByKey = !forms::FormRegistry::isLoaded<frmInfo>();
            if (!closedByKey)
                f->cmdOK_Click();  // the key failed: end the wait all the same
        });
        EXPECT_TRUE(openRegisteredForm("FRMINFO"));
        EXPECT_EQ(focused ? focused->objectName() : QString(), "cmdOK");  // the way out has the focus
        EXPECT_TRUE(closedByKey);
        EXPECT_FALSE(forms::FormRegistry::isLoaded<frmInfo>());
    }
}

}  // namespace
