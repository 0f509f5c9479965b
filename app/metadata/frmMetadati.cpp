// Metadata browser window and its tree fill.
#include "frmMetadati.h"

#include "MetadataValues.h"
#include "MetadataWidgets.h"
#include "app/core/Guarded.h"
#include "MetadataWindows.h"
#include "app/core/AppState.h"
#include "app/core/Program.h"
#include "app/core/Utility.h"
#include "app/core/frmStart.h"

#include "jet/Recordset.h"
#include "tree/TreeView.h"
#include "vb/Error.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace pendra {

namespace {
QPixmap folderPicture(const QString &file, bool open)
{
    QPixmap picture(programFolder() + "/Images/" + file);
    if (!picture.isNull())
        return picture;
    // Without the program's pictures a plain square keeps the two states apart.
    QPixmap square(16, 16);
    square.fill(Qt::transparent);
    QPainter p(&square);
    p.setBrush(open ? QColor(240, 200, 80) : QColor(200, 160, 60));
    p.drawRect(2, 3, 11, 10);
    return square;
}
}  // namespace

void fillsonsAll(const jet::Connection &connection, tree::TreeModel &tree)
{
    const QString k = app().Kind;
    const QString s = k.left(k.size() - 1);
    const QString id = "Metadati" + k + ".Id" + s + "e";
    const QString desc = "Metadati" + k + ".Desc" + s + "e";
    const QString sql =
        "SELECT Settore.idSettore, Settore.[Descrizione Settore], Argomento.[Codice argomento], "
        "Argomento.[Desc argomento], " + id + ", " + desc + ", IndVarAnno.TipoVar "
        "FROM ((Settore INNER JOIN Argomento ON Settore.idSettore = Argomento.idSettore) INNER JOIN IndVarAnno "
        "ON (Settore.idSettore = IndVarAnno.Settore) AND (Argomento.[Codice argomento] = IndVarAnno.Argomento)) "
        "INNER JOIN Metadati" + k + " ON IndVarAnno.Variabile = " + id + " "
        "GROUP BY Settore.idSettore, Settore.[Descrizione Settore], Argomento.[Codice argomento], "
        "Argomento.[Desc argomento], " + id + ", " + desc + ", IndVarAnno.TipoVar "
        "ORDER BY Settore.idSettore, Argomento.[Codice argomento], " + id + ";";
    guarded(QStringLiteral("Utility"), "fillsonsAll", [&] {
        jet::Recordset r;
        r.open(sql, connection, jet::CursorType::ForwardOnly, jet::LockType::ReadOnly);
        QString lastArea, lastSubArea;
        // An empty (Null) field shows as empty text; the tree fills on.
        while (!r.eof()) {
            const QString area = NullToString(r.value(0));
            if (area != lastArea) {
                lastArea = area;
                tree.add(nullptr, tree::tvwLast, area, NullToString(r.value(1)), "close", "open");
            }
            const QString subArea = NullToString(r.value(2));
            if (subArea != lastSubArea) {
                lastSubArea = subArea;
                tree.add(lastArea, tree::tvwChild, subArea, NullToString(r.value(3)).toUpper(), "close", "open");
            }
            tree.add(lastSubArea, tree::tvwChild, NullToString(r.value(4)), NullToString(r.value(5)), "close", "open");
            r.moveNext();
        }
        r.close();
    });
}

