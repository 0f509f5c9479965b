// Closing a shown data grid of the widest result (255 columns, 131 rows) after a screen reader read
// every cell: Qt's accessibility cache must not hold one entry per cell. Goal: well under a second.
#include "grid/FlexGrid.h"

#include <QAccessible>
#include <QAccessibleTableInterface>
#include <QApplication>

#include <benchmark/benchmark.h>

namespace {

void fillGrid(grid::FlexGridModel &g)
{
    g.setCols(255);
    g.setRows(131);
    for (int r = 0; r < g.Rows(); ++r)
        for (int c = 0; c < g.Cols(); ++c)
            g.setTextMatrix(r, c, r == 0 ? QString("V%1_2005").arg(c) : QString("%1,%2").arg(r * 7 + c).arg(c % 100));
}

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
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
