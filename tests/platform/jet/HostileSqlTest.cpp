// Hostile statements: comments, names and aliases that try to end their quotes, deep nesting, LIKE
// patterns that backtrack, and function arguments that ask for unbounded work. Each is either run
// with its plain meaning or refused with the engine's error; the database is never changed.
#include "JetTestSupport.h"

#include "jet/JetSql.h"
#include "vb/Conversions.h"
#include "vb/Error.h"

#include <gtest/gtest.h>

using namespace jettest;

namespace {

class HostileSql : public ::testing::Test {
protected:
    void SetUp() override
    {
        vb::setUserLocale(QLocale(QLocale::Italian, QLocale::Italy));
        path = folder.database("u.mdb", {"CREATE TABLE tabope (x LONG, name TEXT)",
                                         "INSERT INTO tabope VALUES (1, 'uno')"});
    }
    void TearDown() override { vb::resetUserLocale(); }

    QStringList tables() { return query(path, "select name from sqlite_master where type = 'table' and name not like 'MSys%' order by name"); }

    Folder folder;
    QString path;
};

TEST_F(HostileSql, CommentsNeverChangeTheStatement)
{
    // A line comment ending in "/*" once swallowed the newline before a block comment, which let
    // the text inside run as part of the statement.
    EXPECT_EQ(query(path, "SELECT x FROM tabope -- a\n/*\nUNION SELECT name FROM sqlite_master --*/"),
              QStringList{"1"});
    EXPECT_EQ(query(path, "SELECT x FROM tabope /* -- */ WHERE x = 2 --*/ OR 1 = 1"), QStringList{});
    EXPECT_FALSE(jet::translateSql("select x from t -- a\n/*\nunion select 1 --*/").contains("union"));
}

TEST_F(HostileSql, NamesAndAliasesCannotEndTheirQuotes)
{
    const QString alias = QStringLiteral("x]; DROP TABLE tabope; --");
    {
        jet::Database db = jet::Database::open(path, false, false, dao());
        db.createQueryDef("Q", "SELECT 1 AS 'x]; DROP TABLE tabope; --' FROM tabope");
        // A name brackets cannot carry is quoted whole: it names the view and nothing of it runs.
        EXPECT_EQ(errorOf([&] { db.createQueryDef("V] AS SELECT 1; DROP TABLE tabope; --", "SELECT x FROM tabope"); }),
                  0);
    }
    EXPECT_EQ(tables(), QStringList{"tabope"});
    jet::Connection cn;
    cn.open(odbc(path));
    jet::Recordset rs;
    rs.open("select * from Q", cn);
    EXPECT_EQ(rs.fieldNames(), QStringList{alias});
    EXPECT_EQ(rows(rs), QStringList{"1"});
    rs.open("SELECT x AS \"a\"\"]b\", name AS [c\"d] FROM tabope", cn);
    EXPECT_EQ(rs.fieldNames(), (QStringList{"a\"]b", "c\"d"}));
    EXPECT_EQ(vb::CStr(rs.value("A\"]B")), "1");
}

TEST_F(HostileSql, NestingBeyondTheEnginesLimitIsRefused)
{
    jet::Connection cn;
    cn.open(odbc(path));
    const auto nested = [](const QString &open, int depth, const QString &close) {
        return "select " + open.repeated(depth) + "1" + close.repeated(depth) + " as v from tabope";
    };
    jet::Recordset rs;
    rs.open(nested("(", 40, ")"), cn);
    EXPECT_EQ(rows(rs), QStringList{"1"});
    for (const QString &sql : {nested("(", 1500, ")"), nested("(", 100000, ")"), nested("not ", 5000, ""),
                               nested("-", 5000, ""), nested("Len(", 3000, ")"),
                               "select x from " + QString("(").repeated(5000) + "tabope" + QString(")").repeated(5000),
                               "select x from tabope where x in " + QString("(select x from tabope where x in ").repeated(2000) +
                                   "(1)" + QString(")").repeated(2000)}) {
        EXPECT_EQ(errorOf([&] { rs.open(sql, cn); }), vb::err::EngineRefused) << sql.left(40).toStdString();
    }
}

TEST_F(HostileSql, LikeMatchesInLinearTime)
{
    jet::Connection cn;
    cn.open(odbc(path));
    const auto like = [&](const QString &text, const QString &pattern) {
        jet::Recordset rs;
        rs.open(QStringLiteral("select '%1' like '%2' as v from tabope").arg(text, pattern), cn);
        return vb::CStr(rs.value(0));
    };
    // Once exponential: forty letters against "%a" eleven times and a "b" took half a minute.
    EXPECT_EQ(like(QString(40, u'a'), QString("%a").repeated(11) + "b"), "0");
    EXPECT_EQ(like(QString(4000, u'a'), QString("%a").repeated(200) + "b"), "0");
    struct Case {
        const char *text;
        const char *pattern;
        const char *result;
    } cases[] = {
        {"abc", "a%c", "-1"},      {"abc", "a_c", "-1"},     {"abc", "%b%", "-1"},       {"abc", "%d", "0"},
        {"", "%", "-1"},           {"", "_", "0"},           {"a", "_%", "-1"},          {"aab", "%ab", "-1"},
        {"abcabd", "%ab_", "-1"},  {"mississippi", "%iss%ppi", "-1"}, {"mississippi", "%iss%ppa", "0"},
        {"x", "", "0"},            {"Città", "CITT_", "-1"}, {"abc", "ab", "0"},         {"ab", "abc", "0"},
        {"abab", "%ab%ab", "-1"},  {"abab", "%ab%ab%ab", "0"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(like(QString::fromUtf8(c.text), QString::fromUtf8(c.pattern)), c.result) << c.text << " like " << c.pattern;
}

TEST_F(HostileSql, FunctionArgumentsAskingForUnboundedWork)
{
    jet::Connection cn;
    cn.open(odbc(path));
    const auto eval = [&](const QString &expression) {
        jet::Recordset rs;
        rs.open("select " + expression + " as v from tabope", cn);
        return vb::CStr(rs.value(0));
    };
    EXPECT_EQ(eval("Round(1.5, 2147483647)"), "1,5");
    EXPECT_EQ(eval("Round(2.675, 400)"), "2,675");
    jet::Recordset rs;
    EXPECT_EQ(errorOf([&] { rs.open("select Round(1.5, 2147483648) as v from tabope", cn); }), vb::err::Overflow);
}

}  // namespace
