// The data table window on a fixture folder: the result grid, the failures of the query, the
// description box, the sorts, metadata, the note window and closing.
#include "TableWindowSupport.h"

#include "app/core/AppState.h"
#include "app/core/MainMenu.h"
#include "app/core/Utility.h"
#include "app/core/frmNota.h"
#include "app/query/DataTableGrid.h"
#include "app/query/frm_dispData.h"

#include "forms/FormRegistry.h"
#include "forms/MousePointer.h"
#include "grid/FlexGrid.h"
#include "grid/FlexGridModel.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QEventLoop>
#include <QPointer>
#include <QCoreApplication>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

using pendra::app;

namespace tabletest {
namespace {

const QStringList Headers = {"TipoTerritorio", "COD_TERR", "PROV", "REG", "COD_NUTS", "Territorio",
                             "AS013_2005", "AS013_2006", "AS014_2005"};

TEST_F(TableWindowTest, ResultGridShowsTheQueryInTerritoryOrderWithItalianNumbers)
{
    open();
    ASSERT_TRUE(dialogs.messages().isEmpty()) << dialogs.messages().join('\n').toStdString();
    ASSERT_EQ(grid().Cols(), 9);
    EXPECT_EQ(column(0).size(), 6);
    QStringList header;
    for (int c = 0; c < grid().Cols(); ++c)
        header << grid().TextMatrix(0, c);
    EXPECT_EQ(header, Headers);
    EXPECT_EQ(column(1), (QStringList{"COD_TERR", "P001", "P004", "P007", "P021", "P022"}));
    EXPECT_EQ(column(6), (QStringList{"AS013_2005", "12,50", "10,75", "9,99", "100,00", ""}));
    EXPECT_EQ(column(0).mid(1), (QStringList{"1", "1", "1", "6", "6"}));

    EXPECT_EQ(grid().ColWidth(0), 0);
    EXPECT_GT(grid().ColWidth(6), 0);
    EXPECT_EQ(grid().ColAlignment(5), grid::flexAlignCenterCenter);
    EXPECT_EQ(grid().ColAlignment(8), grid::flexAlignCenterCenter);
    EXPECT_NE(grid().ColAlignment(4), grid::flexAlignCenterCenter);
    for (int r = 1; r < grid().Rows(); ++r)
        for (int c : {0, 5, 8})
            EXPECT_EQ(grid().cellBackColor(r, c), r % 2 ? 0x00FFFFFFu : 0x8000000Fu) << r << "," << c;

    EXPECT_EQ(window->cmb_ric()->count(), 10);
    EXPECT_EQ(window->cmb_ric()->itemText(0), "");
    EXPECT_EQ(window->cmb_ric()->itemText(7), "AS013_2005");
    EXPECT_EQ(window->cmb_Ordina()->count(), 9);
    EXPECT_EQ(window->cmb_Ordina()->itemText(6), "AS013_2005");
    EXPECT_EQ(window->tipoTerrNow, 1);
    EXPECT_TRUE(window->datagrid()->isVisibleTo(window));
    EXPECT_FALSE(window->datagrid2()->isVisibleTo(window));
    EXPECT_EQ(forms::mousePointer(), forms::MousePointer::Default);
}

// The column choosers take the size a combo box sized to its contents would take.
TEST_F(TableWindowTest, ColumnChoosersAreSizedAsAComboBoxOfTheirItems)
{
    open();
    window->show();
    QCoreApplication::processEvents();
    for (QComboBox *chooser : {window->cmb_ric(), window->cmb_Ordina()}) {
        QComboBox plain;
        plain.setFont(chooser->font());
        for (int i = 0; i < chooser->count(); ++i)
            plain.addItem(chooser->itemText(i));
        plain.show();
        EXPECT_EQ(chooser->sizeHint(), plain.sizeHint()) << chooser->objectName().toStdString();
        EXPECT_GT(chooser->sizeHint().width(), QFontMetrics(chooser->font()).horizontalAdvance("TipoTerritorio"));
    }
}

// The table is drawn once, when it is filled, coloured and sized, not half done on the way.
TEST_F(TableWindowTest, RunningTheQueryDrawsTheTableOnce)
{
    open();
    window->show();
    QCoreApplication::processEvents();
    struct PaintCount : QObject {
        int paints = 0;
        bool eventFilter(QObject *, QEvent *e) override
        {
            paints += e->type() == QEvent::Paint;
            return false;
        }
    } count;
    window->datagrid()->viewport()->installEventFilter(&count);
    ASSERT_TRUE(window->DoQuery());
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
    window->datagrid()->viewport()->removeEventFilter(&count);
    EXPECT_EQ(count.paints, 1);
    EXPECT_EQ(grid().cellBackColor(2, 6), 0x8000000Fu);
}

TEST_F(TableWindowTest, ColumnsFitTheirLongestTextOrTakeTwoThirdsOfTheGrid)
{
    open();
    const int gridWidth = window->datagrid()->widthTwips();
    ASSERT_GT(gridWidth, 3000);
    grid().setTextMatrix(3, 5, QString(400, 'M'));
    grid().setTextMatrix(2, 4, "   ITC11 ITC11 ITC11 ITC11   ");  // measured trimmed
    window->AutosizeCols();
    EXPECT_EQ(grid().ColWidth(5), static_cast<int>(gridWidth / 1.5));
    const int q = window->datagrid()->TextWidth("Q");
    EXPECT_NEAR(grid().ColWidth(4), window->datagrid()->TextWidth("ITC11 ITC11 ITC11 ITC11") + q, 120);
    EXPECT_NEAR(grid().ColWidth(2), window->datagrid()->TextWidth("PROV") + q, 120);  // the header is the widest
}

// A municipal table: the widest text lies in one row far from the others, in every position.
TEST(DataTableGridTest, ColumnWidthFollowsTheLongestTextWhereverItsRowIs)
{
    const auto width = [](QStringView text) { return int(text.size()) * 100; };
    for (int row : {1, 2, 777, 4321, 9000}) {
        grid::FlexGridModel g;
        g.setRows(9001);
        g.setCols(2);
        g.setTextMatrix(0, 0, "COD");
        for (int r = 1; r < g.Rows(); ++r)
            g.setTextMatrix(r, 0, "12,50");
        g.setTextMatrix(row, 0, "  Reggio nell'Emilia 12  ");
        pendra::AutosizeCols(g, width, 1000000);
        // 21 letters of the trimmed text and the "Q" beside it, at 100 twips a letter.
        EXPECT_EQ(g.ColWidth(0), 2200) << row;
        EXPECT_EQ(g.ColWidth(1), 100) << row;
    }
}

TEST_F(TableWindowTest, QueryRunsOnTheRecordedDatabaseAndNeverOnAnEmptyName)
{
    struct Case {
        QString cambiato, queryDb, current;
        QString expected;  // CurrentDbName after the load
    };
    const std::vector<Case> cases = {
        {"True", "VariabiliProvince.mdb", "Metadati.mdb", "VariabiliProvince.mdb"},
        {"False", "Metadati.mdb", "VariabiliProvince.mdb", "VariabiliProvince.mdb"},
        {"True", "", "VariabiliProvince.mdb", "VariabiliProvince.mdb"},
    };
    for (const Case &c : cases) {
        app().DatabaseCambiato = c.cambiato;
        app().QueryDbName = c.queryDb;
        app().CurrentDbName = c.current;
        app().SqlQuery = dataQuery();
        open();
        EXPECT_EQ(app().CurrentDbName, c.expected);
        EXPECT_EQ(grid().Rows(), 6) << c.cambiato.toStdString() << " " << c.queryDb.toStdString();
        EXPECT_TRUE(dialogs.messages().isEmpty());
        forms::FormRegistry::unload(window);
    }
}

TEST_F(TableWindowTest, TooManyColumnsShowsTheLimitMessageAndDisablesTheSearch)
{
    QString sql = "SELECT land_Ind.COD_TIPO_TERR as TipoTerritorio, land_Ind.COD_TERR";
    for (int i = 0; i < 254; ++i)
        sql += QString(", Format(AS_2005.AS013, '0.00') as AS013_%1").arg(1000 + i);
    sql += " FROM AS_2005 INNER JOIN land_Ind  ON AS_2005.COD_TERR = land_Ind.COD_TERR";
    app().SqlQuery = sql;
    open();
    ASSERT_EQ(dialogs.calls(forms::DialogCall::MsgBox).size(), 2);  // the message, then LogError's
    const forms::DialogCall first = dialogs.calls(forms::DialogCall::MsgBox).first();
    EXPECT_EQ(first.prompt, "Numero di Variabili selezionate troppo elevato. Eliminarle alcune.");
    EXPECT_EQ(forms::iconOf(first.style), forms::vbExclamation);
    EXPECT_FALSE(window->cmb_ric()->isEnabled());
    EXPECT_FALSE(window->txt_ricda()->isEnabled());
    EXPECT_FALSE(window->txt_rica()->isEnabled());
    ASSERT_EQ(logLines().size(), 1);
    EXPECT_TRUE(logLines().first().contains("DoQuery"));
    EXPECT_EQ(forms::mousePointer(), forms::MousePointer::Default);
}

TEST_F(TableWindowTest, OtherQueryFailuresShowNumberAndDescription)
{
    app().CurrentDbName = "Manca.mdb";  // the connection fails (and is logged), then the query
    open();
    QVector<forms::DialogCall> critical;
    for (const forms::DialogCall &call : dialogs.calls(forms::DialogCall::MsgBox))
        if (forms::iconOf(call.style) == forms::vbCritical)
            critical << call;
    ASSERT_EQ(critical.size(), 1);
    EXPECT_TRUE(QRegularExpression("^-?\\d+ \\S").match(critical.first().prompt).hasMatch())
        << critical.first().prompt.toStdString();
    EXPECT_FALSE(window->cmb_ric()->isEnabled());
    EXPECT_TRUE(logLines().last().contains("DoQuery"));
}

TEST_F(TableWindowTest, DescriptionBoxShowsTheCodeOfADataColumnOnly)
{
    open();
    struct Case {
        int column;
        QString header;  // replaces the header when not empty
        QString expected;
    };
    const std::vector<Case> cases = {
        {6, "", "Posti letto negli istituti di cura pubblici e privati"},
        {8, "", "Medici di medicina generale"},
        {5, "", ""},
        {7, "XX999_2005", ""},
        {7, "AS014", "Medici di medicina generale"},  // a header without "_" is the whole code
        {7, "A'S_2005", ""},                         // an apostrophe does not break the statement
    };
    for (const Case &c : cases) {
        if (!c.header.isEmpty())
            grid().setTextMatrix(0, c.column, c.header);
        window->lblDescVar()->setPlainText("vecchio");
        grid().setRow(1);
        grid().setCol(c.column);
        window->datagrid_EnterCell();
        EXPECT_EQ(window->lblDescVar()->toPlainText(), c.expected) << c.column;
    }
    EXPECT_TRUE(logLines().isEmpty());
}

TEST_F(TableWindowTest, SortsNumericAndTextColumnsKeepingTiesInOrder)
{
    open();
    struct Case {
        const char *what;
        std::function<void()> sort;
        int keyColumn;
        QStringList codes;  // COD_TERR from row 1
    };
    const std::vector<Case> cases = {
        {"button ascending, numeric", [&] { window->cmb_Ordina()->setCurrentIndex(6); window->cmd_ordinaA_Click(); }, 6,
         {"P022", "P007", "P004", "P001", "P021"}},
        {"button descending, numeric", [&] { window->cmb_Ordina()->setCurrentIndex(6); window->cmd_ordinaD_Click(); }, 6,
         {"P021", "P001", "P004", "P007", "P022"}},
        {"button ascending, territory code", [&] { window->cmb_Ordina()->setCurrentIndex(1); window->cmd_ordinaA_Click(); }, 1,
         {"P001", "P004", "P007", "P021", "P022"}},
        {"pop-up ascending, names", [&] { grid().setCol(5); window->mnu_asce_Click(); }, 5,
         {"P007", "P021", "P004", "P001", "P022"}},
        {"pop-up descending, names", [&] { grid().setCol(5); window->mnu_disce_Click(); }, 5,
         {"P022", "P001", "P004", "P021", "P007"}},
        // ties keep the order the table had (names descending, from the case above)
        {"pop-up ascending, ties", [&] { grid().setCol(8); window->mnu_asce_Click(); }, 8,
         {"P004", "P021", "P022", "P001", "P007"}},
        {"pop-up descending, ties", [&] { grid().setCol(8); window->mnu_disce_Click(); }, 8,
         {"P022", "P001", "P007", "P004", "P021"}},
    };
    for (const Case &c : cases) {
        c.sort();
        EXPECT_EQ(column(1).mid(1), c.codes) << c.what;
        EXPECT_EQ(grid().Col(), c.keyColumn) << c.what;
        EXPECT_EQ(grid().TextMatrix(0, 1), "COD_TERR");
        EXPECT_EQ(grid().cellBackColor(1, 3), 0x00FFFFFFu) << c.what;
        EXPECT_EQ(grid().cellBackColor(2, 3), 0x8000000Fu) << c.what;
        EXPECT_TRUE(grid().Redraw());
        EXPECT_FALSE(window->isSorting());
    }
    EXPECT_TRUE(dialogs.messages().isEmpty());
}

TEST_F(TableWindowTest, DescriptionFollowsTheColumnASortOrSearchMakesCurrent)
{
    open();
    ASSERT_EQ(window->lblDescVar()->toPlainText(), "");
    window->cmb_Ordina()->setCurrentIndex(8);
    window->cmd_ordinaD_Click();
    EXPECT_EQ(window->lblDescVar()->toPlainText(), "Medici di medicina generale");
    window->cmb_ric()->setCurrentIndex(7);  // AS013_2005
    window->txt_ricda()->setText("10");
    window->cmd_ric_Click();
    EXPECT_EQ(window->lblDescVar()->toPlainText(), "Posti letto negli istituti di cura pubblici e privati");
    grid().setCol(5);
    window->mnu_asce_Click();
    EXPECT_EQ(window->lblDescVar()->toPlainText(), "");
    EXPECT_TRUE(logLines().isEmpty());
}

TEST_F(TableWindowTest, SortOnANameThatIsNoLongerAColumnLeavesTheTable)
{
    open();
    window->cmb_Ordina()->addItem("Indicatore1");  // as the formula editor leaves it after a failed run
    window->cmb_Ordina()->setCurrentIndex(9);
    const QStringList before = column(1);
    window->cmd_ordinaA_Click();
    EXPECT_EQ(column(1), before);
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(logLines().isEmpty());
}

TEST_F(TableWindowTest, ClickOnAColumnMovesBothChoosers)
{
    open();
    grid().setRow(2);
    grid().setCol(7);
    window->datagrid_Click();
    EXPECT_EQ(window->cmb_ric()->currentText(), "AS013_2006");
    EXPECT_EQ(window->cmb_Ordina()->currentText(), "AS013_2006");
}

TEST_F(TableWindowTest, MetadataOfAColumnNeedsACodeAndOpensTheSheetOfTheKind)
{
    QStringList opened;
    pendra::registerFormOpener("FRMSCHEDAVARIABILI", [&] { opened << "variabili"; });
    pendra::registerFormOpener("FRMSCHEDAINDICATORI", [&] { opened << "indicatori"; });
    open();
    grid().setCol(5);
    window->mnu_metadati_Click();
    ASSERT_EQ(dialogs.messages(), QStringList{"Informazioni per la variabile non disponibili!"});
    EXPECT_EQ(forms::iconOf(dialogs.calls().first().style), forms::vbInformation);
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_TRUE(app().SqlScheda.isEmpty());

    grid().setCol(7);
    window->mnu_metadati_Click();
    EXPECT_EQ(app().SqlScheda, pendra::GetSqlScheda("Variabili", "AS013"));
    // Another menu item changes the shared Kind, not the kind of the columns this table shows.
    app().Kind = "Indicatori";
    window->mnu_metadati_Click();
    EXPECT_EQ(app().SqlScheda, pendra::GetSqlScheda("Variabili", "AS013"));
    EXPECT_EQ(opened, (QStringList{"variabili", "variabili"}));
    pendra::unregisterFormOpener("FRMSCHEDAVARIABILI");
    pendra::unregisterFormOpener("FRMSCHEDAINDICATORI");
}

// The centre of a cell of the grid, in the viewport's coordinates.
QPoint cellCentre(const grid::FlexGrid &g, int row, int col)
{
    return g.visualRect(g.model()->index(row, col)).center();
}

QAction *popupAction(pendra::frm_dispData &w, const char *name)
{
    return w.mnu_ordinam()->findChild<QAction *>(name);
}

TEST_F(TableWindowTest, RightPressMakesThePressedCellCurrentUnlessItLiesInTheSelection)
{
    open();
    window->show();
    QApplication::processEvents();
    grid::FlexGrid *view = window->datagrid();
    // A left click on AS013_2005, then a right press on AS014_2005: the menu acts on AS014_2005.
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cellCentre(*view, 2, 6));
    ASSERT_EQ(grid().ColSel(), 6);
    QTest::mousePress(view->viewport(), Qt::RightButton, {}, cellCentre(*view, 3, 8));
    EXPECT_TRUE(window->mnu_ordinam()->isVisible());
    window->mnu_ordinam()->hide();
    EXPECT_EQ(grid().Row(), 3);
    EXPECT_EQ(grid().Col(), 8);
    EXPECT_EQ(grid().RowSel(), 3);
    EXPECT_EQ(grid().ColSel(), 8);
    EXPECT_EQ(window->cmb_Ordina()->currentText(), "AS014_2005");
    EXPECT_EQ(window->cmb_ric()->currentText(), "AS014_2005");
    EXPECT_FALSE(window->lblDescVar()->toPlainText().isEmpty());
    popupAction(*window, "mnu_clipboard")->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), grid().TextMatrix(3, 8));
    popupAction(*window, "mnu_metadati")->trigger();
    EXPECT_EQ(app().SqlScheda, pendra::GetSqlScheda("Variabili", "AS014"));

    // A right press on a territory name describes nothing, as a click there does.
    QTest::mousePress(view->viewport(), Qt::RightButton, {}, cellCentre(*view, 1, 5));
    window->mnu_ordinam()->hide();
    EXPECT_EQ(grid().ColSel(), 5);
    EXPECT_TRUE(window->lblDescVar()->toPlainText().isEmpty());

    // Inside a selection of several cells the selection stays.
    grid().setRow(1);
    grid().setCol(6);
    grid().setRowSel(4);
    grid().setColSel(7);
    QTest::mousePress(view->viewport(), Qt::RightButton, {}, cellCentre(*view, 2, 6));
    window->mnu_ordinam()->hide();
    EXPECT_EQ((QList<int>{grid().Row(), grid().Col(), grid().RowSel(), grid().ColSel()}), (QList<int>{1, 6, 4, 7}));
    EXPECT_TRUE(dialogs.messages().isEmpty()) << dialogs.messages().join('|').toStdString();
    EXPECT_TRUE(logLines().isEmpty()) << logLines().join('|').toStdString();
}

