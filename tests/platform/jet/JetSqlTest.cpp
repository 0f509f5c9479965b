// The Jet dialect: operators with the runtime's precedence, the functions, literals, names and
// comments, case-insensitive text, and the errors the engine reports.
#include "JetTestSupport.h"

#include "jet/EngineErrors.h"
#include "jet/JetSql.h"
#include "vb/Conversions.h"
#include "vb/Error.h"

#include <gtest/gtest.h>

using namespace jettest;

namespace {

class JetSql : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        folder = new Folder;
        path = folder->database("u.mdb", {
            "CREATE TABLE tabope (x LONG)",
            "INSERT INTO tabope VALUES (1)",
            "CREATE TABLE [Tabella con spazi] ([Campo & strano] TEXT, [Anno 2005] DOUBLE, Nome TEXT)",
            "INSERT INTO [Tabella con spazi] VALUES ('uno', 2.5, 'Città')",
            "INSERT INTO [Tabella con spazi] VALUES ('due', NULL, 'CITTÀ')",
            "INSERT INTO [Tabella con spazi] VALUES ('tre', 1, 'zeta')",
        });
    }
    static void TearDownTestSuite()
    {
        delete folder;
        folder = nullptr;
    }
    void SetUp() override
    {
        vb::setUserLocale(QLocale(QLocale::Italian, QLocale::Italy));
        cn.open(odbc(path));
    }
    void TearDown() override { vb::resetUserLocale(); }

    // The value of one expression, as text ("<null>" for Null).
    QString eval(const QString &expression)
    {
        jet::Recordset rs;
        rs.open("select " + expression + " as v from tabope", cn);
        const vb::Variant v = rs.value(0);
        return v.isNull() ? QStringLiteral("<null>") : vb::CStr(v);
    }

    static Folder *folder;
    static QString path;
    jet::Connection cn;
};

Folder *JetSql::folder = nullptr;
QString JetSql::path;

