// bench_table: the data table window on the widest query (255 columns, every territory). Opening
// it as "Visualizza Dati" does (the open table closed and deleted, a new one loaded: query, fill,
// colours, column widths; shown in the work area and painted) beside the engine query alone (goal:
// at most 1.5 times at the sample, 1.3 at 8,000); sorting, searching, colouring and the formula
// editor over the whole table (100 ms each).
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
#include <QMdiArea>

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    vb::setUserLocale(QLocale(QLocale::Italian, QLocale::Italy));
    forms::ScriptedDialogService dialogs;
    forms::ScopedDialogs installed(dialogs);
    // The table opens as a window of the program's work area, painted into its backing store.
    QMdiArea workArea;
    workArea.resize(1400, 900);
    workArea.show();
    forms::FormRegistry::setMdiArea(&workArea);
    QApplication::processEvents();
    bench::Ratios ratios;
    for (const bench::Folder &f : bench::folders()) {
        pendra::AppState &s = bench::useFolder(f.root);
        s.Kind = "Variabili";
        s.SqlQuery = bench::widestQuery(f.root);
        const QString sql = s.SqlQuery + " order by land_Ind.COD_TERR";

        // The user's road: the open table is unloaded (and deleted once back in the event loop),
        // the statement is set again (unloading clears it), a new window loads on it and is painted.
        const QString statement = s.SqlQuery;
        const auto openTable = [&] {
            forms::FormRegistry::unload<pendra::frm_dispData>();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            s.SqlQuery = statement;
            auto *opened = forms::FormRegistry::show<pendra::frm_dispData>();
            QApplication::processEvents();
            return opened;
        };
        {
            const grid::FlexGridModel &opened = openTable()->datagrid()->grid();
            std::printf("data table, %d territories: %d rows, %d columns\n", f.territories, opened.Rows(),
                        opened.Cols());
            // A table that failed to open would time its message, not the table.
            if (opened.Rows() < 2 || !dialogs.messages().isEmpty()) {
                std::fprintf(stderr, "the table did not open: %s\n", qPrintable(dialogs.messages().join(' ')));
                return 1;
            }
        }

        ratios.add("table", f.territories, bench::interleavedMs(
                                               f.runs, openTable,
                                               [&] { bench::engineQuery(bench::dataConnect(f.root), sql); }));
        auto *window = openTable();
        grid::FlexGridModel &g = window->datagrid()->grid();

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
