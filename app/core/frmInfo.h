// The information dialog: program title, version, last data update and note, and the updates of
// the databases and the maps from a zip archive.
#pragma once

#include "forms/Form.h"

#include <QLabel>
#include <QPushButton>

namespace pendra {

class frmInfo : public forms::Form {
    Q_OBJECT
public:
    frmInfo();

    QLabel *lblTitle() const { return m_lblTitle; }
    QLabel *lblVersione() const { return m_lblVersione; }
    QLabel *lblVersioneBd() const { return m_lblVersioneBd; }
    QLabel *lblNote() const { return m_lblNote; }
    QLabel *picIcon() const { return m_picIcon; }
    QPushButton *cmdAggiornaBd() const { return m_cmdAggiornaBd; }
    QPushButton *cmdAggiornaMappe() const { return m_cmdAggiornaMappe; }
    QPushButton *cmdOK() const { return m_cmdOK; }
    QPushButton *cmdHelp() const { return m_cmdHelp; }

    // Handlers: each reports its own errors to LogError under "frmInfo".
    void cmdAggiornaBd_Click();     // unpacks a chosen archive into DataPath, reloads the labels
    void cmdAggiornaMappe_Click();  // unpacks a chosen archive into ShapePath
    void cmdOK_Click();             // closes the dialog
    void cmdHelp_Click();           // the help file's first page

    // Reads the first row of InfoAggiornamento into the labels; no row keeps the texts shown.
    void LoadInfoAggiornamento();

protected:
    void formLoad() override;
    void showEvent(QShowEvent *event) override;  // centred over its owner

private:
    // The shared steps of both updates; true when the archive was unpacked.
    bool aggiorna(const QString &destination, const QString &question, const QString &procedure);

    QLabel *m_lblTitle, *m_lblVersione, *m_lblVersioneBd, *m_lblNote, *m_picIcon;
    QPushButton *m_cmdAggiornaBd, *m_cmdAggiornaMappe, *m_cmdOK, *m_cmdHelp;
};

}  // namespace pendra
