// The value routines of the sheets: empty values, Null text, note cleaning, level and dimension words.
#include "MetadataValues.h"

#include <gtest/gtest.h>

using namespace pendra;

TEST(IsEmptyValue, NullBlanksAndADashAreEmpty)
{
    struct Case { vb::Variant value; bool empty; };
    const Case cases[] = {
        {vb::Variant::null(), true}, {vb::Variant(""), true}, {vb::Variant("   "), true}, {vb::Variant("-"), true},
        {vb::Variant("  -  "), true}, {vb::Variant("--"), false}, {vb::Variant("\t"), false},
        {vb::Variant("x"), false}, {vb::Variant(qint32(0)), false}, {vb::Variant("- "), true},
    };
    for (const Case &c : cases)
        EXPECT_EQ(IsEmptyValue(c.value), c.empty) << (c.value.isNull() ? "Null" : c.value.toString().toStdString());
    EXPECT_EQ(NullToString(vb::Variant::null()), "");
    EXPECT_EQ(NullToString(vb::Variant(qint16(103))), "103");
}

TEST(PulisciTesto, ReplacesLineFeedsQuotesAndBulletsOneForOne)
{
    QString text = QString::fromUtf8("a\r\nb \u201Cc\u201D\n\u2022 d");
    const qsizetype length = text.size();
    EXPECT_EQ(PulisciTesto(text), QString::fromUtf8("a\r b 'c' - d"));
    EXPECT_EQ(text.size(), length);
}

TEST(SheetWords, LevelAndDimensionFollowTheirRules)
{
    EXPECT_EQ(levelWord("p"), QString("Provinciale"));
    EXPECT_EQ(levelWord("P"), QString("Provinciale"));
    EXPECT_EQ(levelWord("r"), QString("Regionale"));
    EXPECT_EQ(levelWord(""), QString(""));
    EXPECT_FALSE(levelWord("C").has_value());
    const std::pair<const char *, const char *> dims[] = {
        {"A", "Contesto"}, {"B1", "Dotazione"}, {"B2", "Dotazione"}, {"B3", "Dotazione"}, {"C", "Funzionalità"},
        {"C1", "Funzionalità"}, {"D", "Funzionalità"}, {"E", "Domanda"}, {"E1", "Domanda"}, {"E2", "Domanda"},
        {"b2", ""}, {"a", ""}, {"", ""}, {"C2", ""}};
    for (const auto &[code, word] : dims)
        EXPECT_EQ(dimensionWord(code), QString::fromUtf8(word)) << code;
    EXPECT_EQ(sqlText("dell'aria''"), "dell''aria''''");
}

TEST(SheetWords, AVariableSubAreaHoldingPdLosesItsLastThreeCharacters)
{
    struct Case { const char *code, *shown; };
    const Case cases[] = {
        {"AB-PD", "AB - Sanità"}, {"-PD", " - Sanità"}, {"-PD01", "-P - Sanità"}, {"B02", "B02 - Sanità"},
        {"b02-pd", "b02-pd - Sanità"}, {"", " - Sanità"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(variableSubArea(c.code, QString::fromUtf8("Sanità")), QString::fromUtf8(c.shown)) << c.code;
}
