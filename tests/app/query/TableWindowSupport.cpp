// The fixture folder of the data table tests, with values set so that numeric and text order differ.
#include "TableWindowSupport.h"

#include "app/core/AppState.h"
#include "app/query/frm_dispData.h"

#include "AppOnFolder.h"
#include "ProgramFolder.h"
#include "forms/FormRegistry.h"
#include "grid/FlexGrid.h"
#include "jet/Database.h"
#include "vb/Conversions.h"

#include <QCoreApplication>
#include <QFile>

namespace tabletest {

namespace {
std::unique_ptr<fixtures::ProgramFolder> folder;
}

QString dataQuery()
{
    return "SELECT land_Ind.COD_TIPO_TERR as TipoTerritorio, land_Ind.COD_TERR, land_Ind.PROV, land_Ind.REG, "
           "land_Ind.COD_NUTS, land_Ind.DES_TERR as Territorio, Format(AS_2005.AS013, '0.00') as AS013_2005, "
           "Format(AS_2006.AS013, '0.00') as AS013_2006, Format(AS_2005.AS014, '0.00') as AS014_2005 "
           "FROM (AS_2005 INNER JOIN land_Ind  ON AS_2005.COD_TERR = land_Ind.COD_TERR) INNER JOIN AS_2006 ON "
           "AS_2006.COD_TERR = AS_2005.COD_TERR WHERE land_Ind.DES_TERR IN( 'Torino', 'Cuneo', 'Aosta', "
           "'Bolzano', 'Trento')";
}

void TableWindowTest::SetUpTestSuite()
{
    folder = std::make_unique<fixtures::ProgramFolder>();
    jet::Database db = jet::Database::open(folder->databases() + "VariabiliProvince.mdb", false, false, folder->dao());
    // AS013 of 2005: numeric order differs from text order; AS014 of 2005: ties.
    const QStringList statements = {
        "UPDATE AS_2005 SET AS013 = 12.5, AS014 = 7 WHERE COD_TERR = 'P001'",
        "UPDATE AS_2005 SET AS013 = 10.75, AS014 = 3 WHERE COD_TERR = 'P004'",
        "UPDATE AS_2005 SET AS013 = 9.99, AS014 = 7 WHERE COD_TERR = 'P007'",
        "UPDATE AS_2005 SET AS013 = 100, AS014 = 3 WHERE COD_TERR = 'P021'",
        "UPDATE AS_2005 SET AS013 = Null, AS014 = 7 WHERE COD_TERR = 'P022'",
    };
    for (const QString &s : statements)
        db.execute(s);
}

void TableWindowTest::TearDownTestSuite()
{
    folder.reset();
}

void TableWindowTest::SetUp()
{
    pendra::resetAppState();
    vb::setUserLocale(QLocale(QLocale::Italian, QLocale::Italy));
    m_installed = std::make_unique<forms::ScopedDialogs>(dialogs);
    fixtures::useProgramFolder(*folder);
    pendra::AppState &s = pendra::app();
    s.Kind = "Variabili";
    s.CurrentDbName = "VariabiliProvince.mdb";
    s.DatabaseCambiato = "False";
    s.LivMappa = 1;
    s.SqlQuery = dataQuery();
    QFile::remove(folder->files() + "Error.log");
}

void TableWindowTest::TearDown()
{
    forms::FormRegistry::unloadAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    m_installed.reset();
    vb::resetUserLocale();
    pendra::resetAppState();
}

pendra::frm_dispData *TableWindowTest::open()
{
    window = forms::FormRegistry::get<pendra::frm_dispData>();
    return window;
}

grid::FlexGridModel &TableWindowTest::grid()
{
    return window->datagrid()->grid();
}

QStringList TableWindowTest::column(int c) const
{
    QStringList out;
    const grid::FlexGridModel &g = window->datagrid()->grid();
    for (int r = 0; r < g.Rows(); ++r)
        out << g.TextMatrix(r, c);
    return out;
}

QStringList TableWindowTest::logLines() const
{
    QFile f(folder->files() + "Error.log");
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLatin1(f.readAll()).split("\r\n", Qt::SkipEmptyParts);
}

}  // namespace tabletest
