// The province cells: shapes cut in strips across each province, rows copied by the engine itself.
#include "MunicipalCopy.h"

#include "AtlasBuilder.h"

#include "jet/Session.h"
#include "jet/Statement.h"
#include "vb/Error.h"
#include "vb/TextFile.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QPainterPath>
#include <QStringEncoder>
#include <shapefil.h>

#include <algorithm>
#include <cmath>

namespace atlas {

namespace {

const QString Source = QStringLiteral("MunicipalCopy");

struct Province {
    QString code, name;
    int type = 0, prov = 0, reg = 0;
    QString nuts;
    QVector<QPolygonF> rings;
    int cells = 0;
};

struct Cell {
    QString code, parent, name;
    int prov = 0, reg = 0;
    QVector<QPolygonF> rings;
};

[[noreturn]] void fail(const QString &what) {
    throw vb::Error(75, what, Source);
}

double signedArea(const QPolygonF &ring) {
    double a = 0;
    for (int i = 0, j = int(ring.size()) - 1; i < ring.size(); j = i++)
        a += ring[j].x() * ring[i].y() - ring[i].x() * ring[j].y();
    return a / 2;
}

// Rings of every polygon of a shape file by its COD_PROV.
QHash<int, QVector<QPolygonF>> readProvinces(const QString &base) {
    QHash<int, QVector<QPolygonF>> out;
    const QByteArray path = QFile::encodeName(base);
    SHPHandle shp = SHPOpen(path.constData(), "rb");
    DBFHandle dbf = DBFOpen(path.constData(), "rb");
    if (!shp || !dbf) {
        if (shp)
            SHPClose(shp);
        if (dbf)
            DBFClose(dbf);
        fail(QStringLiteral("Cannot read %1").arg(base));
    }
    const int field = DBFGetFieldIndex(dbf, "COD_PROV");
    int count = 0;
    SHPGetInfo(shp, &count, nullptr, nullptr, nullptr);
    for (int i = 0; i < count && field >= 0; ++i) {
        SHPObject *obj = SHPReadObject(shp, i);
        if (!obj)
            continue;
        QVector<QPolygonF> &rings = out[DBFReadIntegerAttribute(dbf, i, field)];
        for (int part = 0; part < obj->nParts; ++part) {
            const int begin = obj->panPartStart[part];
            const int end = part + 1 < obj->nParts ? obj->panPartStart[part + 1] : obj->nVertices;
            QPolygonF ring;
            for (int v = begin; v < end; ++v)
                ring << QPointF(obj->padfX[v], obj->padfY[v]);
            rings.append(ring);
        }
        SHPDestroyObject(obj);
    }
    SHPClose(shp);
    DBFClose(dbf);
    return out;
}

// Cuts a province into `count` strips across the longer side of its largest ring; every strip
// meets that ring, so no cell is empty. Islands go to the strip over their middle.
QVector<QVector<QPolygonF>> cut(const QVector<QPolygonF> &rings, int count) {
    QVector<QVector<QPolygonF>> cells(count);
    if (rings.isEmpty())
        return cells;
    const auto main = std::max_element(rings.begin(), rings.end(), [](const QPolygonF &a, const QPolygonF &b) {
        return std::abs(signedArea(a)) < std::abs(signedArea(b));
    });
    const QRectF box = main->boundingRect();
    const bool across = box.width() >= box.height();
    const double length = across ? box.width() : box.height();
    auto stripOf = [&](const QPointF &p) {
        const double t = ((across ? p.x() - box.left() : p.y() - box.top()) / length) * count;
        return std::clamp(int(t), 0, count - 1);
    };
    QPainterPath whole;
    whole.addPolygon(*main);
    whole.closeSubpath();
    for (int i = 0; i < count; ++i) {
        const double from = length * i / count, to = length * (i + 1) / count;
        const QRectF strip = across ? QRectF(box.left() + from, box.top() - 1, to - from, box.height() + 2)
                                    : QRectF(box.left() - 1, box.top() + from, box.width() + 2, to - from);
        QPainterPath clip;
        clip.addRect(strip);
        for (const QPolygonF &piece : whole.intersected(clip).toSubpathPolygons())
            if (piece.size() >= 4)
                cells[i].append(piece);
        if (cells[i].isEmpty())  // a sliver the clipping lost: a square in the strip's middle
            cells[i].append(QPolygonF(QRectF(strip.center() - QPointF(1, 1), QSizeF(2, 2))));
    }
    for (auto ring = rings.begin(); ring != rings.end(); ++ring)
        if (ring != main)
            cells[stripOf(ring->boundingRect().center())].append(*ring);
    // Outer rings clockwise, as shape files keep them.
    for (QVector<QPolygonF> &cell : cells)
        for (QPolygonF &ring : cell) {
            if (!ring.isClosed())
                ring << ring.first();
            if (signedArea(ring) > 0)
                std::reverse(ring.begin(), ring.end());
        }
    return cells;
}

void writeCells(const QString &base, const QVector<Cell> &cells) {
    const QByteArray path = QFile::encodeName(base);
    SHPHandle shp = SHPCreate(path.constData(), SHPT_POLYGON);
    DBFHandle dbf = DBFCreate(path.constData());
    if (!shp || !dbf)
        fail(QStringLiteral("Cannot write %1").arg(base));
    DBFAddField(dbf, "COD_PROV", FTInteger, 5, 0);
    DBFAddField(dbf, "DES_PROV", FTString, 60, 0);
    DBFAddField(dbf, "COD_REG", FTInteger, 2, 0);
    DBFAddField(dbf, "COD_TERR", FTString, 10, 0);
    QStringEncoder cp1252("windows-1252");
    bool ok = true;
    for (const Cell &c : cells) {
        std::vector<int> starts;
        std::vector<double> xs, ys;
        for (const QPolygonF &ring : c.rings) {
            starts.push_back(int(xs.size()));
            for (const QPointF &p : ring) {
                xs.push_back(p.x());
                ys.push_back(p.y());
            }
        }
        SHPObject *obj = SHPCreateObject(SHPT_POLYGON, -1, int(starts.size()), starts.data(), nullptr,
                                         int(xs.size()), xs.data(), ys.data(), nullptr, nullptr);
        const int record = SHPWriteObject(shp, -1, obj);
        SHPDestroyObject(obj);
        const QByteArray name = cp1252.encode(c.name);
        ok = ok && record >= 0 && DBFWriteIntegerAttribute(dbf, record, 0, c.prov) &&
             DBFWriteStringAttribute(dbf, record, 1, name.constData()) &&
             DBFWriteIntegerAttribute(dbf, record, 2, c.reg) &&
             DBFWriteStringAttribute(dbf, record, 3, c.code.toLatin1().constData());
    }
    SHPClose(shp);
    DBFClose(dbf);
    if (!ok)
        fail(QStringLiteral("Cannot write %1").arg(base));
}

// Every table with a COD_TERR column: the rows of a province become one row per cell.
void copyRows(const QString &path, const QString &password, const QVector<Cell> &cells) {
    auto session = jet::Session::open(path, password, false);
    session->exec(QStringLiteral("CREATE TEMP TABLE municipal_cells (code TEXT, parent TEXT, name TEXT, prov INTEGER, "
                                 "n INTEGER)"));
    session->exec(QStringLiteral("BEGIN"));
    {
        jet::Statement insert(*session, QStringLiteral("INSERT INTO municipal_cells VALUES (?, ?, ?, ?, ?)"));
        for (int i = 0; i < cells.size(); ++i) {
            insert.bind(1, vb::Variant(cells[i].code));
            insert.bind(2, vb::Variant(cells[i].parent));
            insert.bind(3, vb::Variant(cells[i].name));
            insert.bindInt64(4, cells[i].prov);
            insert.bindInt64(5, i + 1);
            insert.step();
            insert.reset();
        }
    }
    for (const QString &table : session->localTables()) {
        QStringList targets, sources;
        bool keyed = false;
        {
            jet::Statement info(*session, QStringLiteral("PRAGMA table_info(\"%1\")").arg(table));
            for (int k = 0; info.step(); ++k) {
                const QString column = info.value(1, jet::FieldType::Text).rawString();
                const QString type = info.value(2, jet::FieldType::Text).rawString().toUpper();
                const QString lower = column.toLower();
                const QString quoted = QStringLiteral("t.\"%1\"").arg(column);
                targets << QStringLiteral("\"%1\"").arg(column);
                if (lower == QLatin1String("cod_terr")) {
                    keyed = true;
                    sources << QStringLiteral("c.code");
                } else if (lower == QLatin1String("des_terr") || lower == QLatin1String("provincia") ||
                           lower == QLatin1String("des_comune")) {
                    sources << QStringLiteral("c.name");
                } else if (lower == QLatin1String("prov") || lower == QLatin1String("n_prov")) {
                    sources << QStringLiteral("c.prov");
                } else if (type.contains(QLatin1String("DOUBLE")) || type.contains(QLatin1String("REAL")) ||
                           type.contains(QLatin1String("FLOAT")) || type.contains(QLatin1String("SINGLE"))) {
                    // A factor in [0.6, 1.4) drawn from the cell and the column alone.
                    sources << QStringLiteral("%1 * (0.6 + ((c.n * 7919 + %2) % 1000) / 1250.0)").arg(quoted).arg(k * 104729);
                } else {
                    sources << quoted;
                }
            }
        }
        if (!keyed)
            continue;
        session->exec(QStringLiteral("INSERT INTO \"%1\" (%2) SELECT %3 FROM \"%1\" t JOIN municipal_cells c "
                                     "ON t.COD_TERR = c.parent ORDER BY c.n")
                          .arg(table, targets.join(u", "), sources.join(u", ")));
        session->exec(QStringLiteral("DELETE FROM \"%1\" WHERE COD_TERR IN (SELECT parent FROM municipal_cells)")
                          .arg(table));
    }
    session->exec(QStringLiteral("COMMIT"));
    session->exec(QStringLiteral("DROP TABLE temp.municipal_cells"));
}

}  // namespace

int buildMunicipalFolder(const QString &folder, int territories) {
    Options options;
    options.size = Options::Size::Full;
    buildProgramFolder(folder, options);
    const QString root = QDir(folder).absolutePath() + QLatin1Char('/');
    const QString password = options.password;
    const QString territorio = vb::findFileNoCase(root + QStringLiteral("Databases/"), QStringLiteral("Territorio.mdb"));

    QVector<Province> provinces;
    int others = 0;
    {
        auto session = jet::Session::open(territorio, password, true);
        jet::Statement st(*session, QStringLiteral("SELECT COD_TERR, COD_TIPO_TERR, DES_TERR, PROV, REG, COD_NUTS FROM land_Ind"));
        while (st.step()) {
            const int type = int(st.int64(1));
            if (type != 1 && type != 6) {
                ++others;
                continue;
            }
            Province p;
            p.code = st.value(0, jet::FieldType::Text).rawString();
            p.type = type;
            p.name = st.value(2, jet::FieldType::Text).rawString();
            p.prov = int(st.int64(3));
            p.reg = int(st.int64(4));
            p.nuts = st.value(5, jet::FieldType::Text).rawString();
            provinces.append(p);
        }
    }
    const QString shapes = root + QStringLiteral("Shape/");
    const auto set107 = readProvinces(shapes + QStringLiteral("province107"));
    const auto set103 = readProvinces(shapes + QStringLiteral("province103"));
    double totalArea = 0;
    for (Province &p : provinces) {
        p.rings = set107.value(p.prov, set103.value(p.prov));
        for (const QPolygonF &ring : p.rings)
            totalArea += std::abs(signedArea(ring));
    }
    // Cells in proportion to the area, at least one each, largest remainders first.
    const int wanted = std::max(territories - others, int(provinces.size()));
    QVector<std::pair<double, int>> remainders;
    int given = 0;
    for (int i = 0; i < provinces.size(); ++i) {
        double area = 0;
        for (const QPolygonF &ring : provinces[i].rings)
            area += std::abs(signedArea(ring));
        const double share = totalArea > 0 ? wanted * area / totalArea : double(wanted) / provinces.size();
        provinces[i].cells = std::max(1, int(share));
        given += provinces[i].cells;
        remainders.append({share - int(share), i});
    }
    std::sort(remainders.begin(), remainders.end(), std::greater<>());
    for (int k = 0; given < wanted && k < remainders.size(); ++k, ++given)
        ++provinces[remainders[k].second].cells;

    QVector<Cell> cells;
    for (const Province &p : provinces) {
        const auto pieces = cut(p.rings, p.cells);
        for (int i = 0; i < p.cells; ++i) {
            Cell c;
            c.prov = int(cells.size()) + 1;
            c.code = QStringLiteral("C%1").arg(c.prov, 5, 10, QLatin1Char('0'));
            c.parent = p.code;
            c.name = QStringLiteral("%1 %2").arg(p.name).arg(i + 1);
            c.reg = p.reg;
            c.rings = pieces[i];
            cells.append(c);
        }
    }

    writeCells(shapes + QStringLiteral("province107"), cells);
    writeCells(shapes + QStringLiteral("province103"), cells);
    for (const QString &db : QDir(root + QStringLiteral("Databases/")).entryList({QStringLiteral("*.mdb")}, QDir::Files))
        copyRows(root + QStringLiteral("Databases/") + db, password, cells);

    auto session = jet::Session::open(territorio, password, true);
    jet::Statement count(*session, QStringLiteral("SELECT count(*) FROM land_Ind"));
    count.step();
    return int(count.int64(0));
}

}  // namespace atlas
