// The map window: load sequence, class handlers, drawing through tMappa, identify, zoom and scale.
#include "frm_Mappa.h"

#include "ColorSwatch.h"
#include "LayerPanel.h"
#include "MapTable.h"
#include "PrintMappa.h"
#include "ShapeConfig.h"

#include "app/core/AppState.h"
#include "app/core/Guarded.h"
#include "app/core/Utility.h"
#include "app/query/frm_dispData.h"
#include "forms/DialogService.h"
#include "forms/FormRegistry.h"
#include "forms/MousePointer.h"
#include "forms/ScrollIntoView.h"
#include "forms/Twips.h"
#include "grid/FlexGrid.h"
#include "jet/Database.h"
#include "mapkit/ClassBreaksRenderer.h"
#include "mapkit/LegendWidget.h"
#include "mapkit/MapWidget.h"
#include "mapkit/ScaleBar.h"
#include "mapkit/ValueRenderer.h"
#include "vb/Conversions.h"
#include "vb/Error.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QSplitter>
#include <QStyledItemDelegate>
#include <QVBoxLayout>
#include <exception>

namespace pendra {

namespace {

constexpr int SwatchTwips = 300;
constexpr forms::OleColor White = 0xFFFFFF;
constexpr int HelpContextId = 1200;
// The splitter between the panels and the map never stands at or left of this x in the window.
constexpr double SplitterLimitTwips = 4270;

QString cstr(double value)
{
    return vb::CStr(vb::Variant(value));
}

QString inBrackets(double value)
{
    return QLatin1Char('(') + cstr(value) + QLatin1Char(')');
}

// A value label reads as its caption and the value it shows, not as an anonymous label.
void showValue(QLabel *label, const QString &caption, const QString &text)
{
    label->setText(text);
    label->setAccessibleName(caption + QLatin1Char(' ') + text);
}

frm_dispData &dataTable()
{
    frm_dispData *table = forms::FormRegistry::find<frm_dispData>();
    if (!table)
        throw vb::Error(91, QStringLiteral("La finestra dei dati non è aperta."));
    return *table;
}

std::shared_ptr<mapkit::ValueRenderer> NewValueRenderer(const QString &field, forms::OleColor color, int style)
{
    auto renderer = std::make_shared<mapkit::ValueRenderer>();
    renderer->setField(field);
    renderer->setUseDefault(true);
    mapkit::Symbol &symbol = renderer->defaultSymbol();
    symbol.symbolType = mapkit::FillSymbol;
    symbol.color = color;
    symbol.style = style;
    symbol.outline = true;
    symbol.outlineColor = 0;
    return renderer;
}

mapkit::Symbol NewFillSymbol(forms::OleColor color, int style)
{
    mapkit::Symbol symbol;
    symbol.symbolType = mapkit::FillSymbol;
    symbol.color = color;
    symbol.style = style;
    symbol.outline = true;
    symbol.outlineColor = 0;
    return symbol;
}

void AddRendererValue(mapkit::MapLayer &layer, const QString &value, forms::OleColor color, int style)
{
    auto renderer = std::dynamic_pointer_cast<mapkit::ValueRenderer>(layer.renderer());
    if (!renderer) {
        renderer = NewValueRenderer(QStringLiteral("FeatureId"), White, 0);
        layer.setRenderer(renderer);
    }
    const int slot = renderer->valueCount();
    renderer->setValueCount(slot + 1);
    renderer->setValue(slot, value);
    renderer->symbol(slot) = NewFillSymbol(color, style);
}

// The key filters see character keys only: Delete, arrows and Tab are not characters and pass.
bool refusedKey(QKeyEvent *key, bool numberBox)
{
    if (key->key() == Qt::Key_Backspace)
        return !numberBox;
    const QString text = key->text();
    if (text.isEmpty() || !text.at(0).isPrint())
        return false;
    const QChar c = text.at(0);
    if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
        return false;
    return !(numberBox && (c == QLatin1Char(',') || c == QLatin1Char('-')));
}

}  // namespace

QString ScaleLabelText(double s)
{
    const double shown = s <= 10 ? vb::Round(s, 2) : vb::Round(s, 0);
    return QStringLiteral("1 cm = ") + cstr(shown) + QStringLiteral(" km");
}

namespace {
// The class grid's swatches keep showing their class colour when selected (a new class is the
// selected row, and a swatch is clicked to change it); a selection highlight would hide it.
class SwatchDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        option->state &= ~QStyle::State_Selected;
        option->state &= ~QStyle::State_HasFocus;
    }
};

// A failing handler leaves no hourglass behind while its error is shown: the pointer is restored
// as the failure unwinds, before the guard logs it.
class PointerOnFailure {
public:
    ~PointerOnFailure()
    {
        if (std::uncaught_exceptions() > m_pending)
            forms::setMousePointer(forms::MousePointer::Default);
    }

private:
    int m_pending = std::uncaught_exceptions();
};
}  // namespace

template <class F> void frm_Mappa::handle(const char *procedure, F &&body)
{
    guarded(this, QString::fromLatin1(procedure), [&] {
        const PointerOnFailure pointer;
        body();
    });
}

frm_Mappa::frm_Mappa() : forms::Form(QStringLiteral("frm_Mappa"))
{
    setWindowTitle(QStringLiteral("Modulo cartografico"));
    setHelpContextId(HelpContextId);
    buildControls();
}

frm_Mappa::~frm_Mappa() = default;

