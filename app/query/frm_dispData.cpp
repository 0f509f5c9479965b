// The data table window: the query run, the grid set-up and the handlers of its controls.
#include "frm_dispData.h"

#include "DataTableGrid.h"
#include "EsportaExcel.h"
#include "frmFunzione.h"

#include "app/core/AppState.h"
#include "app/core/Guarded.h"
#include "app/core/MainMenu.h"
#include "app/core/Utility.h"
#include "app/core/frmNota.h"

#include "forms/DialogService.h"
#include "forms/FormRegistry.h"
#include "forms/MousePointer.h"
#include "grid/FlexGrid.h"
#include "jet/Recordset.h"
#include "vb/Conversions.h"
#include "vb/Error.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QComboBox>
#include <QCursor>
#include <QFontMetricsF>
#include <QStyleOptionComboBox>
#include <QtMath>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <algorithm>

namespace pendra {

namespace {

constexpr qint32 HelpContextId = 1100;
constexpr int FirstDataColumn = 6;

QPushButton *button(QWidget *parent, const char *name, const QString &caption, const QString &accessible = QString())
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAccessibleName(accessible.isEmpty() ? caption : accessible);
    return b;
}

// A chooser of the table's columns. A combo box sized to its contents measures every item for its
// size hint, and these list every column (255 in the widest table) each time the window opens;
// the longest item stands for the widest here, the items being column names of like letters.
class ColumnChooser : public QComboBox {
public:
    using QComboBox::QComboBox;

    QSize sizeHint() const override
    {
        QString longest;
        for (int i = 0; i < count(); ++i)
            if (const QString text = itemText(i); text.size() > longest.size())
                longest = text;
        const QFontMetrics metrics = fontMetrics();
        const QSize text(count() == 0 ? 7 * metrics.horizontalAdvance(u'x') : metrics.boundingRect(longest).width(),
                         std::max(qCeil(QFontMetricsF(metrics).height()), 14) + 2);
        QStyleOptionComboBox option;
        initStyleOption(&option);
        return style()->sizeFromContents(QStyle::CT_ComboBox, &option, text, this);
    }
};

bool readsTrue(const QString &text)
{
    if (text.trimmed().isEmpty())
        return false;
    try {
        return vb::CBool(vb::Variant(text));
    } catch (const vb::Error &) {
        return false;
    }
}

// The code of a data column header: the text before the first "_", or the whole header.
QString codeOf(const QString &header)
{
    const int underscore = header.indexOf('_');
    return underscore < 0 ? header : header.left(underscore);
}

}  // namespace

