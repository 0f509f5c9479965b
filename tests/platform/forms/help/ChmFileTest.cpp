// The help file reader against the compiled Helvora.chm, broken files and damaged context maps.
#include "HelpTopics.h"

#include "forms/help/ChmFile.h"
#include "forms/help/HelpBrowser.h"
#include "vb/Error.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QUrl>
#include <QtEndian>

#include <gtest/gtest.h>

namespace {

using forms::ChmFile;

QByteArray u32(quint32 v)
{
    QByteArray b(4, '\0');
    qToLittleEndian(v, b.data());
    return b;
}

TEST(ChmFile, EveryContextIdOpensItsPage)
{
    const ChmFile chm(QStringLiteral(HELP_CHM));
    for (const auto &t : helptest::mappedTopics()) {
        SCOPED_TRACE(t.contextId);
        const QString topic = chm.topicForContext(t.contextId);
        EXPECT_EQ(topic, QString::fromUtf8(t.page));
        EXPECT_TRUE(chm.read(topic).has_value());
    }
}

TEST(ChmFile, UnmappedIdsHaveNoTopicAndTheFirstPageIsTheIndex)
{
    const ChmFile chm(QStringLiteral(HELP_CHM));
    for (qint32 id : helptest::unmappedIds()) {
        SCOPED_TRACE(id);
        EXPECT_TRUE(chm.topicForContext(id).isEmpty());
    }
    EXPECT_EQ(chm.defaultTopic(), QString::fromUtf8(helptest::FirstPage));
    EXPECT_EQ(chm.title(), QStringLiteral("Guida di Pendra"));
    EXPECT_EQ(chm.contentsFile(), QStringLiteral("/Helvora.hhc"));
}

TEST(ChmFile, LooksFilesUpWithoutRegardToCase)
{
    const ChmFile chm(QStringLiteral(HELP_CHM));
    EXPECT_TRUE(chm.contains(QStringLiteral("/PAGINE/Mappa.HTML")));
    EXPECT_TRUE(chm.contains(QStringLiteral("pagine/mappa.html")));
    EXPECT_FALSE(chm.contains(QStringLiteral("/pagine/")));
    EXPECT_FALSE(chm.contains(QStringLiteral("/pagine/assente.html")));
    EXPECT_FALSE(chm.read(QStringLiteral("/pagine/assente.html")).has_value());
    const auto png = chm.read(QStringLiteral("/immagini/PENDRA.png"));
    ASSERT_TRUE(png.has_value());
    EXPECT_TRUE(png->startsWith("\x89PNG"));
}

// A broken link or picture in a page only shows up when someone reads that page.
TEST(ChmFile, EveryLinkAndPictureOfEveryPageIsInTheFile)
{
    const ChmFile chm(QStringLiteral(HELP_CHM));
    const QRegularExpression ref(QStringLiteral("(?:href|src)\\s*=\\s*\"([^\"#]+)[^\"]*\""),
                                 QRegularExpression::CaseInsensitiveOption);
    int pages = 0;
    for (const QString &file : chm.files()) {
        if (!file.endsWith(QLatin1String(".html")) && !file.endsWith(QLatin1String(".hhc")))
            continue;
        ++pages;
        const QString text = forms::HelpBrowser::decodeHtml(*chm.read(file));
        const QUrl base = forms::HelpBrowser::urlFor(file);
        for (auto it = ref.globalMatch(text); it.hasNext();) {
            const QString target = it.next().captured(1);
            SCOPED_TRACE((file + QStringLiteral(" -> ") + target).toStdString());
            EXPECT_TRUE(chm.contains(base.resolved(QUrl(target)).path()));
        }
    }
    EXPECT_GT(pages, 0);
}

TEST(ChmFile, MissingOrUnreadableFileIsError53)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const auto write = [&](const QString &name, const QByteArray &bytes) {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return f.fileName();
    };
    QDir(dir.path()).mkdir(QStringLiteral("cartella.chm"));
    const QString cases[] = {
        dir.filePath(QStringLiteral("assente.chm")),
        write(QStringLiteral("vuoto.chm"), QByteArray()),
        write(QStringLiteral("testo.chm"), QByteArray("<html>non un file di guida</html>")),
        // a valid signature with nothing behind it
        write(QStringLiteral("tronco.chm"), QByteArray("ITSF") + u32(3) + u32(0x60)),
        dir.filePath(QStringLiteral("cartella.chm")),
    };
    for (const QString &path : cases) {
        SCOPED_TRACE(path.toStdString());
        try {
            ChmFile chm(path);
            ADD_FAILURE() << "opened";
        } catch (const vb::Error &e) {
            // In Italian: missing, or there but not a sound help file.
            EXPECT_EQ(e.number(), 53);
            const QString said = QFileInfo(path).isFile()
                ? QStringLiteral("Il file della Guida %1 è danneggiato o non è un file della Guida.").arg(path)
                : QStringLiteral("Il file della Guida %1 non è stato trovato.").arg(path);
            EXPECT_EQ(e.description(), said);
            EXPECT_FALSE(e.detail().isEmpty());
        }
    }
}