frmMetadati::frmMetadati() : forms::Form("frmMetadati")
{
    setWindowTitle("Metadati");
    setHelpContextId(2000);
    resize(640, 640);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(headingLabel(" Visualizza Metadati ", this));
    layout->addWidget(new QLabel("Settori - Argomenti", this));
    cmb_Databases = new QComboBox(this);
    cmb_Databases->setObjectName("cmb_Databases");
    cmb_Databases->setAccessibleName("Settori - Argomenti");
    cmb_DatabasesN = new QComboBox(this);
    cmb_DatabasesN->setObjectName("cmb_DatabasesN");
    cmb_DatabasesN->setAccessibleName("Database");
    cmb_DatabasesN->hide();
    layout->addWidget(cmb_Databases);
    auto *available = new QGroupBox("Variabili_Disponibili", this);
    available->setAccessibleName("Variabili_Disponibili");
    auto *availableLayout = new QVBoxLayout(available);
    auto *treeHeads = new QHBoxLayout;
    treeHeads->addWidget(new QLabel("Aree -Sottoaree", available));
    treeHeads->addStretch(1);
    treeHeads->addWidget(new QLabel("Variabili disponibili", available));
    availableLayout->addLayout(treeHeads);
    objtree = new tree::TreeView(available);
    objtree->setObjectName("objtree");
    objtree->setAccessibleName("Variabili disponibili");
    m_images.add("close", folderPicture("close.png", false));
    m_images.add("open", folderPicture("open.png", true));
    objtree->setImageList(&m_images);
    availableLayout->addWidget(objtree, 1);
    layout->addWidget(available, 1);
    layout->addLayout(helpAndCloseButtons(this, cmdHelp, cmdChiudi));

    connect(cmb_Databases, &QComboBox::currentIndexChanged, this, [this] { cmb_Databases_Click(); });
    connect(objtree, &tree::TreeView::nodeClick, this, [this](tree::TreeNode *n) { objtree_NodeClick(n); });
    connect(cmdHelp, &QPushButton::clicked, this, [this] { guarded(this, "cmdHelp_Click", [this] { ShowHelp(helpContextId()); }); });
    connect(cmdChiudi, &QPushButton::clicked, this, [this] { guarded(this, "cmdChiudi_Click", [this] { unload(); }); });
}

void frmMetadati::formLoad()
{
    guarded(this, "Form_Load", [this] {
        SetFormLayout(*this);
        jet::Connection connection = GetDbConnection("Metadati.mdb");
        jet::Recordset r;
        r.open("Select dbdesc ,dbnames from dbconfigs", connection, jet::CursorType::ForwardOnly,
               jet::LockType::ReadOnly);
        const QSignalBlocker quiet(cmb_Databases);  // the choice runs once, below
        while (!r.eof()) {
            cmb_Databases->addItem(r.value(0).toString());
            cmb_DatabasesN->addItem(r.value(1).toString());
            r.moveNext();
        }
        r.close();
        cmb_Databases->setCurrentIndex(-1);
        if (cmb_Databases->count() > 0) {
            cmb_Databases->blockSignals(false);
            cmb_Databases->setCurrentIndex(0);
        }
        connection.close();
        app().SqlScheda.clear();
    });
}

void frmMetadati::formActivate()
{
    guarded(this, "Form_Activate", [] { UnloadStartPage(); });
}

void frmMetadati::cmb_Databases_Click()
{
    guarded(this, "cmb_Databases_Click", [this] {
        const int position = cmb_Databases->currentIndex();
        cmb_DatabasesN->setCurrentIndex(position);
        app().Kind = position == 0 ? QStringLiteral("Variabili") : QStringLiteral("Indicatori");
        app().KindSaved = app().Kind;
        m_kind = app().Kind;
        objtree->nodes().clear();
        jet::Connection connection = GetDbConnection("metadati.mdb");
        fillsonsAll(connection, objtree->nodes());
        connection.close();
        app().SqlScheda.clear();
    });
}

void frmMetadati::objtree_NodeClick(tree::TreeNode *node)
{
    if (!node)
        return;
    guarded(this, "objtree_NodeClick", [this, node] {
        CollapseTreeNodes(objtree->nodes(), node);
        if (node->childCount() > 0)
            return;
        // KindSaved is not the tree's own either: the query window rewrites it when a menu item opens it.
        if (app().DatabaseCambiato == u"True") {
            app().Kind = m_kind;
            app().DatabaseCambiato = QStringLiteral("False");
        }
        if (app().Kind == u"-")
            app().Kind = m_kind;
        app().SqlScheda = GetSqlScheda(m_kind, node->key());
        if (m_kind == u"Variabili")
            openSheet(SheetKind::Variabili);
        else if (m_kind == u"Indicatori")
            openSheet(SheetKind::Indicatori);
    });
}

}  // namespace pendra
