// Print layout window: design, loading from the map window, editing handlers, printing and saving.
#include "PrintMappa.h"

#include "ColorSwatch.h"
#include "PagePreview.h"
#include "cDIBSection.h"
#include "mIntelJPEGLibrary.h"

#include "app/core/Program.h"
#include "app/core/Utility.h"

#include "forms/DialogService.h"
#include "forms/FontFamilies.h"
#include "forms/FormRegistry.h"
#include "forms/Printers.h"
#include "vb/Conversions.h"
#include "vb/DurableFile.h"
#include "vb/Error.h"

#include <QBuffer>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QFormLayout>
#include <QGuiApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QTemporaryFile>
#include <QVBoxLayout>
#include <algorithm>

namespace pendra {

namespace {

constexpr double PrintScale = 1.85;
constexpr int HelpContextId = 1300;
const char *const DefaultTitle = "Inserire un Titolo";
const char *const DefaultDescription = "Inserire una decrizione della variabile";
const char *const WholeLegendItem = "(Tutta la legenda)";

// The border buttons: each "+" widens its margin, each "-" narrows it.
struct BorderButton {
    const char *name;
    const char *caption;
    const char *group;
    PrintLayout::Side side;
    bool plus;
};
const BorderButton BorderButtons[] = {
    {"cmd_margSuppiu", "+", "Margine Superiore", PrintLayout::Superiore, true},
    {"cmd_margSupmen", "-", "Margine Superiore", PrintLayout::Superiore, false},
    {"cmd_marInfmen", "+", "Margine Inferiore", PrintLayout::Inferiore, true},
    {"cmd_marInfpiu", "-", "Margine Inferiore", PrintLayout::Inferiore, false},
    {"cmd_mardesmen", "+", "Margine Destro", PrintLayout::Destro, true},
    {"cmd_mardespiu", "-", "Margine Destro", PrintLayout::Destro, false},
    {"cmd_marsinpiu", "+", "Margine Sinistro", PrintLayout::Sinistro, true},
    {"cmd_marsinmen", "-", "Margine Sinistro", PrintLayout::Sinistro, false},
};

MapLayoutSource *&pendingSource()
{
    static MapLayoutSource *source = nullptr;
    return source;
}

QString savedMessage(const QString &name, bool ok)
{
    return QStringLiteral("Immagine ") + name +
           (ok ? QStringLiteral(" salvata correttamente.") : QStringLiteral(" non salvata correttamente."));
}

template <class W>
W *named(W *widget, const QString &name, const QString &caption)
{
    widget->setObjectName(name);
    widget->setAccessibleName(caption);
    return widget;
}

QComboBox *comboBox(QWidget *parent, const char *name, const QString &caption)
{
    return named(new QComboBox(parent), name, caption);
}

QCheckBox *visibleBox(QWidget *parent, const char *name)
{
    auto *box = named(new QCheckBox(QStringLiteral("Visibile"), parent), name, QStringLiteral("Visibile"));
    return box;
}

// A "Colore" button painted in its colour; disabled, it is washed out and its caption greyed.
void setSwatch(QPushButton *button, double colour)
{
    button->setProperty("oleColor", colour);
    const QColor c = forms::toQColor(static_cast<forms::OleColor>(static_cast<qint64>(colour)));
    const QString text = c.lightness() < 128 ? QStringLiteral("white") : QStringLiteral("black");
    const QPalette palette = QGuiApplication::palette();
    button->setStyleSheet(QStringLiteral("QPushButton { color: %1; background-color: %2; }"
                                         "QPushButton:disabled { color: %3; background-color: %4; }")
                              .arg(text, c.name(), palette.color(QPalette::Disabled, QPalette::ButtonText).name(),
                                   disabledSwatchColor(c, palette).name()));
}

QPushButton *swatch(QWidget *parent, const char *name)
{
    auto *button = named(new QPushButton(QStringLiteral("Colore"), parent), name, QStringLiteral("Colore"));
    setSwatch(button, 0.0);
    return button;
}

// The controls of a text element's tab (title, description): its text, font, size, colour and
// visibility, in that order.
struct TextTab {
    QWidget *page;
    QLineEdit *text;
    QComboBox *font, *size;
    QPushButton *colour;
    QCheckBox *visible;
};

TextTab textTab(const QString &textCaption, const char *textName, const char *fontName, const char *sizeName,
                const char *colourName, const char *visibleName)
{
    TextTab t;
    t.page = new QWidget;
    auto *form = new QFormLayout(t.page);
    t.text = named(new QLineEdit(t.page), QString::fromLatin1(textName), textCaption);
    t.font = comboBox(t.page, fontName, QStringLiteral("Tipo Carattere"));
    t.size = comboBox(t.page, sizeName, QStringLiteral("Grandezza Carattere"));
    t.colour = swatch(t.page, colourName);
    t.visible = visibleBox(t.page, visibleName);
    form->addRow(textCaption, t.text);
    form->addRow(QStringLiteral("Tipo Carattere"), t.font);
    form->addRow(QStringLiteral("Grandezza Carattere"), t.size);
    form->addRow(t.colour);
    form->addRow(t.visible);
    return t;
}

// The paper size in inches, from millimetres: Qt rounds its inch sizes to two decimals.
QSizeF pageInches(const QPrinter &printer)
{
    return printer.pageLayout().fullRect(QPageLayout::Millimeter).size() / 25.4;
}

void fillSizes(QComboBox *box)
{
    for (int n = 1; n <= 50; ++n)
        box->addItem(QString::number(n));
}

}  // namespace

void ShowPrintMappa(MapLayoutSource &source)
{
    if (PrintMappa *open = forms::FormRegistry::find<PrintMappa>()) {
        forms::FormRegistry::showForm(open);
        return;
    }
    pendingSource() = &source;
    PrintMappa *window = nullptr;
    try {
        window = forms::FormRegistry::get<PrintMappa>();
    } catch (...) {
    }
    pendingSource() = nullptr;
    if (!window)
        return;
    if (!window->layout()) {
        window->unload();
        return;
    }
    forms::FormRegistry::showForm(window);
}

PrintMappa::PrintMappa() : forms::Form(QStringLiteral("PrintMappa")), m_printer(QPrinter::HighResolution)
{
    setWindowTitle(QStringLiteral("Stampa cartogramma"));
    setHelpContextId(HelpContextId);
    m_printer.setFullPage(true);  // page coordinates start at the paper's corner
    if (!forms::hasPrinter())
        m_printer.setOutputFormat(QPrinter::PdfFormat);

    auto *outer = new QHBoxLayout(this);
    auto *left = new QVBoxLayout;
    outer->addLayout(left);
    auto *heading = named(new QLabel(QStringLiteral("Stampa Cartogramma"), this), QStringLiteral("Label1"),
                          QStringLiteral("Stampa Cartogramma"));
    QFont headingFont = heading->font();
    headingFont.setBold(true);
    heading->setFont(headingFont);

    SSTab1 = named(new QTabWidget(this), QStringLiteral("SSTab1"), QStringLiteral("Schede"));
    SSTab1->setMinimumWidth(440);  // all five tab captions in view
    left->addWidget(SSTab1);

    // 0 "Titolo"
    const TextTab titolo = textTab(QStringLiteral("Titolo"), "txt_Titolo", "cmb_Font", "cmb_Fontsize", "lbl_colore",
                                   "Chk_Titolo");
    txt_Titolo = titolo.text;
    cmb_Font = titolo.font;
    cmb_Fontsize = titolo.size;
    lbl_colore = titolo.colour;
    Chk_Titolo = titolo.visible;
    SSTab1->addTab(titolo.page, QStringLiteral("Titolo"));

    // 1 "Cartogramma"
    auto *cartina = new QWidget;
    auto *cf = new QFormLayout(cartina);
    Slider1 = named(new QSlider(Qt::Horizontal, cartina), QStringLiteral("Slider1"), QStringLiteral("Grandezza"));
    Slider1->setRange(10, 200);
    Slider1->setSingleStep(5);
    Slider1->setPageStep(10);
    chk_Cartina = visibleBox(cartina, "chk_Cartina");
    cf->addRow(QStringLiteral("Grandezza"), Slider1);
    cf->addRow(chk_Cartina);
    SSTab1->addTab(cartina, QStringLiteral("Cartogramma"));

    // 2 "Bordo"
    auto *bordo = new QWidget;
    auto *bg = new QGridLayout(bordo);
    int row = 0;
    for (const BorderButton &b : BorderButtons) {
        auto *button = named(new QPushButton(QString::fromLatin1(b.caption), bordo), QString::fromLatin1(b.name),
                             QString::fromLatin1(b.group) + ' ' + QString::fromLatin1(b.caption));
        if (b.plus)
            bg->addWidget(new QLabel(QString::fromLatin1(b.group), bordo), row, 0);
        bg->addWidget(button, row, b.plus ? 1 : 2);
        if (!b.plus)
            ++row;
        const PrintLayout::Side side = b.side;
        const bool plus = b.plus;
        connect(button, &QPushButton::clicked, this, [this, button, side, plus] {
            guarded(button->objectName() + QStringLiteral("_Click"), [&] {
                m_layout->moveBorder(side, plus);
                Ridisegna();
            });
        });
        m_borderButtons.append(button);
    }
    lbl_colorBordo = swatch(bordo, "lbl_colorBordo");
    chk_Bordo = visibleBox(bordo, "chk_Bordo");
    bg->addWidget(lbl_colorBordo, row++, 0, 1, 3);
    bg->addWidget(chk_Bordo, row, 0, 1, 3);
    SSTab1->addTab(bordo, QStringLiteral("Bordo"));

    // 3 "Legenda"
    auto *legenda = new QWidget;
    auto *lf = new QFormLayout(legenda);
    lst_leggenda = named(new QListWidget(legenda), QStringLiteral("lst_leggenda"), QStringLiteral("Legenda"));
    txtEditLegenda = named(new QLineEdit(legenda), QStringLiteral("txtEditLegenda"), QStringLiteral("Testo della voce"));
    cmdEditOk = named(new QPushButton(QStringLiteral("Ok"), legenda), QStringLiteral("cmdEditOk"), QStringLiteral("Ok"));
    cmb_LFont = comboBox(legenda, "cmb_LFont", QStringLiteral("Tipo Carattere"));
    cmb_LFontSize = comboBox(legenda, "cmb_LFontSize", QStringLiteral("Grandezza Carattere"));
    lbl_coloreleggenda = swatch(legenda, "lbl_coloreleggenda");
    cmd_GrP = named(new QPushButton(QStringLiteral("+"), legenda), QStringLiteral("cmd_GrP"),
                    QStringLiteral("Grandezza Indicatori Legenda +"));
    cmd_GrM = named(new QPushButton(QStringLiteral("-"), legenda), QStringLiteral("cmd_GrM"),
                    QStringLiteral("Grandezza Indicatori Legenda -"));
    chk_Leggenda = visibleBox(legenda, "chk_Leggenda");
    auto *editRow = new QHBoxLayout;
    editRow->addWidget(txtEditLegenda);
    editRow->addWidget(cmdEditOk);
    auto *squareRow = new QHBoxLayout;
    squareRow->addWidget(cmd_GrP);
    squareRow->addWidget(cmd_GrM);
    lf->addRow(lst_leggenda);
    lf->addRow(editRow);
    lf->addRow(QStringLiteral("Tipo Carattere"), cmb_LFont);
    lf->addRow(QStringLiteral("Grandezza Carattere"), cmb_LFontSize);
    lf->addRow(lbl_coloreleggenda);
    lf->addRow(QStringLiteral("Grandezza Indicatori Legenda"), squareRow);
    lf->addRow(chk_Leggenda);
    txtEditLegenda->hide();
    cmdEditOk->hide();
    SSTab1->addTab(legenda, QStringLiteral("Legenda"));

    // 4 "Descrizione"
    const TextTab desc = textTab(QStringLiteral("Testo"), "txtDesc", "cmbDesc_TipoFont", "cmbDesc_DimFont",
                                 "lblDesc_Colore", "chkDesc");
    txtDesc = desc.text;
    cmbDesc_TipoFont = desc.font;
    cmbDesc_DimFont = desc.size;
    lblDesc_Colore = desc.colour;
    chkDesc = desc.visible;
    SSTab1->addTab(desc.page, QStringLiteral("Descrizione"));

    auto *buttons = new QHBoxLayout;
    cmdHelp = named(new QPushButton(QStringLiteral("Help"), this), QStringLiteral("cmdHelp"), QStringLiteral("Help"));
    cmdSalva = named(new QPushButton(QStringLiteral("Salva"), this), QStringLiteral("cmdSalva"), QStringLiteral("Salva"));
    cmdStampa = named(new QPushButton(QStringLiteral("Stampa"), this), QStringLiteral("cmdStampa"), QStringLiteral("Stampa"));
    cmd_close = named(new QPushButton(QStringLiteral("Chiudi"), this), QStringLiteral("cmd_close"), QStringLiteral("Chiudi"));
    for (QPushButton *b : {cmdHelp, cmdSalva, cmdStampa, cmd_close})
        buttons->addWidget(b);
    left->addLayout(buttons);
    left->addWidget(heading);  // the heading stands below the tabs, with the buttons
    left->addStretch();

    Picture1 = new PagePreview(this);
    outer->addWidget(Picture1, 0, Qt::AlignTop);

    connect(Picture1, &PagePreview::paint, this, [this](QPainter &painter) {
        // Drawing skips what fails; nothing of it may leave the paint event.
        try {
            if (m_layout)
                m_layout->regola(painter, previewScale());
        } catch (...) {
        }
    });
    connect(Picture1, &PagePreview::mouseDown, this, &PrintMappa::Picture1_MouseDown);
    connect(Picture1, &PagePreview::mouseMove, this, &PrintMappa::Picture1_MouseMove);

    const auto titleBlock = [this](QLineEdit *edit, QComboBox *font, QComboBox *size, QPushButton *colour, bool title) {
        auto block = [this, title] { return title ? m_layout->Titolo.get() : m_layout->Descrizione.get(); };
        connect(edit, &QLineEdit::textChanged, this, [this, block, edit](const QString &text) {
            guarded(edit->objectName() + QStringLiteral("_Change"), [&] { com::check(block()->put_Testo(text)); Ridisegna(); });
        });
        connect(font, &QComboBox::currentIndexChanged, this, [this, block, font] {
            guarded(font->objectName() + QStringLiteral("_Click"), [&] { com::check(block()->put_FontName(font->currentText())); Ridisegna(); });
        });
        connect(size, &QComboBox::currentIndexChanged, this, [this, block, size] {
            guarded(size->objectName() + QStringLiteral("_Click"), [&] { com::check(block()->put_FontSize(size->currentText())); Ridisegna(); });
        });
        connect(colour, &QPushButton::clicked, this, [this, block, colour] {
            chooseColour(colour, [&](double c) { com::check(block()->put_Colore(c)); });
        });
        edit->installEventFilter(this);
    };
    titleBlock(txt_Titolo, cmb_Font, cmb_Fontsize, lbl_colore, true);
    titleBlock(txtDesc, cmbDesc_TipoFont, cmbDesc_DimFont, lblDesc_Colore, false);

    connect(Slider1, &QSlider::valueChanged, this, [this](int value) {
        guarded("Slider1_Change", [&] { m_layout->zoom = value / 100.0; Ridisegna(); });
    });
    connect(lbl_colorBordo, &QPushButton::clicked, this, [this] {
        chooseColour(lbl_colorBordo, [&](double c) { com::check(m_layout->Bordo->put_Colore(c)); });
    });
    connect(cmd_GrP, &QPushButton::clicked, this, [this] {
        guarded("cmd_GrP_Click", [&] { m_layout->grandezzaQuadrato += 0.1; Ridisegna(); });
    });
    connect(cmd_GrM, &QPushButton::clicked, this, [this] {
        guarded("cmd_GrM_Click", [&] { m_layout->grandezzaQuadrato -= 0.1; Ridisegna(); });
    });
    connect(cmb_LFont, &QComboBox::currentIndexChanged, this, [this] {
        forLegendSelection(cmb_LFont, [&](int i) {
            qint16 index = qint16(i);
            com::check(m_layout->Leggenda->put_FontName(&index, cmb_LFont->currentText()));
        });
    });
    connect(cmb_LFontSize, &QComboBox::currentIndexChanged, this, [this] {
        forLegendSelection(cmb_LFontSize, [&](int i) {
            qint16 index = qint16(i);
            com::check(m_layout->Leggenda->put_FontSize(&index, vb::CInt(vb::Variant(cmb_LFontSize->currentText()))));
        });
    });
    connect(lbl_coloreleggenda, &QPushButton::clicked, this, [this] {
        chooseColour(lbl_coloreleggenda, [&](double c) {
            for (int i : legendEntriesOf(lst_leggenda->currentRow(), m_layout->legendCount())) {
                qint16 index = qint16(i);
                com::check(m_layout->Leggenda->put_Color(&index, c));
            }
        });
    });
    connect(lst_leggenda, &QListWidget::currentRowChanged, this, [this](int item) {
        guarded("lst_leggenda_Click", [&] {
            if (item < 1)
                return;
            qint16 index = qint16(item - 1);
            double colour = 0;
            com::check(m_layout->Leggenda->get_Color(&index, &colour));
            setSwatch(lbl_coloreleggenda, colour);
        });
    });
    connect(lst_leggenda, &QListWidget::itemDoubleClicked, this, [this] { lst_leggenda_DblClick(); });
    connect(cmdEditOk, &QPushButton::clicked, this, &PrintMappa::cmdEditOk_Click);

    for (QCheckBox *box : {Chk_Titolo, chk_Cartina, chk_Bordo, chk_Leggenda, chkDesc})
        connect(box, &QCheckBox::toggled, this, [this, box](bool checked) { visibilityChanged(box, checked); });

    connect(cmdHelp, &QPushButton::clicked, this, &PrintMappa::cmdHelp_Click);
    connect(cmdSalva, &QPushButton::clicked, this, &PrintMappa::cmdSalva_Click);
    connect(cmdStampa, &QPushButton::clicked, this, &PrintMappa::cmdStampa_Click);
    connect(cmd_close, &QPushButton::clicked, this, &PrintMappa::cmd_close_Click);

    m_popup = [this](const QStringList &names, QPoint globalPos) {
        QMenu mnu_sel(this);
        mnu_sel.setObjectName(QStringLiteral("mnu_sel"));
        for (const QString &n : names)
            mnu_sel.addAction(n);
        forms::NestedLoop nested;
        QAction *chosen = mnu_sel.exec(globalPos);
        return chosen ? int(mnu_sel.actions().indexOf(chosen)) : -1;
    };
}

PrintMappa::~PrintMappa() = default;

QPushButton *PrintMappa::borderButton(const QString &name) const
{
    for (QPushButton *b : m_borderButtons)
        if (b->objectName() == name)
            return b;
    return nullptr;
}

void PrintMappa::guarded(const QString &procedure, const std::function<void()> &handler)
{
    if (!m_layout)
        return;
    try {
        handler();
    } catch (const vb::Error &e) {
        LogError(this, procedure, e);
    } catch (const std::exception &e) {
        LogError(this, procedure, vb::Error::of(e));
    } catch (...) {
        LogError(this, procedure, vb::Error::of(0));
    }
}

void PrintMappa::chooseColour(QPushButton *swatchButton, const std::function<void(double)> &apply)
{
    guarded(swatchButton->objectName() + QStringLiteral("_Click"), [&] {
        const double current = swatchButton->property("oleColor").toDouble();
        const auto chosen = forms::dialogs().chooseColor(static_cast<forms::OleColor>(static_cast<qint64>(current)));
        if (!chosen)
            return;  // a cancelled dialog leaves the colour as it was
        setSwatch(swatchButton, double(*chosen));
        apply(double(*chosen));
        Ridisegna();
    });
}

void PrintMappa::forLegendSelection(QComboBox *list, const std::function<void(int)> &apply)
{
    guarded(list->objectName() + QStringLiteral("_Click"), [&] {
        for (int i : legendEntriesOf(lst_leggenda->currentRow(), m_layout->legendCount()))
            apply(i);
        Ridisegna();
    });
}

void PrintMappa::visibilityChanged(QCheckBox *box, bool checked)
{
    guarded(box->objectName() + QStringLiteral("_Click"), [&] {
        if (box == chk_Cartina)
            m_layout->cartinaVisible = checked;
        else if (box == chk_Bordo)
            m_layout->bordoVisible = checked;
        else if (box == chk_Leggenda)
            m_layout->leggendaVisible = checked;
        else {
            const bool title = box == Chk_Titolo;
            (title ? m_layout->titoloVisible : m_layout->descVisible) = checked;
            QLineEdit *edit = title ? txt_Titolo : txtDesc;
            const QList<QWidget *> controls = title
                ? QList<QWidget *>{txt_Titolo, cmb_Font, cmb_Fontsize, lbl_colore}
                : QList<QWidget *>{txtDesc, cmbDesc_TipoFont, cmbDesc_DimFont, lblDesc_Colore};
            for (QWidget *w : controls)
                w->setEnabled(checked);
            if (checked && edit->text().trimmed().isEmpty())
                edit->setText(QString::fromUtf8(title ? DefaultTitle : DefaultDescription));
        }
        Ridisegna();
    });
}

PageScale PrintMappa::previewScale() const
{
    const QSizeF page = pageInches(m_printer);
    return PageScale{Picture1->width() / page.width(), Picture1->height() / page.height()};
}

double PrintMappa::ImpostaPagina()
{
    const QSizeF page = pageInches(m_printer);
    // The preview shows the page at the size on which screen fonts match printed fonts scaled by 1.85.
    const double pixelsPerInch = logicalDpiX() / PrintScale;
    Picture1->setFixedSize(qRound(page.width() * pixelsPerInch), qRound(page.height() * pixelsPerInch));
    const double inchesW = Picture1->width() / double(logicalDpiX());
    const double inchesH = Picture1->height() / double(logicalDpiY());
    Picture1->update();
    return std::min(inchesH / page.height(), inchesW / page.width());
}

void PrintMappa::Ridisegna()
{
    Picture1->update();
}

QImage PrintMappa::renderPage() const
{
    QImage page(Picture1->size(), QImage::Format_RGB32);
    page.setDotsPerMeterX(qRound(Picture1->logicalDpiX() / 0.0254));
    page.setDotsPerMeterY(qRound(Picture1->logicalDpiY() / 0.0254));
    page.fill(Qt::white);
    if (m_layout) {
        QPainter painter(&page);
        m_layout->regola(painter, previewScale());
    }
    return page;
}

void PrintMappa::formLoad()
{
    try {
        m_layout = std::make_unique<PrintLayout>();
    } catch (const vb::Error &e) {
        LogError(this, QStringLiteral("Form_Load"), e);
        return;
    }
    if (MapLayoutSource *source = pendingSource())
        load(*source);
}

void PrintMappa::load(MapLayoutSource &source)
{
    PrintLayout &l = *m_layout;
    l.scalaStampa = 1.0;
    l.leggendaY0 = 8.0;
    l.passoLeggenda = 0.5;
    l.grandezzaQuadrato = 0.3;
    guarded("Form_Load", [&] {
        const QString snapshot = programFolder() + QStringLiteral("/temp.emf");
        l.loadSnapshot(snapshot, source.exportSnapshot(snapshot));
    });

    const QStringList families = forms::fontFamilies();
    const int defaultFont = forms::defaultFontIndex(families);
    guarded("Form_Load", [&] {
        for (QComboBox *box : {cmb_Font, cmb_LFont, cmbDesc_TipoFont}) {
            QSignalBlocker quiet(box);  // filling is not choosing
            box->clear();
            box->addItems(families);
        }
        for (QComboBox *box : {cmb_Fontsize, cmb_LFontSize, cmbDesc_DimFont}) {
            QSignalBlocker quiet(box);
            box->clear();
            fillSizes(box);
        }
        cmb_Fontsize->setCurrentIndex(13);
        cmb_LFontSize->setCurrentIndex(7);
        cmbDesc_DimFont->setCurrentIndex(5);
        for (QComboBox *box : {cmb_Font, cmb_LFont, cmbDesc_TipoFont})
            box->setCurrentIndex(defaultFont);
    });

    QString description;
    QVector<MapClassRow> rows;
    guarded("Form_Load", [&] { description = source.description(); });
    guarded("Form_Load", [&] { rows = source.classRows(); });
    guarded("Form_Load", [&] {
        kvr::_cls_Titolo *t = l.Titolo.get();
        com::check(t->put_FontName(cmb_Font->currentText()));
        com::check(t->put_FontSize(QStringLiteral("14")));
        com::check(t->put_Testo(QString::fromUtf8(DefaultTitle)));
        com::check(t->put_X(2.948f));
        com::check(t->put_y(0.493f));
        com::check(t->put_Colore(0));
        kvr::_cls_Titolo *d = l.Descrizione.get();
        com::check(d->put_FontName(cmbDesc_TipoFont->currentText()));
        com::check(d->put_FontSize(QStringLiteral("6")));
        com::check(d->put_Testo(description));
        com::check(d->put_X(1.0f));
        com::check(d->put_y(10.0f));
        com::check(d->put_Colore(0));
    });
    CaricaLeggenda(rows);
    {
        QSignalBlocker quietTitle(txt_Titolo), quietDesc(txtDesc);  // the values are set already
        txt_Titolo->setText(QString::fromUtf8(DefaultTitle));
        txtDesc->setText(description);
    }
    for (QCheckBox *box : {chk_Bordo, chk_Cartina, chk_Leggenda, Chk_Titolo, chkDesc})
        box->setChecked(true);  // the boxes start cleared, so each tick runs its handler once
    l.mappaY = 1.007;
    l.mappaX = 0.578;
    l.zoom = 1.0;
    ImpostaPagina();
    guarded("Form_Load", [&] {
        l.setBorderFromPage(pageInches(m_printer));
    });
    Slider1->setValue(65);
    l.zoom = Slider1->value() / 100.0;
    guarded("Form_Load", [&] {
        // The page holds the map 1.85 times its size (as the preview shows it): a large map view
        // would otherwise run past the border's right side or down over the legend.
        float right = 0;
        com::check(l.Bordo->get_MargineDestro(&right));
        l.fitMap(right, l.leggendaY0, PrintScale);
    });
    // The window opens at the size that shows its controls and the whole page.
    QWidget *outerFrame = frame();
    outerFrame->resize(outerFrame->sizeHint().expandedTo(outerFrame->size()));
    guarded("Form_Load", [&] { SetFormLayout(*this); });
    Ridisegna();
}

void PrintMappa::CaricaLeggenda(const QVector<MapClassRow> &rows)
{
    guarded("CaricaLeggenda", [&] {
        lst_leggenda->clear();
        lst_leggenda->addItem(QString::fromUtf8(WholeLegendItem));
        for (int r = 0; r < rows.size(); ++r) {
            m_layout->addLegendEntry(cmb_LFont->currentText(), cmb_LFontSize->currentText(), rows[r].color,
                                     rows[r].label, r);
            qint16 index = qint16(r);
            QString text;
            com::check(m_layout->Leggenda->get_Testo(&index, &text));
            lst_leggenda->addItem(text);
        }
        lst_leggenda->setCurrentRow(0);
    });
}

bool PrintMappa::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusOut) {
        if (watched == txt_Titolo)
            txt_Titolo_LostFocus();
        else if (watched == txtDesc)
            txtDesc_LostFocus();
    }
    return forms::Form::eventFilter(watched, event);
}

