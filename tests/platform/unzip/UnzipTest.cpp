// The UnZip layer on real and hostile archives: exactly which files exist afterwards, and their bytes.
#include "ArchiveKit.h"

#include "unzip/Unzip.h"
#include "vb/DurableFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstring>
#include <sys/mount.h>

using archivekit::Member;
using Snapshot = QMap<QString, QByteArray>;

namespace {

QStringList g_passwords;  // answers of the password routine, in order ("" gives up)
int g_passwordCalls = 0;
int g_replaceAnswer = unzip::IDM_REPLACE_NO;
QStringList g_replaced;

int answerPassword(char *buffer, int size, const char *, const char *)
{
    ++g_passwordCalls;
    const QByteArray pw = g_passwords.isEmpty() ? QByteArray() : g_passwords.takeFirst().toUtf8();
    if (pw.isEmpty())
        return unzip::IZ_PW_CANCEL;
    std::strncpy(buffer, pw.constData(), static_cast<size_t>(size) - 1);
    return unzip::IZ_PW_ENTERED;
}

int answerReplace(const char *name)
{
    g_replaced << QString::fromLocal8Bit(name);
    return g_replaceAnswer;
}

class UnzipTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(work.isValid());
        QDir().mkpath(dest());
        QDir().mkpath(src());
        archivekit::writeFile(dest() + "/Metadati.mdb", "old database");
        archivekit::writeFile(dest() + "/sub/keep.txt", "untouched");
        g_passwords.clear();
        g_passwordCalls = 0;
        g_replaced.clear();
    }
    QString dest() const { return work.path() + "/dest"; }
    QString src() const { return work.path() + "/src"; }
    QString archive() const { return work.path() + "/a.zip"; }

    int extract(unzip::DCL dcl = unzip::DCL(), const QString &into = QString())
    {
        const QByteArray zipName = QFile::encodeName(archive());
        const QByteArray dir = QFile::encodeName(into.isEmpty() ? dest() : into);
        dcl.lpszZipFN = zipName.constData();
        dcl.lpszExtractDir = dir.constData();
        unzip::USERFUNCTIONS uf;
        uf.password = answerPassword;
        uf.replace = answerReplace;
        return unzip::Wiz_SingleEntryUnzip(0, nullptr, 0, nullptr, &dcl, &uf);
    }
    // A zip-tool archive of src() with the given extra arguments.
    void zipSource(const QStringList &extra = {})
    {
        archivekit::writeFile(src() + "/METADATI.MDB", "new database");
        archivekit::writeFile(src() + "/sub/deep/a.txt", "alpha");
        archivekit::writeFile(src() + "/Nuova cartella/b.txt", "beta");
        archivekit::runZip(src(), extra + QStringList{"-r", archive(), "."});
    }

    QTemporaryDir work;
};

const Snapshot Before{{"Metadati.mdb", "old database"}, {"sub/", ""}, {"sub/keep.txt", "untouched"}};
const Snapshot Extracted{{"Metadati.mdb", "new database"}, {"sub/", ""}, {"sub/keep.txt", "untouched"},
                         {"sub/deep/", ""}, {"sub/deep/a.txt", "alpha"}, {"Nuova cartella/", ""},
                         {"Nuova cartella/b.txt", "beta"}};

TEST_F(UnzipTest, ZipToolArchiveKeepsFoldersAndReplacesFilesInAnyLetterCase)
{
    zipSource();
    EXPECT_EQ(extract(), unzip::PK_OK);
    EXPECT_EQ(archivekit::snapshot(dest()), Extracted);
    EXPECT_EQ(g_passwordCalls, 0);
    EXPECT_TRUE(g_replaced.isEmpty());
}

TEST_F(UnzipTest, EncryptedArchiveNeedsTheRightPassword)
{
    zipSource({"-P", "segreto"});
    struct Case { QStringList answers; int code; Snapshot after; };
    const Case cases[] = {
        {{"segreto"}, unzip::PK_OK, Extracted},
        {{"sbagliata", ""}, unzip::IZ_BADPWD, Before},
        {{""}, unzip::IZ_BADPWD, Before},
        {{"a", "b", "c", "d"}, unzip::IZ_BADPWD, Before},
    };
    for (const Case &c : cases) {
        SetUp();
        QDir(dest()).removeRecursively();
        archivekit::writeFile(dest() + "/Metadati.mdb", "old database");
        archivekit::writeFile(dest() + "/sub/keep.txt", "untouched");
        g_passwords = c.answers;
        EXPECT_EQ(extract(), c.code) << c.answers.join(',').toStdString();
        EXPECT_EQ(archivekit::snapshot(dest()), c.after) << c.answers.join(',').toStdString();
    }
    EXPECT_EQ(g_passwordCalls, 3);  // the last case: three tries, then it gives up
}