void frm_Mappa::buildControls()
{
    auto label = [this](const QString &caption) {
        auto *l = new QLabel(caption, this);
        l->setAccessibleName(caption.isEmpty() ? QStringLiteral("etichetta") : caption);
        return l;
    };
    auto button = [this](const QString &caption) {
        auto *b = new QPushButton(caption, this);
        b->setAccessibleName(caption);
        return b;
    };
    auto group = [this](const QString &caption) {
        auto *g = new QGroupBox(caption, this);
        g->setAccessibleName(caption);
        return g;
    };
    auto box = [this](const QString &name) {
        auto *e = new QLineEdit(this);
        e->setAccessibleName(name);
        return e;
    };

    Map2 = new mapkit::MapWidget(this);
    Map2->setAccessibleName(QStringLiteral("Mappa"));
    Map2->setMinimumSize(400, 300);
    legend1 = new mapkit::LegendWidget(this);
    legend1->setAccessibleName(QStringLiteral("Legenda"));
    ScaleBar1 = new mapkit::ScaleBar(this);
    ScaleBar1->setAccessibleName(QStringLiteral("Barra di scala"));
    ScaleBar1->setFixedHeight(28);
    lblScalaKm = label(QString());
    showValue(lblScalaKm, QStringLiteral("Scala"), QString());

    lbl_RicercaPer = label(QStringLiteral("Tipo rappresentazione"));
    Option1 = new QRadioButton(QStringLiteral("Quartili"), this);
    Option2 = new QRadioButton(QStringLiteral("Classi di uguale ampiezza"), this);
    Option3 = new QRadioButton(QStringLiteral("Manuale"), this);
    for (QRadioButton *o : {Option1, Option2, Option3})
        o->setAccessibleName(o->text());

    Frame5 = group(QStringLiteral("Quartili"));
    Cmd_cmdAutocolor = button(QStringLiteral("Visualizza cartogramma"));
    lbl_mincolor = new ColorSwatch(QStringLiteral("scegli il colore iniziale"), this);
    lbl_maxcolor = new ColorSwatch(QStringLiteral("scegli il colore finale"), this);
    lbl_mincolor->setColor(0x80FFFF);
    lbl_maxcolor->setColor(0xFF5555);
    auto *g5 = new QGridLayout(Frame5);
    g5->addWidget(lbl_mincolor, 0, 0);
    g5->addWidget(label(QStringLiteral("scegli il colore iniziale")), 0, 1);
    g5->addWidget(lbl_maxcolor, 1, 0);
    g5->addWidget(label(QStringLiteral("scegli il colore finale")), 1, 1);
    g5->addWidget(Cmd_cmdAutocolor, 2, 0, 1, 2);

    Frame2 = group(QStringLiteral("Manuale"));
    txt_min = box(QStringLiteral("Minimo :"));
    txt_Max = box(QStringLiteral("Massimo :"));
    lbl_mincon = label(QString());
    lbl_maxcon = label(QString());
    lbl_colore = new ColorSwatch(QStringLiteral("assegna il colore alla classe"), this);
    lbl_colore->setColor(0);
    cmd_Select = button(QStringLiteral("Seleziona"));
    cmd_GoMap = button(QStringLiteral("Visualizza mappa"));
    auto *g2 = new QGridLayout(Frame2);
    g2->addWidget(label(QStringLiteral("Minimo :")), 0, 0);
    g2->addWidget(txt_min, 0, 1);
    g2->addWidget(lbl_mincon, 0, 2);
    g2->addWidget(label(QStringLiteral("Massimo :")), 1, 0);
    g2->addWidget(txt_Max, 1, 1);
    g2->addWidget(lbl_maxcon, 1, 2);
    g2->addWidget(label(QStringLiteral("assegna il colore alla classe")), 2, 0, 1, 2);
    g2->addWidget(lbl_colore, 2, 2);
    g2->addWidget(cmd_Select, 3, 0, 1, 2);
    g2->addWidget(cmd_GoMap, 3, 2);

    Frame3 = group(QStringLiteral("Classi di uguale ampiezza"));
    txtClassi = box(QStringLiteral("inserisci il numero delle classi"));
    txtClassi->setMaxLength(1);
    cmdSelClassiUgualeAmp = button(QStringLiteral("Seleziona"));
    Command2 = button(QStringLiteral("Visualizza mappa"));
    auto *g3 = new QGridLayout(Frame3);
    g3->addWidget(label(QStringLiteral("inserisci il numero delle classi")), 0, 0);
    g3->addWidget(txtClassi, 0, 1);
    g3->addWidget(label(QStringLiteral("(Max 9 classi)")), 0, 2);
    g3->addWidget(cmdSelClassiUgualeAmp, 1, 0, 1, 2);
    g3->addWidget(Command2, 1, 2);

    Frame6 = group(QStringLiteral("Statistiche"));
    Label9 = label(QString());
    Label11 = label(QString());
    Label12 = label(QString());
    auto *g6 = new QGridLayout(Frame6);
    g6->addWidget(label(QStringLiteral("Minimo")), 0, 0);
    g6->addWidget(Label9, 0, 1);
    g6->addWidget(label(QStringLiteral("Massimo")), 1, 0);
    g6->addWidget(Label11, 1, 1);
    g6->addWidget(label(QStringLiteral("Media")), 2, 0);
    g6->addWidget(Label12, 2, 1);

    fraCB = group(QStringLiteral("Click sul colore per modificare"));
    GridIndici = new grid::FlexGrid(fraCB);
    GridIndici->setAccessibleName(QStringLiteral("Classi"));
    GridIndici->grid().setFixedRows(0);
    GridIndici->grid().setCols(2);
    GridIndici->grid().setRows(1);
    GridIndici->setMinimumHeight(160);
    GridIndici->setItemDelegate(new SwatchDelegate(GridIndici));
    // The label column takes the grid's width beside the swatch column, whatever the window's size.
    GridIndici->horizontalHeader()->setStretchLastSection(true);
    GridIndici->horizontalHeader()->setMinimumSectionSize(1);  // the style's minimum is wider than a swatch
    (new QVBoxLayout(fraCB))->addWidget(GridIndici);

    cmdNota = button(QStringLiteral("Nota"));
    cmd_reset = button(QStringLiteral("Reset"));
    lbl_Ricfor = label(QString());
    lbl_Ricfor->setAccessibleName(QStringLiteral("Colonna"));
    txtVariabile = box(QStringLiteral("Variabile:"));
    txtVariabile->setReadOnly(true);

    chk_inform = new QCheckBox(QStringLiteral("Informazioni sul poligono"), this);
    chk_zoom = new QCheckBox(QStringLiteral("Zoom"), this);
    Avanz = new QCheckBox(QStringLiteral("Avanzate"), this);
    for (QCheckBox *c : {chk_inform, chk_zoom, Avanz})
        c->setAccessibleName(c->text());
    chk_inform->setChecked(true);
    Frame4 = new LayerPanel(this);
    Label6 = label(QStringLiteral("Informazioni sul territorio"));
    ListView1 = new QTreeWidget(this);
    ListView1->setAccessibleName(QStringLiteral("Informazioni sul territorio"));
    ListView1->setRootIsDecorated(false);
    ListView1->setColumnCount(0);
    cmd_close = button(QStringLiteral("Chiudi"));
    cmdHelp = button(QStringLiteral("Help"));
    cmd_export = button(QStringLiteral("Salva..."));
    cmd_Stampa = button(QStringLiteral("Salva e Stampa"));

    // Left: classification and panels; right: the map with its scale.
    auto *left = new QWidget(this);
    auto *l = new QVBoxLayout(left);
    auto *variable = new QHBoxLayout;
    variable->addWidget(label(QStringLiteral("Variabile:")));
    variable->addWidget(lbl_Ricfor);
    l->addLayout(variable);
    l->addWidget(txtVariabile);
    l->addWidget(lbl_RicercaPer);
    for (QWidget *w : {static_cast<QWidget *>(Option1), static_cast<QWidget *>(Option2), static_cast<QWidget *>(Option3)})
        l->addWidget(w);
    for (QWidget *w : {Frame5, Frame2, Frame3, Frame6, fraCB})
        l->addWidget(w);
    auto *resetRow = new QHBoxLayout;
    resetRow->addWidget(cmdNota);
    resetRow->addWidget(cmd_reset);
    l->addLayout(resetRow);
    l->addWidget(chk_inform);
    l->addWidget(chk_zoom);
    l->addWidget(Avanz);
    l->addWidget(Frame4);
    l->addWidget(Label6);
    l->addWidget(ListView1);
    l->addWidget(legend1);
    l->addStretch();
    auto *scroll = new QScrollArea(this);
    scroll->setWidget(left);
    scroll->setWidgetResizable(true);

    auto *right = new QWidget(this);
    auto *r = new QVBoxLayout(right);
    r->addWidget(Map2, 1);
    auto *scaleRow = new QHBoxLayout;
    scaleRow->addWidget(ScaleBar1, 1);
    scaleRow->addWidget(lblScalaKm);
    r->addLayout(scaleRow);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton *b : {cmd_export, cmd_Stampa, cmdHelp, cmd_close})
        buttons->addWidget(b);
    r->addLayout(buttons);

    picSplitter = new QSplitter(Qt::Horizontal, this);
    picSplitter->setAccessibleName(QStringLiteral("Separatore"));
    picSplitter->addWidget(scroll);
    picSplitter->addWidget(right);
    picSplitter->setStretchFactor(1, 1);
    auto *windowLayout = new QVBoxLayout(this);
    windowLayout->addWidget(picSplitter);
    // Neither pane collapses: a drag to the limit or beyond stops just right of it.
    picSplitter->setChildrenCollapsible(false);
    const int limit = int(forms::twipsToPixels(SplitterLimitTwips)) + 1;
    scroll->setMinimumWidth(limit - windowLayout->contentsMargins().left());

    connect(Option1, &QRadioButton::toggled, this, [this](bool on) { if (on) Option1_Click(); });
    connect(Option2, &QRadioButton::toggled, this, [this](bool on) { if (on) Option2_Click(); });
    connect(Option3, &QRadioButton::toggled, this, [this](bool on) { if (on) Option3_Click(); });
    connect(Cmd_cmdAutocolor, &QPushButton::clicked, this, [this] { Cmd_cmdAutocolor_Click(); });
    connect(cmd_Select, &QPushButton::clicked, this, [this] { cmd_Select_Click(); });
    connect(cmdSelClassiUgualeAmp, &QPushButton::clicked, this, [this] { cmdSelClassiUgualeAmp_Click(); });
    connect(cmd_GoMap, &QPushButton::clicked, this, [this] { cmd_GoMap_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    connect(cmd_reset, &QPushButton::clicked, this, [this] { cmd_reset_Click(); });
    connect(cmdNota, &QPushButton::clicked, this, [this] { cmdNota_Click(); });
    connect(GridIndici, &grid::FlexGrid::Click, this, [this] { GridIndici_Click(); });
    connect(lbl_colore, &ColorSwatch::clicked, this, [this] { lbl_colore_Click(); });
    connect(lbl_mincolor, &ColorSwatch::clicked, this, [this] { lbl_mincolor_Click(); });
    connect(lbl_maxcolor, &ColorSwatch::clicked, this, [this] { lbl_maxcolor_Click(); });
    connect(chk_inform, &QCheckBox::toggled, this, [this] { chk_inform_Click(); });
    connect(chk_zoom, &QCheckBox::toggled, this, [this] { chk_zoom_Click(); });
    connect(Avanz, &QCheckBox::toggled, this, [this] { Avanz_Click(); });
    connect(Map2, &mapkit::MapWidget::mouseDown, this,
            [this](int button, int shift, double x, double y) { Map2_MouseDown(button, shift, x, y); });
    connect(Map2, &mapkit::MapWidget::afterLayerDraw, this, [this] { RefreshScale(); });
    connect(legend1, &mapkit::LegendWidget::layerVisibilityChanged, this, [this] {
        handle("legend1_AfterSetLayerVisible", [&] { Map2->refresh(); });
    });
    connect(cmd_close, &QPushButton::clicked, this, [this] { cmd_close_Click(); });
    connect(cmdHelp, &QPushButton::clicked, this, [this] { cmdHelp_Click(); });
    connect(cmd_export, &QPushButton::clicked, this, [this] { cmd_export_Click(); });
    connect(cmd_Stampa, &QPushButton::clicked, this, [this] { cmd_Stampa_Click(); });
    for (QLineEdit *e : {txt_min, txt_Max, txtClassi})
        e->installEventFilter(this);
}

bool frm_Mappa::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && (watched == txt_min || watched == txt_Max || watched == txtClassi))
        return refusedKey(static_cast<QKeyEvent *>(event), watched != txtClassi);
    return forms::Form::eventFilter(watched, event);
}

