#!/usr/bin/env node
// Makes the sample boundary files (regioni, province103, province107, nuts2, italia) once, by hand:
// Voronoi cells around the province capitals clipped to the public-domain Natural Earth outline.
//
//   mkdir /tmp/shapes && cd /tmp/shapes
//   npm install world-atlas topojson-client d3-delaunay polygon-clipping proj4
//   node /path/to/tools/sample-atlas/make-shapes.js /path/to/tools/sample-atlas/shapes
//
// Coordinates are UTM zone 32N metres (WGS84); text fields are Windows-1252.
'use strict';

const fs = require('fs');
const path = require('path');
const need = (name) => require(require.resolve(name, { paths: [process.cwd()] }));
const topojson = need('topojson-client');
const { Delaunay } = need('d3-delaunay');
const clip = need('polygon-clipping');
const proj4 = need('proj4');

const outDir = process.argv[2];
if (!outDir) {
    console.error('usage: make-shapes.js OUTPUT_FOLDER');
    process.exit(2);
}

// ISTAT province number, name, region number, capital latitude and longitude.
// `sets` says which boundary sets hold the province: the four Sardinian provinces of 2006 only
// exist in 107, and the four they were cut from change shape between the sets.
const PROVINCES = [
    [1, 'Torino', 1, 45.07, 7.69], [2, 'Vercelli', 1, 45.32, 8.42], [3, 'Novara', 1, 45.45, 8.62],
    [4, 'Cuneo', 1, 44.39, 7.55], [5, 'Asti', 1, 44.90, 8.21], [6, 'Alessandria', 1, 44.91, 8.61],
    [96, 'Biella', 1, 45.56, 8.05], [103, 'Verbano-Cusio-Ossola', 1, 45.92, 8.55],
    [7, 'Aosta', 2, 45.74, 7.32],
    [12, 'Varese', 3, 45.82, 8.83], [13, 'Como', 3, 45.81, 9.09], [14, 'Sondrio', 3, 46.17, 9.87],
    [15, 'Milano', 3, 45.46, 9.19], [16, 'Bergamo', 3, 45.70, 9.67], [17, 'Brescia', 3, 45.54, 10.22],
    [18, 'Pavia', 3, 45.19, 9.16], [19, 'Cremona', 3, 45.13, 10.02], [20, 'Mantova', 3, 45.16, 10.79],
    [97, 'Lecco', 3, 45.85, 9.39], [98, 'Lodi', 3, 45.31, 9.50],
    [21, 'Bolzano', 4, 46.50, 11.35], [22, 'Trento', 4, 46.07, 11.12],
    [23, 'Verona', 5, 45.44, 10.99], [24, 'Vicenza', 5, 45.55, 11.55], [25, 'Belluno', 5, 46.14, 12.22],
    [26, 'Treviso', 5, 45.67, 12.24], [27, 'Venezia', 5, 45.49, 12.24], [28, 'Padova', 5, 45.41, 11.88],
    [29, 'Rovigo', 5, 45.07, 11.79],
    [30, 'Udine', 6, 46.06, 13.24], [31, 'Gorizia', 6, 45.94, 13.62], [32, 'Trieste', 6, 45.65, 13.78],
    [93, 'Pordenone', 6, 45.96, 12.66],
    [8, 'Imperia', 7, 43.89, 8.03], [9, 'Savona', 7, 44.31, 8.48], [10, 'Genova', 7, 44.41, 8.93],
    [11, 'La Spezia', 7, 44.10, 9.82],
    [33, 'Piacenza', 8, 45.05, 9.69], [34, 'Parma', 8, 44.80, 10.33], [35, "Reggio nell'Emilia", 8, 44.70, 10.63],
    [36, 'Modena', 8, 44.65, 10.93], [37, 'Bologna', 8, 44.49, 11.34], [38, 'Ferrara', 8, 44.84, 11.62],
    [39, 'Ravenna', 8, 44.42, 12.20], [40, 'Forlì-Cesena', 8, 44.22, 12.04], [99, 'Rimini', 8, 44.06, 12.57],
    [45, 'Massa-Carrara', 9, 44.04, 10.14], [46, 'Lucca', 9, 43.84, 10.50], [47, 'Pistoia', 9, 43.93, 10.91],
    [48, 'Firenze', 9, 43.77, 11.26], [49, 'Livorno', 9, 43.55, 10.31], [50, 'Pisa', 9, 43.72, 10.40],
    [51, 'Arezzo', 9, 43.46, 11.88], [52, 'Siena', 9, 43.32, 11.33], [53, 'Grosseto', 9, 42.76, 11.11],
    [100, 'Prato', 9, 43.88, 11.10],
    [54, 'Perugia', 10, 43.11, 12.39], [55, 'Terni', 10, 42.56, 12.64],
    [41, 'Pesaro e Urbino', 11, 43.91, 12.91], [42, 'Ancona', 11, 43.62, 13.52], [43, 'Macerata', 11, 43.30, 13.45],
    [44, 'Ascoli Piceno', 11, 42.85, 13.58],
    [56, 'Viterbo', 12, 42.42, 12.11], [57, 'Rieti', 12, 42.40, 12.86], [58, 'Roma', 12, 41.90, 12.50],
    [59, 'Latina', 12, 41.47, 12.90], [60, 'Frosinone', 12, 41.64, 13.35],
    [66, "L'Aquila", 13, 42.35, 13.40], [67, 'Teramo', 13, 42.66, 13.70], [68, 'Pescara', 13, 42.46, 14.21],
    [69, 'Chieti', 13, 42.35, 14.17],
    [70, 'Campobasso', 14, 41.56, 14.66], [94, 'Isernia', 14, 41.59, 14.23],
    [61, 'Caserta', 15, 41.07, 14.33], [62, 'Benevento', 15, 41.13, 14.78], [63, 'Napoli', 15, 40.85, 14.27],
    [64, 'Avellino', 15, 40.91, 14.79], [65, 'Salerno', 15, 40.68, 14.77],
    [71, 'Foggia', 16, 41.46, 15.55], [72, 'Bari', 16, 41.12, 16.87], [73, 'Taranto', 16, 40.47, 17.24],
    [74, 'Brindisi', 16, 40.63, 17.94], [75, 'Lecce', 16, 40.35, 18.17],
    [76, 'Potenza', 17, 40.64, 15.80], [77, 'Matera', 17, 40.67, 16.60],
    [78, 'Cosenza', 18, 39.30, 16.25], [79, 'Catanzaro', 18, 38.91, 16.59], [80, 'Reggio di Calabria', 18, 38.11, 15.65],
    [101, 'Crotone', 18, 39.08, 17.13], [102, 'Vibo Valentia', 18, 38.68, 16.10],
    [81, 'Trapani', 19, 38.02, 12.51], [82, 'Palermo', 19, 38.12, 13.36], [83, 'Messina', 19, 38.19, 15.55],
    [84, 'Agrigento', 19, 37.31, 13.58], [85, 'Caltanissetta', 19, 37.49, 14.06], [86, 'Enna', 19, 37.57, 14.28],
    [87, 'Catania', 19, 37.50, 15.09], [88, 'Ragusa', 19, 36.93, 14.73], [89, 'Siracusa', 19, 37.08, 15.29],
    [90, 'Sassari', 20, 40.73, 8.56], [91, 'Nuoro', 20, 40.32, 9.33], [92, 'Cagliari', 20, 39.22, 9.12],
    [95, 'Oristano', 20, 39.90, 8.59],
    [104, 'Olbia-Tempio', 20, 40.92, 9.50, '107'], [105, 'Ogliastra', 20, 39.93, 9.66, '107'],
    [106, 'Medio Campidano', 20, 39.56, 8.90, '107'], [107, 'Carbonia-Iglesias', 20, 39.17, 8.52, '107'],
].map(([code, name, region, lat, lon, only]) => ({ code, name, region, lat, lon, only }));