void PrintMappa::txt_Titolo_LostFocus()
{
    guarded("txt_Titolo_LostFocus", [&] {
        txt_Titolo->setText(txt_Titolo->text().trimmed());
        if (txt_Titolo->text().isEmpty())
            Chk_Titolo->setChecked(false);
    });
}

void PrintMappa::txtDesc_LostFocus()
{
    guarded("txtDesc_LostFocus", [&] {
        txtDesc->setText(txtDesc->text().trimmed());
        if (txtDesc->text().isEmpty())
            chkDesc->setChecked(false);
    });
}

void PrintMappa::lst_leggenda_DblClick()
{
    guarded("lst_leggenda_DblClick", [&] {
        const int item = lst_leggenda->currentRow();
        if (item < 1)
            return;  // the first item stands for the whole legend and has no text of its own
        m_editedItem = item;
        txtEditLegenda->setText(lst_leggenda->item(item)->text());
        txtEditLegenda->show();
        cmdEditOk->show();
        txtEditLegenda->setFocus();
    });
}

void PrintMappa::cmdEditOk_Click()
{
    guarded("cmdEditOk_Click", [&] {
        if (m_editedItem >= 1 && m_editedItem < lst_leggenda->count())
            lst_leggenda->item(m_editedItem)->setText(txtEditLegenda->text());
        m_editedItem = -1;
        txtEditLegenda->hide();
        cmdEditOk->hide();
        // AggiornaTestiLeggenda: item i + 1 holds the text of entry i.
        for (int item = 1; item < lst_leggenda->count(); ++item) {
            qint16 index = qint16(item - 1);
            com::check(m_layout->Leggenda->put_Testo(&index, lst_leggenda->item(item)->text()));
        }
        lst_leggenda->setCurrentRow(0);
        Ridisegna();
    });
}