MapTable frm_Mappa::mapTable() const
{
    return MapTable(app().FilesPath, app().DaoConnect);
}

MapColumn frm_Mappa::mappedColumn() const
{
    const grid::FlexGridModel &g = dataTable().datagrid2()->grid();
    MapColumn cells;
    cells.reserve(g.Rows());
    for (int row = 0; row < g.Rows(); ++row)
        cells << g.TextMatrix(row, m_mappedCol);
    return cells;
}

QStringList frm_Mappa::territoryCodes() const
{
    const grid::FlexGridModel &g = dataTable().datagrid2()->grid();
    const int col = app().MapKind == 2 ? 2 : 1;
    QStringList codes;
    codes.reserve(g.Rows());
    for (int row = 0; row < g.Rows(); ++row)
        codes << g.TextMatrix(row, col);
    return codes;
}

void frm_Mappa::formLoad()
{
    handle("Form_Load", [&] {
        Option1->setChecked(true);
        Option1_Click();
        fraCB->hide();
        clearClassGrid();
        MapTableName = MapTable::MapTableName;

        frm_dispData &table = dataTable();
        const grid::FlexGridModel &data = table.datagrid()->grid();
        lbl_Ricfor->setText(data.TextMatrix(0, data.ColSel()));
        txtVariabile->setText(lbl_Ricfor->text() + QStringLiteral(": ") + table.lblDescVar()->toPlainText());
        m_mappedCol = table.datagrid2()->grid().ColSel();

        const ColumnStatistics stats = ColumnStats(mappedColumn());
        MinValue = stats.MinValue;
        MaxValue = stats.MaxValue;
        MeanValue = stats.MeanValue;
        showValue(lbl_mincon, QStringLiteral("Minimo della colonna"), inBrackets(MinValue));
        showValue(lbl_maxcon, QStringLiteral("Massimo della colonna"), inBrackets(MaxValue));
        showValue(Label9, QStringLiteral("Minimo"), inBrackets(vb::Round(MinValue, 2)));
        showValue(Label11, QStringLiteral("Massimo"), inBrackets(vb::Round(MaxValue, 2)));
        showValue(Label12, QStringLiteral("Media"), inBrackets(vb::Round(MeanValue, 2)));

        ListView1->setHeaderLabels({QStringLiteral("Campo"), QStringLiteral("Valore")});
        cmd_GoMap->setEnabled(false);
        Command2->setEnabled(false);
        cmd_Stampa->hide();  // offered once a map is drawn
        txt_min->setText(cstr(MinValue));
        txt_Max->setText(cstr(MaxValue));
        Avanz_Click();
        GridIndici->grid().setColWidth(0, SwatchTwips);
        resizeTwips(16000, 11000);
        SetFormLayout(*this);  // placed on the size it opens with

        Frame4->bind(Map2, legend1, &MapLayers, app().FilesPath, app().MapCase);
        loadMapLayers();
        Frame4->fillLayers();
    });
}

