// Writing the widest export (255 columns x 131 rows) through the spreadsheet layer, beside writing
// the same cells with libzip alone (sheet XML built as one string). Target: the layer within 2x
// of the baseline and under 300 ms.
#include "sheet/Application.h"

#include <QFile>
#include <QTemporaryDir>

#include "LibzipBaseline.h"

#include <benchmark/benchmark.h>

namespace {

const QString Template = QStringLiteral(PENDRA_DIR "/Files/DatiTemplateVar.xlsx");
constexpr int Rows = 131, Cols = 255;

QVector<QVector<vb::Variant>> widestBlock()
{
    QVector<QVector<vb::Variant>> rows;
    for (int i = 0; i < Rows; ++i) {
        QVector<vb::Variant> row;
        for (int j = 0; j < Cols; ++j) {
            if (i == 0)
                row << vb::Variant(QString("AS%1_2005").arg(j, 3, 10, QChar('0')));
            else if (j < 6)
                row << vb::Variant(j == 5 ? QString("Territorio %1").arg(i) : QString::number(i * 1000 + j));
            else
                row << vb::Variant(i * 3.25 + j);
        }
        rows << row;
    }
    return rows;
}

void BM_SheetLayer(benchmark::State &state)
{
    QTemporaryDir dir;
    const auto rows = widestBlock();
    for (auto _ : state) {
        sheet::Application xl;
        sheet::Workbook &book = xl.open(Template);
        book.sheet(1).setValues(rows);
        book.sheet(1).autoFitColumns(1, Cols);
        book.sheet(2).setValues({{vb::Variant("Variabile")}, {vb::Variant("AS001")}});
        book.sheet(1).select();
        book.saveAs(dir.path() + "/out.xlsx");
        xl.quit();
    }
}
BENCHMARK(BM_SheetLayer)->Unit(benchmark::kMillisecond);

// The same cells as a hand-built sheet part, with the template's other parts copied through libzip.
void BM_LibzipAlone(benchmark::State &state)
{
    QTemporaryDir dir;
    const auto rows = widestBlock();
    for (auto _ : state)
        benchbase::writeWithLibzip(Template, dir.path() + "/base.xlsx", rows);
}
BENCHMARK(BM_LibzipAlone)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
