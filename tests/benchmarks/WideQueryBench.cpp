// The widest data query the query window can build (six territory columns and 249 formatted
// values over thirteen joined year tables, every territory) through the engine, beside the same
// translated statement on the raw cipher library with its own number formatting.
#include "jet/Connection.h"
#include "jet/Database.h"
#include "jet/JetSql.h"
#include "jet/Recordset.h"
#include "vb/Conversions.h"

#include <QRegularExpression>
#include <QStringList>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#define SQLITE_HAS_CODEC 1
#include <sqlite3.h>

namespace {

const QString password = QStringLiteral("mirabella1994");
constexpr int Territories = 150;  // provinces, regions, partitions and Italy
constexpr int FirstYear = 1996;
constexpr int Years = 13;
constexpr int CodesPerTable = 20;
constexpr int ValueColumns = 249;

struct WideAtlas {
    QTemporaryDir dir;
    QString path;
    QString jetSql;

    WideAtlas()
    {
        path = dir.path() + QStringLiteral("/VariabiliProvince.mdb");
        jet::Database db = jet::Database::create(path, password);
        db.beginTrans();
        db.execute(QStringLiteral("CREATE TABLE land_Ind (COD_TIPO_TERR TEXT(2), COD_TERR TEXT(10), PROV TEXT(10), "
                                  "REG TEXT(10), COD_NUTS TEXT(10), DES_TERR TEXT(100))"));
        for (int t = 0; t < Territories; ++t)
            db.execute(QStringLiteral("INSERT INTO land_Ind VALUES ('P', 'P%1', '%1', 'R%2', 'ITC%2', 'Provincia %1')")
                           .arg(t, 3, 10, QLatin1Char('0'))
                           .arg(t % 20, 2, 10, QLatin1Char('0')));
        QStringList columns;
        for (int c = 1; c <= CodesPerTable; ++c)
            columns << QStringLiteral("AS%1 DOUBLE").arg(c, 3, 10, QLatin1Char('0'));
        for (int y = 0; y < Years; ++y) {
            const QString table = QStringLiteral("AS_%1").arg(FirstYear + y);
            db.execute(QStringLiteral("CREATE TABLE %1 (COD_TERR TEXT(10), %2)").arg(table, columns.join(u", ")));
            db.execute(QStringLiteral("CREATE UNIQUE INDEX k ON %1 (COD_TERR)").arg(table));
            for (int t = 0; t < Territories; ++t) {
                QStringList values{QStringLiteral("'P%1'").arg(t, 3, 10, QLatin1Char('0'))};
                for (int c = 1; c <= CodesPerTable; ++c)
                    values << QString::number((t + 1) * 1.37 + c * 10.125 + y, 'g', 12);
                db.execute(QStringLiteral("INSERT INTO %1 VALUES (%2)").arg(table, values.join(u", ")));
            }
        }
        db.commitTrans();

        // As the query window writes it: values in ascending order of code, then year.
        QStringList items{"land_Ind.COD_TIPO_TERR as TipoTerritorio", "land_Ind.COD_TERR", "land_Ind.PROV",
                          "land_Ind.REG", "land_Ind.COD_NUTS", "land_Ind.DES_TERR as Territorio"};
        for (int c = 1, n = 0; c <= CodesPerTable && n < ValueColumns; ++c) {
            for (int y = 0; y < Years && n < ValueColumns; ++y, ++n) {
                const QString code = QStringLiteral("AS%1").arg(c, 3, 10, QLatin1Char('0'));
                items << QStringLiteral("Format(AS_%1.%2, '0.00') as %2_%1").arg(FirstYear + y).arg(code);
            }
        }
        QString from = QStringLiteral("AS_%1 INNER JOIN land_Ind  ON AS_%1.COD_TERR = land_Ind.COD_TERR").arg(FirstYear);
        for (int y = 1; y < Years; ++y)
            from = QStringLiteral("(%1) INNER JOIN AS_%2 ON AS_%2.COD_TERR = AS_%3.COD_TERR")
                       .arg(from)
                       .arg(FirstYear + y)
                       .arg(FirstYear + y - 1);
        jetSql = QStringLiteral("SELECT ") + items.join(u", ") + QStringLiteral(" FROM ") + from +
                 QStringLiteral(" order by land_Ind.COD_TERR");
    }

    QString odbc() const
    {
        return QStringLiteral("Driver={Microsoft Access Driver (*.mdb)};Pwd=") + password + QStringLiteral(";Dbq= ") + path;
    }
};

WideAtlas &atlas()
{
    static WideAtlas a;
    return a;
}

void BM_WideQueryEngine(benchmark::State &state)
{
    vb::setUserLocale(QLocale(QLocale::Italian, QLocale::Italy));
    jet::Connection cn;
    cn.open(atlas().odbc());
    for (auto _ : state) {
        jet::Recordset rs;
        rs.open(atlas().jetSql, cn);
        if (rs.fieldCount() != 6 + ValueColumns)
            state.SkipWithError("wrong shape");
        int rows = 0;
        for (; !rs.eof(); rs.moveNext(), ++rows)
            benchmark::DoNotOptimize(rs.value(6 + ValueColumns - 1));
        if (rows != Territories)
            state.SkipWithError("wrong row count");
    }
    vb::resetUserLocale();
}
BENCHMARK(BM_WideQueryEngine)->Unit(benchmark::kMillisecond);

// The same translated statement on the cipher library alone, numbers formatted by its printf.
void BM_WideQueryRawCipher(benchmark::State &state)
{
    QString sql = jet::translateSql(atlas().jetSql);
    sql.replace(QRegularExpression(QStringLiteral("jet_format\\(([^,]+), '0\\.00'\\)")), QStringLiteral("printf('%.2f', \\1)"));
    sqlite3 *db = nullptr;
    sqlite3_open_v2(atlas().path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    const QByteArray key = password.toUtf8();
    sqlite3_key(db, key.constData(), key.size());
    // Jet's case-blind ordering: the engine registers its own; the built-in one stands in here.
    const QByteArray text = sql.toUtf8();
    for (auto _ : state) {
        sqlite3_stmt *st = nullptr;
        if (sqlite3_prepare_v2(db, text.constData(), text.size(), &st, nullptr) != SQLITE_OK) {
            state.SkipWithError(sqlite3_errmsg(db));
            break;
        }
        int rows = 0;
        while (sqlite3_step(st) == SQLITE_ROW) {
            for (int i = 0; i < sqlite3_column_count(st); ++i)
                benchmark::DoNotOptimize(QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, i)),
                                                           sqlite3_column_bytes(st, i)));
            ++rows;
        }
        sqlite3_finalize(st);
        if (rows != Territories)
            state.SkipWithError("wrong row count");
    }
    sqlite3_close_v2(db);
}
BENCHMARK(BM_WideQueryRawCipher)->Unit(benchmark::kMillisecond);

// Reading every field of the wide set by name, as the grid fill does.
void BM_WideQueryFieldsByName(benchmark::State &state)
{
    jet::Connection cn;
    cn.open(atlas().odbc());
    jet::Recordset rs;
    rs.open(atlas().jetSql, cn);
    const QStringList names = rs.fieldNames();
    for (auto _ : state) {
        for (const QString &name : names)
            benchmark::DoNotOptimize(rs.value(name));
    }
}
BENCHMARK(BM_WideQueryFieldsByName)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
