// Fuzz target: a statement translated and run on a small keyed database, inside a transaction
// rolled back after each input. Refusals are vb::Error; the tables must all survive.
#include "jet/Database.h"
#include "jet/Recordset.h"
#include "vb/Error.h"

#include <QDir>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

struct Fixture {
    QTemporaryDir dir;
    std::unique_ptr<jet::Database> db;
};

Fixture &fixture()
{
    static Fixture *f = [] {
        auto *fx = new Fixture;
        const QString path = fx->dir.filePath(QStringLiteral("u.mdb"));
        jet::Database::create(path, QStringLiteral("mirabella1994"));
        fx->db = std::make_unique<jet::Database>(
            jet::Database::open(path, false, false, QStringLiteral("MS Access;pwd=mirabella1994")));
        for (const char *sql : {"CREATE TABLE tabope (x LONG, name TEXT(50), v DOUBLE)",
                                "INSERT INTO tabope VALUES (1, 'uno', 1.5)",
                                "INSERT INTO tabope VALUES (2, 'Città', NULL)",
                                "CREATE TABLE [Tabella con spazi] ([Campo & strano] TEXT, [Anno 2005] DOUBLE)",
                                "INSERT INTO [Tabella con spazi] VALUES ('a', 2)"})
            fx->db->execute(QString::fromUtf8(sql));
        return fx;
    }();
    return *f;
}

int tableCount(jet::Database &db)
{
    return int(db.tableDefs().size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    jet::Database &db = *fixture().db;
    const QString sql = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    db.beginTrans();
    try {
        jet::Recordset rs = db.openRecordset(sql, true);
        for (int n = 0; n < 1000 && !rs.eof(); ++n)
            rs.moveNext();
    } catch (const vb::Error &) {
    }
    try {
        db.execute(sql);
    } catch (const vb::Error &) {
    }
    db.rollback();
    if (tableCount(db) != 2) {
        std::fprintf(stderr, "a statement changed the tables for good\n");
        std::abort();
    }
    return 0;
}