frm_dispData::frm_dispData() : forms::Form("frm_dispData")
{
    setWindowTitle("Visualizza ed esporta dati");
    setHelpContextId(HelpContextId);
    setAccessibleName(windowTitle());
    resize(1000, 680);

    m_label8 = new QLabel(" Visualizza ed esporta dati ", this);
    m_label8->setObjectName("Label8");
    QFont titleFont = m_label8->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.3);
    m_label8->setFont(titleFont);
    m_shape4 = new QWidget(this);
    m_shape4->setObjectName("Shape4");
    m_shape4->setAccessibleName("Shape4");
    m_shape4->setFixedHeight(4);
    m_shape4->setAutoFillBackground(true);

    m_label3 = new QLabel("Campo :", this);
    m_label3->setObjectName("Label3");
    m_cmbRic = new ColumnChooser(this);
    m_cmbRic->setObjectName("cmb_ric");
    m_cmbRic->setAccessibleName("Campo");
    m_label3->setBuddy(m_cmbRic);
    m_txtRicda = new QLineEdit(this);
    m_txtRicda->setObjectName("txt_ricda");
    m_txtRicda->setAccessibleName("Ricerca da");
    m_txtRica = new QLineEdit(this);
    m_txtRica->setObjectName("txt_rica");
    m_txtRica->setAccessibleName("Ricerca a");
    m_cmdRic = button(this, "cmd_ric", "Ricerca");
    // Return in the search boxes searches.
    for (QWidget *field : std::initializer_list<QWidget *>{m_cmbRic, m_txtRicda, m_txtRica})
        setDefaultButton(m_cmdRic, field);

    m_cmbOrdina = new ColumnChooser(this);
    m_cmbOrdina->setObjectName("cmb_Ordina");
    m_cmbOrdina->setAccessibleName("Colonna da ordinare");
    m_cmdOrdinaA = button(this, "cmd_ordinaA", "Ordina ascendente");
    m_cmdOrdinaD = button(this, "cmd_ordinaD", "Ordina discendente");

    m_lblDescVar = new QPlainTextEdit(this);
    m_lblDescVar->setObjectName("lblDescVar");
    m_lblDescVar->setAccessibleName("Descrizione della variabile");
    m_lblDescVar->setReadOnly(true);
    m_lblDescVar->setFixedHeight(m_lblDescVar->fontMetrics().height() * 3 + 12);

    m_datagrid = new grid::FlexGrid(this);
    m_datagrid->setObjectName("datagrid");
    m_datagrid->setAccessibleName("Tabella dei dati");
    // The grid is laid out while still hidden, so the column widths can use its width at load.
    QSizePolicy gridPolicy = m_datagrid->sizePolicy();
    gridPolicy.setRetainSizeWhenHidden(true);
    m_datagrid->setSizePolicy(gridPolicy);
    m_datagrid2 = new grid::FlexGrid(this);
    m_datagrid2->setObjectName("datagrid2");
    m_datagrid2->setAccessibleName("Tabella dei dati per la mappa");
    m_datagrid2->hide();

    m_cmdCreatemap = button(this, "cmd_createmap", "Crea cartogramma");
    m_cmdEsportaXls = button(this, "cmdEsportaXls", "Esporta in Excel");
    m_cmdFunzione = button(this, "cmdFunzione", "Crea indicatore");
    m_cmdInfo = button(this, "cmdInfo", "Nota", "Nota");
    m_cmdHelp = button(this, "cmdHelp", "Help");
    m_cmdChiudi = button(this, "cmdChiudi", "Chiudi");

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_label8);
    layout->addWidget(m_shape4);
    auto *search = new QHBoxLayout;
    search->addWidget(m_label3);
    search->addWidget(m_cmbRic, 2);
    search->addWidget(m_txtRicda, 1);
    search->addWidget(m_txtRica, 1);
    search->addWidget(m_cmdRic);
    search->addSpacing(24);
    search->addWidget(m_cmbOrdina, 2);
    search->addWidget(m_cmdOrdinaA);
    search->addWidget(m_cmdOrdinaD);
    layout->addLayout(search);
    layout->addWidget(m_lblDescVar);
    layout->addWidget(m_datagrid, 1);
    layout->addWidget(m_datagrid2);
    auto *buttons = new QHBoxLayout;
    for (QPushButton *b : {m_cmdCreatemap, m_cmdEsportaXls, m_cmdFunzione, m_cmdInfo, m_cmdHelp})
        buttons->addWidget(b);
    buttons->addStretch(1);
    buttons->addWidget(m_cmdChiudi);
    layout->addLayout(buttons);

    // The pop-up of the grid ("Ordinam", never in a menu bar).
    m_mnuOrdinam = new QMenu("Ordinam", this);
    m_mnuOrdinam->setObjectName("mnu_ordinam");
    QMenu *ordina = m_mnuOrdinam->addMenu("Ordina");
    ordina->setObjectName("mnu_ordina");
    QAction *asce = ordina->addAction("Ascendente");
    asce->setObjectName("mnu_asce");
    QAction *disce = ordina->addAction("Discendente");
    disce->setObjectName("mnu_disce");
    m_mnuCreateMap = m_mnuOrdinam->addAction("Crea cartogramma da questa colonna");
    m_mnuCreateMap->setObjectName("mnu_createMap");
    QMenu *clipbo = m_mnuOrdinam->addMenu("Appunti");
    clipbo->setObjectName("mClipbo");
    QAction *clipboard = clipbo->addAction("Copia negli Appunti");
    clipboard->setObjectName("mnu_clipboard");
    QAction *metadati = m_mnuOrdinam->addAction("Visualizza metadati");
    metadati->setObjectName("mnu_metadati");

    // The working controls appear once the query has run.
    for (QWidget *w : std::initializer_list<QWidget *>{m_cmdOrdinaA, m_cmdOrdinaD, m_cmdInfo, m_cmdCreatemap,
                                                       m_datagrid, m_cmdEsportaXls, m_cmdChiudi, m_lblDescVar,
                                                       m_cmdFunzione, m_shape4, m_label8})
        w->hide();

    connect(m_cmdOrdinaA, &QPushButton::clicked, this, &frm_dispData::cmd_ordinaA_Click);
    connect(m_cmdOrdinaD, &QPushButton::clicked, this, &frm_dispData::cmd_ordinaD_Click);
    connect(m_cmdRic, &QPushButton::clicked, this, &frm_dispData::cmd_ric_Click);
    connect(m_cmdCreatemap, &QPushButton::clicked, this, &frm_dispData::cmd_createmap_Click);
    connect(m_cmdEsportaXls, &QPushButton::clicked, this, &frm_dispData::cmdEsportaXls_Click);
    connect(m_cmdFunzione, &QPushButton::clicked, this, &frm_dispData::cmdFunzione_Click);
    connect(m_cmdInfo, &QPushButton::clicked, this, &frm_dispData::cmdInfo_Click);
    connect(m_cmdHelp, &QPushButton::clicked, this, &frm_dispData::cmdHelp_Click);
    connect(m_cmdChiudi, &QPushButton::clicked, this, &frm_dispData::cmdChiudi_Click);
    connect(asce, &QAction::triggered, this, &frm_dispData::mnu_asce_Click);
    connect(disce, &QAction::triggered, this, &frm_dispData::mnu_disce_Click);
    connect(m_mnuCreateMap, &QAction::triggered, this, &frm_dispData::mnu_createMap_Click);
    connect(clipboard, &QAction::triggered, this, &frm_dispData::mnu_clipboard_Click);
    connect(metadati, &QAction::triggered, this, &frm_dispData::mnu_metadati_Click);
    connect(m_datagrid, &grid::FlexGrid::Click, this, &frm_dispData::datagrid_Click);
    connect(m_datagrid, &grid::FlexGrid::EnterCell, this, &frm_dispData::datagrid_EnterCell);
    // A Shift+arrow selection moves its end as a drag does: the choosers follow it too.
    connect(m_datagrid, &grid::FlexGrid::EnterCell, this, &frm_dispData::followSelectedColumn);
    connect(m_datagrid, &grid::FlexGrid::MenuKey, this, &frm_dispData::datagrid_MenuKey);
    connect(m_datagrid, &grid::FlexGrid::MouseDown, this, &frm_dispData::datagrid_MouseDown);
    connect(m_datagrid, &grid::FlexGrid::KeyDown, this, &frm_dispData::datagrid_KeyDown);
}

