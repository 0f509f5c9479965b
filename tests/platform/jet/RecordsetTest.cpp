// Record sets: cursors, navigation, typed fields by position and name, and updates.
#include "JetTestSupport.h"

#include "vb/Conversions.h"
#include "vb/Error.h"

#include <gtest/gtest.h>

using namespace jettest;

namespace {

class RecordsetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        vb::setUserLocale(QLocale(QLocale::Italian, QLocale::Italy));
        path = folder.database("Dati.mdb", {
            "CREATE TABLE Valori (Codice TEXT(10), Nome TEXT, Piccolo SMALLINT, Grande LONG, "
            "Reale REAL, Doppio DOUBLE, Flag BIT)",
            "INSERT INTO Valori VALUES ('A1', 'Alfa', 3, 70000, 1.5, 2.25, True)",
            "INSERT INTO Valori VALUES ('B2', '', -2, 5, 0, 12.5, False)",
            "INSERT INTO Valori (Codice) VALUES ('C3')",
        });
        cn.open(odbc(path));
    }
    void TearDown() override { vb::resetUserLocale(); }

    Folder folder;
    QString path;
    jet::Connection cn;
};

TEST_F(RecordsetTest, StaticCursorCountsAndWalksBothWays)
{
    jet::Recordset rs;
    rs.open("select Codice from Valori order by Codice", cn, jet::CursorType::Static);
    EXPECT_EQ(rs.recordCount(), 3);
    EXPECT_FALSE(rs.bof());
    EXPECT_EQ(rs.value(0).rawString(), "A1");
    rs.moveLast();
    EXPECT_EQ(rs.value(0).rawString(), "C3");
    EXPECT_EQ(rs.absolutePosition(), 2);
    rs.moveNext();
    EXPECT_TRUE(rs.eof());
    EXPECT_EQ(rs.absolutePosition(), -1);
    EXPECT_EQ(errorOf([&] { rs.value(0); }), vb::err::NoCurrentRecord);
    EXPECT_EQ(errorOf([&] { rs.moveNext(); }), vb::err::NoCurrentRecord);
    rs.movePrevious();
    EXPECT_EQ(rs.value(0).rawString(), "C3");
    rs.moveFirst();
    rs.movePrevious();
    EXPECT_TRUE(rs.bof());
    EXPECT_EQ(errorOf([&] { rs.movePrevious(); }), vb::err::NoCurrentRecord);
}

TEST_F(RecordsetTest, TextsOfFieldsAreWhatCStrWritesAndEmptyForNull)
{
    jet::Recordset rs;
    rs.open("select * from Valori order by Codice", cn, jet::CursorType::Static);
    QStringList rows;
    for (; !rs.eof(); rs.moveNext()) {
        QStringList texts;
        for (int i = 0; i < rs.fieldCount(); ++i)
            texts << rs.text(i);
        rows << texts.join('|');
    }
    EXPECT_EQ(rows, (QStringList{"A1|Alfa|3|70000|1,5|2,25|Vero", "B2||-2|5|0|12,5|Falso", "C3||||||"}));
    EXPECT_EQ(errorOf([&] { rs.text(0); }), vb::err::NoCurrentRecord);
}

TEST_F(RecordsetTest, ForwardOnlyAndEmptySets)
{
    jet::Recordset rs;
    rs.open("select * from Valori", cn);
    EXPECT_EQ(rs.recordCount(), -1);
    EXPECT_NE(errorOf([&] { rs.movePrevious(); }), 0);
    EXPECT_EQ(rows(rs).size(), 3);

    jet::Recordset none;
    none.open("select * from Valori where Codice = 'zz'", cn, jet::CursorType::Static);
    EXPECT_TRUE(none.eof());
    EXPECT_TRUE(none.bof());
    EXPECT_EQ(none.recordCount(), 0);
    EXPECT_EQ(none.fieldCount(), 7);  // fields are known without rows
}

