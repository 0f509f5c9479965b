// Help page browser: resources come from the help file, external links leave the program.
#include "forms/help/HelpBrowser.h"

#include "forms/help/ChmFile.h"

#include <QDesktopServices>
#include <QStringDecoder>

namespace forms {

namespace {

const QString Scheme = QStringLiteral("chm");

bool isExternal(const QUrl &url)
{
    const QString s = url.scheme().toLower();
    return s == QLatin1String("http") || s == QLatin1String("https") || s == QLatin1String("mailto")
           || s == QLatin1String("ftp");
}

}  // namespace

HelpBrowser::HelpBrowser(QWidget *parent) : QTextBrowser(parent)
{
    setOpenLinks(true);
    setOpenExternalLinks(false);
}

void HelpBrowser::setChm(std::shared_ptr<const ChmFile> chm)
{
    m_chm = std::move(chm);
    clear();
    clearHistory();
}

QUrl HelpBrowser::urlFor(const QString &objectPath)
{
    QString path = objectPath;
    QString anchor;
    const qsizetype hash = path.indexOf(QLatin1Char('#'));
    if (hash >= 0) {
        anchor = path.mid(hash + 1);
        path.truncate(hash);
    }
    if (!path.startsWith(QLatin1Char('/')))
        path.prepend(QLatin1Char('/'));
    QUrl url;
    url.setScheme(Scheme);
    url.setPath(path);
    if (!anchor.isEmpty())
        url.setFragment(anchor);
    return url;
}

QString HelpBrowser::decodeHtml(const QByteArray &bytes)
{
    const QStringDecoder declared = QStringDecoder::decoderForHtml(bytes);
    if (declared.isValid()) {
        // Stateless, so that a broken sequence at the very end counts as an error too.
        QStringDecoder decoder(declared.name(), QStringConverter::Flag::Stateless);
        QString text = decoder.decode(bytes);
        // Without a usable declaration old pages are in the Windows code page.
        if (!decoder.hasError() || decoder.name() != QLatin1String("UTF-8"))
            return text;
    }
    QStringDecoder cp1252("windows-1252");
    return cp1252.decode(bytes);
}

QVariant HelpBrowser::loadResource(int type, const QUrl &name)
{
    if (!m_chm)
        return QVariant();
    const QUrl url = name.isRelative() ? source().resolved(name) : name;
    if (url.scheme() != Scheme)
        return QVariant();
    const std::optional<QByteArray> data = m_chm->read(url.path());
    if (!data)
        return QVariant();
    switch (type) {
    case QTextDocument::HtmlResource:
        return decodeHtml(*data);
    case QTextDocument::StyleSheetResource:
        return QString::fromUtf8(*data);
    default:
        return *data;
    }
}

void HelpBrowser::doSetSource(const QUrl &name, QTextDocument::ResourceType type)
{
    if (isExternal(name)) {
        QDesktopServices::openUrl(name);
        return;
    }
    QTextBrowser::doSetSource(name, type);
}

}  // namespace forms
