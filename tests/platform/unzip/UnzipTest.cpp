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
#include <zlib.h>

using archivekit::Member;
using Snapshot = QMap<QString, QByteArray>;

namespace {

// A small tmpfs over `path`, unmounted when the test ends; mounted is false where mounting is not allowed.
struct SmallTmpfs {
    QString path;
    bool mounted;
    SmallTmpfs(const QString &p, const char *size)
        : path(p), mounted(::mount("tmpfs", QFile::encodeName(p).constData(), "tmpfs", 0, size) == 0)
    {
    }
    ~SmallTmpfs()
    {
        if (mounted)
            ::umount(QFile::encodeName(path).constData());
    }
};

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

TEST_F(UnzipTest, NameOutsideTheDestinationOrOfTheLayersOwnFilesRefusesTheWholeArchive)
{
    for (const char *name : {"../x", "a/../../x", "/x", "C:/x", "c:x", "..\\x", "ok\\..\\..\\x", "./../x",
                             ".unzip-journal", "sub/.unzip-AbC123", "sub/.unzip-AbC123.old", "..unzip-journal~AbC123"}) {
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

TEST_F(UnzipTest, OneNameTwiceInAnyLetterCaseRefusesTheArchive)
{
    const std::vector<Member> archives[] = {
        {{"Metadati.mdb", "new database"}, {"leggimi", "file"}, {"leggimi/nota.txt", "nota"}},
        {{"Metadati.mdb", "new database"}, {"METADATI.MDB", "other database"}},
        {{"sub/Keep.txt", "one"}, {"SUB/keep.TXT", "two"}},
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
    const SmallTmpfs tmpfs(small, "size=64k");
    if (!tmpfs.mounted)
        GTEST_SKIP() << "cannot mount a tmpfs here";
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

TEST_F(UnzipTest, WithNoJournalNothingIsTouched)
{
    archivekit::writeFile(dest() + "/.unzip-AbC123", "a user's file");
    archivekit::writeFile(dest() + "/sub/.unzip-XyZ789.old", "another");
    const Snapshot before = archivekit::snapshot(dest());
    EXPECT_EQ(unzip::recoverInterrupted(dest()), unzip::Recovery::Nothing);
    EXPECT_EQ(archivekit::snapshot(dest()), before);
    EXPECT_EQ(unzip::recoverInterrupted(work.path() + "/nessuna"), unzip::Recovery::Nothing);
}

TEST_F(UnzipTest, AJournalACrashKeptFromItsPlaceTakesOnlyTheTemporaryFilesItNames)
{
    zipSource();
    ASSERT_TRUE(archivekit::killedBetweenRenames([this] { extract(); }, 0));
    // What a crash between the journal's own sync and its rename leaves.
    ASSERT_TRUE(QFile::rename(dest() + "/.unzip-journal", dest() + "/..unzip-journal~Qw3rTy"));
    archivekit::writeFile(dest() + "/sub/.unzip-NotMin", "not named by the journal");
    EXPECT_EQ(unzip::recoverInterrupted(dest()), unzip::Recovery::Undone);
    Snapshot expected = Before;
    expected.insert("sub/.unzip-NotMin", "not named by the journal");
    EXPECT_EQ(archivekit::snapshot(dest()), expected);
    // A journal temporary cut short is only removed.
    archivekit::writeFile(dest() + "/..unzip-journal~Zx9Yw8", "unzip-journal\nmode\tpl");
    EXPECT_EQ(unzip::recoverInterrupted(dest()), unzip::Recovery::Nothing);
    EXPECT_EQ(archivekit::snapshot(dest()), expected);
}

// Size and CRC-32 as the journal records them.
QString stampOf(const QByteArray &bytes)
{
    return QString::number(bytes.size()) + "\t" +
           QString::number(quint32(crc32(0L, reinterpret_cast<const Bytef *>(bytes.constData()), uInt(bytes.size()))), 16);
}

QByteArray journalOf(const char *mode, const QStringList &lines)
{
    return ("unzip-journal\nmode\t" + QString(mode) + "\n" + lines.join('\n') + "\nend\n").toUtf8();
}

TEST_F(UnzipTest, AJournalThatCannotBeTrustedTouchesNothing)
{
    // A sub-folder that is a symbolic link to a folder outside the destination.
    const QString outside = work.path() + "/fuori";
    archivekit::writeFile(outside + "/vittima.txt", "outside");
    archivekit::writeFile(outside + "/.unzip-AbC123", "new");
    ASSERT_TRUE(QDir().mkpath(outside + "/vuota"));
    ASSERT_TRUE(QFile::link(outside, dest() + "/link"));
    archivekit::writeFile(dest() + "/.unzip-AbC123", "new");
    const QString fresh = stampOf("new"), old = stampOf("outside");
    const QByteArray journals[] = {
        // The three found by hand-edited journals: an undo that deletes, a place that renames and
        // an undo that removes a folder, all outside through the link.
        journalOf("undo", {"file\tlink/vittima.txt\tlink/.unzip-AbC123\t\t" + stampOf("outside") + "\t\t"}),
        journalOf("place", {"file\tlink/vittima.txt\tlink/.unzip-AbC123\tlink/.unzip-AbC123.old\t" + fresh + "\t" + old}),
        journalOf("undo", {"folder\tlink/vuota"}),
        journalOf("place", {"file\t../fuori.txt\t.unzip-AbC123\t\t" + fresh + "\t\t"}),
        journalOf("place", {"file\t" + outside + "/vittima.txt\t.unzip-AbC123\t\t" + fresh + "\t\t"}),
        journalOf("place", {"file\tMetadati.mdb\tsub/keep.txt\t\t" + fresh + "\t\t"}),  // not a name of the run
        journalOf("place", {"file\tMetadati.mdb\tsub/.unzip-AbC123\t\t" + fresh + "\t\t"}),  // not beside its target
        journalOf("undo", {"file\tMetadati.mdb\t.unzip-AbC123\tsub/keep.txt\t" + fresh + "\t" + old}),
        journalOf("place", {"file\tMetadati.mdb\t.unzip-AbC123\t\t" + fresh}),  // no stamps
        "unzip-journal\nmode\tplace\nfile\tMetadati.mdb\t.unzip-AbC123\t\t3\t0\t\t\n",  // cut short
    };
    for (const QByteArray &journal : journals) {
        archivekit::writeFile(dest() + "/.unzip-journal", journal);
        const Snapshot before = archivekit::snapshot(dest()), beforeOutside = archivekit::snapshot(outside);
        QStringList problems;
        EXPECT_EQ(unzip::recoverInterrupted(dest(), &problems), unzip::Recovery::Failed) << journal.toStdString();
        EXPECT_EQ(problems, QStringList{".unzip-journal: registro non valido, nessun file toccato"});
        EXPECT_EQ(archivekit::snapshot(dest()), before) << journal.toStdString();
        EXPECT_EQ(archivekit::snapshot(outside), beforeOutside) << journal.toStdString();
    }
}

TEST_F(UnzipTest, AFileNotAsTheJournalRecordedItIsLeftAloneAndNamed)
{
    const QString changed = ": diverso da quanto registrato, lasciato com'è";
    struct Case { QByteArray journal; unzip::Recovery outcome; QString problem; Snapshot after; };
    Snapshot withoutTemp = Before;
    Snapshot withTemp = Before;
    withTemp.insert(".unzip-AbC123", "new database");
    const Case cases[] = {
        // Undo of a new file that is not the entry: the user's database stays.
        {journalOf("undo", {"file\tMetadati.mdb\t.unzip-XyZ789\t\t" + stampOf("a different one") + "\t\t"}),
         unzip::Recovery::Undone, "Metadati.mdb" + changed, withTemp},
        // A place over a target that is not the file recorded as replaced: the run is undone instead.
        {journalOf("place", {"file\tMetadati.mdb\t.unzip-AbC123\t.unzip-AbC123.old\t" + stampOf("new database") +
                             "\t" + stampOf("another old database")}),
         unzip::Recovery::Undone, "Metadati.mdb" + changed, withoutTemp},
        // A temporary file whose bytes are not the entry's.
        {journalOf("place", {"file\tnuovo.mdb\t.unzip-AbC123\t\t" + stampOf("something else") + "\t\t"}),
         unzip::Recovery::Undone, ".unzip-AbC123" + changed, withTemp},
        // The replaced file recorded is nowhere: it cannot be put back.
        {journalOf("undo", {"file\tMetadati.mdb\t.unzip-XyZ789\t.unzip-XyZ789.old\t" + stampOf("old database") +
                            "\t" + stampOf("the file before")}),
         unzip::Recovery::Failed, "Metadati.mdb" + changed, withTemp},
    };
    for (const Case &c : cases) {
        archivekit::writeFile(dest() + "/.unzip-AbC123", "new database");
        archivekit::writeFile(dest() + "/.unzip-journal", c.journal);
        QStringList problems;
        EXPECT_EQ(unzip::recoverInterrupted(dest(), &problems), c.outcome) << c.journal.toStdString();
        EXPECT_EQ(problems, QStringList{c.problem}) << c.journal.toStdString();
        Snapshot after = archivekit::snapshot(dest());
        if (c.outcome == unzip::Recovery::Failed) {
            EXPECT_TRUE(after.contains(".unzip-journal"));
        }
        after.remove(".unzip-journal");
        EXPECT_EQ(after, c.after) << c.journal.toStdString();
        QFile::remove(dest() + "/.unzip-journal");
    }
}

TEST_F(UnzipTest, InAReadOnlyFolderAJournalIsNotSaidToBeSettled)
{
    const QString small = work.path() + "/sola-lettura";
    ASSERT_TRUE(QDir().mkpath(small));
    const SmallTmpfs tmpfs(small, "size=1m");
    if (!tmpfs.mounted)
        GTEST_SKIP() << "cannot mount a tmpfs here";
    archivekit::writeFile(small + "/Metadati.mdb", "old database");
    archivekit::buildArchive(archive(), {{"Metadati.mdb", "new database"}, {"nuovo.txt", "x"}});
    ASSERT_TRUE(archivekit::killedBetweenRenames([&] { extract(unzip::DCL(), small); }, 0));
    ASSERT_EQ(::mount("tmpfs", QFile::encodeName(small).constData(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr), 0);
    const Snapshot cut = archivekit::snapshot(small);
    QStringList problems;
    EXPECT_EQ(unzip::recoverInterrupted(small, &problems), unzip::Recovery::Failed);
    EXPECT_FALSE(problems.isEmpty());
    EXPECT_EQ(archivekit::snapshot(small), cut);
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
