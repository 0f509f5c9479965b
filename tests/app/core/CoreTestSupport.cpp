// Small program folders and the isolation of the shared state for core tests.
#include "CoreTestSupport.h"

#include "app/core/AppState.h"
#include "app/core/Program.h"
#include "app/core/frmMainMDI.h"

#include "com/Registry.h"
#include "forms/FormRegistry.h"
#include "jet/Database.h"
#include "jet/Recordset.h"
#include "vb/Conversions.h"
#include "vb/Error.h"
#include "vb/TextFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>

namespace coretest {

namespace {
const QString Password = QStringLiteral("mirabella1994");

QString sqlValue(const QString &v, bool number)
{
    if (v == "<null>")
        return "Null";
    if (number)
        return v;
    return "'" + QString(v).replace("'", "''") + "'";
}
}  // namespace

SmallFolder::SmallFolder()
{
    for (const char *sub : {"Databases", "Shape", "Files/Help", "Excel", "Images"})
        QDir().mkpath(file(sub));
    {
        jet::Database db = jet::Database::create(file("Databases/Metadati.mdb"), Password);
        db.execute("CREATE TABLE DBMainMenu (IdMenu LONG, IdMenuParent LONG, Orderb LONG, DescName TEXT, "
                   "isSeparator BIT, isDisable BIT, isChecked BIT, FormToOpen TEXT, DBname TEXT, TipoDb TEXT, "
                   "LivTerritoriale TEXT)");
        // The caption word is the column at position 10.
        db.execute("CREATE TABLE DbConfigs (Dbnames TEXT, dbdesc TEXT, DelvaVars TEXT, CodDelvas TEXT, "
                   "Num_quirns TEXT, Classes TEXT, Censes TEXT, DelvaStops LONG, HasTipos BIT, HasYears BIT, "
                   "HasTiposNames TEXT)");
        db.execute("INSERT INTO DbConfigs VALUES ('Dati.mdb','Variabili','','','','','',0,0,1,'variabili')");
        db.execute("INSERT INTO DbConfigs VALUES ('DatiInd.mdb','Indicatori','','','','','',0,0,1,'indicatori')");
        db.execute("CREATE TABLE tablelink (Tabella TEXT, Origine TEXT, Destinazione TEXT)");
        db.execute("CREATE TABLE Settore (idSettore TEXT, [Descrizione Settore] TEXT)");
        db.execute("INSERT INTO Settore VALUES ('A','Popolazione')");
    }
    jet::Database::create(file("Databases/Dati.mdb"), Password).close();
    write("Files/InfoZup.txt", "Prima riga\r\nSeconda citt\xE0\r\n");  // single-byte text
    QImage picture(64, 48, QImage::Format_RGB32);
    picture.fill(QColor(30, 90, 160));
    picture.save(file("Images/velmo2.jpg"), "JPG");
    write("Shape/confini.shp", QByteArray(100, '\0'));
}

QString SmallFolder::path() const
{
    return m_dir.path();
}

QString SmallFolder::file(const QString &relative) const
{
    return m_dir.path() + "/" + relative;
}

void SmallFolder::exec(const QString &database, const QStringList &statements) const
{
    jet::Database db = jet::Database::open(file("Databases/" + database), false, false, "MS Access;pwd=" + Password);
    for (const QString &s : statements)
        db.execute(s);
}

QStringList SmallFolder::query(const QString &database, const QString &sql) const
{
    jet::Database db = jet::Database::open(file("Databases/" + database), false, true, "MS Access;pwd=" + Password);
    jet::Recordset rs = db.openRecordset(sql, true);
    QStringList out;
    while (!rs.eof()) {
        QStringList cells;
        for (int i = 0; i < rs.fieldCount(); ++i)
            cells << (rs.value(i).isNull() ? QStringLiteral("<null>") : rs.value(i).toString());
        out << cells.join('|');
        rs.moveNext();
    }
    return out;
}

void SmallFolder::remove(const QString &relative) const
{
    QFile::remove(file(relative));
}

void SmallFolder::write(const QString &relative, const QByteArray &bytes) const
{
    QFile f(file(relative));
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        throw vb::Error(75, "cannot write " + relative);
}

QByteArray SmallFolder::read(const QString &relative) const
{
    QFile f(file(relative));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void SmallFolder::setMenu(const QStringList &rows) const
{
    QStringList statements{"DELETE FROM DBMainMenu"};
    for (const QString &row : rows) {
        const QStringList c = row.split('|');
        QStringList values;
        for (int i = 0; i < c.size(); ++i)
            values << sqlValue(c[i], i <= 2 || (i >= 4 && i <= 6));
        statements << "INSERT INTO DBMainMenu VALUES (" + values.join(',') + ")";
    }
    exec("Metadati.mdb", statements);
}

void CoreTest::SetUp()
{
    pendra::resetAppState();
    vb::setUserLocale(QLocale(QLocale::Italian, QLocale::Italy));
    m_installed = std::make_unique<forms::ScopedDialogs>(dialogs);
    pendra::setEndHook([this] { ++ends; });
    pendra::setInstanceLockFolder(scratch.path());
    com::setRegistryPath(scratch.path() + "/components.ini");
}

void CoreTest::TearDown()
{
    forms::FormRegistry::unloadAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    pendra::releaseInstanceLock();
    pendra::setEndHook({});
    pendra::setProgramFolder(QString());
    pendra::resetAppState();
    m_installed.reset();
    vb::resetUserLocale();
}

void CoreTest::start(const QString &programFolder)
{
    folder = programFolder;
    pendra::setProgramFolder(programFolder);
    forms::FormRegistry::get<pendra::frmMainMDI>();
}

QStringList CoreTest::logLines() const
{
    const QString log = vb::findFileNoCase(folder + "/Files/", "Error.log");
    if (log.isEmpty())
        return {};
    return vb::readLines(log);
}

bool registerLibrary()
{
    const QString lib = QStringLiteral(PENDRA_DIR) + "/libKVR_UTIL_prov.so";
    if (!QFile::exists(lib))
        return false;
    com::registerServer(lib);
    return true;
}

}  // namespace coretest