const REGIONS = [
    [1, 'Piemonte', 'ITC1'], [2, "Valle d'Aosta", 'ITC2'], [3, 'Lombardia', 'ITC4'],
    [4, 'Trentino-Alto Adige', null], [5, 'Veneto', 'ITD3'], [6, 'Friuli-Venezia Giulia', 'ITD4'],
    [7, 'Liguria', 'ITC3'], [8, 'Emilia-Romagna', 'ITD5'], [9, 'Toscana', 'ITE1'], [10, 'Umbria', 'ITE2'],
    [11, 'Marche', 'ITE3'], [12, 'Lazio', 'ITE4'], [13, 'Abruzzo', 'ITF1'], [14, 'Molise', 'ITF2'],
    [15, 'Campania', 'ITF3'], [16, 'Puglia', 'ITF4'], [17, 'Basilicata', 'ITF5'], [18, 'Calabria', 'ITF6'],
    [19, 'Sicilia', 'ITG1'], [20, 'Sardegna', 'ITG2'],
].map(([code, name, nuts]) => ({ code, name, nuts }));

// Islands without a capital go to the nearest capital, except where that is plainly wrong.
const ISLAND_OWNER = [
    { lat: [42.6, 42.95], lon: [10.0, 10.5], province: 49 },  // Elba belongs to Livorno
];

