// ShapeConfig.xml through pugixml with XPath selection, as the layer loader and the style saver read it.
#include "ShapeConfig.h"

#include "mapkit/MapWidget.h"
#include "vb/Conversions.h"
#include "vb/DurableFile.h"
#include "vb/Error.h"
#include "vb/TextFile.h"

#include <QFile>
#include <QHash>
#include <pugixml.hpp>

#include <sstream>

namespace pendra {

namespace {

const QString ConfigName = QStringLiteral("ShapeConfig.xml");
constexpr qint32 ObjectNotSet = 91;  // what the original reports when a selected node is missing

vb::Error missing(const QString &what)
{
    return vb::Error::of(ObjectNotSet, QStringLiteral("ShapeConfig"), QString(),
                         QStringLiteral("Object variable or With block variable not set (%1)").arg(what));
}

QString configPath(const QString &filesPath)
{
    return vb::resolvePathNoCase(filesPath + ConfigName);
}

// Returns the encoding the file is in, so a save writes what its declaration says.
pugi::xml_encoding loadDocument(pugi::xml_document &doc, const QString &path, unsigned options)
{
    const pugi::xml_parse_result result = doc.load_file(QFile::encodeName(path).constData(), options);
    if (!result)
        throw vb::Error(ObjectNotSet, QStringLiteral("Impossibile leggere il file ") + path, QStringLiteral("ShapeConfig"),
                        QStringLiteral("%1 (offset %2)").arg(QString::fromUtf8(result.description())).arg(result.offset));
    return result.encoding;
}

pugi::xml_node selectNode(const pugi::xml_node &from, const QString &xpath)
{
    try {
        const pugi::xpath_node found = from.select_node(xpath.toUtf8().constData());
        if (!found.node())
            throw missing(xpath);
        return found.node();
    } catch (const pugi::xpath_exception &e) {
        throw vb::Error::of(ObjectNotSet, QStringLiteral("ShapeConfig"), QString(), QString::fromUtf8(e.what()));
    }
}

// The node's text: its character data, trimmed as the document model gives it.
QString textOf(const pugi::xml_node &node)
{
    QString text;
    for (const pugi::xml_node &child : node.children())
        if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata)
            text += QString::fromUtf8(child.value());
    return text.trimmed();
}

QString attributeOf(const pugi::xml_node &node, const char *name)
{
    const pugi::xml_attribute a = node.attribute(name);
    if (!a)
        throw missing(QStringLiteral("@") + QString::fromLatin1(name));
    return QString::fromUtf8(a.value());
}

forms::OleColor colourOf(const pugi::xml_node &node, const char *name)
{
    return forms::OleColor(vb::CLng(vb::Variant(attributeOf(node, name))));
}

QString caseXPath(const QString &mapCase)
{
    return QStringLiteral("Configs/LoadOrder/Case[@name ='") + mapCase.toLower() + QStringLiteral("']");
}

void setAttribute(pugi::xml_node &node, const char *name, const QString &value)
{
    pugi::xml_attribute a = node.attribute(name);
    if (!a)
        a = node.append_attribute(name);
    a.set_value(value.toUtf8().constData());
}

}  // namespace

bool ConfigFlag(const QString &text)
{
    return text == QLatin1String("True") || text == QLatin1String("Vero");
}

void ApplyRecordStyle(mapkit::MapLayer &layer, const MapLayerRecord &record)
{
    mapkit::Symbol &s = layer.symbol();
    s.color = record.BackColor;
    s.size = 1;
    s.outlineColor = record.OutlineColor;
    s.outline = record.Outline;
    s.style = record.Trasparenza ? mapkit::TransparentFill : mapkit::SolidFill;
}

