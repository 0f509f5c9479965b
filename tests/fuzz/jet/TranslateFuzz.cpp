// Fuzz target: the Jet SQL translator on any text. It may refuse (vb::Error) but never crash,
// hang or recurse without bound (jet_run runs what it writes).
#include "jet/JetSql.h"
#include "vb/Error.h"

#include <QString>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString sql = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    for (const bool withRowid : {false, true}) {
        try {
            jet::TranslateOptions options;
            options.withRowid = withRowid;
            (void)jet::translate(sql, options);
        } catch (const vb::Error &) {
        }
    }
    return 0;
}
