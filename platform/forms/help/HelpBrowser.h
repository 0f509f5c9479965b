// Text browser that shows the pages of one help file, loading pages, style sheets and images
// from the file itself.
#pragma once

#include <QTextBrowser>

#include <memory>

namespace forms {

class ChmFile;

class HelpBrowser : public QTextBrowser {
    Q_OBJECT
public:
    explicit HelpBrowser(QWidget *parent = nullptr);

    // Shows pages of this file from now on and forgets the history; the browser shares the
    // file's ownership. A null file leaves the browser with nothing to load.
    void setChm(std::shared_ptr<const ChmFile> chm);
    const ChmFile *chm() const { return m_chm.get(); }

    // The address of a stored file or topic ("/pagine/mappa.html#a" -> "chm:/pagine/mappa.html#a").
    static QUrl urlFor(const QString &objectPath);
    // A page's text in the character set its meta tag declares, UTF-8 when it declares none.
    // Bytes that are not valid UTF-8 where UTF-8 is expected, or an unknown character set, are
    // read as Windows-1252, the code page of older help pages.
    static QString decodeHtml(const QByteArray &bytes);

    // Stored files only: anything outside the help file yields an empty value.
    QVariant loadResource(int type, const QUrl &name) override;

protected:
    // Web and mail links go to the desktop's programs; everything else stays in the file.
    void doSetSource(const QUrl &name, QTextDocument::ResourceType type) override;

private:
    std::shared_ptr<const ChmFile> m_chm;
};

}  // namespace forms