void PrintMappa::Picture1_MouseDown(Qt::MouseButton button, QPointF pixel, QPoint globalPos)
{
    if (button != Qt::RightButton)
        return;
    guarded("Picture1_MouseDown", [&] {
        const PageScale scale = previewScale();
        int legendEntry = -1;
        const QStringList hits = m_layout->hitTest(pixel.x() / scale.x, pixel.y() / scale.y, Picture1, scale, &legendEntry);
        QString chosen = hits.join(QLatin1Char(','));
        if (hits.size() > 1) {
            const int index = m_popup(hits, globalPos);
            if (index >= 0 && index < hits.size())
                chosen = hits[index];
        }
        chosen = chosen.toLower();
        if (chosen == QLatin1String("leggenda")) {
            SSTab1->setCurrentIndex(PrintLayout::TabLegenda);
            lst_leggenda->setCurrentRow(legendEntry + 1);
        } else if (chosen == QLatin1String("titolo")) {
            SSTab1->setCurrentIndex(PrintLayout::TabTitolo);
        } else if (chosen == QLatin1String("mappa")) {
            SSTab1->setCurrentIndex(PrintLayout::TabCartogramma);
        }
    });
}

void PrintMappa::Picture1_MouseMove(Qt::MouseButtons buttons, QPointF pixel)
{
    if (buttons != Qt::LeftButton)
        return;
    guarded("Picture1_MouseMove", [&] {
        const PageScale scale = previewScale();
        m_layout->drag(SSTab1->currentIndex(), lst_leggenda->currentRow(), pixel.x() / scale.x, pixel.y() / scale.y);
        Ridisegna();
    });
}