TEST_F(UnzipTest, NameOutsideTheDestinationRefusesTheWholeArchive)
{
    for (const char *name : {"../x", "a/../../x", "/x", "C:/x", "c:x", "..\\x", "ok\\..\\..\\x", "./../x"}) {
        archivekit::buildArchive(archive(), {{"good.txt", "fine"}, {name, "evil"}, {"later.txt", "fine"}});
        EXPECT_EQ(extract(), unzip::PK_ERR) << name;
        EXPECT_EQ(archivekit::snapshot(dest()), Before) << name;
        EXPECT_FALSE(QFile::exists(work.path() + "/x")) << name;
    }
}

TEST_F(UnzipTest, AnEntryBlockedByWhatIsThereRefusesTheWholeArchive)
{
    // A folder where a file would go, and a file where a folder would go, each after a good entry.
    for (const char *name : {"SUB", "metadati.mdb/x.txt", "Metadati.mdb/"}) {
        archivekit::buildArchive(archive(), {{"good.txt", "fine"}, {name, "x"}});
        EXPECT_EQ(extract(), unzip::PK_ERR) << name;
        EXPECT_EQ(archivekit::snapshot(dest()), Before) << name;
    }
}

TEST_F(UnzipTest, SymbolicLinkEntryRefusesTheWholeArchive)
{
    archivekit::buildArchive(archive(), {{"good.txt", "fine"}, {"link", "/etc/passwd", false, true}});
    EXPECT_EQ(extract(), unzip::PK_ERR);
    EXPECT_EQ(archivekit::snapshot(dest()), Before);
}

TEST_F(UnzipTest, DamagedArchiveChangesNothing)
{
    // A CRC error in the second of three stored entries.
    archivekit::buildArchive(archive(), {{"Metadati.mdb", "first-entry", true},
                                         {"sub/keep.txt", "SECOND-ENTRY", true},
                                         {"third.txt", "third-entry", true}});
    QByteArray bytes = archivekit::readFile(archive());
    const qsizetype at = bytes.indexOf("SECOND-ENTRY");
    ASSERT_GT(at, 0);
    bytes[at] = 's';
    archivekit::writeFile(archive(), bytes);
    EXPECT_NE(extract(), unzip::PK_OK);
    EXPECT_EQ(archivekit::snapshot(dest()), Before);

    // Truncated anywhere: never a success, never a change.
    zipSource();
    const QByteArray whole = archivekit::readFile(archive());
    for (qsizetype keep : {qsizetype(0), qsizetype(30), whole.size() / 2, whole.size() - 10}) {
        archivekit::writeFile(archive(), whole.left(keep));
        EXPECT_NE(extract(), unzip::PK_OK) << keep;
        EXPECT_EQ(archivekit::snapshot(dest()), Before) << keep;
    }
    QFile::remove(archive());
    EXPECT_EQ(extract(), unzip::PK_NOZIP);
}

TEST_F(UnzipTest, PromptedOverwriteAsksTheReplaceRoutine)
{
    zipSource();
    unzip::DCL dcl;
    dcl.PromptToOverwrite = 1;
    g_replaceAnswer = unzip::IDM_REPLACE_NO;
    EXPECT_EQ(extract(dcl), unzip::PK_WARN);
    EXPECT_EQ(g_replaced, QStringList{dest() + "/Metadati.mdb"});
    Snapshot kept = Extracted;
    kept["Metadati.mdb"] = "old database";
    EXPECT_EQ(archivekit::snapshot(dest()), kept);

    g_replaceAnswer = unzip::IDM_REPLACE_YES;
    EXPECT_EQ(extract(dcl), unzip::PK_OK);
    EXPECT_EQ(archivekit::snapshot(dest()), Extracted);
}

TEST_F(UnzipTest, TestAndListWriteNothing)
{
    zipSource();
    unzip::DCL dcl;
    dcl.ntflag = 1;
    EXPECT_EQ(extract(dcl), unzip::PK_OK);
    dcl.ntflag = 0;
    dcl.nvflag = 1;
    EXPECT_EQ(extract(dcl), unzip::PK_OK);
    EXPECT_EQ(archivekit::snapshot(dest()), Before);
}

