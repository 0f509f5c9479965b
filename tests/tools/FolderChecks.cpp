// Integrity checks of a program folder, read the way the program reads it.
#include "FolderChecks.h"

#include "jet/Database.h"
#include "jet/Recordset.h"
#include "vb/Conversions.h"
#include "vb/Error.h"
#include "vb/TextFile.h"

#include <QFile>
#include <QHash>
#include <QSet>
#include <QXmlStreamReader>
#include <shapefil.h>

namespace atlastest {

namespace {

QString dao(const QString &password) {
    return QStringLiteral("MS Access;pwd=") + password;
}

QString text(const vb::Variant &v) {
    return v.isNull() ? QString() : vb::CStr(v);
}

struct MenuItem {
    QString form;
    QString database;
    QString kind;
    QString level;
};

// Command items in menu order (the order the menu is built in).
QVector<MenuItem> commandItems(const QString &root) {
    const Result menu = query(root + "Databases/Metadati.mdb", "select * from DBMainMenu order by IdMenuParent, Orderb");
    QVector<MenuItem> items;
    for (const auto &row : menu.rows) {
        if (row[menu.column("IdMenuParent")].toLong() >= 0 && row[menu.column("IdMenu")].toLong() < 1)
            items.append({text(row[menu.column("FormToOpen")]), text(row[menu.column("DBname")]),
                          text(row[menu.column("TipoDb")]), text(row[menu.column("LivTerritoriale")])});
    }
    return items;
}

// The data database of each kind and level, as the query-window items of the menu name them.
QHash<QString, QString> dataDatabases(const QString &root) {
    QHash<QString, QString> out;
    for (const MenuItem &m : commandItems(root)) {
        if (m.form.toUpper() == "FORMDATITAB" && m.database.contains(".mdb"))
            out.insert(m.kind.left(1) + (m.level.isEmpty() ? "T" : m.level), m.database);
    }
    return out;
}

}  // namespace

int Result::column(const QString &name) const {
    for (int i = 0; i < fields.size(); ++i) {
        if (fields[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

Result query(const QString &path, const QString &sql, const QString &password) {
    jet::Database db = jet::Database::open(path, false, true, dao(password));
    jet::Recordset rs = db.openRecordset(sql, true);
    Result out;
    out.fields = rs.fieldNames();
    for (; !rs.eof(); rs.moveNext()) {
        QVector<vb::Variant> row;
        for (int i = 0; i < rs.fieldCount(); ++i)
            row.append(rs.value(i));
        out.rows.append(row);
    }
    return out;
}

QStringList tableNames(const QString &path, const QString &password) {
    jet::Database db = jet::Database::open(path, false, true, dao(password));
    QStringList names;
    for (const jet::TableDef &t : db.tableDefs())
        names << t.name;
    return names;
}

vb::Variant scalar(const QString &path, const QString &sql, const QString &password) {
    const Result r = query(path, sql, password);
    return r.rows.isEmpty() ? vb::Variant::null() : r.rows.first().first();
}

QStringList missingTables(const QString &root) {
    const QHash<QString, QStringList> wanted = {
        {"Databases/Metadati.mdb",
         {"Settore", "Argomento", "MetadatiVariabili", "MetadatiIndicatori", "Valutazioni", "Glossario", "IndVarAnno",
          "DbConfigs", "DBMainMenu", "tablelink", "InfoAggiornamento", "anno", "annosll", "ARGsll", "CensArg",
          "classi"}},
        {"Databases/Territorio.mdb",
         {"land_Ind", "land", "elencom", "elencosll", "ELEPATTI", "ELEPIT", "territorio", "partizioni",
          "territoriovarreg", "territoriovarprov", "territorioindreg", "territorioindprov"}},
        {"Files/qxt_utente.mdb", {"tabope"}},
    };
    QStringList problems;
    auto check = [&](const QString &file, const QStringList &tables) {
        QStringList present;
        try {
            present = tableNames(root + file);
        } catch (const vb::Error &e) {
            problems << file + ": " + e.description();
            return;
        }
        for (const QString &t : tables) {
            if (!present.contains(t, Qt::CaseInsensitive))
                problems << file + ": no table " + t;
        }
    };
    for (auto it = wanted.cbegin(); it != wanted.cend(); ++it)
        check(it.key(), it.value());
    const QHash<QString, QString> data = dataDatabases(root);
    for (auto it = data.cbegin(); it != data.cend(); ++it) {
        const QString kind = it.key().startsWith('V') ? "Variabili" : "Indicatori";
        check("Databases/" + it.value(), {"land_Ind", "IndVarAnno", "Settore", "Argomento", "Metadati" + kind});
    }
    if (problems.isEmpty() && scalar(root + "Files/qxt_utente.mdb", "select count(*) from tabope").toLong() != 1)
        problems << "tabope does not hold exactly one row";
    return problems;
}

QStringList indexedTablesLackingColumns(const QString &root) {
    const QHash<QString, QString> data = dataDatabases(root);
    QHash<QString, QHash<QString, QStringList>> columns;  // database -> table (lower case) -> fields
    QStringList problems;
    QHash<QString, QString> tableOfCodeYear;   // the query builder looks a table up by code and year only
    QHash<QString, QString> groupOfTable;      // two groups in one table would be joined twice
    const Result index = query(root + "Databases/Metadati.mdb", "select * from IndVarAnno");
    for (const auto &row : index.rows) {
        const QString code = text(row[index.column("Variabile")]);
        const QString key = text(row[index.column("TipoVar")]) + text(row[index.column("LivTerritoriale")]);
        const QString table = text(row[index.column("Tabella")]);
        const QString codeYear = code + "_" + text(row[index.column("Anno")]);
        if (tableOfCodeYear.contains(codeYear) && tableOfCodeYear[codeYear] != table)
            problems << codeYear + " is in " + tableOfCodeYear[codeYear] + " and in " + table;
        tableOfCodeYear.insert(codeYear, table);
        const QString group = code.left(code.startsWith('I') ? 3 : 2) + "/" + key;
        if (groupOfTable.contains(key + table) && groupOfTable[key + table] != group)
            problems << table + " holds the groups " + groupOfTable[key + table] + " and " + group;
        groupOfTable.insert(key + table, group);
        const QString db = data.value(key);
        if (db.isEmpty()) {
            problems << code + ": no data database for " + key;
            continue;
        }
        if (!columns.contains(db)) {
            jet::Database d = jet::Database::open(root + "Databases/" + db, false, true, dao(Password));
            for (const jet::TableDef &t : d.tableDefs()) {
                QStringList names;
                for (const jet::Field &f : t.fields)
                    names << f.name.toLower();
                columns[db].insert(t.name.toLower(), names);
            }
        }
        const auto found = columns[db].constFind(table.toLower());
        if (found == columns[db].constEnd())
            problems << db + ": no table " + table + " for " + code;
        else if (!found->contains("cod_terr") || !found->contains(code.toLower()))
            problems << db + ": " + table + " lacks COD_TERR or " + code;
    }
    return problems;
}

QStringList menuProblems(const QString &root) {
    QStringList problems;
    const Result menu = query(root + "Databases/Metadati.mdb", "select * from DBMainMenu order by IdMenuParent, Orderb");
    int popups = 0;
    int items = 0;
    for (const auto &row : menu.rows) {
        for (const char *col : {"IdMenu", "IdMenuParent", "Orderb", "DescName", "isSeparator", "isDisable",
                                "isChecked", "FormToOpen", "DBname", "TipoDb"}) {
            if (row[menu.column(col)].isNull())
                problems << QString("Null %1 in menu row %2").arg(col, text(row[menu.column("DescName")]));
        }
        const int id = row[menu.column("IdMenu")].toLong();
        const int parent = row[menu.column("IdMenuParent")].toLong();
        const bool plain = row[menu.column("isSeparator")].toBool() || row[menu.column("isDisable")].toBool();
        if (parent >= popups)
            problems << QString("menu row %1 names popup %2 before it exists").arg(text(row[menu.column("DescName")])).arg(parent);
        if (parent < 0 || id >= 1) {
            if (!plain)
                ++popups;
        } else {
            ++items;
        }
    }
    if (items > 30)
        problems << QString("%1 command items, the menu holds 30").arg(items);

    const QVector<MenuItem> commands = commandItems(root);
    // Items 2 and 3 mark the database as changed, which only suits windows that run no data query.
    for (int k : {2, 3}) {
        if (commands.size() >= k && commands[k - 1].form.toUpper() == "FORMDATITAB")
            problems << QString("command item %1 opens the query window").arg(k);
    }
    QSet<QString> forms;
    for (const MenuItem &m : commands)
        forms.insert(m.form.toUpper());
    for (const char *form : {"FORMDATITAB", "FRMMETADATI", "GLOSSARIO", "FRMINFO", "FRMLISTAMETADATI"}) {
        if (!forms.contains(form))
            problems << QString("no menu item opens %1").arg(form);
    }

    const Result configs = query(root + "Databases/Metadati.mdb", "Select * from DbConfigs");
    // A Null in these stops the settings from loading at start-up.
    for (const auto &row : configs.rows) {
        for (const char *col : {"Dbnames", "DelvaStops", "HasTipos", "HasYears"}) {
            if (configs.column(col) < 0 || row[configs.column(col)].isNull())
                problems << QString("DbConfigs: no %1 for %2").arg(col, text(row[0]));
        }
    }
    for (const MenuItem &m : commands) {
        if (!m.database.contains(".mdb"))
            continue;
        if (vb::findFileNoCase(root + "Databases/", m.database).isEmpty())
            problems << "menu database missing: " + m.database;
        if (m.form.toUpper() != "FORMDATITAB")
            continue;
        bool found = false;
        for (const auto &row : configs.rows) {
            if (text(row[0]) == m.database) {
                found = true;
                if (row.size() <= 10 || text(row[10]).isEmpty())
                    problems << "no caption word for " + m.database;
            }
        }
        if (!found)
            problems << "no DbConfigs row for " + m.database;
    }
    return problems;
}

QStringList unresolvedLinks(const QString &root) {
    QStringList problems;
    const Result links = query(root + "Databases/Metadati.mdb", "select * from tablelink");
    if (links.rows.isEmpty())
        problems << "tablelink is empty";
    for (const auto &row : links.rows) {
        if (row.size() < 3 || row[0].isNull() || row[1].isNull() || row[2].isNull()) {
            problems << "tablelink row with a Null cell";
            continue;
        }
        const QString table = text(row[0]);
        const QString source = vb::findFileNoCase(root + "Databases/", text(row[1]));
        const QString target = vb::findFileNoCase(root + "Databases/", text(row[2]));
        if (source.isEmpty() || target.isEmpty()) {
            problems << table + ": missing " + (source.isEmpty() ? text(row[1]) : text(row[2]));
            continue;
        }
        try {
            jet::Database db = jet::Database::open(target, false, true, dao(Password));
            const std::optional<jet::TableDef> def = db.tableDef(table);
            if (!def || !def->isLink())
                problems << text(row[2]) + ": " + table + " is not attached";
            else if (!tableNames(source).contains(def->sourceTableName, Qt::CaseInsensitive))
                problems << text(row[2]) + ": " + table + " links to a table " + text(row[1]) + " lacks";
            db.openRecordset("select * from " + table, true);
        } catch (const vb::Error &e) {
            problems << text(row[2]) + ": " + table + ": " + e.description();
        }
    }
    return problems;
}

int areaCount(const QString &shapeBase) {
    SHPHandle shp = SHPOpen(QFile::encodeName(shapeBase).constData(), "rb");
    if (!shp)
        return -1;
    int count = 0;
    int type = 0;
    SHPGetInfo(shp, &count, &type, nullptr, nullptr);
    SHPClose(shp);
    return type == SHPT_POLYGON ? count : -1;
}

QStringList shapeField(const QString &shapeBase, const char *field) {
    QStringList out;
    DBFHandle dbf = DBFOpen(QFile::encodeName(shapeBase).constData(), "rb");
    if (!dbf)
        return out;
    const int index = DBFGetFieldIndex(dbf, field);
    if (index >= 0) {
        for (int i = 0; i < DBFGetRecordCount(dbf); ++i)
            out << vb::fromCp1252(QByteArray(DBFReadStringAttribute(dbf, i, index))).trimmed();
    }
    DBFClose(dbf);
    return out;
}

QStringList layerProblems(const QString &root, bool allShapesInTerritories) {
    struct Shape {
        QString fileName;
        QString fieldId;
        bool match = false;
    };
    QHash<QString, QStringList> cases;  // case -> shape keys
    QHash<QString, Shape> shapes;
    QFile file(root + "Files/ShapeConfig.xml");
    if (!file.open(QIODevice::ReadOnly))
        return {"no ShapeConfig.xml"};
    QXmlStreamReader xml(&file);
    QString currentCase;
    QString currentShape;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        const QString name = xml.name().toString();
        if (name == "Case") {
            currentCase = xml.attributes().value("name").toString();
            if (xml.attributes().value("mapBackColor").isEmpty())
                cases[currentCase] << "!no mapBackColor";
            cases[currentCase];
        } else if (name == "Shapes") {
            currentCase.clear();
        } else if (name == "Shape") {
            currentCase.clear();
            currentShape = xml.attributes().value("name").toString();
        } else if (!currentCase.isEmpty() && name != "Case") {
            for (const char *a : {"Outline", "OutlineColor", "BackColor", "Trasparenza"}) {
                if (!xml.attributes().hasAttribute(a))
                    cases[currentCase] << QString("!no %1").arg(a);
            }
            cases[currentCase] << xml.readElementText().toLower();
        } else if (name == "FileName") {
            shapes[currentShape].fileName = xml.readElementText();
        } else if (name == "FieldId") {
            shapes[currentShape].fieldId = xml.readElementText();
        } else if (name == "Label") {
            shapes[currentShape].match = vb::CBool(vb::Variant(xml.attributes().value("useToMatch").toString()));
        }
    }
    if (xml.hasError())
        return {"ShapeConfig.xml: " + xml.errorString()};

    QStringList problems;
    const Result land = query(root + "Databases/Territorio.mdb", "select COD_TERR, COD_TIPO_TERR, PROV from land_Ind");
    QSet<QString> codes;
    QSet<QString> provinces;
    QHash<QString, QSet<QString>> expected;  // case -> codes its matching layer must hold
    for (const auto &row : land.rows) {
        const QString code = text(row[0]);
        const int type = row[1].toLong();
        const int prov = row[2].toLong();
        codes.insert(code);
        if (type == 1 || type == 6) {
            provinces.insert(QString::number(prov));
            expected["provincia107"].insert(QString::number(prov));
            if (prov <= 103)
                expected["provincia103"].insert(QString::number(prov));
        }
        if (type == 2 || type == 22)
            expected["regioni"].insert(code);
        if (type == 2 || type == 6)
            expected["nuts2"].insert(code);
    }

    for (const char *name : {"regioni", "provincia103", "provincia107", "nuts2"}) {
        if (!cases.contains(name))
            problems << QString("no case %1").arg(name);
    }
    for (auto c = cases.cbegin(); c != cases.cend(); ++c) {
        int matching = 0;
        for (const QString &key : c.value()) {
            if (key.startsWith('!')) {
                problems << c.key() + ": " + key.mid(1);
                continue;
            }
            if (!shapes.contains(key)) {
                problems << c.key() + ": no shape " + key;
                continue;
            }
            const Shape &s = shapes[key];
            const QString found = vb::findFileNoCase(root + "Shape/", s.fileName + ".shp");
            if (found.isEmpty()) {
                problems << c.key() + ": no file " + s.fileName + ".shp";
                continue;
            }
            const QString base = found.left(found.size() - 4);
            const QStringList values = shapeField(base, s.fieldId.toLatin1().constData());
            if (values.isEmpty())
                problems << c.key() + ": " + s.fileName + " has no field " + s.fieldId;
            const QSet<QString> &known = s.fieldId == "COD_PROV" ? provinces : codes;
            if (allShapesInTerritories) {
                for (const QString &v : values) {
                    if (!known.contains(v))
                        problems << c.key() + ": " + s.fileName + " area " + v + " is no territory";
                }
            }
            if (s.match) {
                ++matching;
                const QSet<QString> have(values.begin(), values.end());
                for (const QString &want : expected.value(c.key())) {
                    if (!have.contains(want))
                        problems << c.key() + ": " + s.fileName + " lacks the area of " + want;
                }
            }
        }
        if (matching != 1)
            problems << QString("%1: %2 matching layers").arg(c.key()).arg(matching);
    }
    return problems;
}

}  // namespace atlastest
