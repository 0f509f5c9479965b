// Links (attached tables) and saved queries.
#include "JetTestSupport.h"

#include "jet/KeyCache.h"
#include "vb/Conversions.h"
#include "vb/Error.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace jettest;

namespace {

jet::TableDef link(const QString &name, const QString &sourcePath, const QString &sourceTable)
{
    jet::TableDef td;
    td.name = name;
    td.connect = linkConnect(sourcePath);
    td.sourceTableName = sourceTable;
    return td;
}

class LinksTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        source1 = folder.database("Metadati.mdb", {"CREATE TABLE IndVarAnno (Variabile TEXT(10), Anno LONG)",
                                                   "INSERT INTO IndVarAnno VALUES ('AS013', 2005)"});
        source2 = folder.database("Nuovi.mdb", {"CREATE TABLE IndVarAnno (Variabile TEXT(10), Anno LONG)",
                                                "INSERT INTO IndVarAnno VALUES ('DG030', 2007)"});
        receiver = folder.database("Dati.mdb", {"CREATE TABLE Locale (A TEXT)"});
    }

    Folder folder;
    QString source1, source2, receiver;
};

TEST_F(LinksTest, QueriesThroughALinkReadTheSourceTable)
{
    {
        jet::Database db = jet::Database::open(receiver, false, false, dao());
        db.appendTableDef(link("IndVarAnno", source1, "IndVarAnno"));
        // Visible at once on the database that appended it.
        jet::Recordset rs = db.openRecordset("select Variabile, Anno from indvaranno", true);
        EXPECT_EQ(rs.value("Anno").type(), vb::VarType::Long);  // the source's declared type
        EXPECT_EQ(rows(rs), QStringList{"AS013|2005"});
    }
    // And on every later open, on both access paths.
    EXPECT_EQ(query(receiver, "select Variabile, Anno from IndVarAnno where anno = 2005"), QStringList{"AS013|2005"});
    jet::Database db = jet::Database::open(receiver, false, true, dao());
    const auto td = db.tableDef("INDVARANNO");
    ASSERT_TRUE(td.has_value());
    EXPECT_TRUE(td->isLink());
    EXPECT_EQ(td->connect.toLower(), linkConnect(source1).toLower());
    EXPECT_EQ(td->sourceTableName, "IndVarAnno");
    ASSERT_EQ(td->fields.size(), 2);
    EXPECT_EQ(td->fields[1].type, jet::FieldType::Long);
    QStringList names;
    for (const jet::TableDef &d : db.tableDefs())
        names << d.name;
    EXPECT_EQ(names, (QStringList{"IndVarAnno", "Locale"}));
}

TEST_F(LinksTest, RelinkedTableReadsItsNewSource)
{
    jet::Database db = jet::Database::open(receiver, false, false, dao());
    db.appendTableDef(link("IndVarAnno", source1, "IndVarAnno"));
    // Start-up's relinking: delete the link and append it again with the wanted source.
    db.deleteTableDef("IndVarAnno");
    db.appendTableDef(link("IndVarAnno", source2, "IndVarAnno"));
    EXPECT_EQ(rows(*std::make_unique<jet::Recordset>(db.openRecordset("select Variabile from IndVarAnno", true))),
              QStringList{"DG030"});
    db.close();
    EXPECT_EQ(query(receiver, "select Variabile from IndVarAnno"), QStringList{"DG030"});
}

TEST_F(LinksTest, AppendingABrokenLinkFailsAndLeavesNoTrace)
{
    jet::Database db = jet::Database::open(receiver, false, false, dao());
    struct Case {
        jet::TableDef td;
        qint32 number;
    } cases[] = {
        {link("IndVarAnno", folder.file("Manca.mdb"), "IndVarAnno"), 3024},
        {link("IndVarAnno", source1, "NonEsiste"), 3011},
        {link("Locale", source1, "IndVarAnno"), 3010},
    };
    for (const Case &c : cases)
        EXPECT_EQ(errorOf([&] { db.appendTableDef(c.td); }), c.number) << c.td.sourceTableName.toStdString();
    jet::TableDef badPassword = link("IndVarAnno", source1, "IndVarAnno");
    badPassword.connect = "ms access;pwd=sbagliata;DATABASE=" + source1;
    EXPECT_EQ(errorOf([&] { db.appendTableDef(badPassword); }), 3031);

    EXPECT_FALSE(db.tableDef("IndVarAnno").has_value());
    // The caller logs the failure and goes on with the next link.
    db.appendTableDef(link("IndVarAnno", source1, "IndVarAnno"));
    EXPECT_TRUE(db.tableDef("IndVarAnno").has_value());
}

