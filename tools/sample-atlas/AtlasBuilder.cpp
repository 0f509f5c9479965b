// Lays out a program folder and fills it; the faults a test asks for are made last, on the
// finished folder, so everything else is exactly what the program would find.
#include "AtlasBuilder.h"

#include "DataPlan.h"
#include "DatabaseWriter.h"
#include "Pictures.h"
#include "ProgramFiles.h"
#include "ShapeFiles.h"

#include "jet/Database.h"
#include "vb/Error.h"
#include "vb/TextFile.h"

#include <QDir>
#include <QFile>

namespace atlas {

namespace {

QString withSlash(QString folder) {
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

void makeFolder(const QString &path) {
    if (!QDir().mkpath(path))
        throw vb::Error(vb::err::PathNotFound, QStringLiteral("Cannot create %1").arg(path), QStringLiteral("AtlasBuilder"));
}

// "Metadati.mdb/DbConfigs": the database is looked for in Databases/, then in Files/.
void dropTable(const QString &root, const QString &entry, const QString &password) {
    const int slash = int(entry.lastIndexOf(QLatin1Char('/')));
    if (slash <= 0)
        throw vb::Error(vb::err::ItemNotFound, QStringLiteral("Not a database/table pair: %1").arg(entry),
                        QStringLiteral("AtlasBuilder"));
    const QString file = entry.left(slash);
    QString path = vb::findFileNoCase(root + QStringLiteral("Databases/"), file);
    if (path.isEmpty())
        path = vb::findFileNoCase(root + QStringLiteral("Files/"), file);
    if (path.isEmpty())
        throw vb::Error(vb::err::FileNotFound, QStringLiteral("No database %1").arg(file), QStringLiteral("AtlasBuilder"));
    jet::Database db = jet::Database::open(path, false, false, QStringLiteral("MS Access;pwd=") + password);
    db.deleteTableDef(entry.mid(slash + 1));
    db.close();
}

}  // namespace

QString boundarySourceFolder() {
    return withSlash(QStringLiteral(ATLAS_SHAPES_DIR));
}

void buildProgramFolder(const QString &folder, const Options &options) {
    const QString root = withSlash(folder);
    const QString databases = root + QStringLiteral("Databases/");
    const QString files = root + QStringLiteral("Files/");
    for (const QString &sub : {QStringLiteral("Databases"), QStringLiteral("Shape"), QStringLiteral("Files"),
                               QStringLiteral("Files/Help"), QStringLiteral("Excel"), QStringLiteral("Images")})
        makeFolder(root + sub);

    const QString shapes = boundarySourceFolder();
    const Territories territories(options.size);
    const Catalogue catalogue(options.size);
    const ValueModel model(catalogue, territories, ShapeFiles::provinceAreas(shapes));
    const DataPlan plan(catalogue, territories, model);

    DatabaseWriter(catalogue, territories, plan, options.password, databases, files).writeAll();
    ProgramFiles(catalogue).writeAll(files);
    if (options.withShapes)
        ShapeFiles::copy(shapes, root + QStringLiteral("Shape/"));
    if (options.withPictures) {
        QRectF bounds;
        QVector<QPolygonF> outline = ShapeFiles::outline(shapes, &bounds);
        Pictures(std::move(outline), bounds).writeAll(root + QStringLiteral("Images/"));
    }

    for (const QString &entry : options.omitTables)
        dropTable(root, entry, options.password);
    for (const QString &entry : options.omitFiles) {
        const QString path = root + entry;
        if (QFile::exists(path) && !QFile::remove(path))
            throw vb::Error(75, QStringLiteral("Cannot remove %1").arg(path), QStringLiteral("AtlasBuilder"));
    }
}

}  // namespace atlas
