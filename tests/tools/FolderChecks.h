// Reading a program folder back through the engine, and the integrity checks every folder the
// builder makes must pass. Each check returns the problems it found (empty: none).
#pragma once

#include "vb/Variant.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <ostream>

inline void PrintTo(const QString &s, std::ostream *os) {
    *os << '"' << s.toStdString() << '"';
}

namespace atlastest {

inline const QString Password = QStringLiteral("mirabella1994");

// A query result: field names and rows of values.
struct Result {
    QStringList fields;
    QVector<QVector<vb::Variant>> rows;
    int column(const QString &name) const;  // -1 when absent (letter case ignored)
};

// Runs a SELECT (Jet dialect) on a database file opened read-only with the password.
Result query(const QString &path, const QString &sql, const QString &password = Password);
// Table names of a database, local tables and links.
QStringList tableNames(const QString &path, const QString &password = Password);
// The single value of a one-cell query; Null when there is no row.
vb::Variant scalar(const QString &path, const QString &sql, const QString &password = Password);

// root: the program folder, ending in "/".
QStringList missingTables(const QString &root);
QStringList indexedTablesLackingColumns(const QString &root);
// The menu, and the per-database settings its items rely on.
QStringList menuProblems(const QString &root);
QStringList unresolvedLinks(const QString &root);
// allShapesInTerritories: every area of a layer is a territory of land_Ind (the full atlas); the
// other direction, every mappable territory has its area, holds for every folder.
QStringList layerProblems(const QString &root, bool allShapesInTerritories);
// Number of areas of Shape/<name>.shp, -1 when it cannot be read.
int areaCount(const QString &shapeBase);
// The values of a DBF field of a shape file, as texts (Windows-1252 decoded).
QStringList shapeField(const QString &shapeBase, const char *field);

}  // namespace atlastest
