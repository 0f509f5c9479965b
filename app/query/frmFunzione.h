// The formula editor "Crea nuovo indicatore": builds an expression over the data columns of the data
// table window from buttons and the column list, and adds its value as a new column of that grid.
#pragma once

#include "FormulaEditor.h"

#include "forms/Form.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace pendra {

// Shown modally by the data table window after it copied its grid into GridData; loading it needs
// the data table window loaded. Handlers are public so that tests run them as a click would; each
// reports its own errors through LogError and never throws.
class frmFunzione : public forms::Form {
    Q_OBJECT
public:
    frmFunzione();

    QListWidget *lstColonne() const { return m_lstColonne; }
    QLineEdit *lstFunzione() const { return m_lstFunzione; }
    QPushButton *cmdNumero(int i) const { return m_cmdNumero[i]; }
    QPushButton *cmdVirgola() const { return m_cmdVirgola; }
    QPushButton *cmdSomma() const { return m_cmdSomma; }
    QPushButton *cmdDifferenza() const { return m_cmdDifferenza; }
    QPushButton *cmdMoltiplica() const { return m_cmdMoltiplica; }
    QPushButton *cmdRapporto() const { return m_cmdRapporto; }
    QPushButton *cmdEleva() const { return m_cmdEleva; }
    QPushButton *cmdParentesiAp() const { return m_cmdParentesiAp; }
    QPushButton *cmdParentesiCh() const { return m_cmdParentesiCh; }
    QPushButton *cmdPercentuale() const { return m_cmdPercentuale; }
    QPushButton *cmdReset() const { return m_cmdReset; }
    QPushButton *cmdEsegui() const { return m_cmdEsegui; }
    QPushButton *cmdAnnulla() const { return m_cmdAnnulla; }
    QLabel *lblAiuto() const { return m_lblAiuto; }
    const FormulaEditor &editor() const { return m_editor; }

    // Handlers.
    void lstColonne_DblClick(int index);
    void cmdNumero_Click(int index);
    void cmdVirgola_Click();
    void cmdOperatore_Click(const QString &op);  // the five operator buttons
    void cmdParentesi_Click(QChar bracket);
    void cmdPercentuale_Click();
    void cmdReset_Click();
    void cmdEsegui_Click();
    void cmdAnnulla_Click();

protected:
    void formLoad() override;
    void formUnload() override;

private:
    void reload();
    void showExpression();

    FormulaEditor m_editor;
    QListWidget *m_lstColonne;
    QLineEdit *m_lstFunzione;
    QPushButton *m_cmdNumero[10];
    QPushButton *m_cmdVirgola;
    QPushButton *m_cmdSomma;
    QPushButton *m_cmdDifferenza;
    QPushButton *m_cmdMoltiplica;
    QPushButton *m_cmdRapporto;
    QPushButton *m_cmdEleva;
    QPushButton *m_cmdParentesiAp;
    QPushButton *m_cmdParentesiCh;
    QPushButton *m_cmdPercentuale;
    QPushButton *m_cmdReset;
    QPushButton *m_cmdEsegui;
    QPushButton *m_cmdAnnulla;
    QLabel *m_lblAiuto;
};

}  // namespace pendra
