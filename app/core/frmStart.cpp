// Start page: design, loading of InfoZup.txt, size under the main window.
#include "frmStart.h"

#include "AppState.h"
#include "Utility.h"
#include "frmMainMDI.h"

#include "forms/FormRegistry.h"
#include "vb/Error.h"
#include "vb/TextFile.h"

#include <QCoreApplication>
#include <QFrame>
#include <QLabel>
#include <QPointer>
#include <QTextCursor>
#include <QTextDocument>
#include <QVBoxLayout>

namespace pendra {

frmStart::frmStart() : forms::Form("frmStart")
{
    setWindowTitle("Pendra");
    resize(640, 480);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 24, 24, 24);
    auto *progetto = new QLabel("Progetto:", this);
    auto *title1 = new QLabel("Pendra", this);
    QFont big = title1->font();
    big.setPointSize(big.pointSize() * 2);
    big.setBold(true);
    title1->setFont(big);
    auto *title2 = new QLabel("Atlante statistico dei dati territoriali italiani", this);
    QFont mid = title2->font();
    mid.setPointSize(int(mid.pointSize() * 1.4));
    title2->setFont(mid);
    auto *line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    m_lblInfo = new QPlainTextEdit(this);
    m_lblInfo->setObjectName("lblInfo");
    m_lblInfo->setReadOnly(true);
    m_lblInfo->setFrameShape(QFrame::NoFrame);
    m_lblInfo->setFocusPolicy(Qt::NoFocus);
    m_lblInfo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    // No box of its own: the page's background shows through, as behind a label.
    QPalette see = m_lblInfo->palette();
    see.setColor(QPalette::Base, Qt::transparent);
    m_lblInfo->setPalette(see);
    m_lblInfo->viewport()->setAutoFillBackground(false);
    m_lblInfo->document()->setDocumentMargin(0);  // aligned with the labels above it
    for (QWidget *w : {static_cast<QWidget *>(progetto), static_cast<QWidget *>(title1),
                       static_cast<QWidget *>(title2), static_cast<QWidget *>(line)})
        layout->addWidget(w);
    layout->addWidget(m_lblInfo, 1);
}

void frmStart::formLoad()
{
    try {
        const QStringList lines = vb::readLines(app().FilesPath + "InfoZup.txt");
        QPointer<frmStart> self(this);
        for (const QString &line : lines) {
            m_info += line + "\r\n";
            QTextCursor end(m_lblInfo->document());
            end.movePosition(QTextCursor::End);
            end.insertText(line + "\n");
            forms::yieldToEvents();
            // A work window opened meanwhile closes the page.
            if (!self || !isLoaded())
                return;
        }
        if (const frmMainMDI *main = forms::FormRegistry::find<frmMainMDI>())
            resizeTwips(main->widthTwips() - 200, main->heightTwips() - 750);
        SetFormLayout(*this);
    } catch (const vb::Error &e) {
        LogError(this, "Form_Load", e);
    }
}

void UnloadStartPage()
{
    forms::FormRegistry::unload<frmStart>();
}

}  // namespace pendra
