// Helpers of the engine tests.
#include "JetTestSupport.h"

#include "vb/Conversions.h"

namespace jettest {

QString odbc(const QString &path)
{
    return QStringLiteral("Driver={Microsoft Access Driver (*.mdb)};Pwd=") + Password + QStringLiteral(";Dbq= ") + path;
}

QString dao()
{
    return QStringLiteral("MS Access;pwd=") + Password;
}

QString linkConnect(const QString &path)
{
    return QStringLiteral("ms access;pwd=") + Password + QStringLiteral(";DATABASE=") + path;
}

Folder::Folder() = default;

QString Folder::file(const QString &name) const
{
    return m_dir.path() + u'/' + name;
}

QString Folder::path() const
{
    return m_dir.path() + u'/';
}

QString Folder::database(const QString &name, const QStringList &statements) const
{
    const QString path = file(name);
    jet::Database db = jet::Database::create(path, Password);
    for (const QString &sql : statements)
        db.execute(sql);
    return path;
}

QStringList rows(jet::Recordset &rs)
{
    QStringList out;
    while (!rs.eof()) {
        QStringList cells;
        for (int i = 0; i < rs.fieldCount(); ++i) {
            const vb::Variant v = rs.value(i);
            cells << (v.isNull() ? QStringLiteral("<null>") : vb::CStr(v));
        }
        out << cells.join(u'|');
        rs.moveNext();
    }
    return out;
}

QStringList query(const QString &path, const QString &sql)
{
    jet::Connection cn;
    cn.open(odbc(path));
    jet::Recordset rs;
    rs.open(sql, cn, jet::CursorType::Static);
    return rows(rs);
}

}  // namespace jettest