void LoadLayers(mapkit::MapWidget &map, QVector<MapLayerRecord> &MapLayers, int &MatchLayerIndex,
                const QString &filesPath, const QString &shapePath, const QString &mapCase,
                const std::function<void()> &refreshScale)
{
    pugi::xml_document doc;
    loadDocument(doc, configPath(filesPath), pugi::parse_default);
    const pugi::xml_node caseNode = selectNode(doc, caseXPath(mapCase));
    map.setBackColor(colourOf(caseNode, "mapBackColor"));

    // The array ends with the last child read, even when the load stops there; records before it
    // keep their layer objects.
    int k = 0, reached = 0;
    struct Trim {
        QVector<MapLayerRecord> &records;
        const int &reached;
        ~Trim()
        {
            if (reached > 0 && records.size() > reached)
                records.resize(reached);
        }
    } trim{MapLayers, reached};
    for (const pugi::xml_node &child : caseNode.children()) {
        if (child.type() != pugi::node_element)
            continue;
        reached = k + 1;
        if (MapLayers.size() < reached)
            MapLayers.resize(reached);
        MapLayerRecord &r = MapLayers[k];
        const QString shape = QStringLiteral("Configs/Shapes/Shape[@name='") + textOf(child).toLower() + QStringLiteral("']");
        r.FileName = textOf(selectNode(doc, shape + QStringLiteral("/FileName")));
        r.GeoName = textOf(selectNode(doc, shape + QStringLiteral("/GeoName")));
        r.FieldId = textOf(selectNode(doc, shape + QStringLiteral("/FieldId")));
        r.LandFields = textOf(selectNode(doc, shape + QStringLiteral("/LandFields")));
        r.LandMatch = textOf(selectNode(doc, shape + QStringLiteral("/LandMatch")));
        r.OutlineColor = colourOf(child, "OutlineColor");
        r.BackColor = colourOf(child, "BackColor");
        r.Outline = ConfigFlag(attributeOf(child, "Outline"));
        r.Trasparenza = ConfigFlag(attributeOf(child, "Trasparenza"));
        const pugi::xml_node label = selectNode(doc, shape + QStringLiteral("/Label"));
        r.Label = textOf(label);
        if (vb::CBool(vb::Variant(attributeOf(label, "useToMatch"))))
            MatchLayerIndex = k;
        if (!r.Layer)
            r.Layer = std::make_shared<mapkit::MapLayer>();
        r.Layer->setName(r.GeoName);
        map.addLayer(r.Layer);  // a file-less layer is refused; the window finds its layer by name
        map.setExtent(map.fullExtent());
        ++k;
    }

    // Each file is read once, however many layers name it (letter case aside); each layer keeps
    // its own style.
    QHash<QString, std::shared_ptr<const mapkit::MapLayer>> loaded;
    for (int i = 0; i < k; ++i) {
        auto layer = std::make_shared<mapkit::MapLayer>();
        const QString file = shapePath + MapLayers[i].FileName + QStringLiteral(".shp");
        const QString key = vb::resolvePathNoCase(file);
        if (const auto it = loaded.constFind(key); it != loaded.constEnd()) {
            layer->setFile(file, **it);
        } else {
            layer->setFile(file);
            loaded.insert(key, layer);
        }
        if (!layer->valid())
            continue;
        layer->setAlias(MapLayers[i].GeoName);  // identify looks it up under the record's layer name
        ApplyRecordStyle(*layer, MapLayers[i]);
        map.addLayer(layer);
    }
    if (refreshScale)
        refreshScale();
}

void ApplyLayerSymbols(QVector<MapLayerRecord> &MapLayers)
{
    for (MapLayerRecord &r : MapLayers) {
        if (!r.Layer) {
            r.Layer = std::make_shared<mapkit::MapLayer>();
            r.Layer->setName(r.GeoName);
        }
        ApplyRecordStyle(*r.Layer, r);
    }
}

void SaveLayerStyle(const QString &filesPath, const QString &mapCase, const QString &entryText,
                    const MapLayerRecord &record, forms::OleColor mapBackColor)
{
    const QString path = configPath(filesPath);
    pugi::xml_document doc;
    // Everything the file holds is kept, its layout included, so only the changed attributes differ.
    const pugi::xml_encoding encoding = loadDocument(doc, path, pugi::parse_full | pugi::parse_ws_pcdata);
    pugi::xml_node caseNode = selectNode(doc, caseXPath(mapCase));
    setAttribute(caseNode, "mapBackColor", QString::number(qint32(mapBackColor)));
    for (pugi::xml_node child : caseNode.children()) {
        if (child.type() != pugi::node_element || textOf(child) != entryText)
            continue;
        setAttribute(child, "Outline", vb::BoolText(record.Outline));
        setAttribute(child, "OutlineColor", QString::number(qint32(record.OutlineColor)));
        setAttribute(child, "BackColor", QString::number(qint32(record.BackColor)));
        setAttribute(child, "Trasparenza", vb::BoolText(record.Trasparenza));
        break;
    }
    std::ostringstream out;
    unsigned format = pugi::format_raw | pugi::format_no_declaration;
    if (encoding != pugi::encoding_utf8 && encoding != pugi::encoding_latin1)
        format |= pugi::format_write_bom;  // a wide encoding is only recognised by its mark
    doc.save(out, "\t", format, encoding);
    const std::string bytes = out.str();

    try {
        vb::replaceFile(path, QByteArray(bytes.data(), qsizetype(bytes.size())));
    } catch (vb::Error &e) {
        e.setSource(QStringLiteral("ShapeConfig"));
        throw;
    }
}

}  // namespace pendra
