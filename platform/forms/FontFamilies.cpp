// Font families of the display through a seam, and the choice of the default family.
#include "FontFamilies.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QRegularExpression>
#include <algorithm>

namespace forms {

namespace {

std::optional<QStringList> &pinned()
{
    static std::optional<QStringList> families;
    return families;
}

QString withoutFoundry(const QString &name)
{
    static const QRegularExpression foundry(QStringLiteral("\\s*\\[[^\\]]*\\]$"));
    return QString(name).remove(foundry);
}

bool proportionalText(const QString &family)
{
    static const char *const notText[] = {"mono", "symbol", "dingbat", "webdings", "wingdings", "courier",
                                          "emoji", "math"};
    const QString lower = family.toLower();
    for (const char *word : notText)
        if (lower.contains(QLatin1String(word)))
            return false;
    if (!QFontDatabase::families().contains(family))
        return true;
    if (QFontDatabase::isFixedPitch(family))
        return false;
    const auto systems = QFontDatabase::writingSystems(family);
    return systems.isEmpty() || systems.contains(QFontDatabase::Latin) ||
           !systems.contains(QFontDatabase::Symbol);
}

void sortAsAListBox(QStringList &families)
{
    std::stable_sort(families.begin(), families.end(), [](const QString &a, const QString &b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
}

}  // namespace

QStringList installedFamilies(const QStringList &names, const std::function<QString(const QString &)> &resolved)
{
    QStringList out;
    for (const QString &name : names) {
        const QString plain = withoutFoundry(name);
        if (plain.isEmpty() || out.contains(plain, Qt::CaseInsensitive))
            continue;
        // A family installed from two foundries resolves to one of them ("C059 [UKWN]"): still itself.
        if (withoutFoundry(resolved(plain)).compare(plain, Qt::CaseInsensitive) != 0)
            continue;
        out << plain;
    }
    sortAsAListBox(out);
    return out;
}

QStringList fontFamilies()
{
    if (pinned()) {
        QStringList families = *pinned();
        sortAsAListBox(families);
        return families;
    }
    QStringList names;
    for (const QString &name : QFontDatabase::families())
        if (!QFontDatabase::isPrivateFamily(name))
            names << name;
    return installedFamilies(names, [](const QString &family) { return QFontInfo(QFont(family)).family(); });
}

void setFontFamilies(std::optional<QStringList> families)
{
    pinned() = std::move(families);
}

int defaultFontIndex(const QStringList &sorted)
{
    constexpr int Preferred = 13;
    if (sorted.isEmpty())
        return -1;
    for (int i = Preferred; i < sorted.size(); ++i)
        if (proportionalText(sorted[i]))
            return i;
    for (int i = std::min<int>(Preferred, int(sorted.size())) - 1; i >= 0; --i)
        if (proportionalText(sorted[i]))
            return i;
    return std::min<int>(Preferred, int(sorted.size()) - 1);
}

}  // namespace forms