TEST_F(TableWindowTest, MenuKeyAndShiftF10PopTheMenuOnTheCurrentCell)
{
    open();
    window->show();
    QApplication::processEvents();
    grid::FlexGrid *view = window->datagrid();
    view->setFocus();
    grid().setRow(2);
    grid().setCol(7);
    const QRect cell(view->viewport()->mapToGlobal(view->visualRect(view->model()->index(2, 7)).topLeft()),
                     view->visualRect(view->model()->index(2, 7)).size());
    for (const bool menuKey : {true, false}) {
        SCOPED_TRACE(menuKey ? "Menu key" : "Shift+F10");
        QPoint shownAt;
        const auto connection = QObject::connect(view, &grid::FlexGrid::MenuKey, [&](QPoint at) { shownAt = at; });
        if (menuKey) {
            // The platform sends the Menu key as a context-menu event to the widget with the focus.
            QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(0, 0), view->mapToGlobal(QPoint(0, 0)));
            QCoreApplication::sendEvent(view, &event);
        } else {
            QTest::keyClick(view, Qt::Key_F10, Qt::ShiftModifier);
        }
        QObject::disconnect(connection);
        EXPECT_TRUE(window->mnu_ordinam()->isVisible());
        EXPECT_TRUE(cell.contains(shownAt)) << shownAt.x() << "," << shownAt.y();
        window->mnu_ordinam()->hide();
    }
    popupAction(*window, "mnu_metadati")->trigger();
    EXPECT_EQ(app().SqlScheda, pendra::GetSqlScheda("Variabili", "AS013"));
}

