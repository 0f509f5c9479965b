// The hand-off's rules without windows: level from the partition boxes, kind by level, the
// province boundary set, the header's parts, the chooser's "Provincia" and unmappable columns.
#include "app/maps/MapHandoff.h"

#include "vb/Error.h"

#include <gtest/gtest.h>

using namespace pendra;

namespace {

PartitionBoxes boxes(std::initializer_list<int> ticked)
{
    PartitionBoxes b{};
    for (int i : ticked)
        b[i] = true;
    return b;
}

// The rules restated in words: box 1 with any other gives 3; else two or more of 2, 3, 4, 6,
// among them 2 or 6, give 2; else box 5 gives 3; else the level stays.
qint16 expectedLevel(const PartitionBoxes &b, qint16 current)
{
    int others = 0;
    for (int i = 2; i <= 6; ++i)
        others += b[i];
    if (b[1] && others > 0)
        return 3;
    const int mixed = b[2] + b[3] + b[4] + b[6];
    if (mixed >= 2 && (b[2] || b[6]))
        return 2;
    if (b[5])
        return 3;
    return current;
}

}  // namespace

TEST(MapHandoffRules, LevelOfEveryBoxCombinationFollowsTheRulesInWords)
{
    for (int mask = 0; mask < 64; ++mask) {
        PartitionBoxes b{};
        for (int i = 1; i <= 6; ++i)
            b[i] = mask & (1 << (i - 1));
        for (qint16 current : {qint16(0), qint16(1), qint16(4)})
            EXPECT_EQ(livMappaFromBoxes(b, current), expectedLevel(b, current)) << "mask " << mask << " from " << current;
    }
}

TEST(MapHandoffRules, LevelEdgeCases)
{
    struct Case {
        std::initializer_list<int> ticked;
        qint16 current;
        qint16 expected;
    } cases[] = {
        {{1, 3, 4, 6}, 1, 3},
        {{3, 4, 6}, 1, 2},
        {{3, 4}, 4, 4},  // no rule: the query window's level
        {{3, 4}, 0, 0},
        {{1}, 1, 1},
        {{6}, 4, 4},
        {{5}, 0, 3},
        {{2, 5}, 2, 3},   // box 5 alone among the rules that apply
        {{2, 5, 6}, 3, 2},  // rule 3 comes after rule 1
        {{1, 5}, 1, 3},
        {{1, 2, 3, 4, 5, 6}, 0, 3},
    };
    for (const Case &c : cases)
        EXPECT_EQ(livMappaFromBoxes(boxes(c.ticked), c.current), c.expected);
}

TEST(MapHandoffRules, ProvinceBoundarySet)
{
    struct Case {
        const char *code;
        int year;
        const char *expected;
    } cases[] = {
        {"AS013", 2005, "provincia107"},  {"AS001", 2005, "provincia103"},  {"AS001", 2006, "provincia103"},
        {"AS013", 2006, "provincia107"},  {"IM001", 2007, "provincia103"},  {"IM001", 2008, "provincia107"},
        {"AS013", 2004, "provincia103"},  {"AS013", 1996, "provincia103"},  {"ZZ999", 2008, "provincia107"},
        {"IAS018", 2005, "provincia107"}, {"DG033", 2005, "provincia107"},  {"DG033", 2006, "provincia107"},
        {"IIM029", 2007, "provincia103"}, {"ITR023", 2006, "provincia103"}, {"ITR023", 2007, "provincia107"},
        {"CO001", 2006, "provincia103"},  {"CO009", 2006, "provincia103"},  {"CO010", 2006, "provincia107"},
        {"CO001", 2007, "provincia107"},  {"CO031", 2007, "provincia103"},  {"CO070", 2006, "provincia103"},
        {"ICO003", 2006, "provincia103"}, {"ICO012", 2006, "provincia107"}, {"ICO016", 2006, "provincia103"},
        {"ICO048", 2006, "provincia103"}, {"ICO049", 2006, "provincia107"}, {"ICO070", 2006, "provincia103"},
        {"ICO069", 2006, "provincia107"}, {"ICO037", 2007, "provincia103"}, {"ICO003", 2007, "provincia107"},
        {"IEN055", 2006, "provincia103"}, {"IM031", 2006, "provincia103"},  {"IM002", 2006, "provincia107"},
        // exact comparison: another letter case or a longer code is not in the list
        {"as013", 2005, "provincia103"},  {"im001", 2007, "provincia107"},  {"AS0013", 2005, "provincia103"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(provinceMapCase(QString::fromLatin1(c.code), c.year), QString::fromLatin1(c.expected))
            << c.code << " " << c.year;
}

TEST(MapHandoffRules, YearThatIsNotANumberIsATypeMismatch)
{
    EXPECT_EQ(yearOf("2005"), 2005);
    try {
        yearOf("_abc");
        FAIL() << "no error";
    } catch (const vb::Error &e) {
        EXPECT_EQ(e.number(), 13);
    }
}

TEST(MapHandoffRules, HeaderParts)
{
    const HeaderParts v = splitHeader("AS013_2005", "Variabili");
    EXPECT_TRUE(v.split);
    EXPECT_EQ(v.lbl_Ricfor, "AS013_2005");
    EXPECT_EQ(v.cd_set_var, "AS");
    EXPECT_EQ(v.nr_var, "013");
    EXPECT_EQ(v.anno_var, "2005");
    EXPECT_EQ(v.codVariabile(), "AS013");

    const HeaderParts i = splitHeader("IAS013_2006", "Indicatori");
    EXPECT_EQ(i.cd_set_var, "IAS");
    EXPECT_EQ(i.nr_var, "013");
    EXPECT_EQ(i.anno_var, "2006");
    EXPECT_EQ(i.codVariabile(), "IAS013");

    const HeaderParts other = splitHeader("AS013_2005", "variabili");
    EXPECT_FALSE(other.split);
    EXPECT_EQ(other.lbl_Ricfor, "AS013_2005");
    EXPECT_TRUE(other.cd_set_var.isEmpty());
    EXPECT_TRUE(other.anno_var.isEmpty());
}

TEST(MapHandoffRules, KindByLevelAndProvinciaOfTheChooser)
{
    EXPECT_EQ(kindChoiceOf(1), KindChoice::Province);
    EXPECT_EQ(kindChoiceOf(2), KindChoice::Chooser);
    EXPECT_EQ(kindChoiceOf(3), KindChoice::Chooser);
    EXPECT_EQ(kindChoiceOf(4), KindChoice::Region);
    EXPECT_EQ(kindChoiceOf(0), KindChoice::None);
    EXPECT_EQ(kindChoiceOf(5), KindChoice::None);

    struct Case {
        const char *liv;
        qint16 level;
        bool enabled;
    } cases[] = {{"R", 3, false}, {"T", 3, true}, {"T", 2, false}, {"R", 2, false},
                 {"T", 4, false}, {"T", 1, true}, {"R", 1, true},  {"r", 3, true}};
    for (const Case &c : cases)
        EXPECT_EQ(provinciaEnabled(QString::fromLatin1(c.liv), c.level), c.enabled) << c.liv << " " << c.level;
}

TEST(MapHandoffRules, UnmappableColumnsIgnoreLetterCase)
{
    for (const char *name : {"N_QUIRN", "cod_sez", "Comune_Min", "COMUNI", "pit4"})
        EXPECT_TRUE(isUnmappableColumn(QString::fromLatin1(name))) << name;
    for (const char *name : {"AS013_2005", "PIT", "N_QUIRN2", "DES_TERR"})
        EXPECT_FALSE(isUnmappableColumn(QString::fromLatin1(name))) << name;
}
