// The spreadsheet export of the widest result table (255 columns, every territory) from its texts,
// metadata sheet included, beside writing the same cells with libzip alone.
// Target: within 2x of the baseline and under 300 ms.
#include "LibzipBaseline.h"

#include "app/core/AppState.h"
#include "app/query/EsportaExcel.h"
#include "forms/ScriptedDialogService.h"
#include "vb/Conversions.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

const QString Folder = QStringLiteral(PENDRA_DIR "/");
constexpr int Rows = 131, Cols = 255;

pendra::TextTable widestTable()
{
    pendra::TextTable rows;
    for (int i = 0; i < Rows; ++i) {
        QVector<QString> row;
        for (int j = 0; j < Cols; ++j) {
            if (i == 0)
                row << (j < 6 ? QString("T%1").arg(j) : QString("AS%1_2005").arg(j - 5, 3, 10, QChar('0')));
            else if (j < 6)
                row << (j == 5 ? QString("Territorio %1").arg(i) : QString::number(i * 1000 + j));
            else
                row << vb::userLocale().toString(i * 3.25 + j, 'f', 2);
        }
        rows << row;
    }
    return rows;
}

forms::ScriptedDialogService dialogs;

void setUp()
{
    forms::setDialogs(&dialogs);
    vb::setUserLocale(QLocale(QLocale::Italian, QLocale::Italy));
    pendra::AppState &s = pendra::app();
    s.DataPath = Folder + "Databases/";
    s.FilesPath = Folder + "Files/";
    s.ConnPrefix = pendra::odbcPrefix(pendra::DatabasePassword);
    s.Kind = "Variabili";
}

void BM_ExportTable(benchmark::State &state)
{
    setUp();
    QTemporaryDir dir;
    const pendra::TextTable table = widestTable();
    for (auto _ : state)
        if (!pendra::CreateExcelFile(dir.path() + "/out.xlsx", "DatiTemplateVar", table, "Variabili"))
            state.SkipWithError(("export failed: " + dialogs.messages().join(' ')).toStdString().c_str());
}
BENCHMARK(BM_ExportTable)->Unit(benchmark::kMillisecond);

void BM_LibzipAlone(benchmark::State &state)
{
    setUp();
    QTemporaryDir dir;
    const auto rows = pendra::ExcelValues(widestTable());
    for (auto _ : state)
        benchbase::writeWithLibzip(Folder + "Files/DatiTemplateVar.xlsx", dir.path() + "/base.xlsx", rows);
}
BENCHMARK(BM_LibzipAlone)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
