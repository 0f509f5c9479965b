// Start-up: instance check, folders, connect strings, relinking, library objects, menu, start page.
#include "Startup.h"

#include "AppState.h"
#include "NetPath.h"
#include "PathFiles.h"
#include "Program.h"
#include "Utility.h"
#include "VBUnzip.h"
#include "frmMainMDI.h"
#include "frmStart.h"

#include "com/Registry.h"
#include "forms/DialogService.h"
#include "forms/FormRegistry.h"
#include "jet/KeyCache.h"
#include "jet/Recordset.h"
#include "library/KvrUtilIds.h"
#include "vb/DurableFile.h"
#include "vb/Error.h"
#include "vb/TextFile.h"

#include <QDir>
#include <array>
#include <map>

namespace pendra {

using forms::dialogs;

bool holdsShapeFiles(const QString &folder)
{
    if (folder.isEmpty())
        return false;
    return !QDir(folder).entryList({"*.shp"}, QDir::Files).isEmpty();
}

void FindDatabases(QWidget *owner)
{
    // An update a crash interrupted is settled in each folder before it is looked at, so no
    // database is ever opened half old, half new: a folder it cannot be settled in holds none.
    const auto holdsDatabases = [](const QString &folder) {
        return RecoverUpdate(folder) && FileExists(folder, "Metadati.mdb");
    };
    const QString own = programFolder() + "/Databases/";
    QString found;
    if (holdsDatabases(own)) {
        found = own;
    } else {
        const QString recorded = GetDbPathFile();
        if (holdsDatabases(recorded)) {
            found = recorded;
        } else {
            const QString picked = BrowseForFolder(owner, "Selezionare la cartella contenente i Databases", recorded);
            if (!holdsDatabases(picked)) {
                dialogs().msgBox("Impossibile trovare i Databases\r\nL'Applicazione sarà chiusa.",
                                 forms::vbCritical, "Attenzione");
                endProgram();
            }
            WriteDBPath(picked);
            found = picked;
        }
    }
    app().DataPath = found;
}

void FindShapeFiles(QWidget *owner)
{
    bool settled = true;
    const auto holdsShapes = [&settled](const QString &folder) {
        settled = RecoverUpdate(folder);
        return settled && holdsShapeFiles(folder);
    };
    try {
        const QString own = programFolder() + "/Shape/";
        if (holdsShapes(own)) {
            app().ShapePath = own;
            return;
        }
        const QString recorded = GetShapePathFile();
        if (holdsShapes(recorded)) {
            app().ShapePath = recorded;
            return;
        }
        const QString picked =
            BrowseForFolder(owner, "Selezionare la cartella contenente i File delle cartine", recorded);
        if (!holdsShapes(picked)) {
            dialogs().msgBox("Nessun File delle cartine trovato. In questa sessione non sarà possibile "
                             "vedere le cartine!", forms::vbInformation);
            app().ShapePath = settled ? picked : QString();  // an unsettled update's files stay unused
            return;
        }
        WriteSHPath(picked);
        app().ShapePath = picked;
    } catch (const vb::Error &e) {
        LogError(owner, "FindShapeFiles", e);
    }
}

bool RecreateRelatedTables(jet::Database &db, const QString &sourceFile, const QString &tableName)
{
    try {
        const QString wanted = linkConnect(app().Password, app().DataPath + sourceFile);
        // A link that is already right is left without reaching (and keying) its source.
        if (const std::optional<QString> linked = db.linkConnect(tableName); linked && linked->toLower() == wanted.toLower())
            return true;
        const std::optional<jet::TableDef> existing = db.tableDef(tableName);
        if (existing) {
            // Deleting first would lose a local table whenever the link cannot be made.
            jet::Database source = jet::Database::open(app().DataPath + sourceFile, false, true, app().DaoConnect);
            if (!source.tableDef(tableName))
                throw vb::Error::of(3011, "RecreateRelatedTables", tableName, "The database engine could not find the object '" + tableName + "'.");
            source.close();
            db.deleteTableDef(existing->name);
        }
        jet::TableDef link;
        link.name = tableName;
        link.connect = wanted;
        link.sourceTableName = tableName;
        db.appendTableDef(link);
        return true;
    } catch (const vb::Error &e) {
        LogError(QString(), "RecreateRelatedTables", e);
        return false;
    }
}

namespace {
// Relinks every row of tablelink. Throws when the list or a receiving database cannot be read;
// false when a table could not be relinked (each logged).
bool relinkTablelink()
{
    QVector<std::array<QString, 3>> rows;
    {
        jet::Connection conn = GetDbConnection("Metadati.mdb");
        jet::Recordset rs;
        rs.open("select * from tablelink", conn, jet::CursorType::Static, jet::LockType::ReadOnly);
        while (!rs.eof()) {
            // toString refuses Null: a Null cell makes the list unreadable.
            rows.append({rs.value(0).toString(), rs.value(1).toString(), rs.value(2).toString()});
            rs.moveNext();
        }
        rs.close();
        conn.close();
    }
    // Each receiving database is opened once, at its first row, and serves all its rows: opening
    // one attaches every source of its links, which is most of the cost of a row.
    std::map<QString, jet::Database> opened;
    bool all = true;
    for (const auto &row : rows) {
        auto it = opened.find(row[2].toLower());
        if (it == opened.end())
            it = opened.emplace(row[2].toLower(),
                                jet::Database::open(app().DataPath + row[2], false, false, app().DaoConnect)).first;
        all = RecreateRelatedTables(it->second, row[1], row[0]) && all;
    }
    return all;
}
}  // namespace

void RefreshLinkOnDB_2(QWidget *mainWindow)
{
    try {
        relinkTablelink();
    } catch (const vb::Error &e) {
        dialogs().msgBox("Sono mancanti alcuni Database!\r\nControllare l'esistenza dei Database nella cartella : \r\n" +
                             app().DataPath + " \r\n\r\nL'applicazione sarà chiusa.",
                         forms::vbCritical, "Attenzione");
        LogError(mainWindow, "RefreshLinkOnDB_2", e);
        endProgram();
    }
}

void deriveKeysAhead(const QString &dataFolder, const QString &filesFolder)
{
    const QDir dir(dataFolder);
    QStringList paths;
    for (const QString &name : dir.entryList({"*.mdb"}, QDir::Files))
        paths << dir.filePath(name);
    const QString user = vb::findFileNoCase(filesFolder, "qxt_utente.mdb");
    if (!user.isEmpty())
        paths << user;
    jet::KeyCache::prefetch(paths, DatabasePassword);
}

namespace {
void createLibraryObjects()
{
    AppState &s = app();
    s.objFiles = com::createInstance<kvr::_Files>(kvr::ids::CLSID_Files, kvr::ids::IID_Files);
    com::check(s.objFiles->put_ConnString(vb::Variant(s.ConnPrefix + s.DataPath)));
    com::check(s.objFiles->put_TXTPath(vb::Variant(s.FilesPath)));
}

void readDatabaseSettings()
{
    AppState &s = app();
    s.objDBInform = com::createInstance<kvr::_DBInform>(kvr::ids::CLSID_DBInform, kvr::ids::IID_DBInform);
    QString conn = s.ConnPrefix, folder = s.DataPath, name = "Metadati.mdb";
    com::check(s.objDBInform->StartConn(&conn, &folder, &name));
}
}  // namespace

bool RefreshAfterUpdate(QWidget *owner)
{
    try {
        if (relinkTablelink()) {
            // What start-up loaded from the old databases is loaded again.
            AppState &s = app();
            if (s.objFiles)
                com::check(s.objFiles->FillFiles());
            if (s.objDBInform) {
                QString conn = s.ConnPrefix, folder = s.DataPath, name = "Metadati.mdb";
                com::check(s.objDBInform->StartConn(&conn, &folder, &name));
            }
            return true;
        }
    } catch (const vb::Error &e) {
        LogError(owner, "RefreshAfterUpdate", e);
    }
    return false;
}

void runStartup(frmMainMDI &main)
{
    try {
        SetFormLayout(main);
        if (!acquireInstanceLock()) {
            dialogs().msgBox("Programma già aperto! La nuova istanza sarà chiusa.", forms::vbCritical);
            endProgram();
        }
        main.setInChiusura(false);

        AppState &s = app();
        const QString folder = programFolder();
        s.Password = DatabasePassword;
        s.FilesPath = folder + "/Files/";
        s.ExcelPath = folder + "/Excel/";
        s.ConnPrefix = odbcPrefix(s.Password);
        s.DaoConnect = daoConnect(s.Password);
        // What a crash left of replacing the program's own files; the databases and shapes folders
        // are settled by the update recovery.
        vb::removeLeftTemporaries(s.FilesPath, {"ShapeConfig.xml", "DBPath.kvr", "SHPath.kvr"});

        FindDatabases(&main);
        deriveKeysAhead(s.DataPath, s.FilesPath);
        RefreshLinkOnDB_2(&main);
        FindShapeFiles(&main);
        s.HelpFile = folder + "/Files/Help/Helvora.chm";
        createLibraryObjects();
        main.menu().LoadDBMainMenu();
        readDatabaseSettings();
        // The lists load once the main window is up: no step before reads them, and loading
        // never fails (a failure is recorded in the object). The start page's events come after.
        com::check(s.objFiles->FillFiles());
        forms::FormRegistry::show<frmStart>();
    } catch (const vb::Error &e) {
        LogError(&main, "Form_Load", e);
    }
}

}  // namespace pendra