void frm_Mappa::loadMapLayers()
{
    LoadLayers(*Map2, MapLayers, MatchLayerIndex, app().FilesPath, app().ShapePath, app().MapCase,
               [this] { RefreshScale(); });
    ApplyLayerSymbols(MapLayers);
    legend1->setMap(Map2);
    legend1->loadLegend();
    legend1->refresh();
    legend1->hide();
}

void frm_Mappa::formUnload()
{
    handle("Form_Unload", [&] { mapTable().DeleteMapQuery(); });
}

// --- classification -------------------------------------------------------------------------

void frm_Mappa::Option1_Click()
{
    Frame5->show();
    Frame3->hide();
    Frame2->hide();
    Option3->setChecked(false);
    Option2->setChecked(false);
    cmdNota->show();
    fraCB->setTitle(QString());
}

void frm_Mappa::Option2_Click()
{
    Frame3->show();
    Frame2->hide();
    Frame5->hide();
    Option3->setChecked(false);
    Option1->setChecked(false);
    cmdNota->hide();
}

void frm_Mappa::Option3_Click()
{
    Frame2->show();
    Frame5->hide();
    Frame3->hide();
    Option2->setChecked(false);
    Option1->setChecked(false);
    cmdNota->hide();
    fraCB->setTitle(QStringLiteral("Click sul colore per modificare"));
}

