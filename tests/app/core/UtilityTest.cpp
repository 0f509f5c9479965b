// The error log, the sheet query, the tree accordion, connections and the folder picker.
#include "CoreTestSupport.h"
#include "FullFolder.h"

#include "app/core/AppState.h"
#include "app/core/Guarded.h"
#include "app/core/NetPath.h"
#include "app/core/Utility.h"

#include "forms/MousePointer.h"
#include "tree/TreeModel.h"
#include "vb/Error.h"
#include "vb/ErrorOf.h"

#include "vb/TextFile.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <optional>


using namespace pendra;
using coretest::CoreTest;

namespace {
class UtilityTest : public CoreTest {
protected:
    void SetUp() override
    {
        CoreTest::SetUp();
        QDir().mkpath(scratch.path() + "/Files");
        app().FilesPath = scratch.path() + "/Files/";
    }
    QByteArray log() const
    {
        QFile f(app().FilesPath + "Error.log");
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};
}  // namespace

TEST_F(UtilityTest, LogErrorAppendsOneSingleByteLinePerErrorAndShowsTheMessage)
{
    QFile existing(app().FilesPath + "Error.log");
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.write("vecchia riga\r\n");
    existing.close();
    forms::setMousePointer(forms::MousePointer::Hourglass);

    LogError("Utility", "GetDbConnection", "53", "File non trovato: Metadati.mdb");
    QObject window;
    window.setObjectName("frmStart");
    LogError(&window, "Form_Load", vb::Error(-2147467259, "Database già aperto"));

    const QList<QByteArray> lines = log().split('\n');
    ASSERT_EQ(lines.size(), 4);  // three lines and the empty rest after the last LF
    EXPECT_EQ(lines[0], "vecchia riga\r");
    const QRegularExpression first(
        "^\\d\\d/\\d\\d/\\d{4} \\d\\d:\\d\\d:\\d\\d - Module:Utility Function: GetDbConnection Error N.53 "
        "Description:File non trovato: Metadati.mdb\r$");
    EXPECT_TRUE(first.match(QString::fromLatin1(lines[1])).hasMatch()) << lines[1].toStdString();
    EXPECT_TRUE(lines[2].endsWith(" - Module:frmStart Function: Form_Load Error N.-2147467259 Description:Database "
                                  "gi\xE0 aperto\r"))
        << lines[2].toStdString();  // Windows-1252: "à" is one byte
    EXPECT_TRUE(lines[3].isEmpty());

    ASSERT_EQ(dialogs.calls().size(), 2);
    EXPECT_EQ(dialogs.calls()[0].prompt, "Errore : File non trovato: Metadati.mdb Il File Error.log è stato riempito.");
    EXPECT_EQ(dialogs.calls()[0].style, forms::vbExclamation);
    EXPECT_TRUE(dialogs.calls()[0].title.isEmpty());
    EXPECT_EQ(forms::mousePointer(), forms::MousePointer::Default);
}

// A new log that must name a folder outside the code page is UTF-8 from its first line; a
// code-page log is never rewritten, so such a name reaches it with '?' for what it cannot hold.
TEST_F(UtilityTest, LogLinesNamingFoldersOutsideTheCodePage)
{
    LogError("Utility", "GetDbConnection", "53", QStringLiteral("File non trovato: /home/Νίκος/Metadati.mdb"));
    LogError("Utility", "GetDbConnection", "53", QString::fromUtf8("File non trovato: città.mdb"));
    QStringList lines = vb::readLines(app().FilesPath + "Error.log");
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].endsWith(QStringLiteral("Description:File non trovato: /home/Νίκος/Metadati.mdb")))
        << lines[0].toStdString();
    EXPECT_TRUE(lines[1].endsWith(QString::fromUtf8("Description:File non trovato: città.mdb"))) << lines[1].toStdString();

    QFile::remove(app().FilesPath + "Error.log");
    LogError("Utility", "GetDbConnection", "53", QString::fromUtf8("File non trovato: città.mdb"));
    const QByteArray first = log();
    LogError("Utility", "GetDbConnection", "53", QStringLiteral("File non trovato: /home/Νίκος/Metadati.mdb"));
    EXPECT_TRUE(log().startsWith(first));
    lines = vb::readLines(app().FilesPath + "Error.log");
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[1].endsWith("Description:File non trovato: /home/?????/Metadati.mdb")) << lines[1].toStdString();
}