// One-byte (or one-field) damage to the compiled help file, each of which once crashed the reading
// library, made it loop for ever or ask for gigabytes: the file is refused as a missing one is.
TEST(ChmFile, DamagedFileIsError53)
{
    QFile source(QStringLiteral(HELP_CHM));
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    const QByteArray good = source.readAll();
    const auto u32at = [&](qsizetype at) { return qFromLittleEndian<quint32>(good.constData() + at); };
    const qsizetype directory = u32at(0x48);  // the directory header ("ITSP")
    const qsizetype firstChunk = directory + 0x54;
    const qsizetype control = good.indexOf("LZXC");  // the compression's control data
    ASSERT_EQ(good.mid(directory, 4), "ITSP");
    ASSERT_EQ(good.mid(firstChunk, 4), "PMGL");
    ASSERT_EQ(u32at(directory + 0x10), 0x1000u);  // the chunk size
    ASSERT_GT(control, 0);

    struct Damage {
        const char *what;
        qsizetype at;
        QByteArray bytes;
    };
    const Damage damages[] = {
        {"a version the format does not have", 4, u32(4)},
        {"the directory past the end of the file", 0x48, u32(0x100000)},
        {"a directory chunk of four gigabytes", directory + 0x10, u32(0xFFFFFF00)},
        {"more chunks than the directory holds", directory + 0x2C, u32(0x10000)},
        {"a listing chunk whose next is itself", firstChunk + 0x10, u32(0)},
        // with no index the lookup starts at the chain's head, here an index chunk naming itself
        {"an index chunk at the head of the chain that leads to itself", firstChunk,
         QByteArray("PMGI") + u32(0x1000 - 8 - 3) + QByteArray("\x01/\x00", 3)},
        {"free space larger than the chunk", firstChunk + 4, u32(0x2000)},
        {"a window size that makes a zero divisor", control + 0xC, u32(0x10)},
        {"a reset interval of zero", control + 8, u32(0)},
    };
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const Damage &d : damages) {
        SCOPED_TRACE(d.what);
        QByteArray bytes = good;
        bytes.replace(d.at, d.bytes.size(), d.bytes);
        const QString path = dir.filePath(QStringLiteral("Helvora.chm"));
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
        f.close();
        try {
            ChmFile chm(path);
            ADD_FAILURE() << "opened";
        } catch (const vb::Error &e) {
            EXPECT_EQ(e.number(), 53);
        }
    }
    // The whole file, and every shorter piece of it, is either refused or fully readable.
    for (qsizetype size : {good.size() - 1, good.size() / 2, qsizetype(0x60), qsizetype(0x200)}) {
        SCOPED_TRACE(size);
        const QString path = dir.filePath(QStringLiteral("Tronco.chm"));
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(good.left(size));
        f.close();
        EXPECT_THROW(ChmFile{path}, vb::Error);
    }
}

TEST(ChmFile, ContextMapKeepsOnlyPairsInsideTheData)
{
    const QByteArray strings("\0/a/uno.html\0/a/due.html", 24);  // offsets 1 and 13, the last unterminated
    struct Case {
        const char *what;
        QByteArray ivb;
        QHash<qint32, QString> expected;
    };
    const QString uno = QStringLiteral("/a/uno.html");
    const QString due = QStringLiteral("/a/due.html");
    const Case cases[] = {
        {"two pairs", u32(16) + u32(1000) + u32(1) + u32(1100) + u32(13), {{1000, uno}, {1100, due}}},
        {"length beyond the data", u32(800) + u32(1000) + u32(1), {{1000, uno}}},
        {"length shorter than the pairs", u32(8) + u32(1000) + u32(1) + u32(1100) + u32(13), {{1000, uno}}},
        {"half a pair", u32(12) + u32(1000) + u32(1) + u32(1100), {{1000, uno}}},
        {"offset outside the strings", u32(16) + u32(1000) + u32(24) + u32(1100) + u32(0xFFFFFFFF), {}},
        {"offset at an empty string", u32(8) + u32(1000) + u32(0), {}},
        {"negative id", u32(8) + u32(0xFFFFFFFF) + u32(1), {{-1, uno}}},
        {"first of a repeated id wins", u32(16) + u32(7) + u32(1) + u32(7) + u32(13), {{7, uno}}},
        {"no length", QByteArray("\x10\0", 2), {}},
        {"empty", QByteArray(), {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(ChmFile::parseContextMap(c.ivb, strings), c.expected);
    }
}

}  // namespace
