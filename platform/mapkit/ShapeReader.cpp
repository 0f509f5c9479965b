// Shape-file reading through shapelib: every count, offset and coordinate is checked before use.
#include "ShapeReader.h"

#include "vb/TextFile.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <shapefil.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

namespace mapkit {

namespace {

// shapelib's opaque file handle: here the whole file in memory, so each record costs no system call.
struct MemFile {
    QByteArray data;
    qint64 pos = 0;
};
MemFile *mem(SAFile f) { return reinterpret_cast<MemFile *>(f); }

SAFile memOpen(const char *filename, const char *access)
{
    if (std::strchr(access, 'w') || std::strchr(access, '+') || std::strchr(access, 'a'))
        return nullptr;  // read-only
    QFile file(QFile::decodeName(filename));
    if (!file.open(QIODevice::ReadOnly))
        return nullptr;
    auto *f = new MemFile;
    f->data = file.readAll();
    return reinterpret_cast<SAFile>(f);
}

SAOffset memRead(void *p, SAOffset size, SAOffset nmemb, SAFile handle)
{
    MemFile *f = mem(handle);
    if (size == 0 || f->pos >= f->data.size())
        return 0;
    const SAOffset items = std::min<SAOffset>(nmemb, SAOffset(f->data.size() - f->pos) / size);
    std::memcpy(p, f->data.constData() + f->pos, items * size);
    f->pos += qint64(items * size);
    return items;
}

SAOffset memWrite(void *, SAOffset, SAOffset, SAFile) { return 0; }

SAOffset memSeek(SAFile handle, SAOffset offset, int whence)
{
    MemFile *f = mem(handle);
    const qint64 base = whence == SEEK_CUR ? f->pos : whence == SEEK_END ? f->data.size() : 0;
    const qint64 target = base + qint64(offset);
    if (target < 0)
        return SAOffset(-1);
    f->pos = target;
    return 0;
}

SAOffset memTell(SAFile f) { return SAOffset(mem(f)->pos); }
int memFlush(SAFile) { return 0; }
int memClose(SAFile f) { delete mem(f); return 0; }
int memRemove(const char *) { return -1; }
void quietError(const char *) {}  // a damaged file is reported by the layer's validity

SAHooks memoryHooks()
{
    SAHooks hooks;
    SASetupDefaultHooks(&hooks);
    hooks.FOpen = memOpen;
    hooks.FRead = memRead;
    hooks.FWrite = memWrite;
    hooks.FSeek = memSeek;
    hooks.FTell = memTell;
    hooks.FFlush = memFlush;
    hooks.FClose = memClose;
    hooks.Remove = memRemove;
    hooks.Error = quietError;
    return hooks;
}

struct ShpCloser { void operator()(SHPInfo *h) const { SHPClose(h); } };
struct DbfCloser { void operator()(DBFInfo *h) const { DBFClose(h); } };
struct ObjDestroyer { void operator()(SHPObject *o) const { SHPDestroyObject(o); } };

ShapeType typeOf(int shpType)
{
    switch (shpType) {
    case SHPT_POINT: case SHPT_POINTZ: case SHPT_POINTM:
    case SHPT_MULTIPOINT: case SHPT_MULTIPOINTZ: case SHPT_MULTIPOINTM:
        return ShapeType::Point;
    case SHPT_ARC: case SHPT_ARCZ: case SHPT_ARCM:
        return ShapeType::Line;
    case SHPT_POLYGON: case SHPT_POLYGONZ: case SHPT_POLYGONM:
        return ShapeType::Polygon;
    default:
        return ShapeType::Null;
    }
}

// The file beside `shp` with the extension `ext`, whatever the letter case of the name.
QString sibling(const QString &shp, const QString &ext)
{
    const QFileInfo info(shp);
    return vb::resolvePathNoCase(info.path() + QLatin1Char('/') + info.completeBaseName() + ext);
}

// DBF text is Windows-1252; most of it is plain ASCII, which needs no converter.
QString decode(const char *text)
{
    const QByteArray bytes = QByteArray::fromRawData(text, qsizetype(std::strlen(text)));
    for (const char c : bytes)
        if (uchar(c) >= 0x80)
            return vb::fromCp1252(bytes);
    return QString::fromLatin1(bytes);
}

// Null as shapelib's own test sees it (asterisks or nothing in a number, a zero date, "?" for a
// logical), without reading the record a second time as DBFIsAttributeNULL does.
bool isNullValue(char type, const char *text)
{
    while (*text == ' ')
        ++text;
    switch (type) {
    case 'N': case 'F': return *text == '*' || *text == '\0';
    case 'D': return *text == '\0' || std::strncmp(text, "00000000", 8) == 0;
    case 'L': return *text == '?';
    default: return *text == '\0';
    }
}

// Converts one shapelib object, or returns false when its parts or coordinates do not add up.
bool convert(const SHPObject &obj, ShapeType type, MapShape &shape)
{
    const int n = obj.nVertices;
    if (n <= 0 || !obj.padfX || !obj.padfY)
        return false;
    for (int i = 0; i < n; ++i)
        if (!std::isfinite(obj.padfX[i]) || !std::isfinite(obj.padfY[i]))
            return false;
    shape.type = type;
    if (type == ShapeType::Point) {
        QVector<QPointF> pts;
        pts.reserve(n);
        for (int i = 0; i < n; ++i)
            pts.append({obj.padfX[i], obj.padfY[i]});
        shape.parts.append(pts);
    } else {
        const int parts = obj.nParts > 0 ? obj.nParts : 1;
        for (int p = 0; p < parts; ++p) {
            const int start = obj.nParts > 0 && obj.panPartStart ? obj.panPartStart[p] : 0;
            const int end = p + 1 < parts && obj.panPartStart ? obj.panPartStart[p + 1] : n;
            if (start < 0 || end > n || start > end)
                return false;
            QVector<QPointF> ring;
            ring.reserve(end - start);
            for (int i = start; i < end; ++i)
                ring.append({obj.padfX[i], obj.padfY[i]});
            if (ring.size() < (type == ShapeType::Polygon ? 3 : 2))
                continue;
            shape.parts.append(std::move(ring));
        }
        if (shape.parts.isEmpty())
            return false;
    }
    double l = obj.padfX[0], r = l, b = obj.padfY[0], t = b;
    for (int i = 1; i < n; ++i) {
        l = std::min(l, obj.padfX[i]); r = std::max(r, obj.padfX[i]);
        b = std::min(b, obj.padfY[i]); t = std::max(t, obj.padfY[i]);
    }
    shape.bounds = {l, t, r, b};
    return true;
}

// Smallest record of a .shp: its 8-byte header and the shape type.
constexpr qint64 ShpHeaderSize = 100;
constexpr qint64 MinShpRecordSize = 12;

// The records whose bytes in the .shp overlap those of a record before them (by position, then by
// number): an index that lists one record many times would make its vertices be read, and held,
// once per entry. What is read then stays within the bytes the file really holds.
std::vector<bool> overlappingRecords(const SHPInfo &shp)
{
    std::vector<int> order;
    order.reserve(size_t(std::max(shp.nRecords, 0)));
    for (int i = 0; i < shp.nRecords; ++i)
        order.push_back(i);
    std::sort(order.begin(), order.end(), [&shp](int a, int b) {
        return shp.panRecOffset[a] != shp.panRecOffset[b] ? shp.panRecOffset[a] < shp.panRecOffset[b] : a < b;
    });
    std::vector<bool> overlapping(order.size(), false);
    quint64 end = 0;  // of the last record kept
    for (int i : order) {
        const quint64 start = shp.panRecOffset[i];
        if (start < end) {
            overlapping[size_t(i)] = true;
            continue;
        }
        end = start + 8 + quint64(shp.panRecSize[i]);  // the record's header, then its content
    }
    return overlapping;
}

}  // namespace

class AttributeTable {
public:
    AttributeTable(std::unique_ptr<DBFInfo, DbfCloser> dbf, QByteArray types, int records)
        : m_dbf(std::move(dbf)), m_types(std::move(types)), m_records(records)
    {
    }

