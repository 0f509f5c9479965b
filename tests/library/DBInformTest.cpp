// DBInform: the settings of table DbConfigs, looked up by database name.
#include "KvrFixture.h"

#include "jet/Connection.h"
#include "jet/KeyCache.h"

#include <QFile>
#include <QTemporaryDir>

namespace kvrtest {
namespace {

using jet::FieldType;

const QVector<jet::Field> DbConfigsFields = {
    {QStringLiteral("Dbnames"), FieldType::Text},       {QStringLiteral("DelvaVars"), FieldType::Text},
    {QStringLiteral("CodDelvas"), FieldType::Text},     {QStringLiteral("Num_quirns"), FieldType::Text},
    {QStringLiteral("Classes"), FieldType::Text},       {QStringLiteral("Censes"), FieldType::Text},
    {QStringLiteral("DelvaStops"), FieldType::Integer}, {QStringLiteral("HasTipos"), FieldType::Boolean},
    {QStringLiteral("HasYears"), FieldType::Boolean},   {QStringLiteral("HasTiposNames"), FieldType::Text},
    {QStringLiteral("Parola"), FieldType::Text},  // not read
};

template <class B>
class DBInformTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        db = com::createInstance<kvr::_DBInform>(B::CLSID_DBInform, B::IID_DBInform);
        ASSERT_TRUE(db);
    }

    void makeConfigs(const QString &file, const QStringList &rows, const QString &password = Password)
    {
        makeDatabase(m_dir.filePath(file), password, {{QStringLiteral("DbConfigs"), DbConfigsFields, rows}});
    }

    // As the program calls it: the ODBC prefix, the databases folder and the file name.
    qint32 start(const QString &file)
    {
        QString conn = QStringLiteral("Driver={Microsoft Access Driver (*.mdb)};Pwd=%1;Dbq= ").arg(Password);
        QString folder = m_dir.path() + QLatin1Char('/');
        QString name = file;
        return errorOf([&] { return db->StartConn(&conn, &folder, &name); });
    }

    qint16 count()
    {
        qint16 n = -1;
        com::check(db->get_Dbcount(&n));
        return n;
    }

    template <class T>
    qint32 ask(com::HRESULT (kvr::_DBInform::*getter)(QString *, T *), const QString &name, T *result)
    {
        QString n = name;
        return errorOf([&] { return (db.get()->*getter)(&n, result); });
    }

    qint32 delvaStop(const QString &name, qint16 *value)
    {
        return ask(&kvr::_DBInform::get_DelvaStop, name, value);
    }

    com::Ptr<kvr::_DBInform> db;
    QTemporaryDir m_dir;
};

TYPED_TEST_SUITE(DBInformTest, Builds, BuildName);

TYPED_TEST(DBInformTest, AnswersEveryColumnOfTheRowNamedInAnyCase)
{
    this->makeConfigs(QStringLiteral("Metadati.mdb"),
                      {QStringLiteral("'Dati1.mdb', 'DV1', 'CD1', '4', 'CL1', 'CE1', 3, -1, 0, 'TN1', 'P1'"),
                       QStringLiteral("'Dati2.mdb', Null, 'CD2', Null, Null, Null, 7, 0, -1, Null, Null")});
    ASSERT_EQ(this->start(QStringLiteral("metadati.mdb")), 0);
    EXPECT_EQ(this->count(), 2);

    struct Texts { const char *name; QString delvaVar, codDelva, numQuirn, cls, cens, hasTiposName; qint16 stop; bool hasTipo, hasYears; };
    for (const Texts &t : {Texts{"DATI1.MDB", "DV1", "CD1", "4", "CL1", "CE1", "TN1", 3, true, false},
                           Texts{"dati2.mdb", "", "CD2", "", "", "", "", 7, false, true}}) {
        SCOPED_TRACE(t.name);
        const QString name = QLatin1String(t.name);
        QString s;
        qint16 n = 0;
        bool b = false;
        ASSERT_EQ(this->ask(&kvr::_DBInform::get_DelvaVar, name, &s), 0);
        EXPECT_EQ(s, t.delvaVar);
        ASSERT_EQ(this->ask(&kvr::_DBInform::get_CodDelva, name, &s), 0);
        EXPECT_EQ(s, t.codDelva);
        ASSERT_EQ(this->ask(&kvr::_DBInform::get_Num_quirn, name, &s), 0);
        EXPECT_EQ(s, t.numQuirn);
        ASSERT_EQ(this->ask(&kvr::_DBInform::get_Class, name, &s), 0);
        EXPECT_EQ(s, t.cls);
        ASSERT_EQ(this->ask(&kvr::_DBInform::get_Cens, name, &s), 0);
        EXPECT_EQ(s, t.cens);
        ASSERT_EQ(this->ask(&kvr::_DBInform::get_HasTiposName, name, &s), 0);
        EXPECT_EQ(s, t.hasTiposName);
        ASSERT_EQ(this->delvaStop(name, &n), 0);
        EXPECT_EQ(n, t.stop);
        ASSERT_EQ(this->ask(&kvr::_DBInform::get_HasTipo, name, &b), 0);
        EXPECT_EQ(b, t.hasTipo);
        ASSERT_EQ(this->ask(&kvr::_DBInform::get_HasYears, name, &b), 0);
        EXPECT_EQ(b, t.hasYears);
    }
}

