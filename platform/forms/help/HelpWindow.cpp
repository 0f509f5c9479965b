// Help window: contents tree, page browser and the back, forward and home commands.
#include "forms/help/HelpWindow.h"

#include "forms/help/ChmFile.h"
#include "forms/help/HelpBrowser.h"

#include <QAction>
#include <QHeaderView>
#include <QRegularExpression>
#include <QSplitter>
#include <QStyle>
#include <QTextDocumentFragment>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace forms {

namespace {

QString attribute(const QString &tag, const QString &name)
{
    const QRegularExpression re(name + QStringLiteral("\\s*=\\s*(?:\"([^\"]*)\"|'([^']*)'|([^\\s>]+))"),
                                QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = re.match(tag);
    if (!m.hasMatch())
        return QString();
    const QString raw = !m.captured(1).isNull() ? m.captured(1)
                        : !m.captured(2).isNull() ? m.captured(2) : m.captured(3);
    // Values carry HTML entities ("&amp;", "&#232;").
    return QTextDocumentFragment::fromHtml(raw).toPlainText();
}

// The sitemap of a contents file: <UL> opens a level, each <OBJECT> with its "Name" and "Local"
// parameters is one entry of the current level.
void fillContents(QTreeWidget *tree, const QString &sitemap, const QUrl &base)
{
    static const QRegularExpression tags(QStringLiteral("<(/?)(ul|object|param)\\b([^>]*)>"),
                                         QRegularExpression::CaseInsensitiveOption);
    QList<QTreeWidgetItem *> parents;  // the item each open level hangs from; null for the top
    QTreeWidgetItem *last = nullptr;
    QString name;
    QString local;
    bool inObject = false;
    for (auto it = tags.globalMatch(sitemap); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const bool closing = !m.captured(1).isEmpty();
        const QString tag = m.captured(2).toLower();
        if (tag == QLatin1String("ul")) {
            if (!closing) {
                parents.append(last);
            } else if (!parents.isEmpty()) {
                last = parents.takeLast();
            }
        } else if (tag == QLatin1String("object")) {
            if (!closing) {
                inObject = true;
                name.clear();
                local.clear();
                continue;
            }
            if (!inObject)
                continue;
            inObject = false;
            if (name.isEmpty())
                continue;
            QTreeWidgetItem *parent = parents.isEmpty() ? nullptr : parents.last();
            auto *item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(tree);
            item->setText(0, name);
            if (!local.isEmpty())
                item->setData(0, Qt::UserRole, base.resolved(QUrl(local)));
            last = item;
        } else if (tag == QLatin1String("param") && inObject) {
            const QString which = attribute(m.captured(3), QStringLiteral("name"));
            if (which.compare(QLatin1String("Name"), Qt::CaseInsensitive) == 0)
                name = attribute(m.captured(3), QStringLiteral("value"));
            else if (which.compare(QLatin1String("Local"), Qt::CaseInsensitive) == 0)
                local = attribute(m.captured(3), QStringLiteral("value"));
        }
    }
}

// Stored names ignore letter case, and links need not spell them as stored.
bool samePage(const QUrl &a, const QUrl &b)
{
    return a.scheme() == b.scheme() && a.path().compare(b.path(), Qt::CaseInsensitive) == 0;
}

QTreeWidgetItem *findItem(QTreeWidgetItem *item, const QUrl &page)
{
    if (samePage(item->data(0, Qt::UserRole).toUrl(), page))
        return item;
    for (int i = 0; i < item->childCount(); ++i) {
        if (QTreeWidgetItem *found = findItem(item->child(i), page))
            return found;
    }
    return nullptr;
}

}  // namespace

HelpWindow::HelpWindow(QWidget *parent) : QWidget(parent)
{
    auto *bar = new QToolBar(this);
    m_back = bar->addAction(style()->standardIcon(QStyle::SP_ArrowBack), tr("Indietro"));
    m_forward = bar->addAction(style()->standardIcon(QStyle::SP_ArrowForward), tr("Avanti"));
    QAction *home = bar->addAction(style()->standardIcon(QStyle::SP_DirHomeIcon), tr("Pagina iniziale"));

    auto *splitter = new QSplitter(this);
    m_contents = new QTreeWidget(splitter);
    m_contents->setHeaderHidden(true);
    m_contents->setColumnCount(1);
    m_browser = new HelpBrowser(splitter);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({220, 640});

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(splitter);

    m_back->setEnabled(false);
    m_forward->setEnabled(false);
    connect(m_back, &QAction::triggered, m_browser, &QTextBrowser::backward);
    connect(m_forward, &QAction::triggered, m_browser, &QTextBrowser::forward);
    connect(m_browser, &QTextBrowser::backwardAvailable, m_back, &QAction::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, m_forward, &QAction::setEnabled);
    connect(home, &QAction::triggered, this, [this] {
        if (m_chm)
            m_browser->setSource(HelpBrowser::urlFor(m_chm->defaultTopic()));
    });
    connect(m_browser, &QTextBrowser::sourceChanged, this, &HelpWindow::pageChanged);
    connect(m_contents, &QTreeWidget::itemClicked, this, &HelpWindow::contentsClicked);

    setWindowTitle(tr("Guida"));
    resize(900, 650);
}

void HelpWindow::showTopic(std::shared_ptr<const ChmFile> chm, const QString &topic)
{
    if (!m_chm || m_chm->path() != chm->path()) {
        m_chm = std::move(chm);
        m_browser->setChm(m_chm);
        loadContents();
    }
    m_browser->setSource(HelpBrowser::urlFor(topic));
    // The same page again does not signal a change.
    pageChanged(m_browser->source());
}

void HelpWindow::loadContents()
{
    m_contents->clear();
    const QString file = m_chm->contentsFile();
    const std::optional<QByteArray> sitemap = file.isEmpty() ? std::nullopt : m_chm->read(file);
    if (sitemap)
        fillContents(m_contents, HelpBrowser::decodeHtml(*sitemap), HelpBrowser::urlFor(file));
    m_contents->expandAll();
    m_contents->setVisible(m_contents->topLevelItemCount() > 0);
}

void HelpWindow::pageChanged(const QUrl &current)
{
    const QString page = m_browser->documentTitle();
    const QString book = m_chm && !m_chm->title().isEmpty() ? m_chm->title() : tr("Guida");
    QString title = page.isEmpty() ? book : page;
    // A page that names the book already (the start page is "Guida di Pendra") names it once.
    if (!page.isEmpty() && !page.contains(book, Qt::CaseInsensitive))
        title += QStringLiteral(" - ") + book;
    setWindowTitle(title);

    QTreeWidgetItem *match = nullptr;
    for (int i = 0; !match && i < m_contents->topLevelItemCount(); ++i)
        match = findItem(m_contents->topLevelItem(i), current);
    const QSignalBlocker block(m_contents);
    m_contents->setCurrentItem(match);
}

void HelpWindow::contentsClicked(QTreeWidgetItem *item)
{
    const QUrl url = item->data(0, Qt::UserRole).toUrl();
    if (url.isValid())
        m_browser->setSource(url);
}

}  // namespace forms
