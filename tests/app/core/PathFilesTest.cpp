// Path files: what the reader accepts, what the writer leaves behind.
#include "CoreTestSupport.h"

#include "app/core/AppState.h"
#include "app/core/PathFiles.h"

#include "vb/DurableFile.h"

#include <QDir>
#include <QFile>

using namespace pendra;

namespace {
class PathFilesTest : public coretest::CoreTest {
protected:
    void SetUp() override
    {
        CoreTest::SetUp();
        files = scratch.path() + "/Files/";
        QDir().mkpath(files);
        app().FilesPath = files;
    }
    void put(const QString &name, const QByteArray &bytes)
    {
        QFile f(files + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray get(const QString &name)
    {
        QFile f(files + name);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    QString files;
};
}  // namespace

TEST_F(PathFilesTest, ReaderJoinsTrimsAndEndsWithOneSlash)
{
    struct Case { QByteArray content; QString folder; };
    const Case cases[] = {
        {"", ""},
        {"\r\n", ""},
        {"   \r\n", ""},
        {"/dati/db\r\n", "/dati/db/"},
        {"/dati/db/\r\n", "/dati/db/"},
        {"  /dati/db  \r\n", "/dati/db/"},
        {"/dati\r\n/db\r\n", "/dati/db/"},
        {"/dati/citt\xE0", QString::fromUtf8("/dati/città/")},
        {"/dati/db\n", "/dati/db/"},  // a lone LF from another editor
    };
    for (const Case &c : cases) {
        put("DBPath.kvr", c.content);
        EXPECT_EQ(GetDbPathFile(), c.folder) << c.content.toStdString();
    }
}

TEST_F(PathFilesTest, ReadingAMissingFileCreatesItEmpty)
{
    EXPECT_EQ(GetShapePathFile(), "");
    EXPECT_EQ(get("SHPath.kvr"), "");
}

TEST_F(PathFilesTest, WriterReplacesTheFileWithOneSingleByteLine)
{
    put("dbpath.kvr", "/vecchio/\r\n/altro/\r\n");  // another letter case is the same file
    WriteDBPath(QString::fromUtf8("/dati/città/"));
    EXPECT_EQ(get("dbpath.kvr"), "/dati/citt\xE0/\r\n");
    EXPECT_FALSE(QFile::exists(files + "DBPath.kvr"));
    WriteSHPath("/carte/");
    EXPECT_EQ(get("SHPath.kvr"), "/carte/\r\n");
    EXPECT_TRUE(dialogs.calls().isEmpty());
    EXPECT_EQ(QDir(files).entryList(QDir::Files).size(), 2);  // no temporary left behind
}

TEST_F(PathFilesTest, FoldersOutsideTheCodePageReadBackUnchanged)
{
    for (const QString &folder : {QStringLiteral("/home/Иван/Документы/"), QStringLiteral("/home/Νίκος/Χάρτες/")}) {
        SCOPED_TRACE(folder.toStdString());
        WriteDBPath(folder);
        WriteSHPath(folder + "Shape/");
        EXPECT_EQ(GetDbPathFile(), folder);
        EXPECT_EQ(GetShapePathFile(), folder + "Shape/");
        EXPECT_FALSE(get("DBPath.kvr").contains('?'));
    }
    EXPECT_TRUE(dialogs.calls().isEmpty());
}

TEST_F(PathFilesTest, AFailedWriteIsLoggedAndLeavesWhatWasThere)
{
    ASSERT_TRUE(QDir().mkpath(files + "SHPath.kvr"));  // a folder in the way: cannot be replaced
    WriteSHPath("/carte/");
    EXPECT_TRUE(QFileInfo(files + "SHPath.kvr").isDir());
    ASSERT_EQ(dialogs.messages().size(), 1);
    const QByteArray log = get("Error.log");
    EXPECT_TRUE(log.contains(" - Module:frmMainMDI Function: WriteSHPath Error N.75 ")) << log.toStdString();
}

TEST_F(PathFilesTest, AFullDiskKeepsTheOldPathAndSaysSoInItalian)
{
    const struct {
        const char *file;
        void (*write)(const QString &);
        const char *procedure;
    } writers[] = {{"DBPath.kvr", WriteDBPath, "WriteDBPath"}, {"SHPath.kvr", WriteSHPath, "WriteSHPath"}};
    for (const auto &w : writers) {
        for (qint64 room : {0, 3}) {
            SCOPED_TRACE(std::string(w.file) + " " + std::to_string(room));
            dialogs.clear();
            QFile::remove(files + "Error.log");
            put(w.file, "/vecchio/\r\n");
            vb::failWritesAfter(room);
            w.write("/nuovo/percorso/");
            vb::failWritesAfter(-1);
            EXPECT_EQ(get(w.file), "/vecchio/\r\n");
            EXPECT_EQ(dialogs.messages(), QStringList{"Errore : Impossibile scrivere il file " + files + w.file +
                                                      " (disco pieno) Il File Error.log è stato riempito."});
            // The system's own words reach the log only.
            const QString log = QString::fromLatin1(get("Error.log"));
            EXPECT_TRUE(log.contains(QString(" - Module:frmMainMDI Function: ") + w.procedure + " Error N.61 "))
                << log.toStdString();
            EXPECT_TRUE(log.contains("(disco pieno) [write ")) << log.toStdString();
            EXPECT_TRUE(QDir(files).entryList({".*"}, QDir::Files | QDir::Hidden).isEmpty());  // no temporary left
        }
    }
}
