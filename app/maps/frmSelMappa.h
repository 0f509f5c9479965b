// The territory-kind chooser: which kind of territory a map of a mixed selection is for.
#pragma once

#include "MapHandoff.h"

#include "forms/Form.h"

class QLabel;
class QPushButton;

namespace pendra {

// Modal dialog shown by the map hand-off. Each button writes its kind into the shared MapKind and
// MapCase and into tipoTerrNow, tp1 and tp2 of the loaded data table window, then unloads the
// dialog; closing it any other way (its title bar) acts as "Annulla". Errors are logged under the
// dialog and leave it open.
class frmSelMappa : public forms::Form {
    Q_OBJECT
public:
    frmSelMappa();

    void cmdProv_Click();
    void Cmdnut2_Click();
    void cmdReg_Click();
    void cmdAnnulla_Click();

    QLabel *lblTitle() const { return m_lblTitle; }
    QPushButton *cmdProv() const { return m_cmdProv; }
    QPushButton *Cmdnut2() const { return m_cmdNut2; }
    QPushButton *cmdReg() const { return m_cmdReg; }
    QPushButton *cmdAnnulla() const { return m_cmdAnnulla; }

protected:
    void formLoad() override;
    void formUnload() override;
    void showEvent(QShowEvent *event) override;  // centred over its owner's window

private:
    void choose(const char *procedure, const TerritoryKind &kind);

    QLabel *m_lblTitle;
    QPushButton *m_cmdProv, *m_cmdNut2, *m_cmdReg, *m_cmdAnnulla;
    bool m_chosen = false;
};

}  // namespace pendra
