// Fuzz target: the Windows-1252 text layer. Every byte string reads as text and writes back as the
// same bytes; lines read from a file join back to the file's text.
#include "vb/Error.h"
#include "vb/TextFile.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString text = vb::fromCp1252(bytes);
    if (text.size() != bytes.size() || vb::toCp1252(text) != bytes) {
        std::fprintf(stderr, "a byte was lost in a read and write\n");
        std::abort();
    }
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Testo.txt"));
    try {
        vb::writeText(path, text);
        if (vb::readAllText(path) != text)
            std::abort();
        QString joined = vb::readLines(path).join(QStringLiteral("\n"));
        QString expected = text;
        expected.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        if (expected.endsWith(u'\n'))
            expected.chop(1);
        if (joined != expected && !(joined.isEmpty() && expected.isEmpty())) {
            std::fprintf(stderr, "lines do not join back to the text\n");
            std::abort();
        }
    } catch (const vb::Error &) {
    }
    return 0;
}