TEST_F(UnzipTest, ARenameThatFailsPutsBackEveryFileAlreadyReplaced)
{
    const QString tooLong(300, QChar('n'));  // longer than a file name may be
    const std::vector<Member> archives[] = {
        {{"Metadati.mdb", "new database"}, {"sub/keep.txt", "new keep"}, {tooLong, "x"}},
        {{"Metadati.mdb", "new database"}, {"sub/nuova/" + tooLong, "x"}, {"ultimo.txt", "x"}},
    };
    for (const auto &members : archives) {
        archivekit::buildArchive(archive(), members);
        EXPECT_EQ(extract(), unzip::PK_DISK);
        EXPECT_EQ(archivekit::snapshot(dest()), Before);
    }
}

TEST_F(UnzipTest, AFileAndAFolderOfOneNameRefuseTheArchive)
{
    const std::vector<Member> archives[] = {
        {{"Metadati.mdb", "new database"}, {"leggimi", "file"}, {"leggimi/nota.txt", "nota"}},
        {{"Metadati.mdb", "new database"}, {"leggimi/nota.txt", "nota"}, {"leggimi", "file"}},
        {{"Metadati.mdb", "new database"}, {"LEGGIMI/", ""}, {"leggimi", "file"}},
        {{"Metadati.mdb", "new database"}, {"a/b/c.txt", "c"}, {"A/B", "file"}},
    };
    for (const auto &members : archives) {
        archivekit::buildArchive(archive(), members);
        EXPECT_EQ(extract(), unzip::PK_ERR) << members[1].name.toStdString();
        EXPECT_EQ(archivekit::snapshot(dest()), Before) << members[1].name.toStdString();
    }
}

TEST_F(UnzipTest, AMissingDestinationIsMadeAndGoesAgainWhenTheRunFails)
{
    const QString missing = work.path() + "/nuova/Shape";
    archivekit::buildArchive(archive(), {{"regioni.shp", "shape"}, {"Regioni/leggimi.txt", "nota"}});
    EXPECT_EQ(extract(unzip::DCL(), missing), unzip::PK_OK);
    EXPECT_EQ(archivekit::snapshot(missing),
              (Snapshot{{"regioni.shp", "shape"}, {"Regioni/", ""}, {"Regioni/leggimi.txt", "nota"}}));

    QDir(work.path() + "/nuova").removeRecursively();
    archivekit::buildArchive(archive(), {{"regioni.shp", "shape"}, {QString(300, QChar('n')), "x"}});
    EXPECT_EQ(extract(unzip::DCL(), missing), unzip::PK_DISK);
    EXPECT_FALSE(QFile::exists(work.path() + "/nuova"));

    // A destination that cannot be made (a file stands where a folder of its path goes).
    archivekit::writeFile(work.path() + "/file", "plain");
    EXPECT_NE(extract(unzip::DCL(), work.path() + "/file/Shape"), unzip::PK_OK);
    EXPECT_EQ(archivekit::readFile(work.path() + "/file"), "plain");
}

TEST_F(UnzipTest, AFullDiskAnywhereInTheRunChangesNothing)
{
    zipSource();
    // The entries hold 21 bytes; past them the journal is what the disk cannot take.
    for (qint64 room : {0, 5, 12, 20, 21, 40}) {
        vb::failWritesAfter(room);
        EXPECT_EQ(extract(), unzip::PK_DISK) << room;
        vb::failWritesAfter(-1);
        EXPECT_EQ(archivekit::snapshot(dest()), Before) << room;
    }
}

