// The query window: area tree, variable-and-year selection, territory selection, data query.
#pragma once

#include "PickList.h"
#include "TerritorySelection.h"

#include "forms/Form.h"

#include <QString>
#include <array>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QGroupBox;

namespace tree {
class ImageList;
class TreeNode;
class TreeView;
}

namespace pendra {

// One default instance (FormRegistry). It keeps its own copy of Kind and CurrentLivTerritoriale
// taken at load; every handler catches its errors and logs them with the window as source.
class FormdatiTab : public forms::Form {
    Q_OBJECT
public:
    FormdatiTab();
    ~FormdatiTab() override;

    static constexpr int MaxSelezionati = 251;

    // Handlers, public so tests drive them as the user would.
    void objtree_NodeClick(tree::TreeNode *node);
    // A mouse press in the tree: examines the node selected before the press.
    void objtree_MouseDown(Qt::MouseButton button);
    void mnu_note_Click();
    void lst_allVar_Click();
    void lst_allVar_DblClick();
    void cmdmetadati_Click();
    void CmdNewric_Click();
    void cmdChiudi_Click();
    void cmdHelp_Click();
    void SSTab1_Click(int previousTab);
    void serie_Click();
    void CreaQuery();

    // Number of loaded windows named frmname (letter case ignored), and whether there is one.
    static qint32 FormCount(const QString &frmname);
    static bool IsLoaded(const QString &frmname);
    QString PTerr() const { return m_territori.PTerr(); }
    void setPTerr(const QString &newTerr) { m_territori.setPTerr(newTerr); }

    TerritorySelection &territori() { return m_territori; }
    const QString &FiltroTerritori() const { return m_filtroTerritori; }
    qint16 NumSelezionati() const { return m_numSelezionati; }
    const QString &kind() const { return m_kind; }
    const QString &livTerritoriale() const { return m_liv; }
    // The data database the window was loaded for: its tree, years and query come from it.
    const QString &dbName() const { return m_dbName; }

    // Controls, by their names.
    tree::TreeView *objtree() const { return m_objtree; }
    QListWidget *lst_allVar() const { return m_lstAllVar; }
    QListWidget *lstDescTerr() const { return m_lstDescTerr; }
    QListWidget *lstCodTerr() const { return m_lstCodTerr; }
    QLineEdit *txtCount() const { return m_txtCount; }
    QTabWidget *SSTab1() const { return m_tab; }
    QLabel *Label8() const { return m_label8; }
    QLabel *lblSelezionati() const { return m_lblSelezionati; }
    QLabel *Label2() const { return m_label2; }
    QLabel *Label5() const { return m_label5; }
    QLabel *Image1() const { return m_image1; }
    QPushButton *serie() const { return m_serie; }
    QPushButton *cmdmetadati() const { return m_cmdmetadati; }
    QPushButton *CmdNewric() const { return m_cmdNewric; }
    QPushButton *conferma() const { return m_conferma; }
    QPushButton *cmdDatiPiu() const { return m_cmdDatiPiu; }
    QPushButton *cmdChiudi() const { return m_cmdChiudi; }
    QCheckBox *Check1(int index) const { return m_check.at(index); }  // 1..6
    QRadioButton *OptVisualizza(int index) const { return m_opt.at(index); }  // 0..3
    QMenu *mnu_mNote() const { return m_mnuNote; }

protected:
    void formLoad() override;
    void formActivate() override;
    void formUnload() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The right press's rule, with the note menu shown at popupAt (the pointer, or the current node for the menu key).
    void objtreeMouseDownAt(Qt::MouseButton button, const QPoint &popupAt);
    void buildTerritoryTab(QWidget *tab);
    void buildSelectionTab(QWidget *tab);
    void showTerritories();  // the territory widgets follow m_territori
    void Check1_Click(int index, bool ticked);
    void OptVisualizza_Click(int index);
    void CreaFiltroTerritori();
    void setCount(qint16 n);

    QString m_kind;
    QString m_liv;
    QString m_dbName;
    qint16 m_numSelezionati = 0;
    QString m_filtroTerritori;
    TerritorySelection m_territori;
    bool m_showing = false;  // set while the widgets follow the model, so their signals are not echoed
    int m_currentTab = 0;

    tree::ImageList *m_img1;
    QLabel *m_label8, *m_lblSelezionati, *m_label2, *m_label5, *m_image1;
    QTabWidget *m_tab;
    tree::TreeView *m_objtree;
    QListWidget *m_lstAllVar;
    PickList *m_lstDescTerr, *m_lstCodTerr;
    QLineEdit *m_txtCount;
    QPushButton *m_cmdmetadati, *m_serie, *m_cmdDatiPiu, *m_conferma, *m_cmdNewric, *m_cmdChiudi, *m_cmdHelp;
    std::array<QCheckBox *, 7> m_check{};
    std::array<QRadioButton *, 4> m_opt{};
    QMenu *m_mnuNote;
};

}  // namespace pendra