// The box speaks the program's Italian; the system's own text goes to the log only.
TEST_F(UtilityTest, TheBoxShowsTheItalianDescriptionAndTheLogKeepsTheDetail)
{
    LogError("frmStart", "Form_Load",
             vb::Error::of(3024, "jet", "/dati/Settore.mdb", "Could not find file '/dati/Settore.mdb'."));
    EXPECT_EQ(dialogs.messages().last(),
              "Errore : Impossibile trovare il file '/dati/Settore.mdb'. Il File Error.log è stato riempito.");
    EXPECT_TRUE(vb::readAllText(app().FilesPath + "Error.log")
                    .endsWith("Error N.3024 Description:Impossibile trovare il file '/dati/Settore.mdb'. "
                              "[Could not find file '/dati/Settore.mdb'.]\r\n"));
}

TEST_F(UtilityTest, LogErrorDeletesMapinfoAndCopesWithoutAWritableLog)
{
    QFile stale(app().FilesPath + "MAPINFO.kvr");
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.close();
    LogError("Utility", "x", "1", "uno");
    EXPECT_FALSE(QFile::exists(app().FilesPath + "MAPINFO.kvr"));
    LogError("Utility", "x", "2", "due");  // its absence is no error
    EXPECT_EQ(log().count('\n'), 2);

    EXPECT_EQ(dialogs.messages().last(), "Errore : due Il File Error.log è stato riempito.");

    // The line is lost, the message is not; it no longer claims the log was filled.
    app().FilesPath = scratch.path() + "/missing/";
    LogError("Utility", "x", "3", "tre");
    EXPECT_EQ(dialogs.messages().size(), 3);
    EXPECT_EQ(dialogs.messages().last(), "Errore : tre");
    // A folder where the log should be: nothing can be written.
    app().FilesPath = scratch.path() + "/Files/";
    QFile::remove(app().FilesPath + "Error.log");
    ASSERT_TRUE(QDir().mkpath(app().FilesPath + "Error.log"));
    LogError("Utility", "x", "4", "quattro");
    EXPECT_EQ(dialogs.messages().last(), "Errore : quattro");
}

// A full disk: the line cannot be written, and the message says nothing of the log.
TEST_F(UtilityTest, OnAFullFileSystemTheMessageDoesNotClaimTheLogWasFilled)
{
    fixtures::FullFolder full(scratch.path() + "/Pieno", 16);
    if (!full.mounted())
        GTEST_SKIP() << "cannot mount a tmpfs here";
    full.fill();
    app().FilesPath = full.path() + "/";
    LogError("Utility", "x", "61", "pieno");
    EXPECT_EQ(dialogs.messages().last(), "Errore : pieno");
}

TEST(GetSqlScheda, KindChoosesTheSheetAndApostrophesOfTheCodeAreDoubled)
{
    EXPECT_EQ(GetSqlScheda("Variabili", "AS013"),
              "SELECT MetadatiVariabili.*, Argomento.[Desc argomento], Settore.[Descrizione Settore] FROM "
              "(Argomento INNER JOIN Settore ON Argomento.idSettore = Settore.idSettore) INNER JOIN "
              "MetadatiVariabili ON Argomento.[Codice argomento] = MetadatiVariabili.CodiceArgomento Where  "
              "IdVariabile  ='AS013';");
    const QString ind = "SELECT MetadatiIndicatori.*, Argomento.[Desc argomento], Settore.[Descrizione Settore] "
                        "FROM (Argomento INNER JOIN Settore ON Argomento.idSettore = Settore.idSettore) INNER "
                        "JOIN MetadatiIndicatori ON Argomento.[Codice argomento] = MetadatiIndicatori.Argomento "
                        "Where IdIndicatore ='";
    EXPECT_EQ(GetSqlScheda("Indicatori", "IAS013"), ind + "IAS013';");
    EXPECT_EQ(GetSqlScheda("variabili", "AS013"), ind + "AS013';");  // case-sensitive
    EXPECT_EQ(GetSqlScheda("Indicatori", "I'X"), ind + "I''X';");
}