void PrintMappa::cmdStampa_Click()
{
    guarded("cmdStampa_Click", [&] {
        if (forms::hasPrinter()) {
            if (!forms::dialogs().choosePrinter(&m_printer))
                return;
        } else {
            forms::dialogs().msgBox(forms::pdfFallbackNotice(), forms::vbOKOnly);
            forms::FileRequest request;
            request.title = QStringLiteral("Stampa cartogramma");
            request.fileName = QStringLiteral("Cartogramma.pdf");
            request.filter = QStringLiteral("PDF|*.pdf");
            const QString file = forms::dialogs().saveFile(request);
            if (file.isEmpty())
                return;
            m_printer.setOutputFormat(QPrinter::PdfFormat);
            m_printer.setOutputFileName(file);
        }
        struct ScaleBack {
            PrintLayout &layout;
            ~ScaleBack() { layout.scalaStampa = 1.0; }
        } scaleBack{*m_layout};
        m_layout->scalaStampa = PrintScale;
        const double dpi = m_printer.resolution();
        const auto draw = [&](QPaintDevice &device) {
            QPainter painter;
            if (!painter.begin(&device))
                return false;
            m_layout->regola(painter, PageScale{dpi, dpi});
            return painter.end();
        };
        // A PDF file is made whole before it replaces an older one.
        if (forms::printsToPdfFile(m_printer))
            forms::printPdfFile(m_printer, draw);
        else if (!draw(m_printer))
            throw vb::Error::of(482);
    });
    if (m_layout)
        m_layout->scalaStampa = 1.0;
}