int frm_Mappa::getMinMaxIndex(const QString &kind)
{
    int index = 0;
    handle("getMinMaxIndex", [&] { index = pendra::getMinMaxIndex(mappedColumn(), kind, MinValue); });
    return index;
}

void frm_Mappa::showMessage(const ClassMessage &message)
{
    forms::dialogs().msgBox(message.text, message.style, message.title);
    QLineEdit *focus = message.focus == ClassMessage::MinBox   ? txt_min
                       : message.focus == ClassMessage::MaxBox ? txt_Max
                       : message.focus == ClassMessage::ClassBox ? txtClassi
                                                                 : nullptr;
    if (focus)
        focus->setFocus();
}

void frm_Mappa::addClassRow(forms::OleColor color, const QString &label)
{
    grid::FlexGridModel &g = GridIndici->grid();
    if (GridIndici->isHidden()) {
        GridIndici->show();
    } else {
        g.setRows(g.Rows() + 1);
    }
    g.setRow(g.Rows() - 1);
    g.setCol(0);
    g.setCellBackColor(color);
    g.setTextMatrix(g.Row(), 1, label);
}

void frm_Mappa::clearClassGrid()
{
    GridIndici->hide();
    grid::FlexGridModel &g = GridIndici->grid();
    g.setRows(1);
    g.Clear();
    g.setCellBackColor(0, 0, White);
}

void frm_Mappa::cmd_Select_Click()
{
    handle("cmd_Select_Click", [&] {
        cmdSelClassiUgualeAmp->setEnabled(false);
        Cmd_cmdAutocolor->setEnabled(false);
        fraCB->show();
        ClassBoxes boxes{txt_min->text(), txt_Max->text()};
        const ManualStep step = ManualClass(boxes, {MinValue, MaxValue, MeanValue}, lbl_colore->color());
        txt_min->setText(boxes.txtMin);
        txt_Max->setText(boxes.txtMax);
        if (step.message) {
            showMessage(*step.message);
            return;
        }
        addClassRow(step.added->color, step.added->label);
        if (step.complete) {
            cmd_GoMap->setEnabled(true);
            cmd_Select->setEnabled(false);
            txt_min->setEnabled(false);
            txt_Max->setEnabled(false);
        }
    });
}

void frm_Mappa::cmdSelClassiUgualeAmp_Click()
{
    handle("cmdSelClassiUgualeAmp_Click", [&] {
        fraCB->show();
        cmd_Select->setEnabled(false);
        ClassBoxes boxes{txt_min->text(), txt_Max->text()};
        bool ok = false;
        const int n = txtClassi->text().trimmed().toInt(&ok);
        const auto ramp = mapkit::colorRamp(0x80FFFF, 0xFF5555, ok && n > 0 ? n : 1);
        const EqualWidthStep step = EqualWidthClasses(boxes, txtClassi->text(), {MinValue, MaxValue, MeanValue}, ramp);
        txt_min->setText(boxes.txtMin);
        txt_Max->setText(boxes.txtMax);
        if (step.message) {
            showMessage(*step.message);
            return;
        }
        for (const ClassRow &row : step.rows)
            addClassRow(row.color, row.label);
        if (step.complete) {
            Command2->setEnabled(true);
            cmdSelClassiUgualeAmp->setEnabled(false);
        }
        Map2->refresh();
        forms::setMousePointer(forms::MousePointer::Default);
        cmd_GoMap->setEnabled(false);
        Cmd_cmdAutocolor->setEnabled(false);
        cmd_Stampa->show();
    });
}

std::shared_ptr<mapkit::MapLayer> frm_Mappa::matchLayerObject()
{
    MapLayerRecord &record = MapLayers[MatchLayerIndex];
    if (!record.Layer) {
        record.Layer = std::make_shared<mapkit::MapLayer>();
        record.Layer->setName(record.GeoName);
    }
    return record.Layer;
}

void frm_Mappa::ColorAreasByClass(const MapTable &table, mapkit::MapLayer &layer,
                                  const mapkit::ClassBreaksRenderer &classes, const QString &field)
{
    layer.setRenderer(NewValueRenderer(field, White, 0));
    jet::Recordset rs = table.UserDb().openRecordset(QStringLiteral("Select * from ") + MapTableName);
    // Fields found once, not per row; an absent one fails on the first row as a lookup by name does.
    const auto fieldOf = [&rs](const QString &name) {
        const int index = rs.fieldIndex(name);
        if (index < 0)
            rs.value(name);
        return index;
    };
    if (!rs.eof()) {
        const int n4Field = fieldOf(QStringLiteral("N4"));
        std::optional<int> codeField;  // looked up at the first classed row, as by name
        for (; !rs.eof(); rs.moveNext()) {
            const vb::Variant n4 = rs.value(n4Field);
            if (n4.isNull() || n4.isEmpty())
                continue;
            if (!codeField)
                codeField = fieldOf(QStringLiteral("N_QUIRN"));
            const forms::OleColor color = classes.symbol(vb::CInt(n4) - 1).color;
            AddRendererValue(layer, vb::CStr(rs.value(*codeField)), color, 0);
        }
    }
    rs.close();
}