const provinceTerritoryCode = (n) => 'P' + String(n).padStart(3, '0');
const regionTerritoryCode = (n) => 'R' + String(n).padStart(2, '0');

const utm = proj4('+proj=longlat +datum=WGS84 +no_defs', '+proj=utm +zone=32 +datum=WGS84 +units=m +no_defs');
const project = ([lon, lat]) => utm.forward([lon, lat]);

// --- outline -------------------------------------------------------------------------------

function italyOutline() {
    const file = require.resolve('world-atlas/countries-10m.json', { paths: [process.cwd()] });
    const topo = JSON.parse(fs.readFileSync(file, 'utf8'));
    const countries = topojson.feature(topo, topo.objects.countries);
    const italy = countries.features.find((f) => f.properties.name === 'Italy');
    const polys = italy.geometry.type === 'Polygon' ? [italy.geometry.coordinates] : italy.geometry.coordinates;
    return polys.map((poly) => poly.map((ring) => ring.map(project)));
}

function ringArea(ring) {
    let a = 0;
    for (let i = 0, j = ring.length - 1; i < ring.length; j = i++)
        a += (ring[j][0] * ring[i][1]) - (ring[i][0] * ring[j][1]);
    return a / 2;
}

function pointInRing(p, ring) {
    let inside = false;
    for (let i = 0, j = ring.length - 1; i < ring.length; j = i++) {
        const [xi, yi] = ring[i];
        const [xj, yj] = ring[j];
        if ((yi > p[1]) !== (yj > p[1]) && p[0] < ((xj - xi) * (p[1] - yi)) / (yj - yi) + xi)
            inside = !inside;
    }
    return inside;
}

function pointInPolygon(p, poly) {
    if (!pointInRing(p, poly[0])) return false;
    return !poly.slice(1).some((hole) => pointInRing(p, hole));
}

function distanceToPolygon(p, poly) {
    let best = Infinity;
    for (const ring of poly) {
        for (let i = 0, j = ring.length - 1; i < ring.length; j = i++) {
            const [ax, ay] = ring[j];
            const [bx, by] = ring[i];
            const dx = bx - ax;
            const dy = by - ay;
            const len = dx * dx + dy * dy;
            let t = len > 0 ? ((p[0] - ax) * dx + (p[1] - ay) * dy) / len : 0;
            t = Math.max(0, Math.min(1, t));
            best = Math.min(best, Math.hypot(p[0] - (ax + t * dx), p[1] - (ay + t * dy)));
        }
    }
    return best;
}

function centroid(poly) {
    const ring = poly[0];
    let x = 0;
    let y = 0;
    for (const [px, py] of ring) { x += px; y += py; }
    return [x / ring.length, y / ring.length];
}

// --- cutting -------------------------------------------------------------------------------

