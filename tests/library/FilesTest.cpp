// Files: the lookup lists, their row encoding, reloading, the area index and error recording.
#include "KvrFixture.h"

#include "vb/Conversions.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

namespace kvrtest {
namespace {

using jet::FieldType;

QVector<Table> metadatiTables()
{
    return {
        {QStringLiteral("anno"),
         {{QStringLiteral("anno"), FieldType::Long}, {QStringLiteral("nota"), FieldType::Text},
          {QStringLiteral("sigla"), FieldType::Text}},
         {QStringLiteral("1996, Null, 'x'"), QStringLiteral("1997, 'a;b', 'y'")}},
        {QStringLiteral("annosll"), {{QStringLiteral("anno"), FieldType::Long}}, {}},
        {QStringLiteral("ARGsll"),
         {{QStringLiteral("cod"), FieldType::Text}, {QStringLiteral("peso"), FieldType::Double}},
         {QStringLiteral("'AR1', 12.5")}},
        {QStringLiteral("classi"), {{QStringLiteral("classe"), FieldType::Text}},
         {QStringLiteral("'C1'"), QStringLiteral("'C2'")}},
        // no "CensArg": a missing table ends that list only
        {QStringLiteral("anno2"), {{QStringLiteral("anno"), FieldType::Long}}, {QStringLiteral("2008")}},
    };
}

const QStringList TerritorioTables = {
    QStringLiteral("elencom"), QStringLiteral("elencosll"), QStringLiteral("ELEPATTI"),
    QStringLiteral("ELEPIT"), QStringLiteral("territorio"), QStringLiteral("partizioni"),
    QStringLiteral("territoriovarreg"), QStringLiteral("territoriovarprov"),
    QStringLiteral("territorioindreg"), QStringLiteral("territorioindprov")};

// Each territory table holds one row naming itself, so a list read from the wrong table shows.
QVector<Table> territorioTables()
{
    QVector<Table> out;
    for (const QString &name : TerritorioTables)
        out.append({name, {{QStringLiteral("nome"), FieldType::Text}}, {QLatin1Char('\'') + name + QLatin1Char('\'')}});
    return out;
}

const QByteArray AreaKvr = "A;B\r\n\r\n  \r\n C;D \r\n\xC8;x\r\n";

template <class B>
class FilesTest : public ::testing::Test {
protected:
    using I = typename B::Files;
    using Getter = com::HRESULT (I::*)(vb::Variant *);

    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        QDir(m_dir.path()).mkpath(QStringLiteral("Databases"));
        QDir(m_dir.path()).mkpath(QStringLiteral("Files"));
        files = com::createInstance<I>(B::CLSID_Files, B::IID_Files);
        ASSERT_TRUE(files);
    }

    QString databases() const { return m_dir.path() + QStringLiteral("/Databases"); }
    QString filesFolder() const { return m_dir.path() + QStringLiteral("/Files/"); }

    void makeDatabases(const QString &password = Password, bool withTerritorio = true)
    {
        makeDatabase(databases() + QStringLiteral("/Metadati.mdb"), password, metadatiTables());
        if (withTerritorio)
            makeDatabase(databases() + QStringLiteral("/Territorio.mdb"), password, territorioTables());
        writeBytes(filesFolder() + QStringLiteral("area.kvr"), AreaKvr);
    }

    void configure(const QString &password = Password)
    {
        com::check(files->put_ConnString(vb::Variant(odbcPrefix(databases(), password))));
        com::check(files->put_TXTPath(vb::Variant(filesFolder())));
    }

    vb::Variant list(Getter getter)
    {
        vb::Variant v = QStringLiteral("not set");
        com::check((files.get()->*getter)(&v));
        return v;
    }

    qint32 errorNumber()
    {
        qint32 n = -1;
        com::check(files->get_ErrorNumber(&n));
        return n;
    }

