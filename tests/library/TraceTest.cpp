// The tracing build: its trace lines in "Debug.log" of the current folder, and their failures.
#include "KvrFixture.h"

#include "vb/Conversions.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <unistd.h>

namespace kvrtest {
namespace {

class TraceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_data.isValid() && m_work.isValid());
        m_oldCurrent = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(m_work.path()));
        makeDatabase(m_data.filePath(QStringLiteral("Metadati.mdb")), Password, {});
        makeDatabase(m_data.filePath(QStringLiteral("Territorio.mdb")), Password, {});
        files = com::createInstance<kvr::trace::_Files>(kvr::ids::trace::CLSID_Files, kvr::ids::trace::IID_Files);
        ASSERT_TRUE(files);
    }
    void TearDown() override { QDir::setCurrent(m_oldCurrent); }

    void configure(const QString &password = Password)
    {
        com::check(files->put_ConnString(vb::Variant(odbcPrefix(m_data.path(), password))));
        com::check(files->put_TXTPath(vb::Variant(m_data.path() + QLatin1Char('/'))));
    }

    QString log() const { return m_work.filePath(QStringLiteral("Debug.log")); }

    // "Function Step" of every line, after checking each line's layout and CR LF end.
    QStringList traced(const QString &path) const
    {
        const QByteArray bytes = readBytes(path);
        EXPECT_TRUE(bytes.isEmpty() || bytes.endsWith("\r\n"));
        static const QRegularExpression line(
            QStringLiteral("^(\\S+) (\\S+) - Module: Function: (\\w+) Debug:(\\d{3})$"));
        const QStringList today = {vb::DateText(m_started), vb::DateText(QDate::currentDate())};
        QStringList out;
        for (const QString &text : QString::fromLatin1(bytes).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts)) {
            const auto m = line.match(text);
            EXPECT_TRUE(m.hasMatch()) << text.toStdString();
            EXPECT_TRUE(today.contains(m.captured(1))) << text.toStdString();
            out.append(m.captured(3) + QLatin1Char(' ') + m.captured(4));
        }
        return out;
    }

    com::Ptr<kvr::trace::_Files> files;
    QTemporaryDir m_data;
    QTemporaryDir m_work;

private:
    QString m_oldCurrent;
    QDate m_started = QDate::currentDate();
};

TEST_F(TraceTest, EachPropertyCallWritesTwoLines)
{
    configure();
    vb::Variant v;
    com::check(files->get_ConnString(&v));
    EXPECT_EQ(traced(log()), (QStringList{"LetConnString 001", "LetConnString 002", "LetTXTPath 001",
                                          "LetTXTPath 002", "GetConnString 001", "GetConnString 002"}));
}

TEST_F(TraceTest, FillFilesWritesFiveLinesAndTheThirdIsStep003)
{
    configure();
    const qsizetype before = readBytes(log()).size();
    com::check(files->FillFiles());
    const QByteArray added = readBytes(log()).mid(before);
    const QList<QByteArray> lines = added.split('\n');
    ASSERT_EQ(lines.size(), 6);  // five lines and the empty rest after the last CR LF
    const QString third = QString::fromLatin1(lines[2]);
    const QString expectedPrefix = vb::DateText(QDate::currentDate()) + QLatin1Char(' ');
    EXPECT_TRUE(third.startsWith(expectedPrefix)) << third.toStdString();
    EXPECT_TRUE(third.endsWith(QStringLiteral(" - Module: Function: FillFiles Debug:003\r"))) << third.toStdString();

    EXPECT_EQ(traced(log()).mid(4), (QStringList{"FillFiles 001", "FillFiles 002", "FillFiles 003",
                                                 "FillFiles 004", "FillFiles 005"}));
}

TEST_F(TraceTest, FailedConnectionWritesOnlyTheEntryLine)
{
    configure(QStringLiteral("altra"));
    QFile::remove(log());
    com::check(files->FillFiles());
    qint32 n = 0;
    com::check(files->get_ErrorNumber(&n));
    EXPECT_NE(n, 0);
    EXPECT_EQ(traced(log()), QStringList{"FillFiles 001"});
}

TEST_F(TraceTest, AppendsToTheLogWhateverItsLetterCase)
{
    const QString earlier = vb::DateText(QDate::currentDate()) + QStringLiteral(" 10:00:00 - Module: Function: X Debug:000\r\n");
    writeBytes(m_work.filePath(QStringLiteral("DEBUG.LOG")), earlier.toLatin1());
    configure();
    EXPECT_FALSE(QFile::exists(log()));
    EXPECT_EQ(traced(m_work.filePath(QStringLiteral("DEBUG.LOG"))),
              (QStringList{"X 000", "LetConnString 001", "LetConnString 002", "LetTXTPath 001", "LetTXTPath 002"}));
}

TEST_F(TraceTest, UnwritableLogLeavesTheTracedCallsUndisturbed)
{
    enum class How { LogIsAFolder, FolderRemoved, FolderReadOnly };
    for (How how : {How::LogIsAFolder, How::FolderRemoved, How::FolderReadOnly}) {
        SCOPED_TRACE(static_cast<int>(how));
        QTemporaryDir parent;
        const QString folder = parent.filePath(QStringLiteral("cwd"));
        ASSERT_TRUE(QDir().mkpath(folder));
        ASSERT_TRUE(QDir::setCurrent(folder));
        switch (how) {
        case How::LogIsAFolder:
            ASSERT_TRUE(QDir().mkpath(folder + QStringLiteral("/Debug.log")));
            break;
        case How::FolderRemoved:
            ASSERT_TRUE(QDir(folder).removeRecursively());
            break;
        case How::FolderReadOnly:
            if (geteuid() == 0)
                continue;  // permissions do not bind root; the other two cases stand in
            ASSERT_TRUE(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
            break;
        }
        auto traced = com::createInstance<kvr::trace::_Files>(kvr::ids::trace::CLSID_Files,
                                                              kvr::ids::trace::IID_Files);
        EXPECT_EQ(traced->put_ConnString(vb::Variant(odbcPrefix(m_data.path()))), com::S_OK);
        vb::Variant v;
        EXPECT_EQ(traced->get_ConnString(&v), com::S_OK);
        EXPECT_EQ(v, vb::Variant(odbcPrefix(m_data.path())));
        EXPECT_EQ(traced->put_TXTPath(vb::Variant(m_data.path() + QLatin1Char('/'))), com::S_OK);
        EXPECT_EQ(traced->FillFiles(), com::S_OK);
        qint32 n = -1;
        com::check(traced->get_ErrorNumber(&n));
        EXPECT_EQ(n, 0);
        com::check(traced->get_File_anno(&v));
        EXPECT_TRUE(v.isDimensioned());
        EXPECT_FALSE(QFileInfo(folder + QStringLiteral("/Debug.log")).isFile());
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        ASSERT_TRUE(QDir::setCurrent(m_work.path()));
    }
}

TEST_F(TraceTest, ProvBuildWritesNoTrace)
{
    auto prov = com::createInstance<kvr::_Files>(kvr::ids::CLSID_Files, kvr::ids::IID_Files);
    com::check(prov->put_ConnString(vb::Variant(odbcPrefix(m_data.path()))));
    com::check(prov->put_TXTPath(vb::Variant(m_data.path() + QLatin1Char('/'))));
    com::check(prov->FillFiles());
    EXPECT_TRUE(QDir(m_work.path()).entryList(QDir::Files).isEmpty());
}

}  // namespace
}  // namespace kvrtest
