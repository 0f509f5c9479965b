// Fixture folders with the faults a test asks for, and nothing else changed.
#include "FolderChecks.h"
#include "ProgramFolder.h"

#include "vb/ErrorOf.h"
#include "jet/Connection.h"
#include "vb/TextFile.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <functional>

using namespace atlastest;

namespace {

TEST(AtlasFaults, AnOmittedTableIsMissingAndEveryOtherIsThere) {
    const struct {
        const char *entry;
        const char *file;
        const char *table;
    } cases[] = {{"Metadati.mdb/DbConfigs", "Databases/Metadati.mdb", "DbConfigs"},
                 {"Metadati.mdb/tablelink", "Databases/Metadati.mdb", "tablelink"},
                 {"qxt_utente.mdb/tabope", "Files/qxt_utente.mdb", "tabope"},
                 {"VariabiliProvince.mdb/AS_2005", "Databases/VariabiliProvince.mdb", "AS_2005"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.entry);
        atlas::Options options;
        options.omitTables = {c.entry};
        fixtures::ProgramFolder folder(options);
        EXPECT_FALSE(tableNames(folder.path() + "/" + c.file).contains(c.table));
        const QStringList problems = missingTables(folder.path() + "/") + indexedTablesLackingColumns(folder.path() + "/");
        EXPECT_FALSE(problems.isEmpty());
        for (const QString &p : problems)
            EXPECT_TRUE(p.contains(QString("no table ") + c.table)) << p.toStdString();
    }
}

TEST(AtlasFaults, AnUnknownTableToOmitIsAnError) {
    atlas::Options options;
    options.omitTables = {"Metadati.mdb/NoSuchTable"};
    EXPECT_NE(vbtest::errorOf([&] { fixtures::ProgramFolder folder(options); }), 0);
}

TEST(AtlasFaults, OmittedFilesAreGone) {
    atlas::Options options;
    options.omitFiles = {"Databases/Territorio.mdb", "Files/InfoZup.txt", "Images/velmo2.jpg"};
    fixtures::ProgramFolder folder(options);
    for (const QString &f : options.omitFiles)
        EXPECT_FALSE(QFile::exists(folder.path() + "/" + f)) << f.toStdString();
    EXPECT_TRUE(QFile::exists(folder.databases() + "Metadati.mdb"));
    EXPECT_TRUE(QFile::exists(folder.files() + "area.kvr"));
}

TEST(AtlasFaults, AnotherPasswordLocksTheProgramOut) {
    atlas::Options options;
    options.password = "sbagliata";
    fixtures::ProgramFolder folder(options);
    for (const char *file : {"Metadati.mdb", "Territorio.mdb", "VariabiliProvince.mdb"}) {
        SCOPED_TRACE(file);
        EXPECT_NE(vbtest::errorOf([&] { tableNames(folder.databases() + file); }), 0);
        EXPECT_FALSE(tableNames(folder.databases() + file, "sbagliata").isEmpty());
    }
    EXPECT_NE(vbtest::errorOf([&] { tableNames(folder.files() + "qxt_utente.mdb"); }), 0);
    EXPECT_TRUE(folder.odbc("Metadati.mdb").contains("Pwd=sbagliata;"));
    jet::Connection connection;
    connection.open(folder.odbc("Metadati.mdb"));
    EXPECT_TRUE(connection.isOpen());
}

TEST(AtlasFaults, ShapesAndPicturesCanBeLeftOut) {
    atlas::Options options;
    options.withShapes = false;
    options.withPictures = false;
    fixtures::ProgramFolder folder(options);
    EXPECT_TRUE(QDir(folder.shapes()).exists());
    EXPECT_TRUE(QDir(folder.shapes()).entryList({"*.shp"}, QDir::Files).isEmpty());
    EXPECT_TRUE(QDir(folder.path() + "/Images").entryList(QDir::Files).isEmpty());
    EXPECT_TRUE(QFile::exists(folder.files() + "ShapeConfig.xml"));
}

TEST(AtlasFaults, TheDefaultFixtureHasEveryFolderOfTheProgram) {
    fixtures::ProgramFolder folder;
    for (const char *sub : {"Databases", "Shape", "Files", "Files/Help", "Excel", "Images"})
        EXPECT_TRUE(QDir(folder.path() + "/" + sub).exists()) << sub;
    EXPECT_EQ(folder.databases(), folder.path() + "/Databases/");
    EXPECT_FALSE(QDir(folder.shapes()).entryList({"*.shp"}, QDir::Files).isEmpty());
    EXPECT_EQ(folder.odbc("Metadati.mdb"),
              "Driver={Microsoft Access Driver (*.mdb)};Pwd=mirabella1994;Dbq= " + folder.databases() + "Metadati.mdb");
}

}  // namespace