    struct Expected {
        const char *name;
        Getter getter;
        QVector<QStringList> rows;
    };
    static QVector<Expected> commonLists()
    {
        const QStringList empty{QStringLiteral("<empty>")};
        return {
            {"File_anno", &I::get_File_anno, {{"1996", "", "x", ""}, {"1997", "a", "b", "y", ""}}},
            {"File_annosll", &I::get_File_annosll, {empty}},
            {"File_area", &I::get_File_area, {{"A", "B"}, {" C", "D "}, {QStringLiteral("È"), "x"}}},
            {"File_ARGsll", &I::get_File_ARGsll, {{"AR1", "12,5", ""}}},
            {"File_Cens96", &I::get_File_Cens96, {empty}},
            {"File_classi", &I::get_File_classi, {{"C1", ""}, {"C2", ""}}},
            {"File_elencom", &I::get_File_elencom, {{"elencom", ""}}},
            {"File_elencosll", &I::get_File_elencosll, {{"elencosll", ""}}},
            {"File_ELEPATTI", &I::get_File_ELEPATTI, {{"ELEPATTI", ""}}},
            {"File_ELEPIT", &I::get_File_ELEPIT, {{"ELEPIT", ""}}},
            {"File_territorio", &I::get_File_territorio, {{"territorio", ""}}},
            {"File_partizioni", &I::get_File_partizioni, {{"partizioni", ""}}},
        };
    }