TYPED_TEST(DBInformTest, UnknownNamesRaiseSubscriptOutOfRange)
{
    qint16 n = 42;
    QString s;
    EXPECT_EQ(this->delvaStop(QStringLiteral("Dati1.mdb"), &n), vb::err::SubscriptOutOfRange);  // before StartConn
    EXPECT_EQ(this->ask(&kvr::_DBInform::get_DelvaVar, QStringLiteral("Dati1.mdb"), &s), vb::err::SubscriptOutOfRange);

    this->makeConfigs(QStringLiteral("Metadati.mdb"),
                      {QStringLiteral("'Dati1.mdb', 'DV1', 'CD1', '4', 'CL1', 'CE1', 3, -1, 0, 'TN1', 'P1'")});
    ASSERT_EQ(this->start(QStringLiteral("Metadati.mdb")), 0);
    for (const char *name : {"Dati9.mdb", "Dati1.mdb ", " Dati1.mdb", ""}) {
        SCOPED_TRACE(name);
        n = 42;
        EXPECT_EQ(this->delvaStop(QLatin1String(name), &n), vb::err::SubscriptOutOfRange);
        EXPECT_EQ(n, 42);  // nothing answered, in particular not 0
    }
}

TYPED_TEST(DBInformTest, EmptyTableGivesNoRows)
{
    this->makeConfigs(QStringLiteral("Metadati.mdb"), {});
    ASSERT_EQ(this->start(QStringLiteral("Metadati.mdb")), 0);
    EXPECT_EQ(this->count(), 0);
    bool b = false;
    EXPECT_EQ(this->ask(&kvr::_DBInform::get_HasTipo, QStringLiteral("Dati1.mdb"), &b), vb::err::SubscriptOutOfRange);
}

TYPED_TEST(DBInformTest, NullDelvaStopsCountsAsZeroAndTheLoadGoesOn)
{
    this->makeConfigs(QStringLiteral("Metadati.mdb"),
                      {QStringLiteral("'Dati1.mdb', 'DV1', 'CD1', '4', 'CL1', 'CE1', Null, -1, 0, 'TN1', 'P1'"),
                       QStringLiteral("'Dati2.mdb', 'DV2', 'CD2', '4', 'CL2', 'CE2', 5, -1, 0, 'TN2', 'P2'")});
    ASSERT_EQ(this->start(QStringLiteral("Metadati.mdb")), 0);
    EXPECT_EQ(this->count(), 2);
    qint16 n = -1;
    ASSERT_EQ(this->delvaStop(QStringLiteral("Dati1.mdb"), &n), 0);
    EXPECT_EQ(n, 0);
    ASSERT_EQ(this->delvaStop(QStringLiteral("Dati2.mdb"), &n), 0);
    EXPECT_EQ(n, 5);
}

TYPED_TEST(DBInformTest, NullNameOrBooleanFailsTheLoad)
{
    const char *rows[] = {
        "Null, 'V', '', '', '', '', 1, 0, 0, '', ''",       // Dbnames
        "'d1', 'V', '', '', '', '', 1, Null, 0, '', ''",   // HasTipos
        "'d1', 'V', '', '', '', '', 1, 0, Null, '', ''",   // HasYears
    };
    for (const char *row : rows) {
        SCOPED_TRACE(row);
        this->makeConfigs(QStringLiteral("Metadati.mdb"), {QLatin1String(row)});
        EXPECT_EQ(this->start(QStringLiteral("Metadati.mdb")), vb::err::InvalidUseOfNull);
        EXPECT_EQ(this->count(), 0);
        QFile::remove(this->m_dir.filePath(QStringLiteral("Metadati.mdb")));
    }
}