void frm_dispData::formLoad()
{
    guarded(this, "Form_Load", [&] {
        forms::setMousePointer(forms::MousePointer::Hourglass);
        // The column widths depend on the grid's own width: lay the controls out first.
        layout()->setGeometry(rect());
        DoQuery();
        ShowControls();
        tipoTerrNow = app().LivMappa;
        m_cmdCreatemap->setEnabled(true);
        m_mnuCreateMap->setEnabled(true);
        SetFormLayout(*this);
        QPalette palette = m_shape4->palette();
        palette.setColor(QPalette::Window, QColor(231, 41, 57));
        m_shape4->setPalette(palette);
    });
    forms::setMousePointer(forms::MousePointer::Default);
}

void frm_dispData::formUnload()
{
    // The map window reads datagrid2 at every drawing: it closes first (by name: maps build on this library).
    for (forms::Form *f : forms::FormRegistry::loadedForms()) if (f->name() == QLatin1String("frm_Mappa")) f->unload();
    app().SqlQuery.clear();
    m_sorting = false;
}

bool frm_dispData::DoQuery()
{
    bool result = true;
    m_kind = app().Kind;
    m_cmbOrdina->clear();
    m_sorting = false;
    forms::setMousePointer(forms::MousePointer::Hourglass);
    jet::Connection cn;
    jet::Recordset rs;
    try {
        // An empty QueryDbName (no query built since the menu changed database) must not leave the
        // program pointing at no database.
        if (readsTrue(app().DatabaseCambiato) && !app().QueryDbName.isEmpty())
            app().CurrentDbName = app().QueryDbName;
        cn = GetDbConnection(app().CurrentDbName);
        forms::yieldToEvents();
        rs.open(app().SqlQuery + " order by land_Ind.COD_TERR", cn, jet::CursorType::Static, jet::LockType::ReadOnly);
        grid::FlexGridModel &g = m_datagrid->grid();
        // The table is drawn once, filled, coloured and sized: the colouring's yields would
        // otherwise paint it half done.
        struct DrawOnceAtTheEnd {
            grid::FlexGridModel &g;
            const bool redraw = g.Redraw();
            ~DrawOnceAtTheEnd() { g.setRedraw(redraw); }
        } drawOnce{g};
        g.setRedraw(false);
        g.setDataSource(rs);
        m_queryCols = g.Cols();

        QStringList headers;
        for (int c = 0; c < g.Cols(); ++c)
            headers << g.TextMatrix(0, c);
        m_cmbRic->clear();
        m_cmbRic->addItem(QString());
        m_cmbRic->addItems(headers);
        m_cmbRic->setCurrentIndex(0);
        m_cmbOrdina->addItems(headers);
        m_cmbOrdina->setCurrentIndex(0);
        m_cmbRic->setEnabled(true);
        m_txtRicda->setEnabled(true);
        m_txtRica->setEnabled(true);

        rs.close();
        cn.close();
        ColorGridLines();
        AutosizeCols();
        if (g.Cols() > 0)
            g.setColWidth(0, 0);
        for (int c = 5; c < g.Cols(); ++c)
            g.setColAlignment(c, grid::flexAlignCenterCenter);
    } catch (const vb::Error &e) {
        result = false;
        forms::setMousePointer(forms::MousePointer::Default);
        if (e.number() == vb::err::EngineRefused)
            forms::dialogs().msgBox("Numero di " + m_kind + " selezionate troppo elevato. Eliminarle alcune.",
                                    forms::vbExclamation);
        else
            forms::dialogs().msgBox(QString::number(e.number()) + " " + e.description(), forms::vbCritical);
        m_cmbRic->setEnabled(false);
        m_txtRicda->setEnabled(false);
        m_txtRica->setEnabled(false);
        rs.close();
        cn.close();
        LogError(this, "DoQuery", e);
    }
    forms::setMousePointer(forms::MousePointer::Default);
    return result;
}

