// The start-up of the program, run by the main window's load handler, and its steps.
#pragma once

#include "jet/Database.h"

#include <QString>

class QWidget;

namespace pendra {

class frmMainMDI;

// The whole sequence in its order. Returns normally also when a step failed (logged, the rest
// skipped); throws ProgramEnded when a start-up check ended the program and the end hook returned.
void runStartup(frmMainMDI &main);

// Sets DataPath: the program's Databases folder, the folder of "DBPath.kvr", or one picked by the
// user (then recorded). None holding "Metadati.mdb" ends the program.
void FindDatabases(QWidget *owner);
// Sets ShapePath the same way with "SHPath.kvr"; none with shape files leaves the picked folder
// (or "") for this run, with a notice.
void FindShapeFiles(QWidget *owner);
// Relinks the attached tables listed in tablelink. An unreadable list or receiving database ends
// the program; a table that cannot be relinked is logged and the next row follows.
void RefreshLinkOnDB_2(QWidget *mainWindow);
// Makes sure db holds a link named tableName to that table of DataPath + sourceFile. An existing
// table of that name with another connect string (a local table too) is replaced, but only once
// the source table is known to exist, so a failed relink never loses the table. Failures are
// logged (RecreateRelatedTables, empty source) and answer false.
bool RecreateRelatedTables(jet::Database &db, const QString &sourceFile, const QString &tableName);
// After the databases were replaced by an update: relinks the attached tables as start-up does and
// reloads the library's lookup lists and per-database settings from the new databases. False when
// a step failed (logged: RecreateRelatedTables, or RefreshAfterUpdate and owner); the program then
// needs a restart to use the new data.
bool RefreshAfterUpdate(QWidget *owner);

// Every database file of the folder is opened during start-up (the links, the library's lists, the
// menu), and keying each one costs tens of milliseconds: this starts deriving the keys of the
// databases in dataFolder, and of the user database in filesFolder, side by side on threads of
// their own, so that the opens (and the first map or formula of the session) find them ready.
// Keys already known or under way are not derived again. Returns at once.
void deriveKeysAhead(const QString &dataFolder, const QString &filesFolder);

// Folder holds at least one "*.shp" (any letter case).
bool holdsShapeFiles(const QString &folder);

}  // namespace pendra
