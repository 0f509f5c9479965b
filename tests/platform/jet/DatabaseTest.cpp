// Database files: keying, opening failures, table definitions, links and saved queries.
#include "JetTestSupport.h"

#include "jet/KeyCache.h"
#include "vb/Error.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

using namespace jettest;

namespace {

jet::TableDef table(const QString &name, QVector<jet::Field> fields)
{
    jet::TableDef td;
    td.name = name;
    td.fields = std::move(fields);
    return td;
}

TEST(DatabaseFile, OpensWithItsPasswordOnBothPaths)
{
    Folder folder;
    const QString path = folder.database("Metadati.mdb", {"CREATE TABLE T (A TEXT(10))", "INSERT INTO T VALUES ('x')"});

    EXPECT_EQ(query(path, "select * from T"), QStringList{"x"});
    jet::Database db = jet::Database::open(path, false, true, dao());
    EXPECT_TRUE(db.tableDef("t").has_value());
}

TEST(DatabaseFile, IsInTheCipherToolsPassphraseFormat)
{
    const QString tool = QStandardPaths::findExecutable("sqlcipher");
    if (tool.isEmpty())
        GTEST_SKIP() << "sqlcipher tool not installed";
    Folder folder;
    const QString path = folder.database("Dati.mdb", {"CREATE TABLE T (A TEXT(10))", "INSERT INTO T VALUES ('ok')"});
    QProcess p;
    p.start(tool, {path});
    p.write("PRAGMA key='mirabella1994';\nSELECT A FROM T;\n");
    p.closeWriteChannel();
    ASSERT_TRUE(p.waitForFinished(10000));
    EXPECT_EQ(QString::fromUtf8(p.readAllStandardOutput()).trimmed(), "ok");
}

TEST(DatabaseFile, FailsAtOpenWithAClearError)
{
    Folder folder;
    const QString path = folder.database("Dati.mdb", {});
    QFile junk(folder.file("junk.mdb"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray(4096, 'j'));
    junk.close();
    QFile empty(folder.file("empty.mdb"));
    ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    empty.close();

    struct Case {
        QString path;
        QString password;
        qint32 daoNumber;
    } cases[] = {
        {folder.file("Missing.mdb"), Password, 3024},
        {path, "wrong", 3031},
        {path, "", 3031},
        {folder.file("junk.mdb"), Password, 3031},  // the cipher cannot tell junk from a wrong key
        {folder.file("empty.mdb"), Password, 3343},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(errorOf([&] { jet::Database::open(c.path, false, false, "MS Access;pwd=" + c.password); }),
                  c.daoNumber)
            << c.path.toStdString() << " " << c.password.toStdString();
        jet::Connection cn;
        EXPECT_EQ(errorOf([&] {
                      cn.open("Driver={Microsoft Access Driver (*.mdb)};Pwd=" + c.password + ";Dbq= " + c.path);
                  }),
                  vb::err::EngineRefused);
        EXPECT_FALSE(cn.isOpen());
    }
    try {
        jet::Connection cn;
        cn.open(odbc(folder.file("Missing.mdb")));
        FAIL();
    } catch (const vb::Error &e) {
        EXPECT_TRUE(e.description().contains("Missing.mdb")) << e.description().toStdString();
    }
}

TEST(DatabaseFile, PlainFileOpensWithAnyPassword)
{
    Folder folder;
    {
        jet::Database db = jet::Database::create(folder.file("plain.mdb"), QString());
        db.execute("CREATE TABLE T (A LONG)");
        db.execute("INSERT INTO T VALUES (7)");
    }
    QFile f(folder.file("plain.mdb"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.read(15), QByteArray("SQLite format 3"));
    EXPECT_EQ(query(folder.file("plain.mdb"), "select A from T"), QStringList{"7"});
}

TEST(DatabaseFile, FileNameIgnoresLetterCase)
{
    Folder folder;
    folder.database("Metadati.mdb", {"CREATE TABLE T (A TEXT)", "INSERT INTO T VALUES ('m')"});
    EXPECT_EQ(query(folder.file("metadati.MDB"), "select * from T"), QStringList{"m"});
    jet::Database db = jet::Database::open(folder.file("METADATI.mdb"), false, false, dao());
    EXPECT_TRUE(db.isOpen());
    // A new file does not replace one that differs only in case.
    EXPECT_EQ(errorOf([&] { jet::Database::create(folder.file("metadati.mdb"), Password); }), 3204);
}

TEST(DatabaseFile, KeyIsDerivedOncePerFile)
{
    Folder folder;
    const QString path = folder.database("Dati.mdb", {});
    query(path, "select count(*) from MSysJetLinks");
    const int before = jet::KeyCache::derivations();
    for (int i = 0; i < 3; ++i)
        query(path, "select count(*) from MSysJetLinks");
    EXPECT_EQ(jet::KeyCache::derivations(), before);
}

TEST(DatabaseFile, KeysDerivedAheadServeTheOpensThatFollow)
{
    Folder folder;
    QStringList paths;
    for (const char *name : {"A.mdb", "B.mdb", "C.mdb"})
        paths << folder.database(name, {"CREATE TABLE T (A TEXT)", "INSERT INTO T VALUES ('x')"});
    jet::Database::create(folder.file("plain.mdb"), QString()).close();
    paths << folder.file("plain.mdb") << folder.file("missing.mdb");
    jet::KeyCache::clear();
    const int before = jet::KeyCache::derivations();
    jet::KeyCache::prefetch(paths, Password);
    jet::KeyCache::prefetch(paths, Password);  // again while under way: nothing more
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(query(paths[i], "select A from T"), QStringList{"x"});  // may wait for its derivation
    EXPECT_EQ(jet::KeyCache::derivations(), before + 3);
    // A prefetch with a wrong password leaves the opens to fail as before.
    jet::KeyCache::clear();
    jet::KeyCache::prefetch(paths, "sbagliata");
    EXPECT_EQ(errorOf([&] { jet::Database::open(paths[0], false, false, "MS Access;pwd=sbagliata"); }), 3031);
}

TEST(TableDefs, CreateEnumerateAndDelete)
{
    Folder folder;
    jet::Database db = jet::Database::create(folder.file("u.mdb"), Password);
    db.appendTableDef(table("tMappa", {{"N_QUIRN", jet::FieldType::Single, 0},
                                       {"AS013_2005", jet::FieldType::Single, 0},
                                       {"N4", jet::FieldType::Integer, 0},
                                       {"Nome", jet::FieldType::Text, 0},
                                       {"Codice", jet::FieldType::Text, 10},
                                       {"Tot", jet::FieldType::Long, 0},
                                       {"Val", jet::FieldType::Double, 0},
                                       {"Flag", jet::FieldType::Boolean, 0}}));
    const auto td = db.tableDef("TMAPPA");
    ASSERT_TRUE(td.has_value());
    EXPECT_EQ(td->name, "tMappa");
    EXPECT_FALSE(td->isLink());
    ASSERT_EQ(td->fields.size(), 8);
    const jet::FieldType types[] = {jet::FieldType::Single, jet::FieldType::Single, jet::FieldType::Integer,
                                    jet::FieldType::Text, jet::FieldType::Text, jet::FieldType::Long,
                                    jet::FieldType::Double, jet::FieldType::Boolean};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(td->fields[i].type, types[i]) << i;
    EXPECT_EQ(td->fields[3].size, 255);
    EXPECT_EQ(td->fields[4].size, 10);

    // The link catalogue is the engine's own and never shows.
    QStringList names;
    for (const jet::TableDef &d : db.tableDefs())
        names << d.name;
    EXPECT_EQ(names, QStringList{"tMappa"});

    EXPECT_EQ(errorOf([&] { db.appendTableDef(table("TMAPPA", {{"x", jet::FieldType::Text, 0}})); }), 3010);
    db.deleteTableDef("tmappa");
    EXPECT_TRUE(db.tableDefs().isEmpty());
    EXPECT_EQ(errorOf([&] { db.deleteTableDef("tMappa"); }), vb::err::ItemNotFound);
}

TEST(TableDefs, MoreThan255ColumnsAreRefused)
{
    Folder folder;
    jet::Database db = jet::Database::create(folder.file("w.mdb"), Password);
    QVector<jet::Field> many;
    for (int i = 0; i < 256; ++i)
        many.append({QStringLiteral("C%1").arg(i), jet::FieldType::Double, 0});
    EXPECT_EQ(errorOf([&] { db.appendTableDef(table("Wide", many)); }), vb::err::EngineRefused);

    many.resize(200);
    db.appendTableDef(table("A", many));
    db.appendTableDef(table("B", many));
    db.execute("INSERT INTO A (C0) VALUES (1)");
    db.execute("INSERT INTO B (C0) VALUES (1)");
    jet::Connection cn;
    cn.open(odbc(folder.file("w.mdb")));
    jet::Recordset ok;
    ok.open("select A.*, B.C1 from A inner join B on A.C0 = B.C0", cn);
    EXPECT_EQ(ok.fieldCount(), 201);
    jet::Recordset rs;
    try {
        rs.open("select * from A inner join B on A.C0 = B.C0", cn, jet::CursorType::Static);
        FAIL() << "400 columns accepted";
    } catch (const vb::Error &e) {
        EXPECT_EQ(e.number(), vb::err::EngineRefused);
    }
    EXPECT_FALSE(rs.isOpen());
}

}  // namespace
