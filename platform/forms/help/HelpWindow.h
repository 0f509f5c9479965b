// The program's help window: the contents of the help file beside the page being read.
#pragma once

#include <QWidget>

#include <memory>

class QAction;
class QTreeWidget;
class QTreeWidgetItem;
class QUrl;

namespace forms {

class ChmFile;
class HelpBrowser;

class HelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget *parent = nullptr);

    // Shows a stored topic ("/pagine/mappa.html"). A file at another path than the one shown
    // replaces it, with its contents and a fresh history; the same path keeps the open file.
    void showTopic(std::shared_ptr<const ChmFile> chm, const QString &topic);

    HelpBrowser *browser() const { return m_browser; }
    // One item per entry of the file's contents, nested as written; the topic's address is in
    // Qt::UserRole. Empty when the file has no contents file.
    QTreeWidget *contents() const { return m_contents; }

private:
    void loadContents();
    // The browser signals the new address before its source() follows.
    void pageChanged(const QUrl &current);
    void contentsClicked(QTreeWidgetItem *item);

    std::shared_ptr<const ChmFile> m_chm;
    HelpBrowser *m_browser;
    QTreeWidget *m_contents;
    QAction *m_back;
    QAction *m_forward;
};

}  // namespace forms
