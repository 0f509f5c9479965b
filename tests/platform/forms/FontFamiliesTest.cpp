// The font lists' families: each installed family once by its plain name, no aliases.
#include "forms/FontFamilies.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QRegularExpression>
#include <QSet>
#include <gtest/gtest.h>

using namespace forms;

TEST(FontFamilies, EachInstalledFamilyOnceByItsPlainName)
{
    // What fontconfig's aliases and a family from two foundries look like to the display: a plain
    // name installed as Type 1 and OpenType resolves to one of its foundries.
    const auto resolved = [](const QString &name) {
        static const QHash<QString, QString> answers = {
            {"Sans Serif", "DejaVu Sans"}, {"Serif", "DejaVu Serif"}, {"Monospace", "DejaVu Sans Mono"},
            {"C059", "C059 [UKWN]"}, {"Nimbus Sans", "Nimbus Sans [urw]"}, {"Nimbus Sans Narrow", "Nimbus Sans Narrow [urw]"},
            {"bitstream charter", "Bitstream Charter [Bitstream]"}};
        return answers.value(name, name);
    };
    struct Case {
        QStringList names;
        QStringList expected;
    };
    const Case cases[] = {
        {{"C059 [UKWN]", "C059 [urw]", "Sans Serif", "DejaVu Sans"}, {"C059", "DejaVu Sans"}},
        {{"Serif", "Monospace", "bitstream charter", "Bitstream Charter [Bitstream]"}, {"bitstream charter"}},
        {{"Nimbus Sans [UKWN]", "Nimbus Sans Narrow [urw]", "Nimbus Sans"}, {"Nimbus Sans", "Nimbus Sans Narrow"}},
        {{"Z [a]", "a [b]", "M"}, {"a", "M", "Z"}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(installedFamilies(c.names, resolved), c.expected) << c.names.join(',').toStdString();
}

TEST(FontFamilies, TheDisplaysListHoldsRealFamiliesOnly)
{
    setFontFamilies(std::nullopt);
    const QStringList families = fontFamilies();
    ASSERT_FALSE(families.isEmpty());
    QSet<QString> seen;
    for (const QString &family : families) {
        EXPECT_FALSE(family.contains('[')) << family.toStdString();
        EXPECT_FALSE(seen.contains(family.toLower())) << family.toStdString();
        seen.insert(family.toLower());
        EXPECT_TRUE(QFontInfo(QFont(family)).family().startsWith(family, Qt::CaseInsensitive))
            << "an alias: " << family.toStdString();
    }
    EXPECT_FALSE(families.contains("Sans Serif"));
}

TEST(FontFamilies, EveryInstalledFamilyOfTheDisplayIsListed)
{
    setFontFamilies(std::nullopt);
    const QStringList families = fontFamilies();
    static const QRegularExpression foundry(QStringLiteral("\\s*\\[[^\\]]*\\]$"));
    for (const QString &name : QFontDatabase::families()) {
        const QString plain = QString(name).remove(foundry);
        const QString resolved = QFontInfo(QFont(plain)).family().remove(foundry);
        if (QFontDatabase::isPrivateFamily(name) || resolved.compare(plain, Qt::CaseInsensitive) != 0)
            continue;  // an alias of another family
        EXPECT_TRUE(families.contains(plain, Qt::CaseInsensitive)) << name.toStdString();
    }
}
