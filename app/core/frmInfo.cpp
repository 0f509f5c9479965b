// Information dialog design and its update handlers.
#include "frmInfo.h"

#include "AppState.h"
#include "CGUnzipFiles.h"
#include "Guarded.h"
#include "Program.h"
#include "Startup.h"
#include "Utility.h"

#include "forms/DialogService.h"
#include "forms/MousePointer.h"
#include "jet/Recordset.h"
#include "vb/Error.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>

namespace pendra {

namespace {
const QString UpdatePrefix = QStringLiteral("Ultimo aggiornamento dei dati: ");
const QString NotePrefix = QStringLiteral("Note: ");
const QString ZipFilter = QStringLiteral("File zip (*.zip)|*.zip");

QLabel *label(QWidget *parent, const char *name, const QString &text)
{
    // No fixed accessible name: a label is read by its current text, which the update changes.
    auto *l = new QLabel(text, parent);
    l->setObjectName(name);
    return l;
}

QPushButton *button(QWidget *parent, const char *name, const QString &text)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setAccessibleName(text);
    return b;
}
}  // namespace

frmInfo::frmInfo() : forms::Form("frmInfo")
{
    setMdiChild(false);
    setWindowTitle(" Informazioni");
    auto *grid = new QGridLayout(this);
    m_picIcon = new QLabel(this);
    m_picIcon->setObjectName("picIcon");
    m_picIcon->setAccessibleName("Icona del programma");
    m_picIcon->setPixmap(QApplication::windowIcon().pixmap(48, 48));
    m_lblTitle = label(this, "lblTitle", "Pendra");
    QFont big = m_lblTitle->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    m_lblTitle->setFont(big);
    m_lblVersione = label(this, "lblVersione", "Versione: 2.00p");
    m_lblVersioneBd = label(this, "lblVersioneBd", UpdatePrefix);
    m_lblNote = label(this, "lblNote", NotePrefix);
    m_lblNote->setWordWrap(true);
    m_cmdAggiornaBd = button(this, "cmdAggiornaBd", "Aggiorna BD");
    m_cmdAggiornaMappe = button(this, "cmdAggiornaMappe", "Aggiorna Mappe");
    m_cmdOK = button(this, "cmdOK", "OK");
    m_cmdHelp = button(this, "cmdHelp", "Help");

    grid->addWidget(m_picIcon, 0, 0, 2, 1, Qt::AlignTop);
    grid->addWidget(m_lblTitle, 0, 1);
    grid->addWidget(m_lblVersione, 1, 1);
    grid->addWidget(m_lblVersioneBd, 2, 1);
    grid->addWidget(m_lblNote, 3, 1);
    auto *buttons = new QHBoxLayout;
    for (QPushButton *b : {m_cmdAggiornaBd, m_cmdAggiornaMappe, m_cmdHelp, m_cmdOK})
        buttons->addWidget(b);
    grid->addLayout(buttons, 4, 0, 1, 2);
    setMinimumWidth(480);

    // OK is the default and the way out.
    setDefaultButton(m_cmdOK);
    setCancelButton(m_cmdOK);
    connect(m_cmdAggiornaBd, &QPushButton::clicked, this, &frmInfo::cmdAggiornaBd_Click);
    connect(m_cmdAggiornaMappe, &QPushButton::clicked, this, &frmInfo::cmdAggiornaMappe_Click);
    connect(m_cmdOK, &QPushButton::clicked, this, &frmInfo::cmdOK_Click);
    connect(m_cmdHelp, &QPushButton::clicked, this, &frmInfo::cmdHelp_Click);
}

void frmInfo::formLoad()
{
    guarded(this, "Form_Load", [this] { LoadInfoAggiornamento(); });
}

void frmInfo::showEvent(QShowEvent *event)
{
    forms::Form::showEvent(event);
    if (QWidget *owner = parentWidget()) {
        adjustSize();
        const QRect area = owner->window()->frameGeometry();
        move(area.center() - rect().center());
    }
}

void frmInfo::LoadInfoAggiornamento()
{
    jet::Connection conn = GetDbConnection("Metadati.mdb");
    jet::Recordset rs;
    rs.open("select * from InfoAggiornamento", conn);
    if (!rs.eof()) {
        const vb::Variant update = rs.value(0), note = rs.value(1);
        m_lblVersioneBd->setText(UpdatePrefix + (update.isNull() ? QString() : update.toString()));
        m_lblNote->setText(NotePrefix + (note.isNull() ? QString() : note.toString()));
    }
    rs.close();
    conn.close();
}

bool frmInfo::aggiorna(const QString &destination, const QString &question, const QString &procedure)
{
    forms::FileRequest request;
    request.filter = ZipFilter;
    const QString file = forms::dialogs().openFile(request);
    if (file.isEmpty())
        return false;
    if (forms::dialogs().msgBox(question + file + " ?", forms::vbYesNo + forms::vbQuestion) != forms::vbYes)
        return false;
    qint32 result = 0;
    {
        forms::BusyCursor busy;
        CGUnzipFiles unzipper;
        result = unzipper.Unzip(file, destination);
    }
    // The library's failure codes are failures: nothing of the archive was written.
    if (result != 0)
        throw vb::Error(result, QString("Archivio non estratto: %1 (codice UnZip %2)").arg(file).arg(result),
                        procedure);
    return true;
}

void frmInfo::cmdAggiornaBd_Click()
{
    bool updated = false;
    const bool ok = guarded(this, "cmdAggiornaBd_Click", [&] {
        const QString destination = app().DataPath.isEmpty() ? programFolder() + "/Databases/" : app().DataPath;
        updated = aggiorna(destination, "Si desidera aggiornare la banca dati con il file: ", "cmdAggiornaBd_Click");
        if (updated) {
            LoadInfoAggiornamento();
            // The release's links name the distributor's folders: they are made again here.
            if (RefreshAfterUpdate(this))
                forms::dialogs().msgBox("Aggiornamento Banca Dati effettuato.");
            else
                forms::dialogs().msgBox("Aggiornamento Banca Dati effettuato, ma non è stato possibile ricollegare "
                                        "le tabelle dei Databases: riavviare il programma per usare i nuovi dati.",
                                        forms::vbExclamation, "Attenzione");
        }
    });
    if (!ok)
        forms::dialogs().msgBox("Aggiornamento Banca Dati FALLITO!");
}

void frmInfo::cmdAggiornaMappe_Click()
{
    const bool ok = guarded(this, "cmdAggiornaMappe_Click", [&] {
        const QString destination = app().ShapePath.isEmpty() ? programFolder() + "/Shape/" : app().ShapePath;
        if (aggiorna(destination, "Si desidera aggiornare le mappe con il file: ", "cmdAggiornaMappe_Click"))
            forms::dialogs().msgBox("Aggiornamento mappe effettuato.");
    });
    if (!ok)
        forms::dialogs().msgBox("Aggiornamento mappe FALLITO!");
}

void frmInfo::cmdOK_Click()
{
    guarded(this, "cmdOK_Click", [this] { unload(); });
}

void frmInfo::cmdHelp_Click()
{
    // No context id is mapped for this dialog: 0 opens the first page.
    guarded(this, "cmdHelp_Click", [] { ShowHelp(0); });
}

}  // namespace pendra
