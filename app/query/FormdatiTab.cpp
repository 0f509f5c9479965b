// The query window: design, tree and selection list handlers, territory tab, "Visualizza Dati".
#include "FormdatiTab.h"

#include "AreaTree.h"
#include "QueryBuilder.h"
#include "frm_dispData.h"

#include "app/core/AppState.h"
#include "app/core/Guarded.h"
#include "app/core/MainMenu.h"
#include "app/core/Program.h"
#include "app/core/Utility.h"
#include "app/core/frmStart.h"

#include "forms/DialogService.h"
#include "forms/FormRegistry.h"
#include "forms/MousePointer.h"
#include "jet/Recordset.h"
#include "tree/ImageList.h"
#include "tree/TreeView.h"
#include "vb/Conversions.h"
#include "vb/Error.h"
#include "vb/TextFile.h"

#include <QApplication>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QCursor>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTabWidget>
#include <QVBoxLayout>

namespace pendra {

namespace {

constexpr qint32 kHelpContextId = 1000;

const char *const kBoxCaptions[7] = {"", "Tutte le province - nuts3", "Tutte le nuts2", "Ripartizioni / Italia",
                                     "Aree Fondi strutturali", "Seleziona Tutto", "Tutte le regioni"};
const char *const kOptionCaptions[4] = {"Solo regioni", "Solo province - nuts3", "Tutto", ""};

QPushButton *button(const QString &caption, QWidget *parent)
{
    auto *b = new QPushButton(caption, parent);
    b->setAccessibleName(caption);
    return b;
}

QLabel *label(const QString &caption, QWidget *parent)
{
    auto *l = new QLabel(caption, parent);
    l->setAccessibleName(caption.trimmed());
    return l;
}

// The node pictures: Images/<key>.png of the program folder, else a folder icon of the style.
void loadPictures(tree::ImageList &images)
{
    const QString folder = programFolder() + "/Images/";
    for (const char *key : {"open", "close", "closeR", "openR"}) {
        const QString file = vb::findFileNoCase(folder, QString::fromLatin1(key) + ".png");
        QPixmap picture(file);
        if (picture.isNull() && qApp)
            picture = QApplication::style()
                          ->standardIcon(QString::fromLatin1(key).startsWith("open") ? QStyle::SP_DirOpenIcon
                                                                                     : QStyle::SP_DirClosedIcon)
                          .pixmap(16, 16);
        images.add(QString::fromLatin1(key), picture);
    }
}

}  // namespace

FormdatiTab::FormdatiTab() : forms::Form("FormdatiTab")
{
    setWindowTitle("Interrogazione dei dati");
    setHelpContextId(kHelpContextId);
    resize(1000, 660);
    m_img1 = new tree::ImageList;

    auto *layout = new QVBoxLayout(this);
    m_label8 = label(QString(), this);
    m_label8->setObjectName("Label8");
    QFont f = m_label8->font();
    f.setBold(true);
    f.setPointSize(f.pointSize() + 2);
    m_label8->setFont(f);
    layout->addWidget(m_label8);

    m_tab = new QTabWidget(this);
    m_tab->setObjectName("SSTab1");
    m_tab->setAccessibleName("Territorio e selezione");
    auto *tab0 = new QWidget(m_tab);
    auto *tab1 = new QWidget(m_tab);
    m_tab->addTab(tab0, "Territorio");
    m_tab->addTab(tab1, "Indicatori");
    buildTerritoryTab(tab0);
    buildSelectionTab(tab1);
    layout->addWidget(m_tab, 1);

    auto *buttons = new QHBoxLayout;
    m_serie = button("Visualizza Dati", this);
    m_cmdmetadati = button("Visualizza scheda metadati", this);
    m_cmdDatiPiu = button("join con dati esterni", this);
    m_conferma = button("dati", this);
    m_cmdNewric = button("Reset", this);
    m_cmdChiudi = button("Chiudi", this);
    m_cmdHelp = button("Help", this);
    m_cmdDatiPiu->setEnabled(false);
    m_conferma->setEnabled(false);
    for (QPushButton *b : {m_serie, m_cmdmetadati, m_cmdDatiPiu, m_conferma, m_cmdNewric, m_cmdChiudi, m_cmdHelp})
        buttons->addWidget(b);
    layout->addLayout(buttons);

    m_mnuNote = new QMenu("mNote", this);
    QAction *note = m_mnuNote->addAction("Note");

    connect(m_serie, &QPushButton::clicked, this, [this] { serie_Click(); });
    connect(m_cmdmetadati, &QPushButton::clicked, this, [this] { cmdmetadati_Click(); });
    connect(m_cmdNewric, &QPushButton::clicked, this, [this] { CmdNewric_Click(); });
    connect(m_cmdChiudi, &QPushButton::clicked, this, [this] { cmdChiudi_Click(); });
    connect(m_cmdHelp, &QPushButton::clicked, this, [this] { cmdHelp_Click(); });
    connect(note, &QAction::triggered, this, [this] { mnu_note_Click(); });
    connect(m_tab, &QTabWidget::currentChanged, this, [this](int index) {
        const int previous = m_currentTab;
        m_currentTab = index;
        SSTab1_Click(previous);
    });
    connect(m_objtree, &tree::TreeView::nodeClick, this, [this](tree::TreeNode *node) { objtree_NodeClick(node); });
    connect(m_lstAllVar, &QListWidget::itemClicked, this, [this] { lst_allVar_Click(); });
    connect(m_lstAllVar, &QListWidget::itemDoubleClicked, this, [this] { lst_allVar_DblClick(); });
    // The press is seen before the tree moves its selection, as the note pop-up needs.
    m_objtree->viewport()->installEventFilter(this);
    m_objtree->installEventFilter(this);  // the menu key opens the year's note as a right press does

    m_territori.changed = [this] { showTerritories(); };
    m_territori.setMapTypes = [](qint16 tp1, qint16 tp2) {
        frm_dispData::tp1 = tp1;
        frm_dispData::tp2 = tp2;
    };
}

FormdatiTab::~FormdatiTab()
{
    m_objtree->setImageList(nullptr);
    delete m_img1;
}

void FormdatiTab::buildTerritoryTab(QWidget *tab)
{
    auto *grid = new QGridLayout(tab);
    m_lstDescTerr = new PickList(tab);
    m_lstDescTerr->setObjectName("lstDescTerr");
    m_lstDescTerr->setAccessibleName("Territori");
    m_lstCodTerr = new PickList(tab);
    m_lstCodTerr->setObjectName("lstCodTerr");
    m_lstCodTerr->setAccessibleName("Codici territorio");
    m_lstCodTerr->setMaximumWidth(90);
    pairLists(m_lstDescTerr, m_lstCodTerr);
    grid->addWidget(m_lstDescTerr, 0, 0, 3, 1);
    grid->addWidget(m_lstCodTerr, 0, 1, 3, 1);

    auto *frame1 = new QGroupBox("Visualizza", tab);
    frame1->setAccessibleName("Visualizza");
    auto *opts = new QVBoxLayout(frame1);
    for (int i = 0; i < 4; ++i) {
        m_opt[i] = new QRadioButton(kOptionCaptions[i], frame1);
        m_opt[i]->setObjectName(QString("OptVisualizza%1").arg(i));
        if (i == 3) {
            auto *row = new QHBoxLayout;
            auto *label4 = label("         Solo nuts2", frame1);
            m_opt[i]->setAccessibleName("Solo nuts2");
            row->addWidget(m_opt[i]);
            row->addWidget(label4, 1);
            opts->addLayout(row);
        } else {
            m_opt[i]->setAccessibleName(kOptionCaptions[i]);
            opts->addWidget(m_opt[i]);
        }
        connect(m_opt[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (!m_showing && on)
                OptVisualizza_Click(i);
        });
    }
    grid->addWidget(frame1, 0, 2);

    grid->addWidget(label("Partizioni territoriali predefinite", tab), 1, 2);
    auto *boxes = new QVBoxLayout;
    for (int i : {6, 1, 2, 3, 4, 5}) {
        m_check[i] = new QCheckBox(kBoxCaptions[i], tab);
        m_check[i]->setObjectName(QString("Check1_%1").arg(i));
        m_check[i]->setAccessibleName(kBoxCaptions[i]);
        boxes->addWidget(m_check[i]);
        connect(m_check[i], &QCheckBox::toggled, this, [this, i](bool on) {
            if (!m_showing)
                Check1_Click(i, on);
        });
    }
    boxes->addStretch(1);
    grid->addLayout(boxes, 2, 2);
    grid->setColumnStretch(0, 1);

    connect(m_lstDescTerr, &PickList::picked, this, [this](int row, bool extend) {
        guarded(this, "lstDescTerr_Click", [&] { m_territori.clickItem(row, extend); });
    });
    connect(m_lstDescTerr, &QListWidget::itemSelectionChanged, this, [this] {
        if (m_showing)
            return;
        for (int i = 0; i < m_lstDescTerr->count(); ++i)
            m_territori.setSelected(i, m_lstDescTerr->item(i)->isSelected());
    });
}

void FormdatiTab::buildSelectionTab(QWidget *tab)
{
    auto *layout = new QHBoxLayout(tab);
    auto *frame3 = new QGroupBox("Selezione Variabili", tab);
    frame3->setAccessibleName("Selezione Variabili");
    auto *left = new QVBoxLayout(frame3);
    left->addWidget(label("Aree -Sottoaree", frame3));
    m_objtree = new tree::TreeView(frame3);
    m_objtree->setObjectName("objtree");
    m_objtree->setAccessibleName("Aree -Sottoaree");
    left->addWidget(m_objtree, 1);
    layout->addWidget(frame3, 1);

    auto *right = new QVBoxLayout;
    m_lblSelezionati = label("Variabili selezionate", tab);
    right->addWidget(m_lblSelezionati);
    m_lstAllVar = new QListWidget(tab);
    m_lstAllVar->setObjectName("lst_allVar");
    m_lstAllVar->setAccessibleName("Selezionati");
    right->addWidget(m_lstAllVar, 1);
    m_txtCount = new QLineEdit(tab);
    m_txtCount->setObjectName("txtCount");
    m_txtCount->setAccessibleName("Numero selezionati");
    m_txtCount->setReadOnly(true);
    m_txtCount->setMaximumWidth(60);
    right->addWidget(m_txtCount);
    auto *noteRow = new QHBoxLayout;
    m_label2 = label("Nota: In corrispondenza della", tab);
    m_image1 = new QLabel(tab);
    m_image1->setAccessibleName("Anno con note");
    m_label5 = label("si consiglia di consultare i metadati.", tab);
    noteRow->addWidget(m_label2);
    noteRow->addWidget(m_image1);
    noteRow->addWidget(m_label5, 1);
    right->addLayout(noteRow);
    layout->addLayout(right, 1);
}

void FormdatiTab::showTerritories()
{
    m_showing = true;
    const QVector<TerritorioRec> &t = m_territori.Territori();
    bool same = m_lstDescTerr->count() == t.size();
    for (int i = 0; same && i < t.size(); ++i)
        same = m_lstDescTerr->item(i)->text() == t.at(i).des && m_lstCodTerr->item(i)->text() == t.at(i).cod;
    if (!same) {
        m_lstDescTerr->clear();
        m_lstCodTerr->clear();
        for (const TerritorioRec &r : t) {
            m_lstDescTerr->addItem(r.des);
            m_lstCodTerr->addItem(r.cod);
        }
    }
    for (int i = 0; i < t.size(); ++i)
        m_lstDescTerr->item(i)->setSelected(m_territori.isSelected(i));
    for (int i = 1; i <= 6; ++i) {
        m_check[i]->setChecked(m_territori.boxValue(i));
        m_check[i]->setEnabled(m_territori.boxEnabled(i));
    }
    // Exclusivity is dropped for a moment so "no option chosen" can be shown too.
    for (int i = 0; i < 4; ++i) {
        m_opt[i]->setAutoExclusive(false);
        m_opt[i]->setChecked(m_territori.optionValue(i));
        m_opt[i]->setEnabled(m_territori.optionEnabled(i));
    }
    for (int i = 0; i < 4; ++i)
        m_opt[i]->setAutoExclusive(true);
    m_showing = false;
}

void FormdatiTab::Check1_Click(int index, bool ticked)
{
    guarded(this, "Check1_Click", [&] { m_territori.setBoxValue(index, ticked); });
    showTerritories();
}

void FormdatiTab::OptVisualizza_Click(int index)
{
    guarded(this, "OptVisualizza_Click", [&] { m_territori.setOptionValue(index); });
    showTerritories();
}

void FormdatiTab::setCount(qint16 n)
{
    m_numSelezionati = n;
    m_txtCount->setText(QString::number(n));
}

void FormdatiTab::formLoad()
{
    guarded(this, "Form_Load", [&] {
        AppState &s = app();
        m_numSelezionati = 0;
        m_tab->setTabText(1, s.Kind);
        const bool variabili = s.Kind != "Indicatori";
        m_lblSelezionati->setText(variabili ? "Variabili selezionate" : "Indicatori selezionati");
        m_lblSelezionati->setAccessibleName(m_lblSelezionati->text());
        m_label2->setVisible(variabili);
        m_label5->setVisible(variabili);
        m_image1->setVisible(variabili);
        // Our own copies: another window may change the shared ones while this one stays open.
        s.KindSaved = s.Kind;
        s.LivTerritorialeSaved = s.CurrentLivTerritoriale;
        m_kind = s.Kind;
        m_liv = s.CurrentLivTerritoriale;
        m_dbName = s.CurrentDbName;
        m_territori.setLivTerritoriale(m_liv);
        m_label8->setText(" Selezione " + s.SelectionWord.toLower() + " e territorio ");
        m_label8->setAccessibleName(m_label8->text().trimmed());
        m_conferma->setEnabled(false);
        m_cmdDatiPiu->setEnabled(false);
        m_cmdNewric->setEnabled(false);
        loadPictures(*m_img1);
        m_objtree->setImageList(m_img1);
        m_image1->setPixmap(m_img1->picture("closeR"));
        SetFormLayout(*this);

        jet::Connection conn = GetDbConnection(s.CurrentDbName);
        fillsons(conn, m_objtree->nodes(), m_kind, m_liv);
        if (!conn.isOpen())
            throw vb::Error::of(3704, "FormdatiTab", QString(), "Operation is not allowed when the object is closed.");
        conn.close();

        m_serie->setEnabled(false);
        m_conferma->setEnabled(false);
        m_cmdDatiPiu->setEnabled(false);
        m_cmdmetadati->setEnabled(false);

        if (m_liv != "R") {
            m_territori.setOptionValue(TerritorySelection::Tutto);
            m_territori.CaricaTerritori(TerritorySelection::Tutto, 0);
        } else {
            m_territori.setOptionEnabled(TerritorySelection::Solo_province, false);
            m_territori.setBoxEnabled(1, false);
            m_territori.CaricaTerritori(TerritorySelection::Tutto, 1);
            s.LivMappa = 2;
        }
    });
    showTerritories();
}

void FormdatiTab::formActivate()
{
    guarded(this, "Form_Activate", [&] {
        UnloadStartPage();
        m_lstDescTerr->setFocus();
    });
}

void FormdatiTab::formUnload()
{
    guarded(this, "Form_Unload", [&] {
        CmdNewric_Click();
        DeleteAreaQuery();
        app().LivMappa = 0;
        app().SqlQuery = "";
    });
}

void FormdatiTab::objtree_NodeClick(tree::TreeNode *node)
{
    guarded(this, "objtree_NodeClick", [&] {
        tree::TreeModel &nodes = m_objtree->nodes();
        CollapseTreeNodes(nodes, node);
        const bool numeric = vb::IsNumeric(node->text());
        if (node->childCount() > 0 && !numeric)
            return;
        if (numeric) {
            const QString pair = node->key() + " - " + (node->parent() ? node->parent()->text() : QString());
            if (!m_lstAllVar->findItems(pair, Qt::MatchExactly).isEmpty())
                return;
            if (m_numSelezionati < MaxSelezionati) {
                m_lstAllVar->addItem(pair);
                m_lstAllVar->setCurrentRow(m_lstAllVar->count() - 1);
                m_cmdNewric->setEnabled(true);
                m_serie->setEnabled(true);
                setCount(m_numSelezionati + 1);
            } else {
                forms::dialogs().msgBox("Raggiunto il limite massimo di " + m_kind + " selezionabili.",
                                        forms::vbExclamation, "");
            }
            return;
        }
        app().Kind = m_kind;
        app().CurrentLivTerritoriale = m_liv;
        app().CurrentDbName = m_dbName;
        jet::Connection conn = GetDbConnection(app().CurrentDbName);
        CaricaAnni(conn, nodes, node, m_kind, m_liv);
        conn.close();
    });
}

void FormdatiTab::objtree_MouseDown(Qt::MouseButton button)
{
    objtreeMouseDownAt(button, QCursor::pos());
}

void FormdatiTab::objtreeMouseDownAt(Qt::MouseButton button, const QPoint &popupAt)
{
    guarded(this, "objtree_MouseDown", [&] {
        const tree::TreeModel &nodes = m_objtree->nodes();
        tree::TreeNode *selected = nodes.selectedItem();
        if (nodes.count() == 0 || !selected)
            return;
        if (selected->childCount() > 0 && !vb::IsNumeric(selected->text()))
            return;
        if (hasNotePicture(selected) && button == Qt::RightButton)
            m_mnuNote->popup(popupAt);
    });
}

void FormdatiTab::mnu_note_Click()
{
    guarded(this, "mnu_note_Click", [&] {
        tree::TreeNode *selected = m_objtree->nodes().selectedItem();
        if (!selected || !selected->parent())
            return;
        jet::Connection conn = GetDbConnection(m_dbName);
        jet::Recordset rs;
        rs.open(noteQuery(m_kind, selected), conn);
        if (!rs.eof()) {
            const vb::Variant note = rs.value(0);
            forms::dialogs().msgBox(note.isNull() ? QString() : note.toString(), forms::vbOKOnly, "Note Anno");
        }
        rs.close();
        conn.close();
    });
}

bool FormdatiTab::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_objtree && event->type() == QEvent::ContextMenu &&
        static_cast<QContextMenuEvent *>(event)->reason() == QContextMenuEvent::Keyboard) {
        const QRect item = m_objtree->visualItemRect(m_objtree->currentItem());
        objtreeMouseDownAt(Qt::RightButton, m_objtree->viewport()->mapToGlobal(item.bottomLeft()));
        if (m_mnuNote->isVisible() && !m_mnuNote->actions().isEmpty())
            m_mnuNote->setActiveAction(m_mnuNote->actions().first());  // Return then reads the note
        return true;
    }
    if (watched == m_objtree->viewport() && event->type() == QEvent::MouseButtonPress) {
        const auto button = static_cast<QMouseEvent *>(event)->button();
        objtree_MouseDown(button);
        // A right press leaves the selection where it was, so "Note" reads the node examined.
        if (button == Qt::RightButton)
            return true;
    }
    return forms::Form::eventFilter(watched, event);
}

