// The data table window: runs SqlQuery and shows the result in a grid; sort, search, metadata,
// and the buttons of the export, the formula editor and the map hand-off.
#pragma once

#include "forms/Form.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <functional>

namespace grid {
class FlexGrid;
class FlexGridModel;
}

namespace pendra {

// One instance (forms::FormRegistry::get<frm_dispData>()); loading it runs the query once.
// The handlers are public so that other windows (the map hand-off) and tests run them as a click
// would; each reports its own errors through LogError and never throws.
class frm_dispData : public forms::Form {
    Q_OBJECT
public:
    frm_dispData();

    // Territory-type codes whose rows go to the map; written by the query window and the map hand-off.
    // They belong to the window's default instance, not to one load of it: the query window sets
    // them before any table is shown, and writing them must not load (and so run) the table window.
    static inline qint16 tp1 = 0;
    static inline qint16 tp2 = 0;
    // Territorial level of the current map choice (LivMappa at load; the map hand-off and the chooser set it).
    qint16 tipoTerrNow = 0;
    // The column being mapped: its header, code prefix, three-character number and year.
    QString lbl_Ricfor;
    QString cd_set_var;
    QString nr_var;
    QString anno_var;

    // The kind ("Variabili" or "Indicatori") of the data the table shows, taken when its query
    // runs: a menu item chosen meanwhile changes the shared Kind, not what these columns are.
    const QString &kind() const { return m_kind; }
    // The columns the query returned; the formula editor's computed columns follow them.
    int queryCols() const { return m_queryCols; }

    // Runs SqlQuery (ordered by territory code) on the data database and fills the grid; false
    // after an error, which it has shown and logged.
    bool DoQuery();
    void ColorGridLines();
    void AutosizeCols();
    void ColorGridLinesToT();
    // Every cell of the grid, headers included, into GridData.
    void GridToArray(const grid::FlexGridModel &grid);
    // True while a sort or a search runs.
    bool isSorting() const { return m_sorting; }

    // Controls other windows read and write.
    grid::FlexGrid *datagrid() const { return m_datagrid; }
    grid::FlexGrid *datagrid2() const { return m_datagrid2; }
    QPlainTextEdit *lblDescVar() const { return m_lblDescVar; }
    QComboBox *cmb_Ordina() const { return m_cmbOrdina; }
    QComboBox *cmb_ric() const { return m_cmbRic; }
    QLineEdit *txt_ricda() const { return m_txtRicda; }
    QLineEdit *txt_rica() const { return m_txtRica; }
    QPushButton *cmd_ordinaA() const { return m_cmdOrdinaA; }
    QPushButton *cmd_ordinaD() const { return m_cmdOrdinaD; }
    QPushButton *cmd_ric() const { return m_cmdRic; }
    QPushButton *cmd_createmap() const { return m_cmdCreatemap; }
    QPushButton *cmdEsportaXls() const { return m_cmdEsportaXls; }
    QPushButton *cmdFunzione() const { return m_cmdFunzione; }
    QPushButton *cmdInfo() const { return m_cmdInfo; }
    QPushButton *cmdHelp() const { return m_cmdHelp; }
    QPushButton *cmdChiudi() const { return m_cmdChiudi; }
    QMenu *mnu_ordinam() const { return m_mnuOrdinam; }
    QAction *mnu_createMap() const { return m_mnuCreateMap; }

    // Handlers.
    void cmd_ordinaA_Click();
    void cmd_ordinaD_Click();
    void mnu_asce_Click();
    void mnu_disce_Click();
    void cmd_ric_Click();
    void datagrid_Click();
    void datagrid_EnterCell();
    // A right press makes the cell under the pointer current, as a click does (unless it falls
    // inside the selection), then pops up the menu.
    void datagrid_MouseDown(int button, int shift, double x, double y);
    // The Menu key or Shift+F10 in the grid: the pop-up menu, on the current cell.
    void datagrid_MenuKey(const QPoint &globalPos);
    void datagrid_KeyDown(int keyCode, int shift);
    void mnu_clipboard_Click();
    void mnu_metadati_Click();
    void cmdInfo_Click();
    void cmdHelp_Click();
    void cmdChiudi_Click();
    // Filled by the windows that are still to come: the spreadsheet export, the formula editor and
    // the map hand-off (the button runs the pop-up item's handler).
    void cmdEsportaXls_Click();
    void cmdFunzione_Click();
    void cmd_createmap_Click();
    void mnu_createMap_Click();
    // The map hand-off that mnu_createMap_Click runs: the maps library, which builds on this one,
    // sets it once at start. None set: the item does nothing.
    static void setCreateMapHandler(std::function<void(frm_dispData &)> handler);

protected:
    void formLoad() override;
    void formUnload() override;

private:
    void sortByName(const char *procedure, int order);
    void sortSelected(const char *procedure, int order);
    // The description box follows a column that a sort or search made current.
    void describeColumn(int previousColumn);
    // The sort and search choosers show the selected column (the moving end of a selection).
    void followSelectedColumn();
    void ShowControls();
    void AlignGrids();

    grid::FlexGrid *m_datagrid;
    grid::FlexGrid *m_datagrid2;
    QLabel *m_label8;
    QLabel *m_label3;
    QComboBox *m_cmbOrdina;
    QComboBox *m_cmbRic;
    QLineEdit *m_txtRicda;
    QLineEdit *m_txtRica;
    QPushButton *m_cmdOrdinaA;
    QPushButton *m_cmdOrdinaD;
    QPushButton *m_cmdRic;
    QPushButton *m_cmdCreatemap;
    QPushButton *m_cmdEsportaXls;
    QPushButton *m_cmdFunzione;
    QPushButton *m_cmdInfo;
    QPushButton *m_cmdHelp;
    QPushButton *m_cmdChiudi;
    QPlainTextEdit *m_lblDescVar;
    QWidget *m_shape4;
    QMenu *m_mnuOrdinam;
    QAction *m_mnuCreateMap;
    bool m_sorting = false;
    QString m_kind;
    int m_queryCols = 0;
};

}  // namespace pendra
