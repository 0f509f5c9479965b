// The formula editor over every row of the widest result table (255 columns, every territory): one
// ratio column evaluated by the engine on the user database. Target: under 100 ms.
#include "app/core/AppState.h"
#include "app/query/FormulaEditor.h"
#include "forms/ScriptedDialogService.h"
#include "grid/FlexGridModel.h"
#include "vb/Conversions.h"

#include <QApplication>
#include <QComboBox>

#include <benchmark/benchmark.h>

namespace {

constexpr int Rows = 131, Cols = 255;

QVector<QVector<QString>> widestTable()
{
    QVector<QVector<QString>> rows;
    for (int i = 0; i < Rows; ++i) {
        QVector<QString> row;
        for (int j = 0; j < Cols; ++j) {
            if (i == 0)
                row << (j < 6 ? QString("T%1").arg(j) : QString("AS%1_2005").arg(j - 5, 3, 10, QChar('0')));
            else if (j < 6)
                row << QString::number(i * 1000 + j);
            else
                row << vb::userLocale().toString(i * 3.25 + j, 'f', 2);
        }
        rows << row;
    }
    return rows;
}

void BM_FormulaWidestTable(benchmark::State &state)
{
    vb::setUserLocale(QLocale(QLocale::Italian, QLocale::Italy));
    forms::ScriptedDialogService dialogs;
    forms::ScopedDialogs installed(dialogs);
    pendra::app().FilesPath = QStringLiteral(PENDRA_DIR "/Files/");
    pendra::app().ConnPrefix = pendra::odbcPrefix(pendra::DatabasePassword);
    pendra::app().GridData = widestTable();
    grid::FlexGridModel grid;
    QComboBox sortList;
    for (auto _ : state) {
        pendra::FormulaEditor editor;  // a new opening: its own connection
        editor.Load(grid, pendra::app().GridData);
        editor.addColumn("AS001_2005");
        editor.addOperator("/");
        editor.addColumn("AS249_2005");
        editor.addPercent();
        dialogs.answerInput("Rapporto");
        if (editor.Esegui(grid, sortList, [] {}) != pendra::FormulaEditor::Outcome::Done)
            state.SkipWithError("evaluation failed");
    }
}
BENCHMARK(BM_FormulaWidestTable)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
