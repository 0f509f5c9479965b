// Cost of the data table grid on the widest result the engine allows (255 columns, 130 territories):
// filling the grid from the record set, colouring its rows, sorting on a numeric column. Target:
// each under 20 ms. Closing a shown grid whose every cell a screen reader read: under a second.
#include "app/query/DataTableGrid.h"

#include "grid/FlexGrid.h"
#include "jet/Connection.h"
#include "jet/Database.h"
#include "jet/Recordset.h"
#include "vb/Conversions.h"

#include <QAccessible>
#include <QAccessibleTableInterface>
#include <QApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

const QString password = QStringLiteral("mirabella1994");
constexpr int Territories = 130;
constexpr int DataColumns = 249;  // + 6 territory columns = 255

// One data table with 249 value columns and the territory table, as the widest query reads them.
struct Widest {
    QTemporaryDir dir;
    QString path;
    QString sql;

    Widest()
    {
        path = dir.path() + QStringLiteral("/Dati.mdb");
        jet::Database db = jet::Database::create(path, password);
        db.execute(QStringLiteral("CREATE TABLE land_Ind (COD_TIPO_TERR INTEGER, COD_TERR TEXT(10), PROV TEXT(5), "
                                  "REG TEXT(5), COD_NUTS TEXT(10), DES_TERR TEXT(80))"));
        QString create = QStringLiteral("CREATE TABLE X (COD_TERR TEXT(10)");
        QString select = QStringLiteral("SELECT land_Ind.COD_TIPO_TERR as TipoTerritorio, land_Ind.COD_TERR, "
                                        "land_Ind.PROV, land_Ind.REG, land_Ind.COD_NUTS, land_Ind.DES_TERR as Territorio");
        for (int c = 0; c < DataColumns; ++c) {
            create += QStringLiteral(", V%1 DOUBLE").arg(c);
            select += QStringLiteral(", Format(X.V%1, '0.00') as V%1_2005").arg(c);
        }
        db.execute(create + ")");
        for (int t = 0; t < Territories; ++t) {
            const QString code = QStringLiteral("P%1").arg(t, 3, 10, QLatin1Char('0'));
            db.execute(QStringLiteral("INSERT INTO land_Ind VALUES (1, '%1', '%2', '01', 'ITC1', 'Provincia %2')")
                           .arg(code).arg(t));
            QString insert = QStringLiteral("INSERT INTO X VALUES ('%1'").arg(code);
            for (int c = 0; c < DataColumns; ++c)
                insert += QStringLiteral(", %1").arg(((t * 7919 + c * 104729) % 100000) / 100.0);
            db.execute(insert + ")");
        }
        sql = select + QStringLiteral(" FROM X INNER JOIN land_Ind  ON X.COD_TERR = land_Ind.COD_TERR order by land_Ind.COD_TERR");
    }
    QString odbc() const
    {
        return QStringLiteral("Driver={Microsoft Access Driver (*.mdb)};Pwd=") + password + QStringLiteral(";Dbq= ") + path;
    }
};

Widest &widest()
{
    static Widest w;
    return w;
}

void fillGrid(grid::FlexGridModel &g)
{
    jet::Connection cn;
    cn.open(widest().odbc());
    jet::Recordset rs;
    rs.open(widest().sql, cn, jet::CursorType::Static, jet::LockType::ReadOnly);
    g.setDataSource(rs);
}

// The grid's own part of the fill: copying an open record set.
void BM_FillGridFromRecordset(benchmark::State &state)
{
    jet::Connection cn;
    cn.open(widest().odbc());
    jet::Recordset rs;
    rs.open(widest().sql, cn, jet::CursorType::Static, jet::LockType::ReadOnly);
    grid::FlexGridModel g;
    for (auto _ : state)
        g.setDataSource(rs);
    state.counters["cells"] = g.Rows() * g.Cols();
}
BENCHMARK(BM_FillGridFromRecordset)->Unit(benchmark::kMillisecond);

// The whole query as the window runs it: open, run, translate, bind.
void BM_QueryAndFill(benchmark::State &state)
{
    grid::FlexGridModel g;
    for (auto _ : state)
        fillGrid(g);
}
BENCHMARK(BM_QueryAndFill)->Unit(benchmark::kMillisecond);

void BM_ColorGridLines(benchmark::State &state)
{
    grid::FlexGridModel g;
    fillGrid(g);
    for (auto _ : state)
        pendra::ColorGridLines(g);
}
BENCHMARK(BM_ColorGridLines)->Unit(benchmark::kMillisecond);

// Sorting a numeric column up and down, with the colouring that follows every sort.
void BM_SortNumericColumn(benchmark::State &state)
{
    grid::FlexGridModel g;
    fillGrid(g);
    bool sorting = false;
    int order = 1;
    for (auto _ : state) {
        pendra::SortOnColumn(g, 10, order, sorting);
        order = 3 - order;
    }
}
BENCHMARK(BM_SortNumericColumn)->Unit(benchmark::kMillisecond);

// The same fill into the shown grid control (argument 1), and with the column widths measured in
// its font as the window sizes them (argument 3).
void BM_FillShownGridAndSizeColumns(benchmark::State &state)
{
    jet::Connection cn;
    cn.open(widest().odbc());
    jet::Recordset rs;
    rs.open(widest().sql, cn, jet::CursorType::Static, jet::LockType::ReadOnly);
    grid::FlexGrid view;
    view.resize(1400, 800);
    view.show();
    const auto textWidth = pendra::CharacterTextWidth(view.font());
    const int part = static_cast<int>(state.range(0));
    for (auto _ : state) {
        if (part & 1)
            view.grid().setDataSource(rs);
        if (part & 2)
            pendra::AutosizeCols(view.grid(), textWidth, view.widthTwips());
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_FillShownGridAndSizeColumns)->Arg(1)->Arg(3)->Unit(benchmark::kMillisecond);

void BM_SortOnlyNumericColumn(benchmark::State &state)
{
    grid::FlexGridModel g;
    fillGrid(g);
    g.setCol(10);
    int order = 1;
    for (auto _ : state) {
        g.setSort(order);
        order = 3 - order;
    }
}
BENCHMARK(BM_SortOnlyNumericColumn)->Unit(benchmark::kMillisecond);

// A screen reader has read every cell of the shown grid; what closing the window then costs.
void BM_CloseGridWhoseCellsWereRead(benchmark::State &state)
{
    qint64 read = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto *view = new grid::FlexGrid;
        fillGrid(view->grid());
        view->resize(1400, 800);
        view->show();
        QAccessibleTableInterface *table = QAccessible::queryAccessibleInterface(view)->tableInterface();
        for (int r = 0; r < table->rowCount(); ++r)
            for (int c = 0; c < table->columnCount(); ++c)
                read += table->cellAt(r, c)->text(QAccessible::Name).size();
        state.ResumeTiming();
        delete view;
    }
    state.counters["chars"] = double(read);
}
BENCHMARK(BM_CloseGridWhoseCellsWereRead)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    vb::setUserLocale(QLocale(QLocale::Italian, QLocale::Italy));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