void PrintMappa::cmdSalva_Click()
{
    guarded("cmdSalva_Click", [&] {
        forms::FileRequest request;
        request.fileName = QString();
        request.filter = QStringLiteral("BMP|*.bmp|Jpg|*.jpg");
        const QString name = forms::dialogs().saveFile(request);
        if (name.isEmpty())
            return;
        const QImage page = renderPage();
        if (QFileInfo(name).fileName().contains(QLatin1String(".jpg"))) {
            saveJpeg(page, name);
            return;
        }
        // The format is given: names such as "carta" or "x.old" have no usable suffix. The picture
        // is written beside the old one and takes its place only when all of it is on disk.
        try {
            QByteArray bytes;
            QBuffer buffer(&bytes);
            if (!buffer.open(QIODevice::WriteOnly) || !page.save(&buffer, "BMP"))
                throw vb::Error(vb::err::PathFileAccess, QStringLiteral("Impossibile scrivere il file ") + name);
            vb::replaceFile(name, bytes);
        } catch (const vb::Error &e) {
            LogError(this, QStringLiteral("cmdSalva_Click"), e);
            forms::dialogs().msgBox(savedMessage(name, false), forms::vbCritical);
            return;
        }
        forms::dialogs().msgBox(savedMessage(name, true), forms::vbInformation);
    });
}