void frm_dispData::ColorGridLines()
{
    guarded(this, "ColorGridLines", [&] { pendra::ColorGridLines(m_datagrid->grid()); });
}

void frm_dispData::ColorGridLinesToT()
{
    guarded(this, "ColorGridLinesToT", [&] { pendra::ColorGridLinesToT(m_datagrid->grid()); });
}

void frm_dispData::AutosizeCols()
{
    guarded(this, "AutosizeCols", [&] {
        pendra::AutosizeCols(m_datagrid->grid(), CharacterTextWidth(font()), m_datagrid->widthTwips());
    });
}

void frm_dispData::GridToArray(const grid::FlexGridModel &grid)
{
    QVector<QVector<QString>> data;
    data.reserve(grid.Rows());
    for (int r = 0; r < grid.Rows(); ++r)
        data.append(grid.rowTexts(r));
    app().GridData = std::move(data);
}

void frm_dispData::ShowControls()
{
    for (QWidget *w : std::initializer_list<QWidget *>{m_cmdOrdinaA, m_cmdOrdinaD, m_cmdInfo, m_cmdCreatemap,
                                                       m_datagrid, m_cmdEsportaXls, m_cmdChiudi, m_lblDescVar,
                                                       m_cmdFunzione, m_shape4, m_label8})
        w->show();
}

