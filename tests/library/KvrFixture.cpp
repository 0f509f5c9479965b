// Test support for the data library.
#include "KvrFixture.h"

#include "jet/Database.h"
#include "vb/Conversions.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace kvrtest {

namespace {

// Every test process gets a registry of its own with both builds in it, the Italian locale and a
// scratch current folder (the tracing build writes "Debug.log" there).
class ComponentEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_oldCurrent = QDir::currentPath();
        QDir::setCurrent(m_dir.path());
        com::setRegistryPath(m_dir.filePath(QStringLiteral("components.ini")));
        com::registerServer(ProvLibrary);
        com::registerServer(TraceLibrary);
        vb::setUserLocale(QLocale(QLocale::Italian, QLocale::Italy));
    }
    void TearDown() override
    {
        vb::resetUserLocale();
        com::setRegistryPath(QString());
        QDir::setCurrent(m_oldCurrent);
    }

private:
    QTemporaryDir m_dir;
    QString m_oldCurrent;
};

[[maybe_unused]] ::testing::Environment *const environment =
    ::testing::AddGlobalTestEnvironment(new ComponentEnvironment);

}  // namespace

qint32 errorOf(const std::function<com::HRESULT()> &call)
{
    try {
        com::check(call());
    } catch (const vb::Error &e) {
        return e.number();
    }
    return 0;
}

void makeDatabase(const QString &path, const QString &password, const QVector<Table> &tables)
{
    jet::Database db = jet::Database::create(path, password);
    for (const Table &t : tables) {
        jet::TableDef td;
        td.name = t.name;
        td.fields = t.fields;
        db.appendTableDef(td);
        for (const QString &row : t.rows)
            db.execute(QStringLiteral("INSERT INTO %1 VALUES (%2)").arg(t.name, row));
    }
    db.close();
}

QString odbcPrefix(const QString &folder, const QString &password)
{
    return QStringLiteral("Driver={Microsoft Access Driver (*.mdb)};Pwd=%1;Dbq= %2/").arg(password, folder);
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    f.write(bytes);
}

QByteArray readBytes(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

QVector<QStringList> rowsOf(const vb::Variant &list)
{
    QVector<QStringList> out;
    for (const vb::Variant &element : list.items()) {
        if (!element.isArray()) {
            out.append(QStringList{QStringLiteral("<empty>")});
            continue;
        }
        QStringList row;
        for (const vb::Variant &item : element.items())
            row.append(item.toString());
        out.append(row);
    }
    return out;
}

}  // namespace kvrtest
