// Replacing a file: a write that fails anywhere (a full disk, a folder in the way) leaves the old file whole.
#include "vb/DurableFile.h"
#include "vb/TextFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>
#include <sys/mount.h>
#include <sys/stat.h>

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void put(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

QStringList entries(const QString &folder)
{
    QStringList names = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    names.sort();
    return names;
}

struct WriteLimit {
    explicit WriteLimit(qint64 bytes) { vb::failWritesAfter(bytes); }
    ~WriteLimit() { vb::failWritesAfter(-1); }
};

// The two roads that replace a file: the bytes as they are, and a text in the code page.
const struct Writer {
    const char *name;
    std::function<void(const QString &, const QByteArray &)> write;
} Writers[] = {
    {"replaceFile", [](const QString &p, const QByteArray &b) { vb::replaceFile(p, b); }},
    {"writeText", [](const QString &p, const QByteArray &b) { vb::writeText(p, vb::fromCp1252(b)); }},
};

TEST(DurableFileTest, AWriteThatRunsOutOfRoomAnywhereLeavesTheOldFile)
{
    QTemporaryDir dir;
    const QString target = dir.path() + "/ShapeConfig.xml";
    const QByteArray old = "<Configs>old</Configs>";
    const QByteArray fresh(5000, 'x');
    for (const Writer &w : Writers) {
        for (qint64 room : {qint64(0), qint64(1), qint64(4096), fresh.size() - 1}) {
            SCOPED_TRACE(std::string(w.name) + " " + std::to_string(room));
            put(target, old);
            try {
                WriteLimit limit(room);
                w.write(target, fresh);
                ADD_FAILURE() << "no error";
            } catch (const vb::Error &e) {
                EXPECT_EQ(e.number(), 61);
                EXPECT_EQ(e.description(), "Impossibile scrivere il file " + target + " (disco pieno)");
                EXPECT_FALSE(e.detail().isEmpty());
            }
            EXPECT_EQ(readAll(target), old);
            EXPECT_EQ(entries(dir.path()), QStringList{"ShapeConfig.xml"});
        }
        WriteLimit exact(fresh.size());
        w.write(target, fresh);
        EXPECT_EQ(readAll(target), fresh) << w.name;
    }
}

TEST(DurableFileTest, ANewFileThatFailsIsNotLeftBehindAndAReplacedOneKeepsItsRights)
{
    QTemporaryDir dir;
    {
        WriteLimit limit(2);
        EXPECT_THROW(vb::replaceFile(dir.path() + "/DBPath.kvr", "/dati/\r\n"), vb::Error);
    }
    EXPECT_TRUE(entries(dir.path()).isEmpty());

    const QString target = dir.path() + "/SHPath.kvr";
    put(target, "/vecchio/\r\n");
    ASSERT_TRUE(QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    vb::replaceFile(target, "/carte/\r\n");
    EXPECT_EQ(readAll(target), "/carte/\r\n");
    struct stat st;
    ASSERT_EQ(::stat(QFile::encodeName(target).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST(DurableFileTest, WhatStandsInTheWayIsAnErrorInTheProgramsOwnWords)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir().mkpath(dir.path() + "/cartella"));
    const struct {
        QString target;
        int number;
        QString reason;
    } cases[] = {
        {dir.path() + "/cartella", 75, " (al suo posto c'è una cartella)"},
        {dir.path() + "/manca/file.txt", 76, " (cartella inesistente)"},
        {dir.path() + "/" + QString(300, 'n'), 75, " (nome troppo lungo)"},
    };
    for (const auto &c : cases) {
        try {
            vb::replaceFile(c.target, "x");
            ADD_FAILURE() << c.target.toStdString();
        } catch (const vb::Error &e) {
            EXPECT_EQ(e.number(), c.number);
            EXPECT_EQ(e.description(), "Impossibile scrivere il file " + c.target + c.reason);
            EXPECT_FALSE(e.description().contains("No such") || e.description().contains("directory"));
        }
    }
    EXPECT_EQ(entries(dir.path()), QStringList{"cartella"});
    EXPECT_TRUE(entries(dir.path() + "/cartella").isEmpty());
}

// A real small file system, filled up: the kernel's own "no space" at write or sync time.
TEST(DurableFileTest, OnAFullFileSystemTheOldFileStaysWhole)
{
    QTemporaryDir dir;
    if (::mount("tmpfs", QFile::encodeName(dir.path()).constData(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "cannot mount a tmpfs here";
    struct Unmount {
        QString path;
        ~Unmount() { ::umount(QFile::encodeName(path).constData()); }
    } unmount{dir.path()};

    const QString target = dir.path() + "/ShapeConfig.xml";
    const QByteArray old(8 * 1024, 'o');
    put(target, old);
    QFile filler(dir.path() + "/filler");
    ASSERT_TRUE(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    const QByteArray block(4096, 'f');
    while (filler.write(block) == block.size()) {
    }
    filler.close();
    for (const Writer &w : Writers) {
        try {
            w.write(target, QByteArray(16 * 1024, 'n'));
            ADD_FAILURE() << w.name << ": no error";
        } catch (const vb::Error &e) {
            EXPECT_EQ(e.number(), 61) << w.name;
        }
        EXPECT_EQ(readAll(target), old) << w.name;
        EXPECT_EQ(entries(dir.path()), (QStringList{"ShapeConfig.xml", "filler"})) << w.name;
    }
    QFile::remove(dir.path() + "/filler");
    vb::replaceFile(target, "new");
    EXPECT_EQ(readAll(target), "new");
}

}  // namespace

TEST(DurableFileTest, OnlyItsOwnLeftTemporariesOfTheNamedFilesAreRemoved)
{
    QTemporaryDir dir;
    const QString target = dir.path() + "/ShapeConfig.xml";
    put(target, "<config/>");
    vb::DurableFile open(target);  // its new file, as a crash before the rename leaves it
    ASSERT_TRUE(QFile::exists(open.path()));
    const QStringList kept = {"ShapeConfig.xml", ".ShapeConfig.xml~short", ".ShapeConfig.xml~Ab12Cd.bak",
                              ".Altro.xml~Ab12Cd", "ShapeConfig.xml~Ab12Cd", ".DBPath.kvr~Ab12Cd"};
    for (const QString &name : kept.mid(1))
        put(dir.path() + "/" + name, "x");
    put(dir.path() + "/.shapeconfig.XML~Zz99Yy", "x");
    put(dir.path() + "/.SHPath.kvr~Qw12Er", "x");
    EXPECT_EQ(vb::removeLeftTemporaries(dir.path(), {"ShapeConfig.xml", "SHPath.kvr"}), 3);
    QStringList expected = kept;
    expected.sort();
    EXPECT_EQ(entries(dir.path()), expected);
    EXPECT_EQ(vb::removeLeftTemporaries(dir.path() + "/nessuna", {"ShapeConfig.xml"}), 0);
}