void frm_Mappa::finishDrawing()
{
    Map2->refresh();
    legend1->loadLegend(true);
    legend1->refresh();
}

void frm_Mappa::cmd_GoMap_Click()
{
    handle("cmd_GoMap_Click", [&] {
        forms::setMousePointer(forms::MousePointer::Hourglass);
        const MapTable table = mapTable();
        table.SaveMapQuery(app().MapKind, lbl_Ricfor->text());
        const MapColumn cells = mappedColumn();
        const int first = pendra::getMinMaxIndex(cells, QStringLiteral("MIN"), MinValue);
        const int end = pendra::getMinMaxIndex(cells, QStringLiteral("MAX"), MinValue);
        grid::FlexGridModel &g = GridIndici->grid();
        QVector<ClassBounds> classes;
        for (int row = 0; row < g.Rows(); ++row)
            classes.append(LabelBounds(g.TextMatrix(row, 1)));
        table.FillMapQuery(app().MapKind, MapTableRows(territoryCodes(), cells, first, end, [&](int, double value) {
                               return MatchClass(classes, value);
                           }));

        std::shared_ptr<mapkit::MapLayer> target;
        if (Map2->layerCount() == 2 && Map2->layer(0)->name() == QLatin1String("Regioni") &&
            Map2->layer(1)->name() == QLatin1String("com2001"))
            target = Map2->layer(0);
        else if (Map2->layerCount() > 0)
            target = Map2->layer(Map2->layerCount() - 1);

        auto breaks = std::make_shared<mapkit::ClassBreaksRenderer>();
        breaks->setField(lbl_Ricfor->text());
        if (g.Rows() > 1) {
            breaks->setBreakCount(g.Rows() - 1);
            for (int i = 0; i < g.Rows() - 1; ++i)
                breaks->setBreakValue(i, RendererUpperBound(g.TextMatrix(i, 1)));
        } else {
            breaks->setBreakCount(1);
            breaks->setBreakValue(0, RendererUpperBound(g.TextMatrix(0, 1)));
        }
        for (int i = 0; i < g.Rows(); ++i) {
            mapkit::Symbol &symbol = breaks->symbol(i);
            symbol.color = g.cellBackColor(i, 0);
            symbol.outlineColor = 0;
            symbol.outline = true;
        }
        if (MatchLayerIndex >= 0 && MatchLayerIndex < MapLayers.size()) {
            matchLayerObject()->setRenderer(breaks);
            if (target)
                ColorAreasByClass(table, *target, *breaks, MapLayers[MatchLayerIndex].FieldId);
        }
        finishDrawing();
        cmd_Stampa->show();
        Cmd_cmdAutocolor->setEnabled(false);
        addClassRow(White, QStringLiteral("Dato non presente"));
        forms::setMousePointer(forms::MousePointer::Default);
        cmd_GoMap->setEnabled(false);
    });
}

void frm_Mappa::Command2_Click()
{
    cmd_GoMap_Click();
    Command2->setEnabled(false);
}

void frm_Mappa::Cmd_cmdAutocolor_Click()
{
    handle("cmd_cmdAutocolor_Click", [&] {
        const MapTable table = mapTable();
        MapTable::Batch batch(table);
        resetDrawing(table);
        fraCB->show();
        table.SaveMapQuery(app().MapKind, lbl_Ricfor->text());
        forms::setMousePointer(forms::MousePointer::Hourglass);
        const MapColumn cells = mappedColumn();
        const int first = pendra::getMinMaxIndex(cells, QStringLiteral("MIN"), MinValue);
        const int end = pendra::getMinMaxIndex(cells, QStringLiteral("MAX"), MinValue);
        const QuartileClasses quartiles = MakeQuartileClasses(cells, first, end);
        table.FillMapQuery(app().MapKind, MapTableRows(territoryCodes(), cells, first, end, [&](int row, double) {
                               return std::optional<int>(quartiles.classOfRow[row]);
                           }));
        batch.finish();
        if (quartiles.equalBounds)
            forms::dialogs().msgBox(classmsg::QuartileWarning(), forms::vbExclamation, QStringLiteral("ATTENZIONE!"));
        if (MatchLayerIndex < 0 || MatchLayerIndex >= MapLayers.size()) {
            forms::setMousePointer(forms::MousePointer::Default);
            return;
        }
        const MapLayerRecord &record = MapLayers[MatchLayerIndex];

        auto breaks = std::make_shared<mapkit::ClassBreaksRenderer>();
        breaks->setBreakCount(3);
        for (int i = 0; i < 3; ++i)
            breaks->setBreakValue(i, i + 2);
        breaks->rampColors(lbl_mincolor->color(), lbl_maxcolor->color());
        const forms::OleColor outline = matchLayerObject()->symbol().outlineColor;
        for (int i = 0; i < quartiles.labels.size(); ++i) {
            addClassRow(breaks->symbol(i).color, quartiles.labels[i]);
            breaks->symbol(i).outlineColor = outline;
            breaks->symbol(i).outline = true;
        }
        matchLayerObject()->setRenderer(breaks);

        const int position = MatchLayerIndex == 1 ? 0 : 1;
        if (Map2->layerCount() > 0)
            ColorAreasByClass(table, *Map2->layer(std::min(position, Map2->layerCount() - 1)), *breaks, record.FieldId);
        finishDrawing();
        forms::setMousePointer(forms::MousePointer::Default);
        for (QWidget *w : std::initializer_list<QWidget *>{cmd_GoMap, txt_Max, txt_min, cmd_Select, cmdSelClassiUgualeAmp})
            w->setEnabled(false);
        cmd_Stampa->show();
        addClassRow(White, QStringLiteral(" Dato non presente"));
    });
}

