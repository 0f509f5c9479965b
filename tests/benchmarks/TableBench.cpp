// bench_table: the data table window on the widest query (255 columns, every territory). Opening
// it (query, fill, colours, column widths) beside the engine query alone (goal: at most 1.5 times at the
// sample, 1.3 at 8,000); sorting, searching, colouring and the formula editor over the whole table (100 ms each).
#include "BenchFolders.h"
#include "WidestQuery.h"

#include "app/query/DataTableGrid.h"
#include "app/query/FormulaEditor.h"
#include "app/query/frm_dispData.h"

#include "forms/FormRegistry.h"
#include "forms/ScriptedDialogService.h"
#include "grid/FlexGrid.h"
#include "vb/Conversions.h"

#include <QApplication>

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    vb::setUserLocale(QLocale(QLocale::Italian, QLocale::Italy));
    forms::ScriptedDialogService dialogs;
    forms::ScopedDialogs installed(dialogs);
    bench::Ratios ratios;
    for (const bench::Folder &f : bench::folders()) {
        pendra::AppState &s = bench::useFolder(f.root);
        s.Kind = "Variabili";
        s.SqlQuery = bench::widestQuery(f.root);
        const QString sql = s.SqlQuery + " order by land_Ind.COD_TERR";

        auto *window = forms::FormRegistry::show<pendra::frm_dispData>();
        window->resize(1400, 900);
        QApplication::processEvents();
        grid::FlexGridModel &g = window->datagrid()->grid();
        std::printf("data table, %d territories: %d rows, %d columns\n", f.territories, g.Rows(), g.Cols());

        ratios.add("table", f.territories, bench::interleavedMs(
                                               f.runs,
                                               [&] {
                                                   window->DoQuery();
                                                   QApplication::processEvents();
                                               },
                                               [&] { bench::engineQuery(bench::dataConnect(f.root), sql); }));

        bool sorting = false;
        int order = grid::flexSortGenericAscending;
        const double sort = bench::medianMs(f.runs, [&] {
            pendra::SortOnColumn(g, 10, order, sorting);
            order = grid::flexSortGenericAscending + grid::flexSortGenericDescending - order;
        });
        ratios.add("sort", f.territories, sort, bench::FixedGoalMs);

        const QString name = g.TextMatrix(g.Rows() / 2, 5).toUpper() + "  ";
        const double search = bench::medianMs(f.runs, [&] {
            QString upper;
            pendra::SearchColumn(g, 5, name, upper, sorting);
        });
        ratios.add("search", f.territories, search, bench::FixedGoalMs);

        const double colour = bench::medianMs(f.runs, [&] { pendra::ColorGridLines(g); });
        ratios.add("colour", f.territories, colour, bench::FixedGoalMs);

        // "Crea indicatore": snapshot, editor, one ratio column over every row, colours again.
        const QString first = g.TextMatrix(0, 6), last = g.TextMatrix(0, g.Cols() - 1);
        int made = 0;
        bool failed = false;
        const double formula = bench::medianMs(f.runs, [&] {
            window->GridToArray(g);
            pendra::FormulaEditor editor;
            editor.Load(g, s.GridData);
            editor.addColumn(first);
            editor.addOperator("/");
            editor.addColumn(last);
            editor.addPercent();
            // A name may be used once in a table: each run adds a column of its own.
            dialogs.answerInput(QStringLiteral("Rapporto%1").arg(++made));
            if (editor.Esegui(g, *window->cmb_Ordina(), [&] { window->ColorGridLines(); }) !=
                pendra::FormulaEditor::Outcome::Done) {
                std::fprintf(stderr, "formula failed: %s\n", qPrintable(dialogs.messages().join(' ')));
                failed = true;
            }
        });
        if (failed)
            return 1;
        ratios.add("formula", f.territories, formula, bench::FixedGoalMs);

        forms::FormRegistry::unloadAll();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    return 0;
}