TEST(CollapseTreeNodes, KeyLengthOfTheClickedNodeDecidesWhatFolds)
{
    // Keys: areas 1 character, sub-areas 3, codes 5 or 6, years 10 or 11.
    const QStringList keys = {"A", "A01", "AS013", "AS013-2005", "B", "B01", "IAS013", "IAS013-2006"};
    struct Case { QString clicked; QStringList stillExpanded; };
    const Case cases[] = {
        {"A", {"A"}},                                  // everything else folds, years included
        {"A01", {"A", "B", "A01"}},                    // 1-character keys stay
        {"AS013", {"A", "A01", "B", "B01", "AS013"}},  // keys of 4+ characters fold
        {"IAS013", {"A", "A01", "B", "B01", "IAS013"}},
        {"B", {"B"}},
        {"AS013-2005", {"A", "A01", "AS013", "AS013-2005", "B", "B01", "IAS013", "IAS013-2006"}},
    };
    for (const Case &c : cases) {
        tree::TreeModel m;
        m.add(nullptr, tree::tvwChild, "A", "a");
        m.add("A", tree::tvwChild, "A01", "a01");
        m.add("A01", tree::tvwChild, "AS013", "v");
        m.add("AS013", tree::tvwChild, "AS013-2005", "2005");
        m.add(nullptr, tree::tvwChild, "B", "b");
        m.add("B", tree::tvwChild, "B01", "b01");
        m.add("B01", tree::tvwChild, "IAS013", "i");
        m.add("IAS013", tree::tvwChild, "IAS013-2006", "2006");
        for (int i = 1; i <= m.count(); ++i)
            m.item(i)->setExpanded(true);

        CollapseTreeNodes(m, m.item(c.clicked));
        QStringList expanded;
        for (const QString &k : keys)
            if (m.item(k)->expanded())
                expanded << k;
        QStringList want = c.stillExpanded;
        std::sort(want.begin(), want.end());
        std::sort(expanded.begin(), expanded.end());
        EXPECT_EQ(expanded, want) << c.clicked.toStdString();
    }
}

TEST(CollapseTreeNodes, KeysOfTwoOrFourCharactersFoldNothingElse)
{
    for (const QString clicked : {"A0", "A012"}) {
        tree::TreeModel m;
        m.add(nullptr, tree::tvwChild, "A", "a");
        m.add("A", tree::tvwChild, "A0", "a0");
        m.add("A0", tree::tvwChild, "A012", "a012");
        m.add("A012", tree::tvwChild, "AS013", "v");
        m.add("AS013", tree::tvwChild, "AS013-2005", "2005");
        m.add(nullptr, tree::tvwChild, "B", "b");
        for (int i = 1; i <= m.count(); ++i)
            m.item(i)->setExpanded(true);
        CollapseTreeNodes(m, m.item(clicked));
        for (int i = 1; i <= m.count(); ++i)
            EXPECT_TRUE(m.item(i)->expanded()) << clicked.toStdString() << " folded " << m.item(i)->key().toStdString();
    }
}

TEST(CollapseTreeNodes, SubAreaKeysOfTheCodeLengthNeverFoldTheClickedBranch)
{
    // Sub-area keys of the sample atlas that pass the code threshold of 4 characters.
    for (const QString sub : {"B02-PD", "H03 - NO", "H04-NO"}) {
        tree::TreeModel m;
        m.add(nullptr, tree::tvwChild, "B", "b");
        m.add("B", tree::tvwChild, sub, "sub");
        m.add(sub, tree::tvwChild, "DG030", "Morti");
        m.add("DG030", tree::tvwChild, "DG030-2005", "2005");
        m.add(sub, tree::tvwChild, "DG016", "Nati vivi");
        m.add("DG016", tree::tvwChild, "DG016-2005", "2005");
        m.add(nullptr, tree::tvwChild, "H", "h");
        m.add("H", tree::tvwChild, "H04-NX", "other");
        m.add("H04-NX", tree::tvwChild, "AM010", "aria");
        for (int i = 1; i <= m.count(); ++i)
            m.item(i)->setExpanded(true);

        CollapseTreeNodes(m, m.item("DG030"));
        QStringList expanded;
        for (int i = 1; i <= m.count(); ++i)
            if (m.item(i)->expanded())
                expanded << m.item(i)->key();
        // Its area, its sub-area and itself stay open; the sibling code and other long keys fold.
        EXPECT_EQ(expanded, QStringList({"B", sub, "DG030", "H"})) << sub.toStdString();
    }
}

