// Builds a program folder (databases, shapes, files, pictures): the full sample atlas or a small
// fixture for tests, optionally with faults.
#pragma once

#include <QString>
#include <QStringList>

namespace atlas {

struct Options {
    enum class Size { Small, Full };
    // Small: a handful of territories and codes, years 2004-2006 (README.md beside this file lists
    // them); Full: the sample atlas. Both have the same schema and agree on every number.
    Size size = Size::Small;
    QString password = "mirabella1994";  // another password gives "wrong password" databases
    QStringList omitTables;            // "Metadati.mdb/DbConfigs": tables dropped after the build
                                       // (the database is looked for in Databases/, then Files/;
                                       // an unknown table is an error)
    QStringList omitFiles;             // "Databases/Territorio.mdb": files removed after the build
    bool withShapes = true;            // copy the boundary files into Shape/
    bool withPictures = true;          // background picture, note picture, tree icons
};

// Fills `folder` (created when missing) with Databases/, Shape/, Files/, Files/Help/, Excel/,
// Images/ as the program expects. Throws vb::Error on failure.
void buildProgramFolder(const QString &folder, const Options &options = Options());

// Folder with the committed boundary files (the build passes it in; tests find it the same way).
QString boundarySourceFolder();

}  // namespace atlas
