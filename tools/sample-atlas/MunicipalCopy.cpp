// The province cells: each province cut into compact ragged cells, rows copied by the engine itself.
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
#include <limits>

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

// A value in [-1, 1] drawn from two integers alone, so a line is the same wherever it is traced.
double jitter(quint32 a, quint32 b) {
    quint32 h = a * 2654435761u ^ (b + 0x9E3779B9u + (a << 6) + (a >> 2));
    h ^= h >> 15;
    h *= 2246822519u;
    h ^= h >> 13;
    return (h % 2001) / 1000.0 - 1.0;
}

// A ragged line across the province: straight at the nominal position plus a jitter at every
// step of a fixed grid, linear in between, so two cells that share it share its vertices.
struct RaggedLine {
    double at = 0, amplitude = 0, origin = 0, step = 1;
    quint32 seed = 0;

    double offset(double t) const {
        if (amplitude == 0)
            return at;
        const double u = (t - origin) / step;
        const double i = std::floor(u);
        const double a = jitter(seed, quint32(qint64(i))), b = jitter(seed, quint32(qint64(i) + 1));
        return at + amplitude * (a + (b - a) * (u - i));
    }
    // The grid points strictly between `from` and `to`, in the order of travel.
    QVector<double> stepsBetween(double from, double to) const {
        QVector<double> out;
        if (amplitude == 0)
            return out;
        const double lo = std::min(from, to), hi = std::max(from, to);
        for (double k = std::floor((lo - origin) / step) + 1; origin + k * step < hi; ++k)
            out << origin + k * step;
        if (from > to)
            std::reverse(out.begin(), out.end());
        return out;
    }
};