// A reload that fails on row i leaves exactly the indexes 0..i: the new rows before i and, at i,
// the old row 0 when i is 0 (nothing otherwise); Dbcount stays, so the old rows beyond are gone.
TYPED_TEST(DBInformTest, FailedStartConnKeepsStoredRowsAndThePreviousCount)
{
    this->makeConfigs(QStringLiteral("A.mdb"),
                      {QStringLiteral("'a1', 'A', '', '', '', '', 1, 0, 0, '', ''"),
                       QStringLiteral("'a2', 'A', '', '', '', '', 2, 0, 0, '', ''"),
                       QStringLiteral("'a3', 'A', '', '', '', '', 3, 0, 0, '', ''")});
    this->makeConfigs(QStringLiteral("B.mdb"),
                      {QStringLiteral("'b1', 'B', '', '', '', '', 11, 0, 0, '', ''"),
                       QStringLiteral("'b2', 'B', '', '', '', '', 12, Null, 0, '', ''")});
    this->makeConfigs(QStringLiteral("C.mdb"),
                      {QStringLiteral("'c1', 'C', '', '', '', '', 21, 0, Null, '', ''")});
    struct Case {
        const char *file;
        std::vector<std::pair<const char *, qint16>> found;
        std::vector<const char *> gone;
    };
    const Case cases[] = {
        {"B.mdb", {{"b1", 11}}, {"a1", "a2", "a3", "b2", ""}},  // fails on row 1
        {"C.mdb", {{"a1", 1}}, {"a2", "a3", "c1"}},             // fails on row 0
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.file);
        ASSERT_EQ(this->start(QStringLiteral("A.mdb")), 0);
        ASSERT_EQ(this->count(), 3);
        EXPECT_EQ(this->start(QLatin1String(c.file)), vb::err::InvalidUseOfNull);
        EXPECT_EQ(this->count(), 3);
        qint16 n = 0;
        for (const auto &[name, stop] : c.found) {
            ASSERT_EQ(this->delvaStop(QLatin1String(name), &n), 0) << name;
            EXPECT_EQ(n, stop) << name;
        }
        for (const char *gone : c.gone)
            EXPECT_EQ(this->delvaStop(QLatin1String(gone), &n), vb::err::SubscriptOutOfRange) << gone;
    }
    ASSERT_EQ(this->start(QStringLiteral("B.mdb")), vb::err::InvalidUseOfNull);
    qint16 n = 0;

    // Sources that fail before any row is read change nothing.
    this->makeConfigs(QStringLiteral("Wrong.mdb"), {QStringLiteral("'w1', '', '', '', '', '', 1, 0, 0, '', ''")},
                      QStringLiteral("altra"));
    makeDatabase(this->m_dir.filePath(QStringLiteral("NoTable.mdb")), Password, {});
    for (const char *file : {"Wrong.mdb", "NoTable.mdb", "Missing.mdb"}) {
        SCOPED_TRACE(file);
        EXPECT_NE(this->start(QLatin1String(file)), 0);
        EXPECT_EQ(this->count(), 3);
        ASSERT_EQ(this->delvaStop(QStringLiteral("b1"), &n), 0);
        EXPECT_EQ(n, 11);
    }
}

// The library runs on the program's engine: a file keyed once is not keyed again by the other side.
TYPED_TEST(DBInformTest, LibraryAndProgramShareOneKeyCache)
{
    this->makeConfigs(QStringLiteral("Metadati.mdb"),
                      {QStringLiteral("'Dati1.mdb', 'DV1', 'CD1', '4', 'CL1', 'CE1', 3, -1, 0, 'TN1', 'P1'")});
    jet::KeyCache::clear();
    const int before = jet::KeyCache::derivations();
    ASSERT_EQ(this->start(QStringLiteral("Metadati.mdb")), 0);
    EXPECT_EQ(jet::KeyCache::derivations(), before + 1);  // the library's derivation is the program's
    jet::Connection here;
    here.open(odbcPrefix(this->m_dir.path()) + QStringLiteral("Metadati.mdb"), QString(), QString());
    here.close();
    EXPECT_EQ(jet::KeyCache::derivations(), before + 1);
}

}  // namespace
}  // namespace kvrtest