TEST_F(RecordsetTest, FieldsByPositionAndNameWithTheirTypes)
{
    jet::Recordset rs;
    rs.open("select * from Valori order by Codice", cn, jet::CursorType::Keyset);
    EXPECT_EQ(rs.fieldNames(), (QStringList{"Codice", "Nome", "Piccolo", "Grande", "Reale", "Doppio", "Flag"}));
    EXPECT_EQ(rs.fieldIndex("GRANDE"), 3);
    EXPECT_EQ(rs.fieldIndex("nessuno"), -1);
    EXPECT_EQ(errorOf([&] { rs.value("nessuno"); }), vb::err::ItemNotFound);
    EXPECT_EQ(errorOf([&] { rs.value(7); }), vb::err::ItemNotFound);
    EXPECT_EQ(errorOf([&] { rs.fieldName(-1); }), vb::err::ItemNotFound);

    const vb::VarType expected[] = {vb::VarType::String, vb::VarType::String, vb::VarType::Integer,
                                    vb::VarType::Long, vb::VarType::Single, vb::VarType::Double,
                                    vb::VarType::Boolean};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(rs.value(i).type(), expected[i]) << i;
    EXPECT_EQ(rs.value("codice").rawString(), "A1");
    EXPECT_EQ(rs.value("Grande").toLong(), 70000);
    EXPECT_TRUE(rs.value("Flag").toBool());
    EXPECT_EQ(rs.fieldType(2), jet::FieldType::Integer);

    rs.moveNext();
    EXPECT_TRUE(rs.value("Nome").isString());  // empty text is not Null
    EXPECT_EQ(rs.value("Nome").rawString(), "");
    EXPECT_FALSE(rs.value("Flag").toBool());
    rs.moveNext();
    EXPECT_TRUE(rs.value("Nome").isNull());
    EXPECT_TRUE(rs.value("Doppio").isNull());
}

// A set far larger than one block of cells, with texts long and short (on both sides of eight
// UTF-8 bytes, accented letters included), empty and Null: every cell reads back as stored, and an
// edit in the middle leaves its neighbours alone.
TEST_F(RecordsetTest, LargeSetsKeepEveryCellAndEditInPlace)
{
    QStringList statements{"CREATE TABLE Molti (N LONG, T TEXT, M MEMO, D DOUBLE)"};
    const auto textOf = [](int n) { return n % 7 == 0 ? QString() : QString("t%1").arg(n) + QString(n % 6, u'à'); };
    const auto memoOf = [](int n) { return QString(n % 400 == 3 ? 40000 : 60, QChar(u'a' + n % 26)) + QString("è%1").arg(n); };
    for (int n = 0; n < 1200; ++n) {
        const QString t = n % 7 == 0 ? (n % 2 ? "NULL" : "''") : "'" + textOf(n) + "'";
        statements << QString("INSERT INTO Molti VALUES (%1, %2, '%3', %4)").arg(n).arg(t, memoOf(n)).arg(n + 0.25);
    }
    const QString molti = folder.database("Molti.mdb", statements);
    jet::Connection mc;
    mc.open(odbc(molti));
    jet::Recordset rs;
    rs.open("select * from Molti order by N", mc, jet::CursorType::Keyset, jet::LockType::Optimistic);
    ASSERT_EQ(rs.recordCount(), 1200);
    const auto expectRow = [&](int n, const QString &text) {
        ASSERT_EQ(rs.value(0).toLong(), n);
        if (n % 7 == 0 && n % 2)
            EXPECT_TRUE(rs.value(1).isNull()) << n;
        else
            EXPECT_EQ(rs.value(1), vb::Variant(text)) << n;
        EXPECT_EQ(rs.value(2), vb::Variant(memoOf(n))) << n;
        EXPECT_EQ(rs.value(3), vb::Variant(n + 0.25)) << n;
    };
    for (int n = 0; !rs.eof(); rs.moveNext(), ++n)
        expectRow(n, textOf(n));

    rs.moveFirst();
    for (int n = 0; n < 603; ++n)
        rs.moveNext();
    rs.setValue("T", vb::Variant("cambiato"));
    rs.update();
    rs.movePrevious();
    expectRow(602, textOf(602));
    rs.moveNext();
    expectRow(603, "cambiato");
    rs.moveNext();
    expectRow(604, textOf(604));
    rs.moveLast();
    expectRow(1199, textOf(1199));
}