TEST_F(UnzipTest, OnAFullFileSystemTheRunChangesNothing)
{
    const QString small = work.path() + "/piccolo";
    ASSERT_TRUE(QDir().mkpath(small));
    if (::mount("tmpfs", QFile::encodeName(small).constData(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "cannot mount a tmpfs here";
    struct Unmount {
        QString path;
        ~Unmount() { ::umount(QFile::encodeName(path).constData()); }
    } unmount{small};
    archivekit::writeFile(small + "/Metadati.mdb", "old database");
    QFile filler(small + "/filler");
    ASSERT_TRUE(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    while (filler.write(QByteArray(4096, 'f')) == 4096) {
    }
    filler.close();
    const Snapshot before = archivekit::snapshot(small);
    archivekit::buildArchive(archive(), {{"Metadati.mdb", QByteArray(32 * 1024, 'n')}, {"nuovo.txt", "x"}});
    EXPECT_EQ(extract(unzip::DCL(), small), unzip::PK_DISK);
    EXPECT_EQ(archivekit::snapshot(small), before);
}

TEST_F(UnzipTest, ARunKilledBetweenRenamesIsFinishedAtTheNextStart)
{
    zipSource();
    for (int killAt : {0, 1, 2}) {
        SetUp();
        QDir(dest()).removeRecursively();
        archivekit::writeFile(dest() + "/Metadati.mdb", "old database");
        archivekit::writeFile(dest() + "/sub/keep.txt", "untouched");
        ASSERT_TRUE(archivekit::killedBetweenRenames([this] { extract(); }, killAt)) << killAt;
        const Snapshot cut = archivekit::snapshot(dest());
        EXPECT_TRUE(cut.contains(".unzip-journal")) << killAt;
        EXPECT_NE(cut, Extracted) << killAt;
        EXPECT_EQ(unzip::recoverInterrupted(dest() + "/"), unzip::Recovery::Finished) << killAt;
        EXPECT_EQ(archivekit::snapshot(dest()), Extracted) << killAt;
        EXPECT_EQ(unzip::recoverInterrupted(dest()), unzip::Recovery::Nothing) << killAt;
    }
}

TEST_F(UnzipTest, AKilledRunThatCannotBeFinishedIsUndone)
{
    archivekit::buildArchive(archive(), {{"Metadati.mdb", "new database"},
                                         {"sub/keep.txt", "new keep"},
                                         {"nuova/nuovo.txt", "nuovo"}});
    ASSERT_TRUE(archivekit::killedBetweenRenames([this] { extract(); }, 2));
    EXPECT_EQ(archivekit::readFile(dest() + "/sub/keep.txt"), "new keep");
    // Something now stands where the last entry goes.
    ASSERT_TRUE(QDir().mkpath(dest() + "/nuova/nuovo.txt"));
    EXPECT_EQ(unzip::recoverInterrupted(dest()), unzip::Recovery::Undone);
    Snapshot expected = Before;
    expected.insert("nuova/", "");
    expected.insert("nuova/nuovo.txt/", "");
    EXPECT_EQ(archivekit::snapshot(dest()), expected);
}

TEST_F(UnzipTest, LeftoversOfARunStoppedBeforeItsRenamesAreRemoved)
{
    archivekit::writeFile(dest() + "/.unzip-AbC123", "half");
    archivekit::writeFile(dest() + "/sub/.unzip-XyZ789", "half");
    archivekit::writeFile(dest() + "/sub/.unzip-XyZ789.old", "old");
    archivekit::writeFile(dest() + "/.unzip-notmine", "kept");
    EXPECT_EQ(unzip::recoverInterrupted(dest()), unzip::Recovery::Undone);
    Snapshot expected = Before;
    expected.insert(".unzip-notmine", "kept");
    EXPECT_EQ(archivekit::snapshot(dest()), expected);
    EXPECT_EQ(unzip::recoverInterrupted(dest()), unzip::Recovery::Nothing);
    EXPECT_EQ(unzip::recoverInterrupted(work.path() + "/nessuna"), unzip::Recovery::Nothing);
}

TEST_F(UnzipTest, AJournalThatCannotBeTrustedTouchesNothing)
{
    archivekit::writeFile(dest() + "/.unzip-AbC123", "new");
    const QByteArray journals[] = {
        "unzip-journal\nmode\tplace\nfile\t../fuori.txt\t.unzip-AbC123\t\nend\n",
        "unzip-journal\nmode\tplace\nfile\tMetadati.mdb\tsub/keep.txt\t\nend\n",  // not a file of the run
        "unzip-journal\nmode\tplace\nfile\tMetadati.mdb\t.unzip-AbC123\t\n",        // cut short
    };
    for (const QByteArray &journal : journals) {
        archivekit::writeFile(dest() + "/.unzip-journal", journal);
        const Snapshot before = archivekit::snapshot(dest());
        EXPECT_EQ(unzip::recoverInterrupted(dest()), unzip::Recovery::Failed) << journal.toStdString();
        EXPECT_EQ(archivekit::snapshot(dest()), before) << journal.toStdString();
    }
}

TEST(UzpVersion2Test, WritesNoFurtherThanTheGivenLength)
{
    unsigned char raw[sizeof(unzip::UZPVER) + 8];
    std::memset(raw, 0xAB, sizeof raw);
    auto *v = reinterpret_cast<unzip::UZPVER *>(raw);
    v->structlen = 8;
    unzip::UzpVersion2(v);
    EXPECT_EQ(v->structlen, 8u);
    for (size_t i = 8; i < sizeof raw; ++i)
        ASSERT_EQ(raw[i], 0xAB) << i;
}

}  // namespace