// Province pieces (multipolygons keyed by province number) for one boundary set.
function cutProvinces(outline, provinces) {
    const seeds = provinces.map((p) => ({ ...p, xy: project([p.lon, p.lat]) }));
    const pieces = new Map(seeds.map((s) => [s.code, []]));

    // A capital on the coast may fall in the sea at this scale: it then seeds the nearest land.
    const seedsOf = outline.map(() => []);
    for (const s of seeds) {
        let idx = outline.findIndex((poly) => pointInPolygon(s.xy, poly));
        if (idx < 0) {
            let best = Infinity;
            outline.forEach((poly, i) => {
                const d = distanceToPolygon(s.xy, poly);
                if (d < best) { best = d; idx = i; }
            });
        }
        seedsOf[idx].push(s);
    }

    outline.forEach((poly, i) => {
        const own = seedsOf[i];
        if (own.length === 0) {
            const c = centroid(poly);
            const lonlat = utm.inverse(c);
            const rule = ISLAND_OWNER.find((r) => lonlat[1] >= r.lat[0] && lonlat[1] <= r.lat[1]
                && lonlat[0] >= r.lon[0] && lonlat[0] <= r.lon[1]);
            let owner = rule && pieces.has(rule.province) ? rule.province : null;
            if (owner === null) {
                let best = Infinity;
                for (const s of seeds) {
                    const d = Math.hypot(s.xy[0] - c[0], s.xy[1] - c[1]);
                    if (d < best) { best = d; owner = s.code; }
                }
            }
            pieces.get(owner).push([poly]);
            return;
        }
        if (own.length === 1) {
            pieces.get(own[0].code).push([poly]);
            return;
        }
        const xs = poly[0].map((p) => p[0]);
        const ys = poly[0].map((p) => p[1]);
        const pad = 50000;
        const bounds = [Math.min(...xs) - pad, Math.min(...ys) - pad, Math.max(...xs) + pad, Math.max(...ys) + pad];
        const voronoi = Delaunay.from(own.map((s) => s.xy)).voronoi(bounds);
        own.forEach((s, k) => {
            const cell = voronoi.cellPolygon(k);
            const part = clip.intersection([poly], [cell]);
            for (const p of part) pieces.get(s.code).push([p]);
        });
    });

    const result = new Map();
    for (const [code, parts] of pieces) {
        if (parts.length === 0) throw new Error('province ' + code + ' got no land');
        result.set(code, parts.length === 1 ? parts[0] : clip.union(...parts));
    }
    return result;
}

const unionOf = (geoms) => (geoms.length === 1 ? geoms[0] : clip.union(...geoms));

// --- shape files ---------------------------------------------------------------------------

const CP1252_EXTRA = { '€': 0x80, '‚': 0x82, 'ƒ': 0x83, '„': 0x84, '…': 0x85, '†': 0x86, '‡': 0x87, 'ˆ': 0x88,
    '‰': 0x89, 'Š': 0x8a, '‹': 0x8b, 'Œ': 0x8c, 'Ž': 0x8e, '‘': 0x91, '’': 0x92, '“': 0x93, '”': 0x94,
    '•': 0x95, '–': 0x96, '—': 0x97, '˜': 0x98, '™': 0x99, 'š': 0x9a, '›': 0x9b, 'œ': 0x9c, 'ž': 0x9e, 'Ÿ': 0x9f };

function cp1252(text) {
    const out = [];
    for (const ch of text) {
        const c = ch.codePointAt(0);
        if (c < 0x80 || (c >= 0xa0 && c <= 0xff)) out.push(c);
        else out.push(CP1252_EXTRA[ch] ?? 0x3f);
    }
    return Buffer.from(out);
}

// Shape-file rings: outer rings clockwise, holes counter-clockwise; coordinates rounded to metres.
function shapeRings(multipolygon) {
    const rings = [];
    for (const poly of multipolygon) {
        poly.forEach((ring, i) => {
            let r = ring.map(([x, y]) => [Math.round(x), Math.round(y)]);
            r = r.filter((p, k) => k === 0 || p[0] !== r[k - 1][0] || p[1] !== r[k - 1][1]);
            if (r.length < 4) return;
            const last = r[r.length - 1];
            if (last[0] !== r[0][0] || last[1] !== r[0][1]) r.push([r[0][0], r[0][1]]);
            const clockwise = ringArea(r) < 0;
            if ((i === 0) !== clockwise) r.reverse();
            rings.push(r);
        });
    }
    return rings;
}

