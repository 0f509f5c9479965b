// bench_wide_query: the widest data query (six territory columns and 249 formatted values, every
// territory) through the engine, opening included, beside its floor: the same translated statement
// on the raw cipher library, opened with the key already derived, reading typed values and writing
// the numbers with two decimals through std::to_chars. Goal: at most 1.3 times the floor.
#include "BenchFolders.h"
#include "WidestQuery.h"

#include "jet/JetSql.h"
#include "jet/KeyCache.h"
#include "vb/Conversions.h"

#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>

#include <charconv>

#define SQLITE_HAS_CODEC 1
#include <sqlite3.h>

namespace {

volatile std::size_t sink = 0;


struct RawStatement {
    QByteArray path, key, sql, attach;
};

QByteArray keyOf(const QString &path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return jet::KeyCache::rawKey(pendra::DatabasePassword, file.read(jet::KeyCache::SaltSize));
}

RawStatement rawStatement(const QString &root, const QString &jetSql)
{
    RawStatement raw;
    raw.path = QFile::encodeName(root + "Databases/VariabiliProvince.mdb");
    raw.key = keyOf(root + "Databases/VariabiliProvince.mdb");
    const QString territorio = root + "Databases/Territorio.mdb";
    raw.attach = "ATTACH DATABASE '" + QFile::encodeName(territorio) + "' AS terr KEY \"" +
                 keyOf(territorio) + "\"; CREATE TEMP VIEW land_Ind AS SELECT * FROM terr.land_Ind;";
    QString sql = jet::translateSql(jetSql);
    // The engine formats in its own function; the floor reads the stored number.
    sql.replace(QRegularExpression(QStringLiteral("jet_format\\(([^,()]+), '0\\.00'\\)")), QStringLiteral("\\1"));
    // The engine's text order matches the built-in NOCASE on ASCII codes, in one pass as well.
    sql.replace(QStringLiteral("COLLATE JETORDER"), QStringLiteral("COLLATE NOCASE"));
    raw.sql = sql.toUtf8();
    return raw;
}

int rawQuery(const RawStatement &raw)
{
    sqlite3 *db = nullptr;
    sqlite3_open_v2(raw.path.constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_key(db, raw.key.constData(), raw.key.size());
    // The territory table is a link of the data database, exposed as the engine exposes it.
    sqlite3_exec(db, raw.attach.constData(), nullptr, nullptr, nullptr);
    sqlite3_stmt *st = nullptr;
    int rows = -1;
    if (sqlite3_prepare_v2(db, raw.sql.constData(), raw.sql.size(), &st, nullptr) == SQLITE_OK) {
        rows = 0;
        char buf[64];
        while (sqlite3_step(st) == SQLITE_ROW) {
            const int cols = sqlite3_column_count(st);
            for (int i = 0; i < cols; ++i) {
                switch (sqlite3_column_type(st, i)) {
                case SQLITE_FLOAT: {
                    const auto r = std::to_chars(buf, buf + sizeof buf, sqlite3_column_double(st, i),
                                                 std::chars_format::fixed, 2);
                    sink = sink + std::size_t(r.ptr - buf);
                    break;
                }
                case SQLITE_INTEGER: {
                    const auto r = std::to_chars(buf, buf + sizeof buf, sqlite3_column_int64(st, i));
                    sink = sink + std::size_t(r.ptr - buf);
                    break;
                }
                case SQLITE_TEXT:
                    sink = sink + std::size_t(sqlite3_column_bytes(st, i)) + *sqlite3_column_text(st, i);
                    break;
                default:
                    break;
                }
            }
            ++rows;
        }
    } else {
        std::fprintf(stderr, "raw statement refused: %s\n", sqlite3_errmsg(db));
    }
    sqlite3_finalize(st);
    sqlite3_close_v2(db);
    return rows;
}

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    vb::setUserLocale(QLocale(QLocale::Italian, QLocale::Italy));
    bench::Ratios ratios;
    for (const bench::Folder &f : bench::folders()) {
        const QString sql = bench::widestQuery(f.root) + QStringLiteral(" order by land_Ind.COD_TERR");
        const QString connect = bench::dataConnect(f.root);
        const RawStatement raw = rawStatement(f.root, sql);
        const int rows = bench::engineQuery(connect, sql);
        const int rawRows = rawQuery(raw);
        std::printf("widest query, %d territories: %d rows through the engine, %d raw\n", f.territories, rows, rawRows);
        if (rows != rawRows)
            return 1;
        ratios.add("query", f.territories,
                   bench::interleavedMs(f.runs, [&] { bench::engineQuery(connect, sql); }, [&] { rawQuery(raw); }));
    }
    return 0;
}
