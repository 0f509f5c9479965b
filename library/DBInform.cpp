// Per-database settings read from table DbConfigs of the metadata database.
#include "DBInform.h"

#include "jet/Connection.h"
#include "jet/Recordset.h"
#include "vb/Conversions.h"

#include <limits>

namespace kvr {

namespace {
const char ClassName[] = "DBInform";

QString textOrEmpty(const vb::Variant &v)
{
    return v.isNull() ? QString() : vb::CStr(v);
}
}  // namespace

DBInform::DBInform() : Object(buildIds::IID_DBInform, &liveObjects) {}

HRESULT DBInform::StartConn(QString *ConnString, QString *DBMainPath, QString *DbName)
{
    if (!ConnString || !DBMainPath || !DbName)
        return com::E_POINTER;
    return guarded(ClassName, [&] { load(*ConnString + *DBMainPath + *DbName); });
}

void DBInform::load(const QString &connectString)
{
    jet::Connection connection;
    connection.open(connectString, QString(), QString());
    jet::Recordset rs;
    rs.open(QStringLiteral("Select * from DbConfigs"), connection, jet::CursorType::ForwardOnly,
            jet::LockType::ReadOnly);
    int i = 0;
    while (!rs.eof()) {
        // The stored rows are cut to exactly 0..i before row i is read, as the row counter
        // advances; row i is then converted whole before it replaces what index i held.
        m_rows.resize(i + 1);
        Row row;
        row.dbName = rs.value(QStringLiteral("Dbnames")).toString();  // Null: error 94
        row.delvaVar = textOrEmpty(rs.value(QStringLiteral("DelvaVars")));
        row.codDelva = textOrEmpty(rs.value(QStringLiteral("CodDelvas")));
        row.numQuirn = textOrEmpty(rs.value(QStringLiteral("Num_quirns")));
        row.cls = textOrEmpty(rs.value(QStringLiteral("Classes")));
        row.cens = textOrEmpty(rs.value(QStringLiteral("Censes")));
        // An empty cell means "no stop" rather than a reason to drop every other database's settings.
        const vb::Variant stop = rs.value(QStringLiteral("DelvaStops"));
        row.delvaStop = stop.isNull() ? 0 : stop.toInteger();
        row.hasTipo = rs.value(QStringLiteral("HasTipos")).toBool();    // Null: error 94
        row.hasYears = rs.value(QStringLiteral("HasYears")).toBool();   // Null: error 94
        row.hasTiposName = textOrEmpty(rs.value(QStringLiteral("HasTiposNames")));
        row.stored = true;
        m_rows[i] = row;
        if (i == std::numeric_limits<qint16>::max())
            throw vb::Error::of(vb::err::Overflow);  // the row counter is 16-bit
        ++i;
        rs.moveNext();
    }
    m_rows.resize(i);
    m_dbcount = static_cast<qint16>(i);
    rs.close();
    connection.close();
}

int DBInform::dbIndex(const QString &name) const
{
    const QString wanted = name.toLower();
    for (int i = 0; i < m_dbcount; ++i) {
        // After a failed reload fewer rows than Dbcount may be stored.
        if (i >= m_rows.size())
            break;
        if (m_rows[i].stored && m_rows[i].dbName.toLower() == wanted)
            return i;
    }
    throw vb::Error::of(vb::err::SubscriptOutOfRange);
}

template <class T>
HRESULT DBInform::answer(const QString *name, T Row::*column, T *result) const
{
    if (!name || !result)
        return com::E_POINTER;
    return guarded(ClassName, [&] { *result = m_rows[dbIndex(*name)].*column; });
}

HRESULT DBInform::get_DelvaVar(QString *Cdbname, QString *result) { return answer(Cdbname, &Row::delvaVar, result); }
HRESULT DBInform::get_CodDelva(QString *Cdbname, QString *result) { return answer(Cdbname, &Row::codDelva, result); }
HRESULT DBInform::get_DelvaStop(QString *Cdbname, qint16 *result) { return answer(Cdbname, &Row::delvaStop, result); }
HRESULT DBInform::get_Num_quirn(QString *Cdbname, QString *result) { return answer(Cdbname, &Row::numQuirn, result); }
HRESULT DBInform::get_Class(QString *Cdbname, QString *result) { return answer(Cdbname, &Row::cls, result); }
HRESULT DBInform::get_Cens(QString *Cdbname, QString *result) { return answer(Cdbname, &Row::cens, result); }
HRESULT DBInform::get_HasTipo(QString *Cdbname, bool *result) { return answer(Cdbname, &Row::hasTipo, result); }
HRESULT DBInform::get_HasYears(QString *Cdbname, bool *result) { return answer(Cdbname, &Row::hasYears, result); }
HRESULT DBInform::get_HasTiposName(QString *Cdbname, QString *result) { return answer(Cdbname, &Row::hasTiposName, result); }

HRESULT DBInform::get_Dbcount(qint16 *result)
{
    if (!result)
        return com::E_POINTER;
    *result = m_dbcount;
    return com::S_OK;
}

}  // namespace kvr