function writeShapefile(base, records, fields) {
    const shapes = records.map((r) => shapeRings(r.geometry));
    const boxOf = (rings) => {
        const xs = rings.flat().map((p) => p[0]);
        const ys = rings.flat().map((p) => p[1]);
        return [Math.min(...xs), Math.min(...ys), Math.max(...xs), Math.max(...ys)];
    };
    const boxes = shapes.map(boxOf);
    const all = [Math.min(...boxes.map((b) => b[0])), Math.min(...boxes.map((b) => b[1])),
        Math.max(...boxes.map((b) => b[2])), Math.max(...boxes.map((b) => b[3]))];

    const contents = shapes.map((rings, i) => {
        const nPoints = rings.reduce((n, r) => n + r.length, 0);
        const buf = Buffer.alloc(44 + 4 * rings.length + 16 * nPoints);
        buf.writeInt32LE(5, 0);
        boxes[i].forEach((v, k) => buf.writeDoubleLE(v, 4 + 8 * k));
        buf.writeInt32LE(rings.length, 36);
        buf.writeInt32LE(nPoints, 40);
        let start = 0;
        rings.forEach((r, k) => { buf.writeInt32LE(start, 44 + 4 * k); start += r.length; });
        let off = 44 + 4 * rings.length;
        for (const r of rings) for (const [x, y] of r) { buf.writeDoubleLE(x, off); buf.writeDoubleLE(y, off + 8); off += 16; }
        return buf;
    });

    const header = (lengthBytes) => {
        const h = Buffer.alloc(100);
        h.writeInt32BE(9994, 0);
        h.writeInt32BE(lengthBytes / 2, 24);
        h.writeInt32LE(1000, 28);
        h.writeInt32LE(5, 32);
        all.forEach((v, k) => h.writeDoubleLE(v, 36 + 8 * k));
        return h;
    };

    const shpLength = 100 + contents.reduce((n, c) => n + 8 + c.length, 0);
    const shp = [header(shpLength)];
    const shx = [header(100 + 8 * contents.length)];
    let offset = 100;
    contents.forEach((c, i) => {
        const rh = Buffer.alloc(8);
        rh.writeInt32BE(i + 1, 0);
        rh.writeInt32BE(c.length / 2, 4);
        shp.push(rh, c);
        const ix = Buffer.alloc(8);
        ix.writeInt32BE(offset / 2, 0);
        ix.writeInt32BE(c.length / 2, 4);
        shx.push(ix);
        offset += 8 + c.length;
    });
    fs.writeFileSync(base + '.shp', Buffer.concat(shp));
    fs.writeFileSync(base + '.shx', Buffer.concat(shx));
    fs.writeFileSync(base + '.dbf', dbf(records, fields));
    fs.writeFileSync(base + '.cpg', '1252');
    fs.writeFileSync(base + '.prj', 'PROJCS["WGS_1984_UTM_Zone_32N",GEOGCS["GCS_WGS_1984",DATUM["D_WGS_1984",'
        + 'SPHEROID["WGS_1984",6378137.0,298.257223563]],PRIMEM["Greenwich",0.0],UNIT["Degree",0.0174532925199433]],'
        + 'PROJECTION["Transverse_Mercator"],PARAMETER["False_Easting",500000.0],PARAMETER["False_Northing",0.0],'
        + 'PARAMETER["Central_Meridian",9.0],PARAMETER["Scale_Factor",0.9996],PARAMETER["Latitude_Of_Origin",0.0],'
        + 'UNIT["Meter",1.0]]');
}

