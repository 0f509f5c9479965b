// libFuzzer target: an arbitrary archive (entry names included) unpacked into a scratch folder must
// never write outside it, crash or leave temporary files after a failure.
#include "unzip/Unzip.h"
#include "FuzzInput.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {
int givePassword(char *buffer, int size, const char *, const char *)
{
    std::strncpy(buffer, "pw", static_cast<size_t>(size) - 1);
    return unzip::IZ_PW_ENTERED;
}

int countFiles(const QString &folder)
{
    int n = 0;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        ++n;
    }
    return n;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QTemporaryDir root;
    const QString dest = root.path() + "/dest";
    QDir().mkpath(dest);
    const QString archive = root.path() + "/in.zip";
    if (!fuzz::writeInput(archive, data, size))
        return 0;
    const QByteArray zipName = QFile::encodeName(archive), dir = QFile::encodeName(dest);
    unzip::DCL dcl;
    dcl.lpszZipFN = zipName.constData();
    dcl.lpszExtractDir = dir.constData();
    unzip::USERFUNCTIONS uf;
    uf.password = givePassword;
    const int code = unzip::Wiz_SingleEntryUnzip(0, nullptr, 0, nullptr, &dcl, &uf);
    // Only the archive and the destination may exist beside each other; a failure leaves dest empty.
    const QStringList top = QDir(root.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    if (top != QStringList{"dest", "in.zip"})
        std::abort();
    if (code != unzip::PK_OK && code != unzip::PK_WARN && countFiles(dest) != 0)
        std::abort();
    return 0;
}
