// The application-wide variables every window shares: folders, connect strings, library objects, selection.
#pragma once

#include "com/Com.h"
#include "library/KvrUtil.h"

#include <QString>
#include <QVector>

namespace pendra {

// Everything starts empty (texts empty, numbers 0, Booleans false) and nothing is saved between
// runs. One thread writes and reads it in the order the user's actions arrive.
struct AppState {
    // Folders, each ending in "/" once set; ShapePath "" means no maps in this run.
    QString DataPath;
    QString FilesPath;
    QString ExcelPath;
    QString ShapePath;
    QString HelpFile;  // the help file registered at start-up

    QString Password;
    QString ConnPrefix;  // ODBC prefix; a folder and a file name are appended
    QString DaoConnect;

    // The program's single library objects, created at start-up.
    com::Ptr<kvr::_Files> objFiles;
    com::Ptr<kvr::_DBInform> objDBInform;

    // Current selection handed between the menu and the work windows.
    QString CurrentDbName;
    QString Kind;              // "Variabili" or "Indicatori"
    QString DatabaseCambiato;  // "True" or "False"
    QString CurrentLivTerritoriale;
    QString SelectionWord;
    QString QueryDbName;
    QString KindSaved;
    QString LivTerritorialeSaved;
    QString SqlQuery;
    QString SqlScheda;
    bool SchedaAperta = false;
    QString CodVariabile;
    QString MapCase;
    qint16 LivMappa = 0;
    qint16 MapKind = 0;
    QVector<QVector<QString>> GridData;  // rows by columns, headers included
    QString UltimaColonna;
    qint16 NumFunz = 0;
};

AppState &app();
// Back to the initial values (releases the library objects); for tests.
void resetAppState();

// The one database password, and the connect strings built on it.
inline const char *const DatabasePassword = "mirabella1994";
QString odbcPrefix(const QString &password);      // "Driver={...};Pwd=<pw>;Dbq= "
QString daoConnect(const QString &password);      // "MS Access;pwd=<pw>"
QString linkConnect(const QString &password, const QString &sourcePath);  // attached tables

}  // namespace pendra