void frm_dispData::sortByName(const char *procedure, int order)
{
    guarded(this, procedure, [&] {
        grid::FlexGridModel &g = m_datagrid->grid();
        const int column = FindHeader(g, m_cmbOrdina->currentText());
        if (column < 0) {
            forms::dialogs().msgBox("Colonna \"" + m_cmbOrdina->currentText() + "\" non trovata.", forms::vbInformation);
            return;
        }
        g.setCol(column);
        g.setColSel(column);
        SortOnColumn(g, column, order, m_sorting);
        describeColumn(-1);
    });
}

void frm_dispData::sortSelected(const char *procedure, int order)
{
    guarded(this, procedure, [&] {
        grid::FlexGridModel &g = m_datagrid->grid();
        SortOnColumn(g, g.ColSel(), order, m_sorting);
        describeColumn(-1);
    });
}

void frm_dispData::describeColumn(int previousColumn)
{
    // A sort or search moves the current cell from code, which enters the cell as a click does
    // (-1: it did move).
    if (m_datagrid->grid().ColSel() != previousColumn)
        datagrid_EnterCell();
}

void frm_dispData::cmd_ordinaA_Click()
{
    sortByName("cmd_ordinaA_Click", grid::flexSortGenericAscending);
}

void frm_dispData::cmd_ordinaD_Click()
{
    sortByName("cmd_ordinaD_Click", grid::flexSortGenericDescending);
}

void frm_dispData::mnu_asce_Click()
{
    sortSelected("mnu_asce_Click", grid::flexSortGenericAscending);
}

void frm_dispData::mnu_disce_Click()
{
    sortSelected("mnu_disce_Click", grid::flexSortGenericDescending);
}

void frm_dispData::cmd_ric_Click()
{
    const int before = m_datagrid->grid().ColSel();
    guarded(this, "cmd_ric_Click", [&] {
        if (m_cmbRic->currentIndex() <= 0)
            return;
        QString upper = m_txtRica->text();
        const QString previous = upper;
        SearchColumn(m_datagrid->grid(), m_cmbRic->currentIndex() - 1, m_txtRicda->text(), upper, m_sorting);
        if (upper != previous)
            m_txtRica->setText(upper);
    });
    describeColumn(before);
}

void frm_dispData::datagrid_Click()
{
    followSelectedColumn();
}

void frm_dispData::followSelectedColumn()
{
    // Errors are ignored here: the combo boxes simply do not follow.
    const int col = m_datagrid->grid().ColSel();
    if (col + 1 < m_cmbRic->count())
        m_cmbRic->setCurrentIndex(col + 1);
    if (col < m_cmbOrdina->count())
        m_cmbOrdina->setCurrentIndex(col);
}

void frm_dispData::datagrid_EnterCell()
{
    guarded(this, "datagrid_EnterCell", [&] {
        m_lblDescVar->setPlainText(QString());
        const grid::FlexGridModel &g = m_datagrid->grid();
        if (g.ColSel() < FirstDataColumn || g.Rows() == 0)
            return;
        const QString code = codeOf(g.TextMatrix(0, g.ColSel()));
        const QString kind = m_kind;
        const QString s = kind.isEmpty() ? QString() : kind.chopped(1);
        const QString sql = "Select Desc" + s + "e from Metadati" + kind + " where ID" + s + "e ='"
                          + QString(code).replace("'", "''") + "'";
        jet::Connection cn = GetDbConnection("Metadati.mdb");
        jet::Recordset rs;
        rs.open(sql, cn);
        if (!rs.eof()) {
            const vb::Variant v = rs.value(0);
            m_lblDescVar->setPlainText(v.isNull() ? QString() : vb::CStr(v));
        }
        rs.close();
        cn.close();
    });
}

void frm_dispData::datagrid_MouseDown(int button, int, double, double)
{
    if (button != 2)
        return;
    guarded(this, "datagrid_MouseDown", [&] {
        grid::FlexGridModel &g = m_datagrid->grid();
        const int row = m_datagrid->MouseRow(), col = m_datagrid->MouseCol();
        const bool inSelection = row >= std::min(g.Row(), g.RowSel()) && row <= std::max(g.Row(), g.RowSel())
                              && col >= std::min(g.Col(), g.ColSel()) && col <= std::max(g.Col(), g.ColSel());
        // The menu's items act on "questa colonna": the one the user pressed on.
        if (row >= g.FixedRows() && col >= 0 && !inSelection) {
            g.setRow(row);
            g.setCol(col);
            datagrid_EnterCell();
            followSelectedColumn();
        }
        m_mnuOrdinam->popup(QCursor::pos());
    });
}

