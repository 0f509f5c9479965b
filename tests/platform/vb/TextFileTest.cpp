// Windows-1252 text files with CR LF, and file lookup that ignores letter case.
#include "ErrorOf.h"
#include "vb/Error.h"
#include "vb/TextFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using vbtest::errorOf;

namespace {

QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    return f.readAll();
}

void putBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    f.write(bytes);
}

class TextFile : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path(const QString &name) const { return dir.path() + "/" + name; }
};

}  // namespace

TEST_F(TextFile, Cp1252RoundTripWithCrLf)
{
    const QString text = QStringLiteral("Città è là\r\nCosì sì\r\n€ 5 – “ok”\r\n");
    const QString file = path("Note.txt");
    vb::writeText(file, text);

    const QByteArray bytes = bytesOf(file);
    EXPECT_EQ(bytes, QByteArray("Citt\xe0 \xe8 l\xe0\r\nCos\xec s\xec\r\n\x80 5 \x96 \x93ok\x94\r\n"));
    EXPECT_EQ(vb::readAllText(file), text);
    EXPECT_EQ(vb::readLines(file), (QStringList{"Città è là", "Così sì", "€ 5 – “ok”"}));
}

TEST_F(TextFile, CodePageEdges)
{
    // Characters the code page lacks are written as '?'.
    EXPECT_EQ(vb::toCp1252(QStringLiteral("a\u4e2db\u0100")), QByteArray("a?b?"));
    // Every byte reads as one character; the bytes the code page leaves undefined are kept.
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all += char(b);
    const QString decoded = vb::fromCp1252(all);
    ASSERT_EQ(decoded.size(), 256);
    EXPECT_EQ(decoded[0xE8], QChar(0x00E8));
    EXPECT_EQ(decoded[0x80], QChar(0x20AC));
    EXPECT_EQ(vb::toCp1252(decoded), all);  // undefined bytes included
    EXPECT_TRUE(vb::fitsCp1252(decoded));
    EXPECT_EQ(vb::toCp1252(vb::fromCp1252("\x81\x8d\x8f\x90\x9d")), QByteArray("\x81\x8d\x8f\x90\x9d"));
    // Other C1 controls have no byte of their own.
    EXPECT_EQ(vb::toCp1252(QString(QChar(0x0080))), QByteArray("?"));
}

TEST_F(TextFile, TextTheCodePageCannotHoldIsKeptAsUtf8WithAMark)
{
    struct Case {
        QString text;
        QByteArray bytes;
    };
    const Case cases[] = {
        {QStringLiteral("/home/città/\r\n"), "/home/citt\xe0/\r\n"},  // the code page holds it: unchanged format
        {QStringLiteral("/home/Иван/\r\n"), "\xEF\xBB\xBF/home/\xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD/\r\n"},
        {QStringLiteral("/home/Νίκος/è\r\n"), "\xEF\xBB\xBF" + QStringLiteral("/home/Νίκος/è\r\n").toUtf8()},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        vb::writeText(path("p.kvr"), c.text);
        EXPECT_EQ(bytesOf(path("p.kvr")), c.bytes);
        EXPECT_EQ(vb::readAllText(path("p.kvr")), c.text);
    }

    // A new log takes such a line as UTF-8 and stays UTF-8.
    const QString log = path("Error.log");
    vb::appendText(log, QStringLiteral("Файл /home/Иван/\r\n"));
    vb::appendText(log, "è seconda\r\n");
    EXPECT_TRUE(bytesOf(log).startsWith("\xEF\xBB\xBF\xD0\xA4"));
    EXPECT_EQ(vb::readLines(log), (QStringList{QStringLiteral("Файл /home/Иван/"), "è seconda"}));
}

// Appending never rewrites what a file holds: a code-page log keeps every byte it had, and what
// the code page lacks is appended as '?'.
TEST_F(TextFile, AppendingToACodePageFileNeverRewritesIt)
{
    const QString log = path("Error.log");
    const QByteArray old = QByteArray("\xe8 prima\r\n") + QByteArray(4096, 'x') + "\r\n";
    putBytes(log, old);
    vb::appendText(log, QStringLiteral("Файл /home/Иван/\r\n"));
    vb::appendText(log, "terza\r\n");
    EXPECT_EQ(bytesOf(log), old + "???? /home/????/\r\nterza\r\n");
}

// A text longer than the reader takes is an error, never an empty text (sparse files: no disk used).
TEST_F(TextFile, ATextTooLargeToReadIsAnError)
{
    const qint64 sizes[] = {vb::MaxTextBytes + 1, qint64(1) << 29, qint64(1) << 30};
    for (const qint64 size : sizes) {
        QFile big(path("InfoZup.txt"));
        ASSERT_TRUE(big.open(QIODevice::WriteOnly));
        ASSERT_TRUE(big.resize(size));
        big.close();
        EXPECT_EQ(errorOf([&] { vb::readAllText(path("InfoZup.txt")); }), vb::err::OutOfMemory) << size;
        EXPECT_EQ(errorOf([&] { vb::readLines(path("InfoZup.txt")); }), vb::err::OutOfMemory) << size;
    }
    // The largest text still read reads whole.
    QFile edge(path("edge.txt"));
    ASSERT_TRUE(edge.open(QIODevice::WriteOnly));
    ASSERT_TRUE(edge.resize(1 << 20));
    edge.close();
    EXPECT_EQ(vb::readAllText(path("edge.txt")).size(), 1 << 20);
}