// Cuts a province into `count` compact cells as municipalities tile it: rows of about a cell's
// side, each row cut into as many columns as its share of the area, every cut a ragged line.
// Every cell meets the province where it can; islands go to the nearest cell.
QVector<QVector<QPolygonF>> cut(const QVector<QPolygonF> &rings, int count, quint32 seed) {
    QVector<QVector<QPolygonF>> cells(count);
    if (rings.isEmpty())
        return cells;
    const auto main = std::max_element(rings.begin(), rings.end(), [](const QPolygonF &a, const QPolygonF &b) {
        return std::abs(signedArea(a)) < std::abs(signedArea(b));
    });
    QPainterPath whole;
    whole.addPolygon(*main);
    whole.closeSubpath();
    const QRectF box = main->boundingRect();
    const double side = std::sqrt(std::max(std::abs(signedArea(*main)), 1e-9) / count);
    const double margin = side;
    const int rowCount = std::clamp(int(std::lround(box.height() / side)), 1, count);
    const double rowHeight = box.height() / rowCount;
    const double step = side / 9;  // a few tens of vertices for a cell

    // Horizontal cuts; the outermost ones are straight and beyond the province.
    QVector<RaggedLine> across(rowCount + 1);
    for (int k = 0; k <= rowCount; ++k) {
        RaggedLine &l = across[k];
        l.at = box.top() + rowHeight * k;
        l.origin = box.left();
        l.step = step;
        l.seed = seed * 7919u + quint32(k);
        if (k == 0 || k == rowCount)
            l.at += k == 0 ? -margin : margin;
        else
            l.amplitude = 0.22 * rowHeight;
    }
    auto traceAcross = [](QPolygonF &ring, const RaggedLine &l, double from, double to) {
        for (double x : l.stepsBetween(from, to))
            ring << QPointF(x, l.offset(x));
        ring << QPointF(to, l.offset(to));
    };

    // The band of each row and its share of the cells (at least one for a row that meets the province).
    QVector<QPainterPath> bands(rowCount);
    QVector<double> areas(rowCount, 0);
    double total = 0;
    for (int r = 0; r < rowCount; ++r) {
        QPolygonF band;
        const double left = box.left() - margin, right = box.right() + margin;
        band << QPointF(left, across[r].offset(left));
        traceAcross(band, across[r], left, right);
        traceAcross(band, across[r + 1], right, left);
        QPainterPath clip;
        clip.addPolygon(band);
        clip.closeSubpath();
        bands[r] = whole.intersected(clip);
        for (const QPolygonF &piece : bands[r].toSubpathPolygons())
            areas[r] += std::abs(signedArea(piece));
        total += areas[r];
    }
    QVector<int> perRow(rowCount, 0);
    int given = 0;
    for (int r = 0; r < rowCount; ++r)
        if (areas[r] > 0 && given < count)
            perRow[r] = 1, ++given;
    QVector<std::pair<double, int>> remainders;
    const int spare = count - given;
    for (int r = 0; r < rowCount; ++r) {
        if (areas[r] <= 0)
            continue;
        const double share = total > 0 ? spare * areas[r] / total : 0;
        perRow[r] += int(share);
        given += int(share);
        remainders.append({share - int(share), r});
    }
    std::sort(remainders.begin(), remainders.end(), std::greater<>());
    for (int k = 0; given < count && !remainders.isEmpty(); ++k, ++given)
        ++perRow[remainders[k % remainders.size()].second];

    int next = 0;
    for (int r = 0; r < rowCount && next < count; ++r) {
        const int n = perRow[r];
        if (n == 0)
            continue;
        const QRectF piece = bands[r].boundingRect();
        const double width = piece.width() / n;
        const RaggedLine &top = across[r], &bottom = across[r + 1];
        for (int c = 0; c < n && next < count; ++c, ++next) {
            // The vertical cuts of this row: ragged inside, straight beyond the province.
            auto down = [&](int j) {
                RaggedLine l;
                l.at = piece.left() + width * j;
                l.origin = box.top();
                l.step = step;
                l.seed = (seed * 7919u + quint32(r)) * 104729u + quint32(j);
                if (j == 0 || j == n)
                    l.at += j == 0 ? -margin : margin;
                else
                    l.amplitude = 0.22 * std::min(width, rowHeight);
                return l;
            };
            const RaggedLine left = down(c), right = down(c + 1);
            auto corner = [](const RaggedLine &vertical, const RaggedLine &horizontal) {
                const double x = vertical.offset(horizontal.at);
                return QPointF(x, horizontal.offset(x));
            };
            const QPointF a = corner(left, top), b = corner(right, top), d = corner(right, bottom),
                          e = corner(left, bottom);
            QPolygonF ring;
            ring << a;
            traceAcross(ring, top, a.x(), b.x());
            for (double y : right.stepsBetween(b.y(), d.y()))
                ring << QPointF(right.offset(y), y);
            ring << d;
            traceAcross(ring, bottom, d.x(), e.x());
            for (double y : left.stepsBetween(e.y(), a.y()))
                ring << QPointF(left.offset(y), y);
            QPainterPath clip;
            clip.addPolygon(ring);
            clip.closeSubpath();
            for (const QPolygonF &part : bands[r].intersected(clip).toSubpathPolygons())
                if (part.size() >= 4)
                    cells[next].append(part);
        }
    }
    for (int i = 0; i < count; ++i)
        if (cells[i].isEmpty()) {  // a cell the province's outline missed: a small square near the middle
            const QPointF middle = box.center() + QPointF(side * (i % 5 - 2) / 4, side * (i / 5 % 5 - 2) / 4);
            cells[i].append(QPolygonF(QRectF(middle - QPointF(side / 10, side / 10), QSizeF(side / 5, side / 5))));
        }
    for (auto ring = rings.begin(); ring != rings.end(); ++ring) {
        if (ring == main)
            continue;
        const QPointF at = ring->boundingRect().center();
        int nearest = 0;
        double best = std::numeric_limits<double>::max();
        for (int i = 0; i < count; ++i) {
            const QPointF d = cells[i].first().boundingRect().center() - at;
            if (QPointF::dotProduct(d, d) < best)
                best = QPointF::dotProduct(d, d), nearest = i;
        }
        cells[nearest].append(*ring);
    }
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
        const auto pieces = cut(p.rings, p.cells, quint32(p.prov));
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