TEST(CollapseTreeNodes, ClickedNodeUnfoldsOnlyWithChildren)
{
    tree::TreeModel m;
    tree::TreeNode *area = m.add(nullptr, tree::tvwChild, "A", "a");
    m.add("A", tree::tvwChild, "A01", "a01");
    tree::TreeNode *year = m.add("A01", tree::tvwChild, "AS013-2005", "2005");
    CollapseTreeNodes(m, area);
    EXPECT_TRUE(area->expanded());
    CollapseTreeNodes(m, year);
    EXPECT_FALSE(year->expanded());
    EXPECT_TRUE(area->expanded());
}

TEST_F(UtilityTest, GetDbConnectionOpensInTheDatabasesFolderOrLogsAndGivesAClosedOne)
{
    coretest::SmallFolder small;
    app().ConnPrefix = odbcPrefix(DatabasePassword);
    app().DataPath = small.path() + "/Databases/";
    jet::Connection ok = GetDbConnection("metadati.mdb");
    EXPECT_TRUE(ok.isOpen());
    jet::Connection given = GetDbConnection("Metadati.mdb", small.path() + "/Databases/");
    EXPECT_TRUE(given.isOpen());
    jet::Connection whole = GetDbConnection(app().ConnPrefix + app().DataPath + "Metadati.mdb", "", true);
    EXPECT_TRUE(whole.isOpen());
    EXPECT_TRUE(dialogs.calls().isEmpty());

    jet::Connection missing = GetDbConnection("Nessuno.mdb");
    EXPECT_FALSE(missing.isOpen());
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(log().contains(" - Module:Utility Function: GetDbConnection Error N."));
}

TEST_F(UtilityTest, BrowseForFolderAddsOneSlashAndGivesEmptyOnCancel)
{
    dialogs.answerFolder("/dati/atlante");
    dialogs.answerFolder("/");
    EXPECT_EQ(BrowseForFolder(nullptr, "Titolo", "/inizio/"), "/dati/atlante/");
    EXPECT_EQ(BrowseForFolder(nullptr, "Titolo", ""), "//");
    EXPECT_EQ(BrowseForFolder(nullptr, "Titolo", ""), "");  // cancelled
    const auto calls = dialogs.calls(forms::DialogCall::Folder);
    ASSERT_EQ(calls.size(), 3);
    EXPECT_EQ(calls[0].title, "Titolo");
    EXPECT_EQ(calls[0].startFolder, "/inizio/");
}

TEST_F(UtilityTest, ShowHelpReachesTheCallerWhenTheHelpFileIsMissing)
{
    app().HelpFile = scratch.path() + "/Files/Help/Helvora.chm";
    EXPECT_EQ(vbtest::errorOf([] { ShowHelp(1000); }), 53);
    EXPECT_TRUE(dialogs.calls().isEmpty());  // no handler of its own
}

// "Help" with the help file missing, empty, truncated or scrambled: the box says in Italian that
// the file is missing or damaged, never the reader's English.
TEST_F(UtilityTest, HelpWithAMissingOrDamagedFileSaysSoInItalian)
{
    const QString help = scratch.path() + "/Files/Help/Helvora.chm";
    QDir().mkpath(scratch.path() + "/Files/Help");
    app().HelpFile = help;
    QFile good(QStringLiteral(PENDRA_DIR) + "/Files/Help/Helvora.chm");
    ASSERT_TRUE(good.open(QIODevice::ReadOnly));
    const QByteArray whole = good.readAll();
    QByteArray scrambled = whole;
    for (qsizetype i = 0; i < scrambled.size(); i += 7)
        scrambled[i] = char(scrambled[i] ^ 0x5A);
    struct Case {
        const char *what;
        std::optional<QByteArray> bytes;  // none: no file
    };
    const Case cases[] = {
        {"missing", std::nullopt},
        {"empty", QByteArray()},
        {"truncated", whole.left(whole.size() / 3)},
        {"scrambled", scrambled},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        QFile::remove(help);
        if (c.bytes) {
            QFile f(help);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(*c.bytes);
        }
        dialogs.clear();
        guarded(QStringLiteral("frmMetadati"), "cmdHelp_Click", [] { ShowHelp(2000); });
        ASSERT_EQ(dialogs.messages().size(), 1);
        const QString said = c.bytes ? "Errore : Il file della Guida " + help +
                                           " è danneggiato o non è un file della Guida. Il File Error.log è stato riempito."
                                     : "Errore : Il file della Guida " + help +
                                           " non è stato trovato. Il File Error.log è stato riempito.";
        EXPECT_EQ(dialogs.messages().first(), said);
    }
}
