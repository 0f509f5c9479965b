// The UnZip layer on real and hostile archives: exactly which files exist afterwards, and their bytes.
#include "ArchiveKit.h"

#include "unzip/Unzip.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstring>

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

    int extract(unzip::DCL dcl = unzip::DCL())
    {
        const QByteArray zipName = QFile::encodeName(archive());
        const QByteArray dir = QFile::encodeName(dest());
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
