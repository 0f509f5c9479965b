// bench_metadata: the metadata browser's tree through the engine beside the same statement on raw
// SQLCipher with the key already derived (as the engine holds it); the browser over every database
// and the code list with the yearly availability of every code (goal: 100 ms each).
#include "BenchFolders.h"
#include "frmListaMetadati.h"
#include "frmMetadati.h"

#include "app/core/AppState.h"
#include "forms/FormRegistry.h"
#include "jet/KeyCache.h"
#include "tree/TreeModel.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QListWidget>

#include <sqlite3.h>

namespace {

const char *const TreeSql =
    "SELECT Settore.idSettore, Settore.[Descrizione Settore], Argomento.[Codice argomento], "
    "Argomento.[Desc argomento], MetadatiVariabili.IdVariabile, MetadatiVariabili.DescVariabile, "
    "IndVarAnno.TipoVar FROM ((Settore INNER JOIN Argomento ON Settore.idSettore = Argomento.idSettore) "
    "INNER JOIN IndVarAnno ON (Settore.idSettore = IndVarAnno.Settore) AND (Argomento.[Codice argomento] = "
    "IndVarAnno.Argomento)) INNER JOIN MetadatiVariabili ON IndVarAnno.Variabile = MetadatiVariabili.IdVariabile "
    "GROUP BY 1, 2, 3, 4, 5, 6, 7 ORDER BY 1, 3, 5";

volatile std::size_t sink = 0;

}  // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    bench::Ratios ratios;
    for (const bench::Folder &f : bench::folders()) {
        pendra::AppState &s = pendra::app();
        s.DataPath = f.root + "Databases/";
        s.FilesPath = f.root + "Files/";
        s.Password = pendra::DatabasePassword;
        s.ConnPrefix = pendra::odbcPrefix(s.Password);
        s.Kind = "Variabili";
        const QString path = s.DataPath + "Metadati.mdb";
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        const QByteArray key = jet::KeyCache::rawKey(s.Password, file.read(jet::KeyCache::SaltSize));
        const QByteArray encoded = QFile::encodeName(path);

        const double anchor = bench::medianMs(f.runs * 3, [&] {
            sqlite3 *db = nullptr;
            sqlite3_open_v2(encoded.constData(), &db, SQLITE_OPEN_READONLY, nullptr);
            sqlite3_key(db, key.constData(), key.size());
            sqlite3_stmt *st = nullptr;
            sqlite3_prepare_v2(db, TreeSql, -1, &st, nullptr);
            while (sqlite3_step(st) == SQLITE_ROW)
                for (int i = 0; i < 7; ++i)
                    sink = sink + std::size_t(sqlite3_column_bytes(st, i));
            sqlite3_finalize(st);
            sqlite3_close(db);
        });
        const double tree = bench::medianMs(f.runs * 3, [&] {
            jet::Connection c;
            c.open(s.ConnPrefix + path);
            tree::TreeModel m;
            pendra::fillsonsAll(c, m);
            sink = sink + std::size_t(m.count());
        });
        ratios.add("metadata-tree", f.territories, tree, anchor);

        const double browser = bench::medianMs(f.runs, [&] {
            auto *w = forms::FormRegistry::get<pendra::frmMetadati>();
            for (int i = 1; i < w->cmb_Databases->count(); ++i)
                w->cmb_Databases->setCurrentIndex(i);
            forms::FormRegistry::unload(w);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        });
        ratios.add("metadata-browser", f.territories, browser, bench::FixedGoalMs);

        const double codes = bench::medianMs(f.runs, [&] {
            auto *w = forms::FormRegistry::get<pendra::frmListaMetadati>();
            for (int kind = 0; kind < 2; ++kind) {
                w->cmbVarInd->setCurrentIndex(kind);
                for (int i = 0; i < w->lst_CodVar->count(); ++i)
                    w->lst_CodVar->setCurrentRow(i);
            }
            forms::FormRegistry::unload(w);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        });
        ratios.add("metadata-codelist", f.territories, codes, bench::FixedGoalMs);
    }
    return 0;
}
