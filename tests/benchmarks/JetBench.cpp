// Cost of opening a data database with its links (the program opens one for almost every click),
// with the key cache warm and cold, and of translating the data query.
#include "jet/Connection.h"
#include "jet/Database.h"
#include "jet/JetSql.h"
#include "jet/KeyCache.h"
#include "jet/Recordset.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

const QString password = QStringLiteral("mirabella1994");

// A metadata database and a data database that links five of its tables, as start-up leaves them.
struct Atlas {
    QTemporaryDir dir;
    QString dati;

    Atlas()
    {
        const QString metadati = dir.path() + QStringLiteral("/Metadati.mdb");
        dati = dir.path() + QStringLiteral("/Dati.mdb");
        const QStringList tables = {"Settore", "Argomento", "MetadatiVariabili", "MetadatiIndicatori", "IndVarAnno"};
        {
            jet::Database m = jet::Database::create(metadati, password);
            for (const QString &t : tables)
                m.execute(QStringLiteral("CREATE TABLE %1 (Codice TEXT(10), Descrizione TEXT)").arg(t));
        }
        jet::Database d = jet::Database::create(dati, password);
        d.execute(QStringLiteral("CREATE TABLE land_Ind (COD_TERR TEXT(10), DES_TERR TEXT)"));
        for (const QString &t : tables) {
            jet::TableDef td;
            td.name = t;
            td.connect = QStringLiteral("ms access;pwd=") + password + QStringLiteral(";DATABASE=") + metadati;
            td.sourceTableName = t;
            d.appendTableDef(td);
        }
    }
    QString odbc() const
    {
        return QStringLiteral("Driver={Microsoft Access Driver (*.mdb)};Pwd=") + password + QStringLiteral(";Dbq= ") + dati;
    }
};

void BM_OpenDataDatabaseWithLinks(benchmark::State &state)
{
    Atlas atlas;
    const QString connect = atlas.odbc();
    for (auto _ : state) {
        jet::Connection cn;
        cn.open(connect);
        jet::Recordset rs;
        rs.open(QStringLiteral("select count(*) from IndVarAnno"), cn);
        benchmark::DoNotOptimize(rs.value(0));
    }
}
BENCHMARK(BM_OpenDataDatabaseWithLinks)->Unit(benchmark::kMillisecond);

// The same open when every file pays the passphrase derivation again.
void BM_OpenDataDatabaseColdKeys(benchmark::State &state)
{
    Atlas atlas;
    const QString connect = atlas.odbc();
    for (auto _ : state) {
        jet::KeyCache::clear();
        jet::Connection cn;
        cn.open(connect);
        benchmark::DoNotOptimize(cn.isOpen());
    }
}
BENCHMARK(BM_OpenDataDatabaseColdKeys)->Unit(benchmark::kMillisecond);

void BM_TranslateDataQuery(benchmark::State &state)
{
    const QString sql = QStringLiteral(
        "SELECT land_Ind.COD_TIPO_TERR as TipoTerritorio, land_Ind.COD_TERR, land_Ind.PROV, land_Ind.REG, "
        "land_Ind.COD_NUTS, land_Ind.DES_TERR as Territorio, Format(X.AS013, '0.00') as AS013_2005, "
        "Format(Y.AS013, '0.00') as AS013_2006, Format(X.AS014, '0.00') as AS014_2005, "
        "Format(Z.DG030, '0.00') as DG030_2005 FROM ((X INNER JOIN land_Ind  ON X.COD_TERR = land_Ind.COD_TERR) "
        "INNER JOIN Y ON Y.COD_TERR = X.COD_TERR) INNER JOIN Z ON Z.COD_TERR = Y.COD_TERR "
        "WHERE land_Ind.DES_TERR IN( 'A', 'B') order by land_Ind.COD_TERR");
    for (auto _ : state)
        benchmark::DoNotOptimize(jet::translateSql(sql));
}
BENCHMARK(BM_TranslateDataQuery)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