void FormdatiTab::lst_allVar_Click()
{
    guarded(this, "lst_allVar_Click", [&] {
        if (QListWidgetItem *item = m_lstAllVar->currentItem())
            m_lstAllVar->setToolTip(item->text());
    });
}

void FormdatiTab::lst_allVar_DblClick()
{
    guarded(this, "lst_allVar_DblClick", [&] {
        QListWidgetItem *item = m_lstAllVar->currentItem();
        if (!item || !item->isSelected())
            return;
        delete m_lstAllVar->takeItem(m_lstAllVar->row(item));
        setCount(m_numSelezionati - 1);
        if (m_lstAllVar->count() == 0)
            m_serie->setEnabled(false);
    });
}

void FormdatiTab::cmdmetadati_Click()
{
    guarded(this, "cmdmetadati_Click", [&] {
        QListWidgetItem *item = m_lstAllVar->currentItem();
        if (!item || !item->isSelected())
            return;
        QString code = item->text().section('-', 0, 0).trimmed();
        if (code.size() >= 4 && vb::IsNumeric(code.right(4)))
            code.chop(4);
        AppState &s = app();
        s.SqlScheda = GetSqlScheda(m_kind, code);
        // The sheet opener unloads an open sheet of its kind before it shows the new one.
        s.SchedaAperta = false;
        openRegisteredForm(m_kind != "Variabili" ? "FRMSCHEDAINDICATORI" : "FRMSCHEDAVARIABILI");
    });
}