bool PrintMappa::saveJpeg(const QImage &page, const QString &name)
{
    // The temporary bitmap gets a fresh name beside the target, so no existing file is touched.
    const QFileInfo target(name);
    const QString base = target.fileName().left(target.fileName().indexOf(QLatin1String(".jpg")));
    QTemporaryFile temp(target.absolutePath() + QLatin1Char('/') + base + QStringLiteral("-XXXXXX.bmp"));
    if (!temp.open() || !page.save(&temp, "BMP") || !temp.flush()) {
        LogError(this, QStringLiteral("cmdSalva_Click"),
                 vb::Error(75, QStringLiteral("Impossibile scrivere il file temporaneo in ") + target.absolutePath()));
        forms::dialogs().msgBox(savedMessage(name, false), forms::vbCritical);
        return false;
    }
    temp.close();
    m_picture2 = QImage(temp.fileName(), "BMP");
    cDIBSection section;
    section.CreateFromPicture(m_picture2);
    const bool saved = SaveJPG(section, name, 90);
    if (saved) {
        forms::dialogs().msgBox(savedMessage(name, true), forms::vbInformation);
        temp.remove();
    } else {
        temp.remove();
        forms::dialogs().msgBox(savedMessage(name, false), forms::vbCritical);
    }
    return saved;
}

void PrintMappa::cmdHelp_Click()
{
    try {
        ShowHelp(helpContextId());
    } catch (const vb::Error &e) {
        LogError(this, QStringLiteral("cmdHelp_Click"), e);
    } catch (...) {
        LogError(this, QStringLiteral("cmdHelp_Click"), vb::Error::of(0));
    }
}

void PrintMappa::cmd_close_Click()
{
    unload();
}

}  // namespace pendra
