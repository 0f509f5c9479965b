// Fuzz target: the help reader on a damaged help file. Opening either fails with error 53 or
// gives a file whose every page, the context map and the first page can be read.
#include "forms/help/ChmFile.h"
#include "vb/Error.h"
#include "FuzzInput.h"

#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Helvora.chm"));
    if (!fuzz::writeInput(path, data, size))
        std::abort();
    try {
        const forms::ChmFile chm(path);
        for (const QString &f : chm.files())
            (void)chm.read(f);
        (void)chm.defaultTopic();
        for (qint32 id = 0; id < 64; ++id)
            (void)chm.topicForContext(id);
    } catch (const vb::Error &e) {
        if (e.number() != vb::err::FileNotFound)
            std::abort();
    }
    return 0;
}
