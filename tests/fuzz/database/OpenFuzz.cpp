// Fuzz target: opening a damaged database file with and without the password, and reading its
// catalogue. Failures are vb::Error; nothing may crash.
#include "jet/Connection.h"
#include "jet/Database.h"
#include "jet/Recordset.h"
#include "vb/Error.h"
#include "FuzzInput.h"

#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Dati.mdb"));
    if (!fuzz::writeInput(path, data, size))
        std::abort();
    for (const char *connect : {"MS Access;pwd=mirabella1994", "MS Access;"}) {
        try {
            jet::Database db = jet::Database::open(path, false, true, QString::fromLatin1(connect));
            for (const jet::TableDef &t : db.tableDefs()) {
                jet::Recordset rs = db.openRecordset(t.name, true);
                (void)rs.eof();
            }
            (void)db.queryDefNames();
        } catch (const vb::Error &) {
        }
    }
    return 0;
}