TEST_F(JetSql, OperatorsFollowTheRuntimesPrecedence)
{
    struct Case {
        const char *expression;
        const char *expected;
    } cases[] = {
        {"2 ^ 3 * 2", "16"},      {"2 * 3 ^ 2", "18"},     {"-2 ^ 2", "-4"},
        {"2 ^ -1", "0,5"},        {"2 ^ 3 ^ 2", "64"},     {"(1 + 2) ^ 2", "9"},
        {"7 / 2", "3,5"},         {"6 / 3 * 2", "4"},      {"7 \\ 2", "3"},
        {"7 mod 3", "1"},         {"10 - 7 mod 3", "9"},   {"1 + 2 * 3", "7"},
        {"'a' & 1.5", "a1,5"},    {"Null & 'x'", "x"},     {"Null & Null", "<null>"},
        {"'n' & 1 + 2", "n3"},    {"1 + Null", "<null>"},  {"2 ^ Null", "<null>"},
        {"'It''s'", "It's"},      {"\"dq \"\" x\"", "dq \" x"},
        {"'[a] & b ^ -- c'", "[a] & b ^ -- c"},
        {"IIf(1 > 2 or not 3 = 3, 'y', 'n')", "n"},
        {"IIf(2 between 1 and 3 and 'b' in ('A', 'B'), 'y', 'n')", "y"},
        {"IIf(Null is null, 'y', 'n')", "y"},
        {"IIf(True, 'vero', 'falso')", "vero"},
        {"10 - 2 - 3", "5"},      {"10 - 2 + 3", "11"},    {"-2 - 3 + -4", "-9"},
        {"12 / 2 / 3", "2"},      {"2 * 3 / 4 * 2", "3"},  {"2 * 3 mod 4 * 2", "6"},
        {"'a' & 1 + 2 & 'b' & Null & 3 * 2", "a3b6"},
        {"- (1 + 2) * 3 - 1", "-10"},
        {"IIf(1 = 1 or 1 = 2 and 1 = 2, 'y', 'n')", "y"},
        {"IIf((1 = 1 or 1 = 2) and 1 = 2, 'y', 'n')", "n"},
        {"IIf(not 1 = 2 and 2 = 2 or 1 = 2, 'y', 'n')", "y"},
        {"IIf(not (1 = 1 and 2 = 2) or 1 = 2, 'y', 'n')", "n"},
        {"IIf('ab' & 'c' = 'a' & 'bc' and 1 + 1 = 2, 'y', 'n')", "y"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(eval(QString::fromUtf8(c.expression)), QString::fromUtf8(c.expected)) << c.expression;
}

// The spreadsheet export writes one OR per column of the widest table. Long runs of one operator
// once nested a bracket per operand and overflowed the engine's parser near a hundred.
TEST_F(JetSql, LongRunsOfOneOperatorRun)
{
    const auto run = [](const QString &operand, const QString &op, int count) {
        QStringList operands;
        for (int i = 0; i < count; ++i)
            operands << QString(operand).replace(QStringLiteral("%1"), QString::number(i));
        return operands.join(op);
    };
    EXPECT_EQ(query(path, "select x from tabope where " + run("x = %1", " or ", 250)), QStringList{"1"});
    EXPECT_EQ(query(path, "select x from tabope where " + run("x = %1 + 2", " or ", 250)), QStringList{});
    EXPECT_EQ(query(path, "select x from tabope where " + run("x < %1 + 2", " and ", 250)), QStringList{"1"});
    EXPECT_EQ(eval(run("1", " + ", 250)), "250");
    EXPECT_EQ(eval("1000 - " + run("1", " - ", 250)), "750");
    EXPECT_EQ(eval(run("2", " * ", 250) + " * 0"), "0");
    EXPECT_EQ(eval(run("'%1'", " & ", 250)).size(), 10 + 90 * 2 + 150 * 3);
    EXPECT_EQ(eval(run("Null", " & ", 250)), "<null>");
    // Real nesting stays bounded: the translation of a long run opens only a few brackets.
    int depth = 0, deepest = 0;
    for (const QChar c : jet::translateSql("select x from tabope where " + run("(x = %1 or x & 'a' = 'b')", " or ", 250))) {
        depth += c == u'(' ? 1 : c == u')' ? -1 : 0;
        deepest = std::max(deepest, depth);
    }
    EXPECT_LE(deepest, 6);
}

TEST_F(JetSql, Functions)
{
    struct Case {
        const char *expression;
        const char *expected;
    } cases[] = {
        {"Format(CDbl('10,00') / CDbl('4,00'), '0.0000')", "2,5000"},
        {"Format(12.5, '0.00')", "12,50"},
        {"Format(Null, '0.00')", "<null>"},
        {"CDbl('1.234,5')", "1234,5"},
        {"CStr(1.5)", "1,5"},
        {"CInt('2,5')", "2"},
        {"CLng('70000')", "70000"},
        {"InStr('ABC- NO', '- NO')", "4"},
        {"InStr('abcabc', 'B')", "2"},
        {"InStr(3, 'abcabc', 'b')", "5"},
        {"InStr('abc', 'z')", "0"},
        {"InStr(Null, 'z')", "<null>"},
        {"Left('Alfa', 1)", "A"},
        {"left$('Alfa', 9)", "Alfa"},
        {"Right('Alfa', 2)", "fa"},
        {"Mid('Alfa', 2, 2)", "lf"},
        {"Mid('Alfa', 2)", "lfa"},
        {"Len('Città')", "5"},
        {"Len(Null)", "<null>"},
        {"UCase('città')", "CITTÀ"},
        {"LCase('ABC')", "abc"},
        {"Trim('  x  ') & '|'", "x|"},
        {"LTrim('  x ') & '|'", "x |"},
        {"RTrim('  x ') & '|'", "  x|"},
        {"IsNull(Null)", "-1"},
        {"IsNull('')", "0"},
        {"Nz(Null, 5)", "5"},
        {"Nz(Null) & '|'", "|"},
        {"Val('12.5abc')", "12,5"},
        {"Val(' 1 2 ')", "12"},
        {"Val('x')", "0"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(eval(QString::fromUtf8(c.expression)), QString::fromUtf8(c.expected)) << c.expression;
}

TEST_F(JetSql, ErrorsKeepTheirNumbers)
{
    struct Case {
        const char *sql;
        qint32 number;
    } cases[] = {
        {"select 1 / 0 as v from tabope", vb::err::DivisionByZero},
        {"select 5 \\ 0 as v from tabope", vb::err::DivisionByZero},
        {"select 5 mod 0 as v from tabope", vb::err::DivisionByZero},
        {"select CDbl('dodici') as v from tabope", vb::err::TypeMismatch},
        {"select 'a' ^ 2 as v from tabope", vb::err::TypeMismatch},
        {"select Mid('abc', 0) as v from tabope", 5},
        {"select 1 + as v from tabope", vb::err::EngineRefused},
        {"select (1 as v from tabope", vb::err::EngineRefused},
        {"select 'open as v from tabope", vb::err::EngineRefused},
        {"select [open as v from tabope", vb::err::EngineRefused},
        {"select nosuch from tabope", vb::err::EngineRefused},
        {"select * from nosuch", vb::err::EngineRefused},
        {"select * from tabope where", vb::err::EngineRefused},
        {"select * from tabope tabope2 tabope3", vb::err::EngineRefused},
        {"frobnicate tabope", vb::err::EngineRefused},
        {"", vb::err::EngineRefused},
    };
    for (const Case &c : cases) {
        jet::Recordset rs;
        EXPECT_EQ(errorOf([&] { rs.open(QString::fromUtf8(c.sql), cn); }), c.number) << c.sql;
    }
    try {
        jet::Recordset rs;
        rs.open("select nosuch from tabope", cn);
    } catch (const vb::Error &e) {
        EXPECT_TRUE(e.detail().contains("no such column")) << e.detail().toStdString();
    }
}

// What the user reads of the engine's failures is Italian and names what is missing; the engine's
// own English stays in the detail, for the log.
TEST_F(JetSql, ErrorsAreDescribedInItalianWithTheEngineTextAsDetail)
{
    struct Case {
        std::function<void()> call;
        QString description;
        const char *detail;  // a part of the engine's own text
    };
    jet::Connection closed;
    const QString missing = folder->file("Manca.mdb");
    const Case cases[] = {
        {[&] { jet::Recordset rs; rs.open("select * from Settore", cn); },
         QString::fromUtf8("Il motore di database non è in grado di trovare la tabella o la query 'Settore'."),
         "no such table: Settore"},
        {[&] { jet::Recordset rs; rs.open("select AS_2005.AS013 from tabope AS_2005", cn); },
         QString::fromUtf8("Il motore di database non riconosce 'AS_2005.AS013' come nome di campo o espressione valida."),
         "no such column"},
        {[&] { jet::Recordset rs; rs.open("select CDbl('abc') from tabope", cn); },
         "Tipo non corrispondente", ""},
        {[&] { jet::Connection c; c.open(odbc(missing)); }, "Impossibile trovare il file '" + missing + "'.",
         "Could not find file"},
        {[&] { jet::Recordset rs; rs.open("select * from tabope", closed); }, QString::fromUtf8("La connessione è chiusa."),
         "The connection is closed."},
        {[&] { closed.execute("delete from tabope"); }, QString::fromUtf8("Operazione non consentita se l'oggetto è chiuso."),
         "Operation is not allowed when the object is closed."},
    };
    for (const Case &c : cases) {
        try {
            c.call();
            ADD_FAILURE() << c.description.toStdString() << ": no error";
        } catch (const vb::Error &e) {
            EXPECT_EQ(e.description(), c.description);
            EXPECT_TRUE(e.detail().contains(QString::fromUtf8(c.detail))) << e.detail().toStdString();
        }
    }
    // A full disk is said as such.
    EXPECT_EQ(jet::refusalDescription(13 /* SQLITE_FULL */, "database or disk is full"),
              QString::fromUtf8("Il disco è pieno"));
}

TEST_F(JetSql, NamesLiteralsAndCommentsPassUntouched)
{
    jet::Recordset rs;
    rs.open("select [Campo & strano], [Anno 2005] ^ 2 as [Quadrato ^ 2] -- the square ' & ^\n"
            "from [Tabella con spazi] /* only the first & ' */ where [Campo & strano] = 'uno'",
            cn);
    EXPECT_EQ(rs.fieldNames(), (QStringList{"Campo & strano", "Quadrato ^ 2"}));
    EXPECT_EQ(rows(rs), QStringList{"uno|6,25"});
    EXPECT_EQ(query(path, "select count(*) from tabope"), QStringList{"1"});
    // Jet names unnamed expressions itself.
    rs.open("select count(*), 1 + 1 from tabope", cn);
    EXPECT_EQ(rs.fieldNames(), (QStringList{"Expr1000", "Expr1001"}));
}

TEST_F(JetSql, TextComparesAndSortsWithoutRegardToCase)
{
    const QString t = "[Tabella con spazi]";
    EXPECT_EQ(query(path, "select [Campo & strano] from " + t + " where Nome = 'città' order by 1"),
              (QStringList{"due", "uno"}));
    EXPECT_EQ(query(path, "select [Campo & strano] from " + t + " where Nome like 'CIT%' and Nome in ('CITTà')"
                          " order by [Campo & strano] desc"),
              (QStringList{"uno", "due"}));
    EXPECT_EQ(query(path, "select Nome from " + t + " where left(Nome, 1) = 'Z'"), QStringList{"zeta"});
    EXPECT_EQ(query(path, "select count(*) from " + t + " where Nome not like '%à'"), QStringList{"1"});
    EXPECT_EQ(query(path, "select upper from (select UCase(Nome) as upper from " + t + ") order by upper"),
              (QStringList{"CITTÀ", "CITTÀ", "ZETA"}));
    EXPECT_EQ(query(path, "select [Campo & strano] from " + t + " order by Nome, [Campo & strano]"),
              (QStringList{"due", "uno", "tre"}));
}

TEST_F(JetSql, TextSortsByItsLettersAccentedWithTheirPlainLetter)
{
    Folder local;
    const QStringList names = {"Zeta lunga", "èra moderna", "Erba", "Èra glaciale", "àncora", "Epoca",
                               "Ancona", "èra", "Abete", "era", "Über", "uva"};
    QStringList statements = {"CREATE TABLE Glossario (nome TEXT(100))"};
    for (const QString &n : names)
        statements << "INSERT INTO Glossario VALUES ('" + n + "')";
    const QString p = local.database("g.mdb", statements);
    const QStringList italian = {"Abete", "Ancona", "àncora", "Epoca", "era", "èra", "Èra glaciale",
                                 "èra moderna", "Erba", "Über", "uva", "Zeta lunga"};
    EXPECT_EQ(query(p, "select nome from glossario order by 1;"), italian);
    QStringList reversed(italian.rbegin(), italian.rend());
    EXPECT_EQ(query(p, "select nome from Glossario order by nome desc"), reversed);
    // Equality keeps its accents: only the order puts "èra" with "era".
    EXPECT_EQ(query(p, "select count(*) from Glossario where nome = 'ERA'"), QStringList{"1"});
}

TEST_F(JetSql, ActionStatementsAndTheirTargets)
{
    Folder local;
    jet::Database db = jet::Database::create(local.file("a.mdb"), Password);
    EXPECT_EQ(db.execute("CREATE TABLE Conti (Id COUNTER PRIMARY KEY, Nome TEXT(20) NOT NULL, Saldo CURRENCY, "
                         "Attivo YESNO, CONSTRAINT uNome UNIQUE (Nome))"),
              0);
    EXPECT_EQ(db.execute("INSERT INTO Conti (Nome, Saldo, Attivo) VALUES ('Rossi', 10.5, True)"), 1);
    EXPECT_EQ(db.execute("INSERT INTO Conti (Nome, Saldo, Attivo) SELECT 'Bianchi', 3 ^ 2, False FROM Conti"), 1);
    EXPECT_NE(errorOf([&] { db.execute("INSERT INTO Conti (Nome) VALUES ('ROSSI')"); }), 0);  // unique, any case
    EXPECT_EQ(db.execute("UPDATE Conti SET Conti.Saldo = Saldo / 2 WHERE Nome = 'rossi'"), 1);
    EXPECT_EQ(db.execute("CREATE INDEX PrimaryKey ON Conti (Saldo DESC) WITH PRIMARY"), 0);
    EXPECT_EQ(db.execute("ALTER TABLE Conti ADD COLUMN Nota MEMO"), 0);
    EXPECT_EQ(query(local.file("a.mdb"), "select Id, Nome, Saldo, Attivo, Nota from Conti order by Id"),
              (QStringList{"1|Rossi|5,25|Vero|<null>", "2|Bianchi|9|Falso|<null>"}));
    EXPECT_EQ(db.execute("DELETE * FROM Conti WHERE Attivo = False"), 1);
    EXPECT_EQ(db.execute("DELETE Conti.* FROM Conti"), 1);
    EXPECT_EQ(db.execute("DROP INDEX PrimaryKey ON Conti"), 0);
    db.execute("DROP TABLE Conti");
    EXPECT_TRUE(db.tableDefs().isEmpty());

    const jet::Translation t = jet::translate("select * from [Conti] where Nome = 'x' order by Nome");
    EXPECT_EQ(t.kind, jet::StatementKind::Select);
    EXPECT_EQ(t.table, "Conti");
    EXPECT_TRUE(jet::translate("select a.* from A a inner join B on a.x = B.x").table.isEmpty());
    EXPECT_TRUE(jet::translate("select count(*) from A").table.isEmpty());
    EXPECT_EQ(jet::translate("delete from Conti").table, "Conti");
}

TEST_F(JetSql, OuterAndRightJoins)
{
    Folder local;
    const QString p = local.database("j.mdb", {
        "CREATE TABLE A (k TEXT, a TEXT)", "CREATE TABLE B (k TEXT, b TEXT)", "CREATE TABLE C (k TEXT, c TEXT)",
        "INSERT INTO A VALUES ('1', 'a1')", "INSERT INTO A VALUES ('2', 'a2')",
        "INSERT INTO B VALUES ('1', 'b1')", "INSERT INTO C VALUES ('1', 'c1')",
    });
    EXPECT_EQ(query(p, "select A.a, B.b from A left join B on A.k = B.k order by A.a"),
              (QStringList{"a1|b1", "a2|<null>"}));
    EXPECT_EQ(query(p, "select A.a, B.b from B right join A on A.k = B.k order by A.a"),
              (QStringList{"a1|b1", "a2|<null>"}));
    EXPECT_EQ(query(p, "select A.a, B.b, C.c from (A inner join C on A.k = C.k) left join B on B.k = A.k"),
              QStringList{"a1|b1|c1"});
    EXPECT_EQ(query(p, "select A.a, C.c from A, C where A.k = C.k"), QStringList{"a1|c1"});
    EXPECT_EQ(query(p, "select top 1 a from A order by a desc"), QStringList{"a2"});
    EXPECT_EQ(query(p, "select a from A where k in (select k from B) union select c from C"),
              (QStringList{"a1", "c1"}));
}

}  // namespace