    com::Ptr<I> files;

private:
    QTemporaryDir m_dir;
};

TYPED_TEST_SUITE(FilesTest, Builds, BuildName);

TYPED_TEST(FilesTest, FillFilesLoadsEveryListInTheRowEncoding)
{
    this->makeDatabases();
    this->configure();
    com::check(this->files->FillFiles());
    EXPECT_EQ(this->errorNumber(), 0);
    for (const auto &e : this->commonLists()) {
        SCOPED_TRACE(e.name);
        const vb::Variant v = this->list(e.getter);
        ASSERT_TRUE(v.isDimensioned());
        EXPECT_EQ(v.lBound(), 0);
        EXPECT_EQ(rowsOf(v), e.rows);
    }
    // An empty table gives one element that holds nothing, not an empty row.
    const vb::Variant annosll = this->list(&TestFixture::I::get_File_annosll);
    ASSERT_EQ(annosll.size(), 1);
    EXPECT_TRUE(annosll.at(0).isEmpty());
    // These two are never filled.
    EXPECT_FALSE(this->list(&TestFixture::I::get_File_SISTEMI).isDimensioned());
    EXPECT_FALSE(this->list(&TestFixture::I::get_File_varia).isDimensioned());
}

TYPED_TEST(FilesTest, MissingAreaFileIsCreatedEmpty)
{
    this->makeDatabases();
    QFile::remove(this->filesFolder() + QStringLiteral("area.kvr"));
    this->configure();
    com::check(this->files->FillFiles());
    const vb::Variant area = this->list(&TestFixture::I::get_File_area);
    ASSERT_EQ(area.size(), 1);
    EXPECT_TRUE(area.at(0).isEmpty());
    const QFileInfo created(this->filesFolder() + QStringLiteral("area.kvr"));
    EXPECT_TRUE(created.exists());
    EXPECT_EQ(created.size(), 0);
    EXPECT_EQ(this->errorNumber(), 0);  // not a connection failure
}

TYPED_TEST(FilesTest, ListsAreHandedOutAsCopies)
{
    this->makeDatabases();
    this->configure();
    com::check(this->files->FillFiles());
    vb::Variant mine = this->list(&TestFixture::I::get_File_anno);
    mine.at(0).at(0) = vb::Variant(QStringLiteral("changed"));
    mine.redimPreserve(0);
    EXPECT_EQ(rowsOf(this->list(&TestFixture::I::get_File_anno)),
              (QVector<QStringList>{{"1996", "", "x", ""}, {"1997", "a", "b", "y", ""}}));
}

TYPED_TEST(FilesTest, WrongPasswordIsRecordedAndLeavesEveryListUndimensioned)
{
    this->makeDatabases(QStringLiteral("altra"));
    this->configure();
    EXPECT_EQ(this->files->FillFiles(), com::S_OK);
    EXPECT_NE(this->errorNumber(), 0);
    QString description;
    com::check(this->files->get_ErrorDescription(&description));
    EXPECT_FALSE(description.isEmpty());
    for (const auto &e : this->commonLists()) {
        SCOPED_TRACE(e.name);
        EXPECT_FALSE(this->list(e.getter).isDimensioned());
    }
}

TYPED_TEST(FilesTest, RecordedErrorOutlivesALaterSuccess)
{
    this->makeDatabases(Password, /*withTerritorio=*/false);
    this->configure();
    com::check(this->files->FillFiles());
    const qint32 recorded = this->errorNumber();
    EXPECT_NE(recorded, 0);
    // The metadata lists were read before the territory database failed to open.
    EXPECT_EQ(rowsOf(this->list(&TestFixture::I::get_File_classi)), (QVector<QStringList>{{"C1", ""}, {"C2", ""}}));
    EXPECT_FALSE(this->list(&TestFixture::I::get_File_elencom).isDimensioned());

    makeDatabase(this->databases() + QStringLiteral("/Territorio.mdb"), Password, territorioTables());
    com::check(this->files->FillFiles());
    EXPECT_EQ(rowsOf(this->list(&TestFixture::I::get_File_elencom)), (QVector<QStringList>{{"elencom", ""}}));
    EXPECT_EQ(this->errorNumber(), recorded);
}

TYPED_TEST(FilesTest, ReFillFileReplacesTheListItNames)
{
    using I = typename TestFixture::I;
    this->makeDatabases();
    this->configure();
    com::check(this->files->FillFiles());
    writeBytes(this->filesFolder() + QStringLiteral("Area2.kvr"), "Z;1\r\n");

    // Every case reads a table other than the list's own, and each table exists in one database
    // only, so a wrong list or a wrong database shows.
    struct Case {
        const char *table;
        kvr::RefillCase which;
        typename TestFixture::Getter getter;
        QVector<QStringList> rows;
    };
    const Case cases[] = {
        {"anno2", kvr::anno, &I::get_File_anno, {{"2008", ""}}},
        {"classi", kvr::annosll, &I::get_File_annosll, {{"C1", ""}, {"C2", ""}}},
        {"area2.kvr", kvr::area, &I::get_File_area, {{"Z", "1"}}},
        {"anno2", kvr::ARGsll, &I::get_File_ARGsll, {{"2008", ""}}},
        {"ARGsll", kvr::CensArg, &I::get_File_Cens96, {{"AR1", "12,5", ""}}},
        {"nessuna", kvr::classi, &I::get_File_classi, {{"<empty>"}}},
        {"elencosll", kvr::elencom, &I::get_File_elencom, {{"elencosll", ""}}},
        {"ELEPIT", kvr::elencosll, &I::get_File_elencosll, {{"ELEPIT", ""}}},
        {"territorio", kvr::ELEPATTI, &I::get_File_ELEPATTI, {{"territorio", ""}}},
        {"partizioni", kvr::ELEPIT, &I::get_File_ELEPIT, {{"partizioni", ""}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.table);
        QString table = QLatin1String(c.table);
        kvr::RefillCase which = c.which;
        com::check(this->files->ReFillFile(&table, &which));
        EXPECT_EQ(rowsOf(this->list(c.getter)), c.rows);
    }

    // Outside 1 to 10 the table is read from the metadata database and no list changes.
    QVector<vb::Variant> before;
    for (const auto &e : this->commonLists())
        before.append(this->list(e.getter));
    for (qint32 n : {0, 11, -1}) {
        QString table = QStringLiteral("anno");
        auto which = static_cast<kvr::RefillCase>(n);
        com::check(this->files->ReFillFile(&table, &which));
    }
    for (qsizetype i = 0; i < before.size(); ++i) {
        SCOPED_TRACE(this->commonLists()[i].name);
        EXPECT_EQ(this->list(this->commonLists()[i].getter), before[i]);
    }
    EXPECT_EQ(this->errorNumber(), 0);
    QFile::remove(this->databases() + QStringLiteral("/Metadati.mdb"));
    QString table = QStringLiteral("elencom");
    auto which = static_cast<kvr::RefillCase>(11);
    com::check(this->files->ReFillFile(&table, &which));
    EXPECT_NE(this->errorNumber(), 0);
}

TYPED_TEST(FilesTest, TextFileIsFoundAndCreatedWhereFolderAndNameJoin)
{
    this->makeDatabases();
    this->configure();
    // A text folder without its closing "/" is joined as it stands, like any other text.
    QString folder = this->filesFolder();
    folder.chop(1);
    com::check(this->files->put_TXTPath(vb::Variant(folder)));
    writeBytes(folder + QStringLiteral("AREA.KVR"), "P;Q\r\n");
    com::check(this->files->FillFiles());
    EXPECT_EQ(rowsOf(this->list(&TestFixture::I::get_File_area)), (QVector<QStringList>{{"P", "Q"}}));

    QFile::remove(folder + QStringLiteral("AREA.KVR"));
    com::check(this->files->FillFiles());
    EXPECT_EQ(rowsOf(this->list(&TestFixture::I::get_File_area)), (QVector<QStringList>{{"<empty>"}}));
    EXPECT_TRUE(QFileInfo::exists(folder + QStringLiteral("area.kvr")));
    EXPECT_EQ(readBytes(this->filesFolder() + QStringLiteral("area.kvr")), AreaKvr);  // not touched
}

TYPED_TEST(FilesTest, GetAreaIndexDateFindsTheTrimmedNameCaseSensitively)
{
    auto index = [this](const QString &name) {
        QString n = name;
        qint16 i = -1;
        com::check(this->files->GetAreaIndexDate(&n, &i));
        return i;
    };
    EXPECT_EQ(index(QStringLiteral("X")), 0);  // never loaded
    this->makeDatabases();
    writeBytes(this->filesFolder() + QStringLiteral("area.kvr"), "x;minuscolo\r\nY;1\r\nX;maiuscolo\r\n");
    this->configure();
    com::check(this->files->FillFiles());
    EXPECT_EQ(index(QStringLiteral("  X ")), 2);
    EXPECT_EQ(index(QStringLiteral("Y")), 1);
    EXPECT_EQ(index(QStringLiteral("x")), 0);
    EXPECT_EQ(index(QStringLiteral("W")), 0);
    EXPECT_EQ(index(QStringLiteral("\tY")), 0);  // only blanks are trimmed
}

TYPED_TEST(FilesTest, NumbersAreWrittenInTheUsersLocale)
{
    this->makeDatabases();
    this->configure();
    vb::setUserLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    com::check(this->files->FillFiles());
    vb::setUserLocale(QLocale(QLocale::Italian, QLocale::Italy));
    EXPECT_EQ(rowsOf(this->list(&TestFixture::I::get_File_ARGsll)), (QVector<QStringList>{{"AR1", "12.5", ""}}));
}

TYPED_TEST(FilesTest, ConnStringIsKeptAsText)
{
    vb::Variant v;
    com::check(this->files->get_ConnString(&v));
    EXPECT_EQ(v, vb::Variant(QString()));
    com::check(this->files->put_ConnString(vb::Variant(qint32(12))));
    com::check(this->files->get_ConnString(&v));
    EXPECT_EQ(v, vb::Variant(QStringLiteral("12")));
    EXPECT_EQ(errorOf([&] { return this->files->put_ConnString(vb::Variant::null()); }), vb::err::InvalidUseOfNull);
    com::check(this->files->get_ConnString(&v));
    EXPECT_EQ(v, vb::Variant(QStringLiteral("12")));
}

// The four territory lists exist only in KVR_UTIL_prov; the interface orders them differently
// from the loading, so each must come from its own table.
TEST(FilesProv, TerritoryListsComeFromTheirOwnTables)
{
    QTemporaryDir dir;
    makeDatabase(dir.filePath(QStringLiteral("Metadati.mdb")), Password, metadatiTables());
    makeDatabase(dir.filePath(QStringLiteral("Territorio.mdb")), Password, territorioTables());
    auto files = com::createInstance<kvr::_Files>(kvr::ids::CLSID_Files, kvr::ids::IID_Files);
    com::check(files->put_ConnString(vb::Variant(odbcPrefix(dir.path()))));
    com::check(files->put_TXTPath(vb::Variant(dir.path() + QLatin1Char('/'))));
    com::check(files->FillFiles());
    struct Case { const char *table; com::HRESULT (kvr::_Files::*getter)(vb::Variant *); };
    for (const Case &c : {Case{"territoriovarreg", &kvr::_Files::get_File_territoriovarreg},
                          Case{"territoriovarprov", &kvr::_Files::get_File_territoriovarprov},
                          Case{"territorioindprov", &kvr::_Files::get_File_territorioindprov},
                          Case{"territorioindreg", &kvr::_Files::get_File_territorioindreg}}) {
        SCOPED_TRACE(c.table);
        vb::Variant v;
        com::check((files.get()->*c.getter)(&v));
        EXPECT_EQ(rowsOf(v), (QVector<QStringList>{{QLatin1String(c.table), ""}}));
    }
}

}  // namespace
}  // namespace kvrtest
