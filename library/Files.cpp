// The lookup lists of the system, loaded from "metadati.mdb", "territorio.mdb" and "area.kvr".
#include "Files.h"

#include "TraceLog.h"

#include "jet/Connection.h"
#include "jet/Recordset.h"
#include "vb/Conversions.h"
#include "vb/TextFile.h"

#include <QFileInfo>

#include <limits>

namespace kvr {

namespace {

const char ClassName[] = "Files";
const QString MetadatiDb = QStringLiteral("metadati.mdb");
const QString TerritorioDb = QStringLiteral("territorio.mdb");

struct Source {
    Files::List list;
    const char *name;    // table, or the text file
    bool textFile;
    const char *traceStep;  // trace point reached once this list is loaded, or null
};

const Source metadatiSources[] = {
    {Files::Anno, "anno", false, nullptr},
    {Files::Annosll, "annosll", false, nullptr},
    {Files::Area, "area.kvr", true, "002"},
    {Files::ARGsll_, "ARGsll", false, nullptr},
    {Files::Cens96, "CensArg", false, nullptr},
    {Files::Classi, "classi", false, "003"},
};

const Source territorioSources[] = {
    {Files::Elencom, "elencom", false, nullptr},
    {Files::Elencosll, "elencosll", false, nullptr},
    {Files::Elepatti, "ELEPATTI", false, "004"},
    {Files::Elepit, "ELEPIT", false, nullptr},
    {Files::Territorio, "territorio", false, nullptr},
    {Files::Partizioni, "partizioni", false, "005"},
#ifndef KVR_TRACE
    {Files::Territoriovarreg, "territoriovarreg", false, nullptr},
    {Files::Territoriovarprov, "territoriovarprov", false, nullptr},
    {Files::Territorioindreg, "territorioindreg", false, nullptr},
    {Files::Territorioindprov, "territorioindprov", false, nullptr},
#endif
};

// ReFillFile's RefillCase 1 to 10, in order.
const Files::List refillLists[] = {
    Files::Anno, Files::Annosll, Files::Area, Files::ARGsll_, Files::Cens96, Files::Classi,
    Files::Elencom, Files::Elencosll, Files::Elepatti, Files::Elepit,
};

void tracePoint(const char *function, const char *step)
{
    // The callers pass the Files object as the module; it has no Name, so the module text is empty.
    if constexpr (Tracing)
        traceLog(QString(), QLatin1String(function), QLatin1String(step));
}

// The runtime's Trim: blanks only, not tabs.
QString trimBlanks(const QString &s)
{
    qsizetype begin = 0;
    qsizetype end = s.size();
    while (begin < end && s[begin] == QLatin1Char(' '))
        ++begin;
    while (end > begin && s[end - 1] == QLatin1Char(' '))
        --end;
    return s.mid(begin, end - begin);
}

vb::Variant splitRow(const QString &text)
{
    QVector<vb::Variant> items;
    for (const QString &item : text.split(QLatin1Char(';')))
        items.append(vb::Variant(item));
    return vb::Variant::array(std::move(items));
}

// Runs `body` on a connection; a failure to open or close it is passed to `record` and the
// connection is closed, ignoring further errors.
template <class Body, class Record>
void withConnection(Body &&body, Record &&record)
{
    jet::Connection connection;
    try {
        body(connection);
        return;
    } catch (const vb::Error &e) {
        record(e);
    } catch (const std::exception &e) {
        record(vb::Error::of(com::E_FAIL, QString(), QString(), QString::fromLocal8Bit(e.what())));
    }
    try {
        connection.close();
    } catch (...) {
    }
}

}  // namespace

Files::Files() : Object(buildIds::IID_Files, &liveObjects)
{
}

HRESULT Files::get_ConnString(vb::Variant *result)
{
    if (!result)
        return com::E_POINTER;
    tracePoint("GetConnString", "001");
    *result = vb::Variant(m_connString);
    tracePoint("GetConnString", "002");
    return com::S_OK;
}

HRESULT Files::put_ConnString(vb::Variant value)
{
    tracePoint("LetConnString", "001");
    return guarded(ClassName, [&] {
        m_connString = value.toString();
        tracePoint("LetConnString", "002");
    });
}

HRESULT Files::put_TXTPath(vb::Variant value)
{
    tracePoint("LetTXTPath", "001");
    return guarded(ClassName, [&] {
        m_txtPath = value.toString();
        tracePoint("LetTXTPath", "002");
    });
}

HRESULT Files::copyOut(List list, vb::Variant *result) const
{
    if (!result)
        return com::E_POINTER;
    const StoredList &stored = m_lists[list];
    if (!stored.loaded) {
        *result = vb::Variant::undimensionedArray();
    } else if (stored.rows.isEmpty()) {
        *result = vb::Variant::array({vb::Variant()});
    } else {
        QVector<vb::Variant> rows;
        rows.reserve(stored.rows.size());
        for (const QString &row : stored.rows)
            rows.append(splitRow(row));
        *result = vb::Variant::array(std::move(rows));
    }
    return com::S_OK;
}

HRESULT Files::get_File_anno(vb::Variant *result) { return copyOut(Anno, result); }
HRESULT Files::get_File_annosll(vb::Variant *result) { return copyOut(Annosll, result); }
HRESULT Files::get_File_area(vb::Variant *result) { return copyOut(Area, result); }
HRESULT Files::get_File_ARGsll(vb::Variant *result) { return copyOut(ARGsll_, result); }
HRESULT Files::get_File_Cens96(vb::Variant *result) { return copyOut(Cens96, result); }
HRESULT Files::get_File_classi(vb::Variant *result) { return copyOut(Classi, result); }
HRESULT Files::get_File_elencom(vb::Variant *result) { return copyOut(Elencom, result); }
HRESULT Files::get_File_elencosll(vb::Variant *result) { return copyOut(Elencosll, result); }
HRESULT Files::get_File_ELEPATTI(vb::Variant *result) { return copyOut(Elepatti, result); }
HRESULT Files::get_File_ELEPIT(vb::Variant *result) { return copyOut(Elepit, result); }
HRESULT Files::get_File_territorio(vb::Variant *result) { return copyOut(Territorio, result); }
HRESULT Files::get_File_partizioni(vb::Variant *result) { return copyOut(Partizioni, result); }
#ifndef KVR_TRACE
HRESULT Files::get_File_territoriovarreg(vb::Variant *result) { return copyOut(Territoriovarreg, result); }
HRESULT Files::get_File_territoriovarprov(vb::Variant *result) { return copyOut(Territoriovarprov, result); }
HRESULT Files::get_File_territorioindprov(vb::Variant *result) { return copyOut(Territorioindprov, result); }
HRESULT Files::get_File_territorioindreg(vb::Variant *result) { return copyOut(Territorioindreg, result); }
#endif

HRESULT Files::get_File_SISTEMI(vb::Variant *result)
{
    if (!result)
        return com::E_POINTER;
    *result = vb::Variant::undimensionedArray();
    return com::S_OK;
}

HRESULT Files::get_File_varia(vb::Variant *result)
{
    return get_File_SISTEMI(result);
}

HRESULT Files::get_ErrorNumber(qint32 *result)
{
    if (!result)
        return com::E_POINTER;
    *result = m_errorNumber;
    return com::S_OK;
}

HRESULT Files::get_ErrorDescription(QString *result)
{
    if (!result)
        return com::E_POINTER;
    *result = m_errorDescription;
    return com::S_OK;
}

void Files::recordError(const vb::Error &e)
{
    m_errorNumber = e.number();
    m_errorDescription = e.description();
}

void Files::fillArray(const QString &source, StoredList &target, const jet::Connection &connection,
                      bool textFile) const
{
    QStringList rows;
    try {
        if (textFile) {
            // The folder is joined as it stands (the program hands it with its "/"); only the
            // letter case of the file name is free. Reading and creating use the same path.
            const QString path = vb::resolvePathNoCase(m_txtPath + source);
            if (!QFileInfo::exists(path))
                vb::writeText(path, QString());
            for (const QString &line : vb::readLines(path)) {
                if (trimBlanks(QString(line).remove(QStringLiteral("\r\n"))).isEmpty())
                    continue;
                rows.append(line);
            }
        } else {
            jet::Recordset rs;
            rs.open(QStringLiteral("select * from ") + source, connection, jet::CursorType::ForwardOnly,
                    jet::LockType::ReadOnly);
            const int fields = rs.fieldCount();
            QString joined;  // reused: its room stays from row to row
            joined.reserve(256);
            while (!rs.eof()) {
                // The fields' texts each followed by ";": split again, a ";" inside a value still
                // splits it and the last item is empty.
                joined.resize(0);
                for (int i = 0; i < fields; ++i) {
                    const vb::Variant v = rs.value(i);
                    if (!v.isNull())
                        joined += v.isString() ? v.rawString() : vb::CStr(v);
                    joined += QLatin1Char(';');
                }
                rows.append(QStringView(joined).toString());  // its own string, of its own size
                rs.moveNext();
            }
            rs.close();
        }
    } catch (...) {
        // A missing table or an unreadable record ends this list only; what was read stays.
    }
    target.loaded = true;
    target.rows = std::move(rows);
}

HRESULT Files::FillFiles()
{
    tracePoint("FillFiles", "001");
    auto loadAll = [this](jet::Connection &connection, const QString &database, const auto &sources) {
        connection = jet::Connection();
        connection.open(m_connString + database, QString(), QString());
        for (const Source &s : sources) {
            fillArray(QLatin1String(s.name), m_lists[s.list], connection, s.textFile);
            if (s.traceStep)
                tracePoint("FillFiles", s.traceStep);
        }
        connection.close();
    };
    withConnection(
        [&](jet::Connection &connection) {
            loadAll(connection, MetadatiDb, metadatiSources);
            loadAll(connection, TerritorioDb, territorioSources);
        },
        [this](const vb::Error &e) { recordError(e); });
    return com::S_OK;
}

HRESULT Files::ReFillFile(QString *TableName, RefillCase *FileName)
{
    if (!TableName || !FileName)
        return com::E_POINTER;
    const int which = *FileName;
    const bool known = which >= anno && which <= ELEPIT;
    const List list = known ? refillLists[which - 1] : ListCount;
    const QString database = which >= elencom && which <= ELEPIT ? TerritorioDb : MetadatiDb;
    withConnection(
        [&](jet::Connection &connection) {
            connection.open(m_connString + database, QString(), QString());
            StoredList loaded;
            fillArray(*TableName, loaded, connection, list == Area);
            connection.close();
            if (known)
                m_lists[list] = std::move(loaded);
        },
        [this](const vb::Error &e) { recordError(e); });
    return com::S_OK;
}

HRESULT Files::GetAreaIndexDate(QString *MyNameIndex, qint16 *result)
{
    if (!MyNameIndex || !result)
        return com::E_POINTER;
    *result = 0;  // also when never loaded or empty
    const QString wanted = trimBlanks(*MyNameIndex);
    const QStringList &area = m_lists[Area].rows;
    for (qsizetype i = 0; i < area.size(); ++i) {
        const QString &row = area.at(i);
        if (QStringView(row).left(row.indexOf(QLatin1Char(';'))) == wanted) {
            if (i <= std::numeric_limits<qint16>::max())
                *result = static_cast<qint16>(i);
            break;
        }
    }
    return com::S_OK;
}

}  // namespace kvr