void FormdatiTab::CmdNewric_Click()
{
    guarded(this, "CmdNewric_Click", [&] {
        setCount(0);
        m_serie->setEnabled(false);
        m_conferma->setEnabled(false);
        m_cmdDatiPiu->setEnabled(false);
        m_lstAllVar->clear();
        tree::TreeModel &nodes = m_objtree->nodes();
        for (int i = 1; i <= nodes.count(); ++i)
            nodes.item(i)->setExpanded(false);
        app().SqlQuery = "";
        m_cmdmetadati->setEnabled(false);
    });
}

void FormdatiTab::cmdChiudi_Click()
{
    unload();
}

void FormdatiTab::cmdHelp_Click()
{
    guarded(this, "cmdHelp_Click", [&] { ShowHelp(helpContextId()); });
}

void FormdatiTab::SSTab1_Click(int previousTab)
{
    if (previousTab == 1)
        m_cmdNewric->setEnabled(false);
}

void FormdatiTab::CreaFiltroTerritori()
{
    m_filtroTerritori = pendra::CreaFiltroTerritori(m_territori.selectedNames());
}

void FormdatiTab::serie_Click()
{
    guarded(this, "serie_Click", [&] {
        AppState &s = app();
        // Another menu choice may have moved the current database since this window was loaded:
        // the selection belongs to the window's own.
        s.CurrentDbName = m_dbName;
        s.Kind = m_kind;
        // With no query recorded yet the table window would otherwise run on no database.
        if (!vb::CBool(vb::Variant(s.DatabaseCambiato.isEmpty() ? QString("False") : s.DatabaseCambiato)) ||
            s.QueryDbName.isEmpty())
            s.QueryDbName = s.CurrentDbName;
        CreaFiltroTerritori();
        if (m_filtroTerritori.isEmpty()) {
            forms::dialogs().msgBox("Selezionare un territorio!", forms::vbExclamation, "");
            return;
        }
        // An open table shows the previous selection: close it (and the map that reads it) and
        // open it again on the new statement, so the analyst never reads the old result as the new one.
        forms::FormRegistry::unload<frm_dispData>();
        CreaQuery();
        forms::setMousePointer(forms::MousePointer::Default);
        forms::FormRegistry::show<frm_dispData>();
        m_cmdmetadati->setEnabled(true);
    });
}

void FormdatiTab::CreaQuery()
{
    guarded(this, "CreaQuery", [&] {
        QStringList items;
        for (int i = 0; i < m_lstAllVar->count(); ++i)
            items << m_lstAllVar->item(i)->text();
        AppState &s = app();
        // The code of the last item is taken before the data database is read, so a failure there keeps it.
        if (!items.isEmpty())
            s.CodVariabile = parseSelectionItem(items.last()).code;
        jet::Connection conn = GetDbConnection(s.CurrentDbName);
        const BuiltQuery built = pendra::CreaQuery(items, m_kind, m_filtroTerritori, indVarAnnoLookup(conn));
        conn.close();
        s.CodVariabile = built.codVariabile;
        s.SqlQuery = built.sql;
    });
}

qint32 FormdatiTab::FormCount(const QString &frmname)
{
    qint32 n = 0;
    for (const forms::Form *f : forms::FormRegistry::loadedForms()) {
        if (f->name().compare(frmname, Qt::CaseInsensitive) == 0)
            ++n;
    }
    return n;
}

bool FormdatiTab::IsLoaded(const QString &frmname)
{
    return FormCount(frmname) >= 1;
}

}  // namespace pendra