// The code page's "ï»¿" are the bytes of the UTF-8 mark: a file must not start with them unless
// it is UTF-8, whether written whole or built up by appending.
TEST_F(TextFile, TextBeginningLikeTheMarkReadsBackUnchanged)
{
    struct Case {
        const char *what;
        QByteArray before;  // the file's bytes before, or nothing when missing
        QStringList appended;
        QString text;
    };
    const Case cases[] = {
        {"written whole", {}, {}, QStringLiteral("ï»¿ciao\r\n")},
        {"appended to a missing file", {}, {QStringLiteral("ï»¿ciao\r\n")}, QStringLiteral("ï»¿ciao\r\n")},
        {"appended to an empty file", "", {QStringLiteral("ï»¿")}, QStringLiteral("ï»¿")},
        {"the mark completed by appending", "\xEF", {QStringLiteral("»"), QStringLiteral("¿ ok")},
         QStringLiteral("ï»¿ ok")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const QString file = path("Testo.txt");
        QFile::remove(file);
        if (!c.before.isNull())
            putBytes(file, c.before);
        if (c.appended.isEmpty())
            vb::writeText(file, c.text);
        for (const QString &piece : c.appended)
            vb::appendText(file, piece);
        EXPECT_EQ(vb::readAllText(file), c.text);
    }
    // A mark-like run later in the text leaves the file in the code page.
    vb::writeText(path("Testo.txt"), QStringLiteral("a ï»¿"));
    EXPECT_EQ(bytesOf(path("Testo.txt")), QByteArray("a \xEF\xBB\xBF"));
}

TEST_F(TextFile, ReadLinesSplitsOnCrLfAndLoneLf)
{
    struct Case {
        QByteArray bytes;
        QStringList lines;
    };
    const Case cases[] = {
        {"", {}},
        {"uno", {"uno"}},
        {"uno\r\n", {"uno"}},
        {"uno\r\ndue\ntre", {"uno", "due", "tre"}},
        {"uno\r\n\r\ndue\r\n", {"uno", "", "due"}},
        {"\r\n", {""}},
        {"a\rb\n", {"a\rb"}},  // a lone CR is no line end
    };
    for (const Case &c : cases) {
        putBytes(path("lines.txt"), c.bytes);
        EXPECT_EQ(vb::readLines(path("lines.txt")), c.lines) << c.bytes.toStdString();
    }
}

TEST_F(TextFile, AppendAndErrors)
{
    const QString log = path("Error.log");
    vb::appendText(log, "prima\r\n");  // created when missing
    vb::appendText(path("ERROR.LOG"), "è seconda\r\n");  // same file, other case
    EXPECT_EQ(bytesOf(log), QByteArray("prima\r\n\xe8 seconda\r\n"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"Error.log"});

    vb::writeText(log, "nuovo\r\n");
    EXPECT_EQ(bytesOf(log), QByteArray("nuovo\r\n"));

    EXPECT_EQ(errorOf([&] { vb::readAllText(path("missing.txt")); }), vb::err::FileNotFound);
    EXPECT_EQ(errorOf([&] { vb::readLines(path("missing.txt")); }), vb::err::FileNotFound);
    EXPECT_EQ(errorOf([&] { vb::writeText(path("nofolder/x.txt"), "x"); }), vb::err::PathNotFound);
    EXPECT_EQ(errorOf([&] { vb::appendText(path("nofolder/x.txt"), "x"); }), vb::err::PathNotFound);
    QDir(dir.path()).mkdir("folder");
    EXPECT_EQ(errorOf([&] { vb::writeText(path("folder"), "x"); }), vb::err::PathFileAccess);
}

TEST_F(TextFile, FindFileNoCase)
{
    putBytes(path("Metadati.mdb"), "m");
    putBytes(path("DBPath.kvr"), "p");
    putBytes(path("dbpath.KVR"), "q");  // both exist: the exact name wins
    QDir(dir.path()).mkdir("Shape");

    const QString folder = dir.path() + "/";
    EXPECT_EQ(vb::findFileNoCase(folder, "metadati.MDB"), folder + "Metadati.mdb");
    EXPECT_EQ(vb::findFileNoCase(dir.path(), "METADATI.mdb"), folder + "Metadati.mdb");  // no trailing "/"
    EXPECT_EQ(vb::findFileNoCase(folder, "dbpath.KVR"), folder + "dbpath.KVR");
    EXPECT_EQ(vb::findFileNoCase(folder, "DBPath.kvr"), folder + "DBPath.kvr");
    EXPECT_EQ(vb::findFileNoCase(folder, "shape"), folder + "Shape");
    EXPECT_EQ(vb::findFileNoCase(folder, "Territori.mdb"), QString());
    EXPECT_EQ(vb::findFileNoCase(folder, ""), QString());
    EXPECT_EQ(vb::findFileNoCase(folder + "missing/", "x"), QString());
    EXPECT_TRUE(vb::fileExistsNoCase(folder, "METADATI.MDB"));
    EXPECT_FALSE(vb::fileExistsNoCase(folder, "Metadati.md"));

    EXPECT_EQ(vb::resolvePathNoCase(folder + "metadati.mdb"), folder + "Metadati.mdb");
    EXPECT_EQ(vb::resolvePathNoCase(folder + "Nuovo.mdb"), folder + "Nuovo.mdb");  // a new file keeps its name
    EXPECT_EQ(vb::readAllText(folder + "METADATI.MDB"), "m");
}
