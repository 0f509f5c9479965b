// The font lists' families: each installed family once by its plain name, no aliases.
#include "forms/FontFamilies.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QSet>
#include <gtest/gtest.h>

using namespace forms;

TEST(FontFamilies, EachInstalledFamilyOnceByItsPlainName)
{
    // What fontconfig's aliases and a family from two foundries look like to the display.
    const auto resolved = [](const QString &name) {
        static const QHash<QString, QString> aliases = {
            {"Sans Serif", "DejaVu Sans"}, {"Serif", "DejaVu Serif"}, {"Monospace", "DejaVu Sans Mono"}};
        return aliases.value(name, name);
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
        EXPECT_EQ(QFontInfo(QFont(family)).family(), family) << "an alias: " << family.toStdString();
    }
    EXPECT_FALSE(families.contains("Sans Serif"));
}