    QString cell(int record, int field)
    {
        if (field < 0 || field >= m_types.size() || record < 0 || record >= m_records)
            return QString();
        auto it = m_columns.find(field);
        if (it == m_columns.end())
            it = m_columns.insert(field, readColumn(field));
        return it->at(record);
    }

private:
    QVector<QString> readColumn(int field) const
    {
        QVector<QString> column;
        column.reserve(m_records);
        for (int r = 0; r < m_records; ++r) {
            const char *text = DBFReadStringAttribute(m_dbf.get(), r, field);
            column.append(text && !isNullValue(m_types[field], text) ? decode(text).trimmed() : QString());
        }
        return column;
    }

    std::unique_ptr<DBFInfo, DbfCloser> m_dbf;
    QByteArray m_types;
    int m_records;
    QHash<int, QVector<QString>> m_columns;
};

QString ShapeData::cell(int record, int field) const
{
    return attributes ? attributes->cell(record, field) : QString();
}

int fieldIndex(const ShapeData &data, const QString &name)
{
    for (qsizetype i = 0; i < data.fieldNames.size(); ++i)
        if (data.fieldNames[i].compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

ShapeData readShapeFile(const QString &shpPath)
{
    ShapeData data;
    const QString shp = vb::resolvePathNoCase(shpPath);
    if (!QFileInfo(shp).isFile()) {
        data.error = QStringLiteral("File not found: %1").arg(shpPath);
        return data;
    }
    const QString shx = sibling(shp, QStringLiteral(".shx"));
    const QString dbf = sibling(shp, QStringLiteral(".dbf"));
    if (!QFileInfo(shx).isFile() || !QFileInfo(dbf).isFile()) {
        data.error = QStringLiteral("Missing .shx or .dbf beside %1").arg(shpPath);
        return data;
    }
    // shapelib opens "<base>.shp" and "<base>.shx" itself; give it the .shp path so it finds the pair.
    SAHooks hooks = memoryHooks();
    std::unique_ptr<SHPInfo, ShpCloser> hshp(SHPOpenLL(QFile::encodeName(shp).constData(), "rb", &hooks));
    std::unique_ptr<DBFInfo, DbfCloser> hdbf(DBFOpenLL(QFile::encodeName(dbf).constData(), "rb", &hooks));
    if (!hshp || !hdbf) {
        data.error = QStringLiteral("Cannot read %1").arg(shpPath);
        return data;
    }
    int entities = 0, shpType = 0;
    SHPGetInfo(hshp.get(), &entities, &shpType, nullptr, nullptr);
    data.type = typeOf(shpType);
    const int records = DBFGetRecordCount(hdbf.get());
    // The counts come from the headers: the files must really hold that many records (the .shx
    // holds its index, as shapelib reads it whole).
    const qint64 dbfNeeds = qint64(hdbf->nHeaderLength) + qint64(records) * hdbf->nRecordLength;
    if (data.type == ShapeType::Null || entities < 0 || records != entities ||
        qint64(entities) * MinShpRecordSize > QFileInfo(shp).size() - ShpHeaderSize ||
        dbfNeeds > QFileInfo(dbf).size()) {
        data.error = QStringLiteral("Unsupported or mismatched shape file %1").arg(shpPath);
        return data;
    }

    const int fields = DBFGetFieldCount(hdbf.get());
    QByteArray types(fields, 'C');
    for (int f = 0; f < fields; ++f) {
        types[f] = DBFGetNativeFieldType(hdbf.get(), f);
        char name[XBASE_FLDNAME_LEN_READ + 1] = {};
        DBFGetFieldInfo(hdbf.get(), f, name, nullptr, nullptr);
        data.fieldNames.append(decode(name));
    }
    data.attributes = std::make_shared<AttributeTable>(std::move(hdbf), types, records);

    const std::vector<bool> overlapping = overlappingRecords(*hshp);
    bool first = true;
    data.shapes.reserve(entities);
    for (int i = 0; i < entities; ++i) {
        if (overlapping[size_t(i)])
            continue;
        std::unique_ptr<SHPObject, ObjDestroyer> obj(SHPReadObject(hshp.get(), i));
        if (!obj || obj->nSHPType == SHPT_NULL || typeOf(obj->nSHPType) != data.type)
            continue;  // damaged or empty record: skipped
        MapShape shape;
        shape.record = i;
        if (!convert(*obj, data.type, shape))
            continue;
        data.extent = first ? shape.bounds : data.extent.united(shape.bounds);
        first = false;
        data.shapes.append(std::move(shape));
    }
    data.valid = true;
    return data;
}

}  // namespace mapkit