void frm_dispData::datagrid_MenuKey(const QPoint &globalPos)
{
    guarded(this, "datagrid_MenuKey", [&] { m_mnuOrdinam->popup(globalPos); });
}

void frm_dispData::datagrid_KeyDown(int keyCode, int)
{
    if (keyCode == 37 || keyCode == 39)
        AlignGrids();
}

void frm_dispData::AlignGrids()
{
    const grid::FlexGridModel &g = m_datagrid->grid();
    if (m_sorting || g.Rows() == 0 || g.Cols() == 0 || g.TextMatrix(0, 0).isEmpty())
        return;
    forms::BusyCursor busy;
}

void frm_dispData::mnu_clipboard_Click()
{
    guarded(this, "mnu_clipboard_Click", [&] {
        const grid::FlexGridModel &g = m_datagrid->grid();
        QClipboard *clipboard = QGuiApplication::clipboard();
        clipboard->clear();
        clipboard->setText(g.TextMatrix(g.RowSel(), g.ColSel()));
    });
}

void frm_dispData::mnu_metadati_Click()
{
    guarded(this, "mnu_metadati_Click", [&] {
        const grid::FlexGridModel &g = m_datagrid->grid();
        const QString header = g.TextMatrix(0, g.ColSel());
        if (!header.contains('_')) {
            forms::dialogs().msgBox("Informazioni per la variabile non disponibili!", forms::vbInformation);
            return;
        }
        app().SqlScheda = GetSqlScheda(m_kind, codeOf(header));
        openRegisteredForm(m_kind == "Variabili" ? "FRMSCHEDAVARIABILI" : "FRMSCHEDAINDICATORI");
    });
}

void frm_dispData::cmdInfo_Click()
{
    guarded(this, "cmdInfo_Click", [&] { forms::FormRegistry::showModal<frmNota>(this); });
}

void frm_dispData::cmdHelp_Click()
{
    guarded(this, "cmdHelp_Click", [&] { ShowHelp(helpContextId()); });
}

void frm_dispData::cmdChiudi_Click()
{
    guarded(this, "cmdChiudi_Click", [&] {
        app().NumFunz = 0;
        unload();
    });
}

void frm_dispData::cmdEsportaXls_Click()
{
    guarded(this, "cmdEsportaXls_Click", [&] {
        forms::setMousePointer(forms::MousePointer::Hourglass);
        // Exported in territory-code order; the grid stays in it.
        grid::FlexGridModel &g = m_datagrid->grid();
        g.setCol(1);
        g.setSort(grid::flexSortGenericAscending);
        TextTable cells(g.Rows(), QVector<QString>(g.Cols()));
        for (int r = 0; r < g.Rows(); ++r)
            for (int c = 0; c < g.Cols(); ++c)
                cells[r][c] = g.TextMatrix(r, c);
        EsportaTabella(cells, m_kind);
    });
    forms::setMousePointer(forms::MousePointer::Default);
}

void frm_dispData::cmdFunzione_Click()
{
    guarded(this, "cmdFunzione_Click", [&] {
        GridToArray(m_datagrid->grid());
        forms::FormRegistry::showModal<frmFunzione>(this);
    });
}

void frm_dispData::cmd_createmap_Click()
{
    mnu_createMap_Click();
}

namespace {
std::function<void(frm_dispData &)> &createMapHandler()
{
    static std::function<void(frm_dispData &)> handler;
    return handler;
}
}  // namespace

void frm_dispData::setCreateMapHandler(std::function<void(frm_dispData &)> handler)
{
    createMapHandler() = std::move(handler);
}

void frm_dispData::mnu_createMap_Click()
{
    if (createMapHandler())
        createMapHandler()(*this);
}

}  // namespace pendra