// fields: [name, 'C' | 'N', width]; numbers have no decimals.
function dbf(records, fields) {
    const recordLength = 1 + fields.reduce((n, f) => n + f[2], 0);
    const headerLength = 32 + 32 * fields.length + 1;
    const head = Buffer.alloc(headerLength);
    head.writeUInt8(0x03, 0);
    head.writeUInt8(108, 1);  // 2008-12-31, the last year of the atlas
    head.writeUInt8(12, 2);
    head.writeUInt8(31, 3);
    head.writeUInt32LE(records.length, 4);
    head.writeUInt16LE(headerLength, 8);
    head.writeUInt16LE(recordLength, 10);
    head.writeUInt8(0x57, 29);  // ANSI code page
    fields.forEach(([name, type, width], i) => {
        const off = 32 + 32 * i;
        Buffer.from(name, 'ascii').copy(head, off);
        head.write(type, off + 11, 'ascii');
        head.writeUInt8(width, off + 16);
    });
    head.writeUInt8(0x0d, headerLength - 1);
    const body = Buffer.alloc(records.length * recordLength + 1, 0x20);
    records.forEach((r, i) => {
        let off = i * recordLength + 1;
        for (const [name, type, width] of fields) {
            const v = r.attributes[name];
            const bytes = type === 'N' ? Buffer.from(String(v).padStart(width), 'ascii') : cp1252(String(v));
            if (bytes.length > width) throw new Error('field ' + name + ' too long: ' + v);
            bytes.copy(body, off);
            off += width;
        }
    });
    body.writeUInt8(0x1a, body.length - 1);
    return Buffer.concat([head, body]);
}

// --- main ------------------------------------------------------------------------------------

fs.mkdirSync(outDir, { recursive: true });
const outline = italyOutline();
const p103 = cutProvinces(outline, PROVINCES.filter((p) => p.only !== '107'));
const p107 = cutProvinces(outline, PROVINCES);

const provinceFields = [['COD_PROV', 'N', 3], ['DES_PROV', 'C', 40], ['COD_REG', 'N', 2], ['COD_TERR', 'C', 5]];
for (const [name, cells] of [['province103', p103], ['province107', p107]]) {
    const recs = PROVINCES.filter((p) => cells.has(p.code)).sort((a, b) => a.code - b.code).map((p) => ({
        geometry: cells.get(p.code),
        attributes: { COD_PROV: p.code, DES_PROV: p.name, COD_REG: p.region, COD_TERR: provinceTerritoryCode(p.code) },
    }));
    writeShapefile(path.join(outDir, name), recs, provinceFields);
    console.log(name, recs.length);
}

const regionGeom = new Map(REGIONS.map((r) => [r.code,
    unionOf(PROVINCES.filter((p) => p.region === r.code).map((p) => p107.get(p.code)))]));
const areaFields = [['COD_TERR', 'C', 5], ['DES_TERR', 'C', 40], ['COD_NUTS', 'C', 4]];
const regioni = REGIONS.map((r) => ({
    geometry: regionGeom.get(r.code),
    attributes: { COD_TERR: regionTerritoryCode(r.code), DES_TERR: r.name, COD_NUTS: r.nuts ?? '' },
}));
writeShapefile(path.join(outDir, 'regioni'), regioni, areaFields);
console.log('regioni', regioni.length);

const nuts2 = [];
for (const r of REGIONS) {
    if (r.nuts) {
        nuts2.push({ geometry: regionGeom.get(r.code),
            attributes: { COD_TERR: regionTerritoryCode(r.code), DES_TERR: r.name, COD_NUTS: r.nuts } });
    } else {
        for (const [code, nuts] of [[21, 'ITD1'], [22, 'ITD2']]) {
            const p = PROVINCES.find((x) => x.code === code);
            nuts2.push({ geometry: p107.get(code),
                attributes: { COD_TERR: provinceTerritoryCode(code), DES_TERR: p.name, COD_NUTS: nuts } });
        }
    }
}
writeShapefile(path.join(outDir, 'nuts2'), nuts2, areaFields);
console.log('nuts2', nuts2.length);

const italia = [{ geometry: unionOf([...regionGeom.values()]), attributes: { COD_TERR: 'ITA', DES_TERR: 'Italia', COD_NUTS: 'IT' } }];
writeShapefile(path.join(outDir, 'italia'), italia, areaFields);
console.log('italia', italia.length);