void frm_Mappa::cmd_reset_Click()
{
    resetDrawing(mapTable());
}

void frm_Mappa::resetDrawing(const MapTable &table)
{
    handle("cmd_reset_Click", [&] {
        txtClassi->clear();
        for (QWidget *w : std::initializer_list<QWidget *>{cmd_Select, Cmd_cmdAutocolor, cmdSelClassiUgualeAmp, txt_Max, txt_min})
            w->setEnabled(true);
        cmd_GoMap->setEnabled(false);
        Command2->setEnabled(false);
        fraCB->hide();
        txt_Max->setText(cstr(MaxValue));
        txt_min->setText(cstr(MinValue));
        clearClassGrid();
        table.DeleteMapQuery();
        // Held through the reload so the new layers share the files these already read and drew.
        QVector<std::shared_ptr<mapkit::MapLayer>> previous;
        for (int i = 0; i < Map2->layerCount(); ++i)
            previous.append(Map2->layer(i));
        for (int i = Map2->layerCount(); i > 0; --i)
            Map2->removeLayer(0);
        Map2->refresh();
        legend1->resetLegend();
        loadMapLayers();
    });
}

void frm_Mappa::cmdNota_Click()
{
    forms::dialogs().msgBox(classmsg::Nota, forms::vbInformation);
}

void frm_Mappa::chooseColor(ColorSwatch *swatch)
{
    // A cancelled dialog keeps the colour the swatch showed.
    if (const auto color = forms::dialogs().chooseColor(swatch->color()))
        swatch->setColor(*color);
}

void frm_Mappa::lbl_colore_Click()
{
    handle("lbl_colore_Click", [&] { chooseColor(lbl_colore); });
}

void frm_Mappa::lbl_mincolor_Click()
{
    handle("lbl_mincolor_Click", [&] { chooseColor(lbl_mincolor); });
}

void frm_Mappa::lbl_maxcolor_Click()
{
    handle("lbl_maxcolor_Click", [&] { chooseColor(lbl_maxcolor); });
}

void frm_Mappa::GridIndici_Click()
{
    handle("GridIndici_Click", [&] {
        grid::FlexGridModel &g = GridIndici->grid();
        if (g.Col() != 0)
            return;
        if (const auto color = forms::dialogs().chooseColor(g.CellBackColor()))
            g.setCellBackColor(*color);
    });
}

// --- interaction ----------------------------------------------------------------------------

void frm_Mappa::chk_inform_Click()
{
    if (m_switching)
        return;
    m_switching = true;
    chk_zoom->setChecked(!chk_inform->isChecked());
    m_switching = false;
}

void frm_Mappa::chk_zoom_Click()
{
    if (m_switching)
        return;
    m_switching = true;
    chk_inform->setChecked(!chk_zoom->isChecked());
    m_switching = false;
}

void frm_Mappa::Map2_MouseDown(int button, int shift, double x, double y)
{
    if (!chk_zoom->isChecked()) {
        DoIdentify(x, y);
        return;
    }
    handle("Map2_MouseDown", [&] {
        forms::setMousePointer(forms::MousePointer::Hourglass);
        if (button == 1)
            DoZoom(shift);
        else if (button == 2)
            Map2->setExtent(Map2->fullExtent());
        RefreshScale();
        forms::setMousePointer(forms::MousePointer::Default);
    });
}

void frm_Mappa::DoZoom(int shift)
{
    handle("DoZoom", [&] {
        if (shift != 0) {
            Map2->setExtent(Map2->extent().scaled(1.5));
        } else if (const auto rect = Map2->trackRectangle()) {
            Map2->setExtent(*rect);
        }
    });
}

