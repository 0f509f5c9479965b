// The data query builder without a window: filter, sorting, grouping and the join chain.
#include "app/query/QueryBuilder.h"

#include <QHash>
#include <gtest/gtest.h>

using namespace pendra;

namespace {

// A lookup from "<prefix><year>" to a table, counting its calls.
struct Lookup {
    QHash<QString, QString> tables;
    QStringList asked;
    TableLookup fn()
    {
        return [this](const QString &code, const QString &year) {
            asked << code + "/" + year;
            for (auto it = tables.begin(); it != tables.end(); ++it) {
                if ((code + year).startsWith(it.key().section('/', 0, 0)) && year == it.key().section('/', 1, 1))
                    return it.value();
            }
            return QString();
        };
    }
};

}  // namespace

TEST(QueryBuilderTest, WorkedExampleGivesTheStatementCharacterForCharacter)
{
    Lookup l;
    l.tables = {{"AS/2005", "X"}, {"AS/2006", "Y"}, {"DG/2005", "Z"}};
    const BuiltQuery q = CreaQuery({"AS013-2005 - Posti letto", "DG030-2005 - Morti", "AS014-2005 - Medici",
                                    "AS013-2006 - Posti letto"},
                                   "Variabili", CreaFiltroTerritori({"A", "B"}), l.fn());
    EXPECT_EQ(q.sql.toStdString(),
              "SELECT land_Ind.COD_TIPO_TERR as TipoTerritorio, land_Ind.COD_TERR, land_Ind.PROV, land_Ind.REG, "
              "land_Ind.COD_NUTS, land_Ind.DES_TERR as Territorio, Format(X.AS013, '0.00') as AS013_2005, "
              "Format(Y.AS013, '0.00') as AS013_2006, Format(X.AS014, '0.00') as AS014_2005, Format(Z.DG030, "
              "'0.00') as DG030_2005 FROM ((X INNER JOIN land_Ind  ON X.COD_TERR = land_Ind.COD_TERR) INNER JOIN Y "
              "ON Y.COD_TERR = X.COD_TERR) INNER JOIN Z ON Z.COD_TERR = Y.COD_TERR WHERE land_Ind.DES_TERR IN( "
              "'A', 'B')");
    EXPECT_EQ(q.codVariabile, "AS013");
    // One lookup per group, with the group's first sorted code.
    EXPECT_EQ(l.asked, QStringList({"AS013/2005", "AS013/2006", "DG030/2005"}));
}

TEST(QueryBuilderTest, OneItemWithoutFilterHasOneJoinAndNoWhere)
{
    Lookup l;
    l.tables = {{"TE/2004", "TE_2004"}};
    const BuiltQuery q = CreaQuery({"TE001-2004 - Superficie"}, "Variabili", "", l.fn());
    EXPECT_TRUE(q.sql.endsWith(", Format(TE_2004.TE001, '0.00') as TE001_2004 FROM TE_2004 INNER JOIN land_Ind  ON "
                               "TE_2004.COD_TERR = land_Ind.COD_TERR"))
        << q.sql.toStdString();
}

TEST(QueryBuilderTest, EveryKeyIsOrderedAlsoAtOrAfterZ)
{
    Lookup l;
    l.tables = {{"ZZ/2005", "ZZ_2005"}, {"aa/2005", "aa_2005"}, {"AB/2005", "AB_2005"}};
    const BuiltQuery q = CreaQuery({"ZZ001-2005 - z", "aa001-2005 - a", "AB001-2005 - b"}, "Variabili", "", l.fn());
    const int ab = int(q.sql.indexOf(" as AB001_2005")), zz = int(q.sql.indexOf(" as ZZ001_2005")),
              aa = int(q.sql.indexOf(" as aa001_2005"));
    ASSERT_TRUE(ab > 0 && zz > 0 && aa > 0) << q.sql.toStdString();
    EXPECT_LT(ab, zz);
    EXPECT_LT(zz, aa);  // lower case after upper case, by character code
    EXPECT_EQ(q.codVariabile, "AB001");
}

TEST(QueryBuilderTest, GroupsFollowTheKindsPrefix)
{
    struct Case {
        QString kind;
        QStringList items;
        QStringList asked;
    };
    const Case cases[] = {
        {"Indicatori", {"IAS013-2005 - a", "IAS020-2005 - b", "IDG002-2005 - c"}, {"IAS013/2005", "IDG002/2005"}},
        // Groups come in the order of their first sorted item.
        {"Variabili", {"AS013-2005 - a", "AS014-2005 - b", "AS001-2006 - c"}, {"AS001/2006", "AS013/2005"}},
        {"Variabili", {"IAS013-2005 - a", "IAX001-2005 - b"}, {"IAS013/2005"}},
        {"Indicatori", {"IAS013-2005 - a", "IAX001-2005 - b"}, {"IAS013/2005", "IAX001/2005"}},
    };
    for (const Case &c : cases) {
        Lookup l;
        CreaQuery(c.items, c.kind, "", l.fn());
        EXPECT_EQ(l.asked, c.asked) << c.kind.toStdString() << ": " << l.asked.join(',').toStdString();
    }
}

TEST(QueryBuilderTest, ATableSharedByTwoGroupsIsJoinedOnce)
{
    Lookup l;
    l.tables = {{"AS/2005", "T"}, {"DG/2005", "T"}, {"TE/2005", "U"}};
    const BuiltQuery q = CreaQuery({"AS013-2005 - a", "DG030-2005 - b", "TE001-2005 - c"}, "Variabili", "", l.fn());
    EXPECT_TRUE(q.sql.endsWith(" FROM (T INNER JOIN land_Ind  ON T.COD_TERR = land_Ind.COD_TERR) INNER JOIN U ON "
                               "U.COD_TERR = T.COD_TERR"))
        << q.sql.toStdString();
    EXPECT_TRUE(q.sql.contains("Format(T.DG030, '0.00') as DG030_2005"));
}

TEST(QueryBuilderTest, TerritoryFilterDoublesApostrophes)
{
    EXPECT_EQ(CreaFiltroTerritori({"Valle d'Aosta", "Piemonte", "L'Aquila"}),
              "land_Ind.DES_TERR IN( 'Valle d''Aosta', 'Piemonte', 'L''Aquila')");
    EXPECT_EQ(CreaFiltroTerritori({}), "");
}

TEST(QueryBuilderTest, SelectionItemsSplitIntoCodeAndYear)
{
    const QueryItem i = parseSelectionItem("AS013-2005 - Posti letto - pubblici");
    EXPECT_EQ(i.code, "AS013");
    EXPECT_EQ(i.year, "2005");
}