TEST_F(TableWindowTest, ShiftArrowSelectionMovesTheChoosersWithItsEnd)
{
    open();
    window->show();
    QApplication::processEvents();
    grid::FlexGrid *view = window->datagrid();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cellCentre(*view, 2, 6));
    QTest::keyClick(view, Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(grid().Col(), 6);
    EXPECT_EQ(grid().ColSel(), 7);
    EXPECT_EQ(window->cmb_Ordina()->currentText(), "AS013_2006");
    EXPECT_EQ(window->cmb_ric()->currentText(), "AS013_2006");
}

TEST_F(TableWindowTest, ClosedWhileTheBoxOfItsMetadataItemIsOpenTheWindowLivesUntilTheItemReturns)
{
    open();
    window->show();
    grid().setCol(5);  // no code: the item answers with a box
    QPointer<pendra::frm_dispData> w = window;
    bool aliveDuringBox = false;
    dialogs.whileNextMsgBoxIsOpen([&] {
        w->cmdChiudi()->click();  // an assistive tool presses "Chiudi" behind the box
        QEventLoop boxLoop;
        QTimer::singleShot(0, &boxLoop, &QEventLoop::quit);
        boxLoop.exec();
        aliveDuringBox = !w.isNull();
    });
    popupAction(*window, "mnu_metadati")->trigger();
    EXPECT_EQ(dialogs.messages(), QStringList{"Informazioni per la variabile non disponibili!"});
    EXPECT_TRUE(aliveDuringBox);
    EXPECT_FALSE(forms::FormRegistry::isLoaded<pendra::frm_dispData>());
    EXPECT_TRUE(app().SqlQuery.isEmpty());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(w.isNull());
    window = nullptr;
}

TEST_F(TableWindowTest, NoteWindowOpensModally)
{
    open();
    bool shown = false;
    QTimer::singleShot(0, [&] {
        if (auto *nota = forms::FormRegistry::find<pendra::frmNota>()) {
            shown = nota->isVisible();
            nota->Command1_Click();
        }
    });
    window->cmdInfo_Click();
    EXPECT_TRUE(shown);
}

TEST_F(TableWindowTest, ChiudiClearsTheQueryAndTheColumnCounter)
{
    app().NumFunz = 3;
    open();
    window->cmdChiudi_Click();
    EXPECT_FALSE(forms::FormRegistry::isLoaded<pendra::frm_dispData>());
    EXPECT_TRUE(app().SqlQuery.isEmpty());
    EXPECT_EQ(app().NumFunz, 0);
}

TEST_F(TableWindowTest, GridToArrayCopiesEveryCellWithHeaders)
{
    open();
    window->GridToArray(grid());
    ASSERT_EQ(app().GridData.size(), 6);
    EXPECT_EQ(app().GridData[0][6], "AS013_2005");
    EXPECT_EQ(app().GridData[1][6], "12,50");
    EXPECT_EQ(app().GridData[5][1], "P022");
}

}  // namespace
}  // namespace tabletest