void frm_Mappa::DoIdentify(double x, double y)
{
    if (GridIndici->grid().Rows() < 2)
        return;
    // Up to the found code, a failing step is skipped and the next one runs.
    QPointF point;
    MapLayerRecord record;
    std::shared_ptr<mapkit::MapLayer> layer;
    mapkit::MapRecordset found;
    try { point = Map2->toMapPoint(x, y); } catch (...) {}
    try {
        matchLayerObject();
        record = MapLayers.at(MatchLayerIndex);
        layer = Map2->layer(record.GeoName);
    } catch (...) {}
    try {
        if (layer) {
            found = layer->shapeType() == mapkit::ShapeType::Polygon
                        ? layer->searchShape(point)
                        : layer->searchByDistance(point, Map2->toMapDistance(100));
        }
    } catch (...) {}
    try {
        if (!found.eof())
            Map2->flashShape(found.shape(), 3);
    } catch (...) {}
    if (found.eof()) {
        ListView1->clear();
        return;
    }
    QString code;
    try { code = found.text(record.FieldId); } catch (...) {}

    handle("DoIdentify", [&] {
        const QString v = lbl_Ricfor->text();
        const QString t = MapTableName;
        QString valueSql, namesSql;
        if (record.GeoName == QLatin1String("regioni") || record.GeoName == QLatin1String("nuts2")) {
            valueSql = "select [" + v + "] from " + t + " where [" + t + "].n_quirn = '" + code + "'";
        } else if (record.GeoName == QLatin1String("province107") || record.GeoName == QLatin1String("province103")) {
            valueSql = "select [" + v + "] from " + t + " where [" + t + "].n_quirn = " + code;
        }
        if (record.GeoName == QLatin1String("regioni")) {
            namesSql = "SELECT land_Ind.DES_TERR from land_Ind INNER JOIN land ON land_Ind.cod_terr = land.cod_terr "
                       "WHERE (land_Ind.cod_tipo_terr = 2 or land_Ind.cod_tipo_terr = 22) and land_Ind.cod_terr = '" +
                       code + "'";
        } else if (record.GeoName == QLatin1String("province107") || record.GeoName == QLatin1String("province103")) {
            namesSql = "SELECT land.Provincia, land.REGIONE FROM land_Ind INNER JOIN land ON land_Ind.PROV = land.N_PROV "
                       "where (land_Ind.cod_tipo_terr = 1 or land_Ind.cod_tipo_terr =6) and land_Ind.prov = " + code;
        } else if (record.GeoName == QLatin1String("nuts2")) {
            namesSql = "SELECT land.NUTS2 FROM land_Ind INNER JOIN land ON land_Ind.cod_terr = land.cod_terr "
                       "where land_Ind.cod_terr = '" + code + "'";
        }
        jet::Database territory =
            jet::Database::open(app().DataPath + QStringLiteral("territorio.mdb"), false, true, app().DaoConnect);
        const MapTable table = mapTable();
        jet::Database user = table.OpenUserDb();
        // Before the first drawing there is no map table: the names alone, without a value.
        const bool drawn = user.tableDef(MapTableName).has_value() || valueSql.isEmpty();
        jet::Recordset values;
        if (drawn)
            values = user.openRecordset(valueSql, true);
        jet::Recordset names = territory.openRecordset(namesSql, true);
        ListView1->clear();
        for (jet::Recordset *rs : {&values, &names}) {
            if (!rs->isOpen() || rs->eof())
                continue;
            for (int i = 0; i < rs->fieldCount(); ++i) {
                const vb::Variant value = rs->value(i);
                auto *item = new QTreeWidgetItem(ListView1);
                item->setText(0, rs->fieldName(i));
                item->setText(1, value.isNull() ? QString() : vb::CStr(value));
            }
        }
        AutoSizeColumns();
        if (ListView1->isVisible())
            forms::scrollIntoView(Label6, ListView1);  // the answer, however far down the pane
        values.close();
        names.close();
        user.close();
        territory.close();
    });
}

void frm_Mappa::AutoSizeColumns()
{
    int longestValue = 0, longestName = 0;
    for (int i = 0; i < ListView1->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *item = ListView1->topLevelItem(i);
        longestValue = std::max(longestValue, int(item->text(1).size()));
        longestName = std::max(longestName, int(item->text(0).size()));
    }
    const QFontMetrics metrics(ListView1->font());
    const int charWidth = metrics.horizontalAdvance(QLatin1Char('M'));
    ListView1->setColumnWidth(1, std::max(40, longestValue * charWidth));
    ListView1->setColumnWidth(0, std::max(40, longestName * charWidth));
}

void frm_Mappa::RefreshScale()
{
    // Each step runs even when an earlier one fails.
    try {
        const mapkit::MapRect e = Map2->extent();
        ScaleBar1->setMapExtent({e.left, e.bottom, e.right, e.top});
    } catch (...) {}
    try {
        const QRect r = Map2->geometry();
        ScaleBar1->setPageExtent({double(r.left()), double(r.top()), double(r.left() + r.width()),
                                  double(r.top() + r.height())});
    } catch (...) {}
    try {
        showValue(lblScalaKm, QStringLiteral("Scala"), ScaleLabelText(ScaleBar1->scaleValue() / 100000));
    } catch (...) {}
    try {
        ScaleBar1->refresh();
    } catch (...) {}
}

void frm_Mappa::Avanz_Click()
{
    const bool on = Avanz->isChecked();
    Frame4->setVisible(on);
    Label6->setVisible(on);
    ListView1->setVisible(on);
    if (on && isVisible())
        forms::scrollIntoView(Frame4, ListView1);  // what was just opened, not only its caption
}

void frm_Mappa::cmd_close_Click()
{
    unload();
}

void frm_Mappa::cmdHelp_Click()
{
    handle("cmdHelp_Click", [&] { ShowHelp(helpContextId()); });
}

void frm_Mappa::cmd_export_Click()
{
    handle("cmd_export_Click", [&] { ShowPrintMappa(*this); });
}

void frm_Mappa::cmd_Stampa_Click()
{
    handle("cmd_Stampa_Click", [&] { ShowPrintMappa(*this); });
}

// --- print layout source --------------------------------------------------------------------

QSize frm_Mappa::exportSnapshot(const QString &path)
{
    return Map2->exportPicture(path);
}

QVector<MapClassRow> frm_Mappa::classRows()
{
    QVector<MapClassRow> rows;
    const grid::FlexGridModel &g = GridIndici->grid();
    for (int row = 0; row < g.Rows(); ++row)
        rows.append({g.cellBackColor(row, 0), g.TextMatrix(row, 1)});
    return rows;
}

QString frm_Mappa::description()
{
    return txtVariabile->text();
}

}  // namespace pendra
