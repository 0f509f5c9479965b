// Value routines of the metadata windows.
#include "MetadataValues.h"

#include "jet/Recordset.h"

namespace pendra {

QString trimBlanks(const QString &text)
{
    qsizetype from = 0, to = text.size();
    while (from < to && text.at(from) == u' ')
        ++from;
    while (to > from && text.at(to - 1) == u' ')
        --to;
    return text.mid(from, to - from);
}

bool IsEmptyValue(const vb::Variant &value)
{
    if (value.isNull())
        return true;
    const QString trimmed = trimBlanks(value.toString());
    return trimmed.isEmpty() || trimmed == u"-";
}

QString NullToString(const vb::Variant &value)
{
    return value.isNull() ? QString() : value.toString();
}

QString &PulisciTesto(QString &text)
{
    const qsizetype length = text.size();
    for (qsizetype i = 0; i < length; ++i) {
        const char16_t c = text.at(i).unicode();
        if (c == u'\n')
            text[i] = u' ';
        else if (c == u'\u201C' || c == u'\u201D')
            text[i] = u'\'';
        else if (c == u'\u2022')
            text[i] = u'-';
    }
    return text;
}

QString sqlText(const QString &text)
{
    return QString(text).replace(u'\'', QStringLiteral("''"));
}

std::optional<QString> levelWord(const QString &level)
{
    if (level.isEmpty())
        return QString();
    if (level.compare(QLatin1String("P"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("Provinciale");
    if (level.compare(QLatin1String("R"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("Regionale");
    return std::nullopt;
}

QString variableSubArea(const QString &code, const QString &description)
{
    const QString shown = code.contains(QLatin1String("-PD")) ? code.left(code.size() - 3) : code;
    return shown + QStringLiteral(" - ") + description;
}

QString dimensionWord(const QString &valutazione)
{
    if (valutazione == u"A")
        return QStringLiteral("Contesto");
    if (valutazione == u"B1" || valutazione == u"B2" || valutazione == u"B3")
        return QStringLiteral("Dotazione");
    if (valutazione == u"C" || valutazione == u"C1" || valutazione == u"D")
        return QStringLiteral("Funzionalità");
    if (valutazione == u"E" || valutazione == u"E1" || valutazione == u"E2")
        return QStringLiteral("Domanda");
    return QString();
}

QString yearlyText(const jet::Recordset &record, const QString &prefix)
{
    QString out;
    for (int y = FirstYear; y < FirstYear + YearCount; ++y) {
        const vb::Variant v = record.value(prefix + QString::number(y));
        if (!IsEmptyValue(v))
            out += QString::number(y) + QStringLiteral(": ") + v.toString() + QStringLiteral("\r\n\r\n");
    }
    return out;
}

std::optional<QString> availability(const jet::Recordset &record, int index)
{
    const vb::Variant v = record.value(QString::number(FirstYear + index));
    if (v.isNull())
        return std::nullopt;
    return v.toString().toUpper();
}

}  // namespace pendra