TEST_F(RecordsetTest, ExpressionResultsComeBackByTheirValue)
{
    jet::Recordset rs;
    rs.open("select 1 + 2 as i, 3000000000 as big, 1.5 as r, 'x' as t from Valori", cn);
    EXPECT_EQ(rs.value("i").type(), vb::VarType::Long);
    EXPECT_EQ(rs.value("big").type(), vb::VarType::Double);
    EXPECT_EQ(rs.value("r").type(), vb::VarType::Double);
    EXPECT_EQ(rs.value("t").type(), vb::VarType::String);
}

// One statement opened again and again, read-only and for updates, on this connection and on
// another: each open reads the file as it is now, and only the updatable one writes.
TEST_F(RecordsetTest, AStatementOpenedAgainReadsAsTheFirstTime)
{
    const QString sql = "select Codice, Nome from Valori where Codice <> 'C3' order by Codice";
    const auto read = [&](const jet::Connection &c) {
        jet::Recordset rs;
        rs.open(sql, c);
        return rows(rs);
    };
    EXPECT_EQ(read(cn), (QStringList{"A1|Alfa", "B2|"}));
    {
        jet::Recordset rs;
        rs.open(sql, cn, jet::CursorType::Keyset, jet::LockType::Optimistic);
        rs.setValue("Nome", vb::Variant("Beta"));
        rs.update();
    }
    jet::Connection other;
    other.open(odbc(path));
    EXPECT_EQ(read(other), (QStringList{"A1|Beta", "B2|"}));
    EXPECT_EQ(read(cn), (QStringList{"A1|Beta", "B2|"}));
    jet::Recordset readOnly;
    readOnly.open(sql, cn);
    EXPECT_THROW(readOnly.setValue("Nome", vb::Variant("Gamma")), vb::Error);
}

TEST_F(RecordsetTest, AddNewConvertsTextsInTheUsersLocale)
{
    jet::Database db = jet::Database::open(path, false, false, dao());
    jet::Recordset rs = db.openRecordset("Valori");
    rs.addNew();
    rs.setValue("Codice", vb::Variant("D4"));
    rs.setValue("Reale", vb::Variant("12,50"));
    rs.setValue("Doppio", vb::Variant("1.234,5"));
    rs.setValue("piccolo", vb::Variant(7.0));
    rs.setValue("Grande", vb::Variant("42"));
    rs.update();
    EXPECT_EQ(rs.value("Codice").rawString(), "D4");

    EXPECT_EQ(query(path, "select Reale, Doppio, Piccolo, Grande, Nome from Valori where Codice = 'D4'"),
              QStringList{"12,5|1234,5|7|42|<null>"});

    rs.addNew();
    EXPECT_EQ(errorOf([&] { rs.setValue("Doppio", vb::Variant("dodici")); }), vb::err::TypeMismatch);
    rs.cancelUpdate();
    EXPECT_EQ(query(path, "select count(*) from Valori"), QStringList{"4"});
}

TEST_F(RecordsetTest, EditsTheCurrentRecordOfATable)
{
    jet::Recordset rs;
    rs.open("select * from Valori where Codice = 'B2'", cn, jet::CursorType::Keyset, jet::LockType::Optimistic);
    rs.setValue("Nome", vb::Variant("Beta"));
    rs.update();
    EXPECT_EQ(rs.value("Nome").rawString(), "Beta");
    EXPECT_EQ(query(path, "select Nome from Valori where Codice = 'B2'"), QStringList{"Beta"});
}

TEST_F(RecordsetTest, ReadOnlyAndJoinedSetsRefuseUpdates)
{
    jet::Recordset ro;
    ro.open("select * from Valori", cn, jet::CursorType::Static, jet::LockType::ReadOnly);
    EXPECT_EQ(errorOf([&] { ro.addNew(); }), 3027);

    jet::Recordset joined;
    joined.open("select a.Codice from Valori a inner join Valori b on a.Codice = b.Codice", cn,
                jet::CursorType::Keyset, jet::LockType::Optimistic);
    EXPECT_EQ(rows(joined).size(), 3);
    EXPECT_EQ(errorOf([&] { joined.addNew(); }), 3027);
}

}  // namespace