TEST_F(LinksTest, LinkWhoseSourceVanishedStaysListedAndFailsToRead)
{
    {
        jet::Database db = jet::Database::open(receiver, false, false, dao());
        db.appendTableDef(link("IndVarAnno", source2, "IndVarAnno"));
    }
    ASSERT_TRUE(QFile::remove(source2));
    jet::Database db = jet::Database::open(receiver, false, false, dao());
    const auto td = db.tableDef("IndVarAnno");
    ASSERT_TRUE(td.has_value());
    EXPECT_TRUE(td->fields.isEmpty());
    EXPECT_EQ(errorOf([&] { db.openRecordset("select * from IndVarAnno", true); }), vb::err::EngineRefused);
    db.deleteTableDef("IndVarAnno");
    EXPECT_FALSE(db.tableDef("IndVarAnno").has_value());
}

TEST_F(LinksTest, ManyLinksToOneSourceAttachItOnce)
{
    {
        jet::Database db = jet::Database::open(receiver, false, false, dao());
        for (int i = 0; i < 12; ++i)
            db.appendTableDef(link(QStringLiteral("L%1").arg(i), source1, "IndVarAnno"));
        // Relinking over and over to other files must not run out of attachments.
        for (int i = 0; i < 12; ++i) {
            db.deleteTableDef("L0");
            db.appendTableDef(link("L0", i % 2 ? source2 : source1, "IndVarAnno"));
        }
    }
    EXPECT_EQ(query(receiver, "select L11.Variabile, L0.Variabile from L11 inner join L0 on L11.Anno <> L0.Anno"),
              QStringList{"AS013|DG030"});
}

TEST_F(LinksTest, UpdatableSetOnALinkWritesTheSource)
{
    jet::Database db = jet::Database::open(receiver, false, false, dao());
    db.appendTableDef(link("Anni", source1, "IndVarAnno"));
    jet::Recordset rs = db.openRecordset("Anni");
    rs.addNew();
    rs.setValue("Variabile", vb::Variant("AS014"));
    rs.setValue("Anno", vb::Variant(2006));
    rs.update();
    EXPECT_EQ(query(source1, "select Variabile from IndVarAnno order by Anno"), (QStringList{"AS013", "AS014"}));
}

TEST_F(LinksTest, ALinkIsAttachedWhenAStatementFirstReadsIt)
{
    {
        jet::Database db = jet::Database::open(receiver, false, false, dao());
        db.appendTableDef(link("IndVarAnno", source1, "IndVarAnno"));
        db.appendTableDef(link("Nuovi", source2, "IndVarAnno"));
    }
    // Opening the file keys it alone; the sources are keyed when a statement reads them.
    jet::KeyCache::clear();
    const int before = jet::KeyCache::derivations();
    jet::Connection cn;
    cn.open(odbc(receiver));
    const auto run = [&](const QString &sql) {
        jet::Recordset rs;
        rs.open(sql, cn);
        return rows(rs);
    };
    EXPECT_EQ(run("select A from Locale"), QStringList());
    EXPECT_EQ(jet::KeyCache::derivations(), before + 1);
    EXPECT_EQ(run("select Variabile from indvaranno"), QStringList{"AS013"});
    EXPECT_EQ(jet::KeyCache::derivations(), before + 2);

    // Inside a transaction no file can be attached: beginning one makes every link ready.
    jet::Database db = jet::Database::open(receiver, false, false, dao());
    db.beginTrans();
    EXPECT_EQ(rows(*std::make_unique<jet::Recordset>(db.openRecordset("select Anno from Nuovi", true))),
              QStringList{"2007"});
    db.rollback();
}

TEST(SavedQueries, ListRunAndDelete)
{
    vb::setUserLocale(QLocale(QLocale::Italian, QLocale::Italy));
    Folder folder;
    const QString path = folder.database("Dati.mdb", {"CREATE TABLE T (Nome TEXT, V DOUBLE)",
                                                      "INSERT INTO T VALUES ('a', 1.5)",
                                                      "INSERT INTO T VALUES ('B', 2)"});
    jet::Database db = jet::Database::open(path, false, false, dao());
    db.createQueryDef("AreaA1", "select Nome & '-' & V as Testo from T where Nome = 'A'");
    db.createQueryDef("AreaB2", "select * from T where V ^ 2 > 3");
    db.createQueryDef("Altro", "select count(*) as N from T");
    EXPECT_EQ(db.queryDefNames(), (QStringList{"Altro", "AreaA1", "AreaB2"}));
    EXPECT_EQ(errorOf([&] { db.createQueryDef("altro", "select * from T"); }), 3012);
    EXPECT_EQ(query(path, "select * from AreaA1"), QStringList{"a-1,5"});
    EXPECT_EQ(query(path, "select Nome from AreaB2"), QStringList{"B"});

    // Deleting while walking the names visits every query: the list is a snapshot.
    for (const QString &name : db.queryDefNames())
        if (name.startsWith("Area"))
            db.deleteQueryDef(name);
    EXPECT_EQ(db.queryDefNames(), QStringList{"Altro"});
    EXPECT_EQ(errorOf([&] { db.deleteQueryDef("AreaA1"); }), vb::err::ItemNotFound);
    // Saved queries are no table definitions.
    EXPECT_EQ(db.tableDefs().size(), 1);
    vb::resetUserLocale();
}

}  // namespace
