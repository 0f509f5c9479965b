// bench_metadata: the browser's tree for every database and the code list with its yearly
// availability on the full sample atlas, beside the raw SQLCipher time of the same statements
// (goal: under 100 ms each; one statement per window, not one per code).
#include "AtlasBuilder.h"
#include "frmListaMetadati.h"
#include "frmMetadati.h"
#include "app/core/AppState.h"

#include "forms/FormRegistry.h"
#include "jet/Connection.h"
#include "jet/Recordset.h"
#include "tree/TreeModel.h"

#include <QApplication>
#include <QListWidget>
#include <QComboBox>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <sqlite3.h>

namespace {

QTemporaryDir *g_dir = nullptr;

void prepare()
{
    if (g_dir)
        return;
    g_dir = new QTemporaryDir;
    atlas::Options options;
    options.size = atlas::Options::Size::Full;
    options.withPictures = false;
    atlas::buildProgramFolder(g_dir->path(), options);
    pendra::AppState &s = pendra::app();
    s.DataPath = g_dir->path() + "/Databases/";
    s.FilesPath = g_dir->path() + "/Files/";
    s.Password = "mirabella1994";
    s.ConnPrefix = pendra::odbcPrefix(s.Password);
}

// The browser's whole tree of one kind through the engine, one statement.
void BM_BrowserTree(benchmark::State &state)
{
    prepare();
    pendra::app().Kind = state.range(0) == 0 ? "Variabili" : "Indicatori";
    for (auto _ : state) {
        jet::Connection c;
        c.open(pendra::app().ConnPrefix + pendra::app().DataPath + "Metadati.mdb");
        tree::TreeModel m;
        pendra::fillsonsAll(c, m);
        benchmark::DoNotOptimize(m.count());
    }
}

// The browser window: load, then every database of the list chosen in turn.
void BM_BrowserEveryDatabase(benchmark::State &state)
{
    prepare();
    for (auto _ : state) {
        auto *w = forms::FormRegistry::get<pendra::frmMetadati>();
        for (int i = 1; i < w->cmb_Databases->count(); ++i)
            w->cmb_Databases->setCurrentIndex(i);
        forms::FormRegistry::unload(w);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

// The code list: load, list the codes and show the availability of every code in turn.
void BM_CodeListWithAvailability(benchmark::State &state)
{
    prepare();
    for (auto _ : state) {
        auto *w = forms::FormRegistry::get<pendra::frmListaMetadati>();
        for (int kind = 0; kind < 2; ++kind) {
            w->cmbVarInd->setCurrentIndex(kind);
            if (state.range(0) == 1) {
                for (int i = 0; i < w->lst_CodVar->count(); ++i)
                    w->lst_CodVar->setCurrentRow(i);
            }
        }
        forms::FormRegistry::unload(w);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

// The same tree statement straight on SQLCipher (joins in SQLite's own words), for comparison.
void BM_RawTreeStatement(benchmark::State &state)
{
    prepare();
    const QByteArray path = (pendra::app().DataPath + "Metadati.mdb").toUtf8();
    const char *sql =
        "SELECT Settore.idSettore, Settore.[Descrizione Settore], Argomento.[Codice argomento], "
        "Argomento.[Desc argomento], MetadatiVariabili.IdVariabile, MetadatiVariabili.DescVariabile, "
        "IndVarAnno.TipoVar FROM ((Settore INNER JOIN Argomento ON Settore.idSettore = Argomento.idSettore) "
        "INNER JOIN IndVarAnno ON (Settore.idSettore = IndVarAnno.Settore) AND (Argomento.[Codice argomento] = "
        "IndVarAnno.Argomento)) INNER JOIN MetadatiVariabili ON IndVarAnno.Variabile = MetadatiVariabili.IdVariabile "
        "GROUP BY 1, 2, 3, 4, 5, 6, 7 ORDER BY 1, 3, 5";
    for (auto _ : state) {
        sqlite3 *db = nullptr;
        sqlite3_open(path.constData(), &db);
        sqlite3_key(db, "mirabella1994", 13);
        sqlite3_stmt *st = nullptr;
        sqlite3_prepare_v2(db, sql, -1, &st, nullptr);
        int rows = 0;
        while (sqlite3_step(st) == SQLITE_ROW)
            ++rows;
        sqlite3_finalize(st);
        sqlite3_close(db);
        benchmark::DoNotOptimize(rows);
    }
}

BENCHMARK(BM_BrowserTree)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BrowserEveryDatabase)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CodeListWithAvailability)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RawTreeStatement)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    delete g_dir;
    return 0;
}
